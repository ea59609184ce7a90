// The parallel-lines figure: its variables, and the work on the controls that show it.
#pragma once

#include "figure/geometry.h"
#include "forms/control_array.h"
#include "forms/controls.h"
#include "forms/numbers.h"

namespace figure {

using forms::Int16;
using forms::Single;

// The window's controls that show the figure; the window owns them.
struct FigureControls {
  forms::ControlArray<forms::Line>& Line1;    // p, q, r, ℓ, m
  forms::ControlArray<forms::Line>& Line2;    // copy of ℓ, extensions of ℓ and m
  forms::ControlArray<forms::Line>& Line3;    // arrowhead strokes, two per parallel line
  forms::ControlArray<forms::Label>& Label2;  // names A, B, C, A', B', C'
  forms::ControlArray<forms::Label>& Label3;  // "Ｇ", kept out of sight
  forms::ControlArray<forms::Image>& Image1;  // pictures ℓ, m, p, q, r
};

// Element numbers, so the code reads by role.
enum : int { kLineP = 0, kLineQ = 1, kLineR = 2, kLineL = 3, kLineM = 4 };
enum : int { kCopyOfL = 0, kExtensionL = 1, kExtensionM = 2 };
enum : int { kPictureL = 0, kPictureM = 1, kPictureP = 2, kPictureQ = 3, kPictureR = 4 };

// x at which a line is out of sight, beyond the board's right edge.
inline constexpr Single kOutOfSightX = 1000;

// What a grab holds (DragTarget).
enum : Int16 {
  kHoldNothing = 0,
  kHoldP = 1,
  kHoldQ = 2,
  kHoldUpperEndL = 5,
  kHoldUpperEndM = 6,
  kHoldCopyOfL = 10
};

// How far from a line's lower end x may be swung before the swing is refused: far
// beyond any screen, yet small enough that every later product stays finite.
inline constexpr double kFarOut = 1e15;

class Figure {
 public:
  explicit Figure(FigureControls controls) : c_(controls) {}

  // Lines p, q, r (heights), transversals ℓ and m (ends).
  double LinePY = 0, LineQY = 0, LineRY = 0;
  double LineLX1 = 0, LineLY1 = 0, LineLX2 = 0, LineLY2 = 0;
  double LineMX1 = 0, LineMY1 = 0, LineMX2 = 0, LineMY2 = 0;
  // Crossing points (their y is the height of their parallel line).
  double PointAX = 0, PointBX = 0, PointCX = 0;
  double PointAPrimeX = 0, PointBPrimeX = 0, PointCPrimeX = 0;
  // The copy of ℓ and its grab handle on q.
  double CopyX1 = 0, CopyY1 = 0, CopyX2 = 0;
  Int16 CopyY2 = 0;
  Int16 CopyQX = 0;
  // Whether the upward extensions are shown (0 or 1).
  double ExtensionLShown = 0;
  Int16 ExtensionMShown = 0;
  // The grabbed part: 0 nothing, 1 p, 2 q, 5 upper end of ℓ, 6 upper end of m,
  // 10 the copy of ℓ.
  Int16 DragTarget = 0;

  Transversal lineL() const { return {LineLX1, LineLY1, LineLX2, LineLY2}; }
  Transversal lineM() const { return {LineMX1, LineMY1, LineMX2, LineMY2}; }

  // Returns the figure to its initial shape: variables, lines, names, pictures,
  // extensions (hidden), the copy of ℓ (out of sight), the marks on the parallels.
  void reset();

  // A left press at (x, y): grabs the part under the pointer, if any, and shows it in
  // light red. Every region that contains the point is highlighted; the last one in
  // the order upper end of ℓ, upper end of m, copy of ℓ (or p, q in the margin) is
  // the one held.
  void grab(Single x, Single y);
  // Holds `part` (a DragTarget code) as a press on its handle does, alone: its lines
  // in light red, its pivot taken, the copy of ℓ brought into view. Other codes hold
  // nothing and change nothing.
  void hold(Int16 part);
  // A pointer move by (dX, dY) since the last event: moves the held part and brings
  // the crossing points and their names up to date.
  void dragBy(Single dX, Single dY);
  // Any release: nothing is held any more, and the movable lines are white again.
  void release();
  // A click on a line-name picture: ℓ and m show or hide their upward extension.
  void Image1_Click(Int16 index);

 private:
  void dragParallel(int k, double& height, Single dY);
  bool swingTransversal(Single dX, double& x1, double y1, double& x2, double y2, double pivotX,
                        int lineElement, int pictureElement, int extensionElement);
  void slideCopy(Single dX);
  void putCopyOnL(double bX);
  void layOutParallelLine(int k, double y);
  void placeTransversal(int element, const Transversal& t);
  void computePoints();
  void placeNames();
  void placeExtension(int element, const Transversal& t);

  FigureControls c_;
};

}  // namespace figure
