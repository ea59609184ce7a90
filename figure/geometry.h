// Placement rules of the figure: where the crossing points, their names, the
// transversals' pictures and extensions and the parallel lines' marks go. Free
// functions of numbers, in pixels of the board, y growing downward.
#pragma once

#include <optional>

namespace figure {

// A transversal from its upper end (X1, Y1) to its lower end (X2, Y2).
struct Transversal {
  double X1 = 0;
  double Y1 = 0;
  double X2 = 0;
  double Y2 = 0;
};

// Parallel lines run from x = 50 to x = 750; the margin left of 50 is where they are
// grabbed.
inline constexpr double kParallelLeft = 50;
inline constexpr double kParallelRight = 750;
// The arrowhead marking a line as parallel: tip at x 680, strokes back to x 660,
// 10 px above and below the line.
inline constexpr double kArrowTipX = 680;
inline constexpr double kArrowTailX = 660;
inline constexpr double kArrowSpread = 10;
// Extensions of the transversals end at this height, above their upper ends.
inline constexpr double kExtensionTopY = 25;

// x where the transversal, or its continuation, meets the horizontal line at y.
constexpr double crossingX(const Transversal& t, double y) {
  return t.X2 + (t.X1 - t.X2) * (t.Y2 - y) / (t.Y2 - t.Y1);
}

// New x of the lower end after the upper end moved to t.X1, keeping the line through
// the pivot (pivotX, qY) on line q. The divisor vanishes when q lies at the height of
// the upper end; then there is no such line and the result is empty.
inline std::optional<double> pivotX2(const Transversal& t, double pivotX, double qY) {
  const double divisor = t.Y1 - qY;
  if (divisor == 0) return std::nullopt;
  return pivotX + (t.X1 - pivotX) * (t.Y2 - qY) / divisor;
}

// A point's name sits 31 px above its line, so the 29 px high label clears the line
// by 2 px; when the transversal leans right going up, the label is pushed right so
// its left edge lies on the transversal at the label's top.
inline constexpr double kNameRise = 31;
constexpr double nameLabelTop(double lineY) { return lineY - kNameRise; }
constexpr double nameLabelLeft(const Transversal& t, double pointX) {
  return t.X1 > t.X2 ? pointX + kNameRise * (t.X1 - t.X2) / (t.Y2 - t.Y1) : pointX;
}

// The transversal's picture stands 10 px below its upper end; when the line leans
// right going down, it moves right by the line's run over the first 35 px.
inline constexpr double kPictureDrop = 10;
constexpr double pictureLeft(const Transversal& t) {
  return t.X1 < t.X2 ? t.X1 + 35 * (t.X2 - t.X1) / (t.Y2 - t.Y1) : t.X1;
}
constexpr double pictureTop(const Transversal& t) { return t.Y1 + kPictureDrop; }

// x of the extension's far end: the transversal continued 100 px (in height) beyond
// its upper end, up to y = 25.
constexpr double extensionEndX(const Transversal& t) {
  return t.X1 + 100 * (t.X1 - t.X2) / (t.Y2 - t.Y1);
}

// How far each parallel line's picture stands above the line (p, q, r), so each
// letter's foot is 2 or 3 px over its line.
inline constexpr double kParallelPictureRise[3] = {36, 34, 30};

}  // namespace figure
