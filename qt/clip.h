// Clipping a segment to a rectangle before it reaches the painter: a line swung far
// out (or a coordinate that is not finite) must neither hang the rasteriser nor
// disappear when part of it is on the board.
#pragma once

#include <cmath>

namespace view {

struct Segment {
  double x1, y1, x2, y2;
};

// Liang-Barsky. Returns false when nothing of the segment lies in the rectangle or a
// coordinate is not finite; otherwise shortens `s` to the part inside.
inline bool clipSegment(Segment& s, double left, double top, double right, double bottom) {
  if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) ||
      !std::isfinite(s.y2))
    return false;
  const double dx = s.x2 - s.x1;
  const double dy = s.y2 - s.y1;
  double t0 = 0;
  double t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {s.x1 - left, right - s.x1, s.y1 - top, bottom - s.y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;  // parallel to this edge and outside it
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const Segment in = s;
  s.x1 = in.x1 + t0 * dx;
  s.y1 = in.y1 + t0 * dy;
  s.x2 = in.x1 + t1 * dx;
  s.y2 = in.y1 + t1 * dy;
  return true;
}

}  // namespace view
