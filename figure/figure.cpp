#include "figure/figure.h"

#include "forms/palette.h"

namespace figure {

using forms::toInt16;
using forms::toSingle;

namespace {

// The figure as the lesson starts: p, q, r at 275, 350, 500; ℓ from (400, 125) to
// (100, 575); m from (475, 125) to (625, 575).
constexpr double kInitialPY = 275, kInitialQY = 350, kInitialRY = 500;
constexpr Transversal kInitialL{400, 125, 100, 575};
constexpr Transversal kInitialM{475, 125, 625, 575};
// m's picture starts 25 px further right than the picture rule puts it, clear of ℓ's.
constexpr double kInitialPictureMShift = 25;
// "Ｇ" waits above the visible board.
constexpr Single kHiddenLabelTop = -50;

constexpr int kHighlight = 12;

void setEnds(forms::Line& line, double x1, double y1, double x2, double y2) {
  line.X1 = toSingle(x1);
  line.Y1 = toSingle(y1);
  line.X2 = toSingle(x2);
  line.Y2 = toSingle(y2);
}

}  // namespace

void Figure::reset() {
  LinePY = kInitialPY;
  LineQY = kInitialQY;
  LineRY = kInitialRY;
  LineLX1 = kInitialL.X1;
  LineLX2 = kInitialL.X2;
  LineLY1 = kInitialL.Y1;
  LineLY2 = kInitialL.Y2;
  CopyX1 = kInitialL.X1;
  CopyX2 = kInitialL.X2;
  CopyY1 = kInitialL.Y1;
  CopyY2 = toInt16(kInitialL.Y2);
  LineMX1 = kInitialM.X1;
  LineMX2 = kInitialM.X2;
  LineMY1 = kInitialM.Y1;
  LineMY2 = kInitialM.Y2;

  layOutParallelLine(kLineP, LinePY);
  layOutParallelLine(kLineQ, LineQY);
  layOutParallelLine(kLineR, LineRY);

  const Transversal l = lineL();
  const Transversal m = lineM();
  placeTransversal(kLineL, l);
  c_.Image1(kPictureL).Top = toSingle(pictureTop(l));
  c_.Image1(kPictureL).Left = toSingle(pictureLeft(l));
  placeTransversal(kLineM, m);
  c_.Image1(kPictureM).Top = toSingle(pictureTop(m));
  c_.Image1(kPictureM).Left = toSingle(pictureLeft(m) + kInitialPictureMShift);

  computePoints();
  CopyQX = toInt16(PointBX);
  placeNames();

  placeExtension(kExtensionL, l);
  placeExtension(kExtensionM, m);
  c_.Line2(kExtensionL).Visible = false;
  c_.Line2(kExtensionM).Visible = false;
  ExtensionLShown = 0;
  ExtensionMShown = 0;

  forms::Line& copy = c_.Line2(kCopyOfL);
  copy.X1 = kOutOfSightX;
  copy.X2 = kOutOfSightX;
  copy.BorderColor = forms::QBColor(kHighlight);

  c_.Label3(1).Top = kHiddenLabelTop;
}

// A parallel line at height y: the line itself, its picture at its left end and the
// arrowhead near its right end.
void Figure::layOutParallelLine(int k, double y) {
  setEnds(c_.Line1(k), kParallelLeft, y, kParallelRight, y);
  forms::Image& picture = c_.Image1(kPictureP + k);
  picture.Top = toSingle(y - kParallelPictureRise[k]);
  picture.Left = toSingle(kParallelLeft);
  setEnds(c_.Line3(2 * k), kArrowTipX, y, kArrowTailX, y + kArrowSpread);
  setEnds(c_.Line3(2 * k + 1), kArrowTipX, y, kArrowTailX, y - kArrowSpread);
}

void Figure::placeTransversal(int element, const Transversal& t) {
  setEnds(c_.Line1(element), t.X1, t.Y1, t.X2, t.Y2);
}

// The six crossing points, in the order A, A', B, B', C, C'.
void Figure::computePoints() {
  const Transversal l = lineL();
  const Transversal m = lineM();
  PointAX = crossingX(l, LinePY);
  PointAPrimeX = crossingX(m, LinePY);
  PointBX = crossingX(l, LineQY);
  PointBPrimeX = crossingX(m, LineQY);
  PointCX = crossingX(l, LineRY);
  PointCPrimeX = crossingX(m, LineRY);
}

void Figure::placeNames() {
  const Transversal l = lineL();
  const Transversal m = lineM();
  const struct {
    int element;
    const Transversal& t;
    double x;
    double y;
  } names[] = {
      {0, l, PointAX, LinePY},      {1, l, PointBX, LineQY},      {2, l, PointCX, LineRY},
      {3, m, PointAPrimeX, LinePY}, {4, m, PointBPrimeX, LineQY}, {5, m, PointCPrimeX, LineRY},
  };
  for (const auto& n : names) {
    forms::Label& label = c_.Label2(n.element);
    label.Left = toSingle(nameLabelLeft(n.t, n.x));
    label.Top = toSingle(nameLabelTop(n.y));
  }
}

void Figure::placeExtension(int element, const Transversal& t) {
  setEnds(c_.Line2(element), t.X1, t.Y1, extensionEndX(t), kExtensionTopY);
}

}  // namespace figure
