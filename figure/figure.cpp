#include "figure/figure.h"

#include <cmath>

#include "forms/palette.h"

namespace figure {

using forms::setEnds;
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

namespace figure {

namespace {

// Grab regions: open rectangles 60 x 100 around the transversals' upper ends, an open
// 100 x 100 square around the copy's handle on q, and in the margin a band 100 high
// around p and q.
constexpr double kEndHalfWidth = 30;
constexpr double kEndHalfHeight = 50;
constexpr Single kCopyHalfSide = 50;
constexpr double kMarginHalfHeight = 50;

constexpr int kWhite = 15;

}  // namespace

void Figure::grab(Single x, Single y) {
  DragTarget = kHoldNothing;
  if (x > kParallelLeft) {
    if (std::abs(x - LineLX1) < kEndHalfWidth && std::abs(y - LineLY1) < kEndHalfHeight)
      hold(kHoldUpperEndL);
    if (std::abs(x - LineMX1) < kEndHalfWidth && std::abs(y - LineMY1) < kEndHalfHeight)
      hold(kHoldUpperEndM);
    // The handle holds whole pixels; the distance is taken in single precision.
    const Single fromHandle = static_cast<Single>(CopyQX) - x;
    if (std::abs(fromHandle) < kCopyHalfSide && std::abs(y - LineQY) < kEndHalfHeight)
      hold(kHoldCopyOfL);
  } else {
    if (LinePY - kMarginHalfHeight < y && y < LinePY + kMarginHalfHeight) hold(kHoldP);
    if (LineQY - kMarginHalfHeight < y && y < LineQY + kMarginHalfHeight) hold(kHoldQ);
  }
}

void Figure::hold(Int16 part) {
  const forms::Rgb highlight = forms::QBColor(kHighlight);
  switch (part) {
    case kHoldUpperEndL:
      c_.Line1(kLineL).BorderColor = highlight;
      c_.Line2(kExtensionL).BorderColor = highlight;
      // ℓ turns about the point where it crosses q now.
      PointBX = crossingX(lineL(), LineQY);
      break;
    case kHoldUpperEndM:
      c_.Line1(kLineM).BorderColor = highlight;
      c_.Line2(kExtensionM).BorderColor = highlight;
      PointBPrimeX = crossingX(lineM(), LineQY);
      break;
    case kHoldCopyOfL: {
      forms::Line& copy = c_.Line2(kCopyOfL);
      copy.BorderColor = highlight;
      setEnds(copy, CopyX1, CopyY1, CopyX2, CopyY2);
      break;
    }
    case kHoldP:
      c_.Line1(kLineP).BorderColor = highlight;
      break;
    case kHoldQ:
      c_.Line1(kLineQ).BorderColor = highlight;
      break;
    default:
      return;
  }
  DragTarget = part;
}

void Figure::dragBy(Single dX, Single dY) {
  // A displacement that is not a number (pointer positions at the ends of the float
  // range) moves nothing; the figure must stay finite.
  if (!std::isfinite(dX)) dX = 0;
  if (!std::isfinite(dY)) dY = 0;
  switch (DragTarget) {
    case kHoldP:
      dragParallel(kLineP, LinePY, dY);
      break;
    case kHoldQ:
      dragParallel(kLineQ, LineQY, dY);
      break;
    case kHoldUpperEndL: {
      const bool turnedAboutB = swingTransversal(dX, LineLX1, LineLY1, LineLX2, LineLY2, PointBX,
                                                 kLineL, kPictureL, kExtensionL);
      // The copy's handle goes where B is after this move. When ℓ could not turn about
      // B (q at the upper ends' height), B moved with the upper end, and the pivot
      // from the press would leave the handle behind.
      putCopyOnL(turnedAboutB ? PointBX : crossingX(lineL(), LineQY));
      break;
    }
    case kHoldUpperEndM:
      swingTransversal(dX, LineMX1, LineMY1, LineMX2, LineMY2, PointBPrimeX, kLineM, kPictureM,
                       kExtensionM);
      break;
    case kHoldCopyOfL:
      slideCopy(dX);
      break;
    default:
      break;
  }
  computePoints();
  placeNames();
}

void Figure::dragParallel(int k, double& height, Single dY) {
  height += dY;
  layOutParallelLine(k, height);
}

// The upper end moves sideways only, and the transversal turns about its point on q.
// False when it could not turn about it and the lower end stayed.
bool Figure::swingTransversal(Single dX, double& x1, double y1, double& x2, double y2,
                              double pivotX, int lineElement, int pictureElement,
                              int extensionElement) {
  x1 += dX;
  // The picture follows the new upper end against the lower end of the last event.
  c_.Image1(pictureElement).Left = toSingle(pictureLeft({x1, y1, x2, y2}));
  // With q at the height of the upper ends no line through the pivot reaches the new
  // upper end; likewise when q lies so close to it that the lower end would fly off
  // beyond any finite figure. The lower end then stays where it was for this event.
  const std::optional<double> swung = pivotX2({x1, y1, x2, y2}, pivotX, LineQY);
  const bool turned = swung && std::isfinite(*swung) && std::abs(*swung) < kFarOut;
  if (turned) x2 = *swung;
  forms::Line& line = c_.Line1(lineElement);
  line.X1 = toSingle(x1);
  line.X2 = toSingle(x2);
  placeExtension(extensionElement, {x1, y1, x2, y2});
  return turned;
}

// ℓ has turned: the copy lies on it again, out of sight, its handle on B.
void Figure::putCopyOnL(double bX) {
  CopyX1 = LineLX1;
  CopyX2 = LineLX2;
  CopyY1 = LineLY1;
  CopyY2 = toInt16(LineLY2);
  CopyQX = toInt16(bX);
  forms::Line& copy = c_.Line2(kCopyOfL);
  copy.X1 = kOutOfSightX;
  copy.X2 = kOutOfSightX;
}

void Figure::slideCopy(Single dX) {
  CopyQX = toInt16(static_cast<Single>(CopyQX) + dX);
  CopyX1 += dX;
  CopyX2 += dX;
  // The line shown moves by the same amount; taking it from the double-precision
  // ends, rather than adding to its single-precision ends move after move, keeps
  // rounding from slowly turning the copy away from ℓ.
  forms::Line& copy = c_.Line2(kCopyOfL);
  copy.X1 = toSingle(CopyX1);
  copy.X2 = toSingle(CopyX2);
}

void Figure::release() {
  DragTarget = kHoldNothing;
  const forms::Rgb white = forms::QBColor(kWhite);
  c_.Line1(kLineP).BorderColor = white;
  c_.Line1(kLineQ).BorderColor = white;
  c_.Line1(kLineL).BorderColor = white;
  c_.Line1(kLineM).BorderColor = white;
  c_.Line2(kExtensionL).BorderColor = white;
  c_.Line2(kExtensionM).BorderColor = white;
  c_.Line2(kCopyOfL).BorderColor = white;
}

void Figure::Image1_Click(Int16 index) {
  if (index == kPictureL) {
    const bool show = ExtensionLShown == 0;
    c_.Line2(kExtensionL).Visible = show;
    ExtensionLShown = show ? 1 : 0;
  } else if (index == kPictureM) {
    const bool show = ExtensionMShown == 0;
    c_.Line2(kExtensionM).Visible = show;
    ExtensionMShown = show ? 1 : 0;
  }
  // The pictures of p, q and r only name their lines.
}

}  // namespace figure
