// Whole-pixel rectangles and segment clipping, in pixels of the board's drawing area
// (or of the window, where said): the units every front end maps to its own.
#pragma once

#include <algorithm>
#include <cmath>

namespace frontend {

// x to x + w - 1 and y to y + h - 1, in whole pixels; empty when w or h is not positive.
struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  bool empty() const { return w <= 0 || h <= 0; }
  int right() const { return x + w; }  // one past the last column
  int bottom() const { return y + h; }
  bool contains(int px, int py) const {
    return px >= x && px < right() && py >= y && py < bottom();
  }
  bool intersects(const Rect& o) const {
    return !empty() && !o.empty() && x < o.right() && o.x < right() && y < o.bottom() &&
           o.y < bottom();
  }
  Rect intersected(const Rect& o) const {
    const int l = std::max(x, o.x);
    const int t = std::max(y, o.y);
    const int r = std::min(right(), o.right());
    const int b = std::min(bottom(), o.bottom());
    if (r <= l || b <= t) return {};
    return {l, t, r - l, b - t};
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  Rect united(const Rect& o) const {
    if (o.empty()) return *this;
    if (empty()) return o;
    const int l = std::min(x, o.x);
    const int t = std::min(y, o.y);
    return {l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
  }
  Rect adjusted(int dl, int dt, int dr, int db) const {
    return {x + dl, y + dt, w - dl + dr, h - dt + db};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The whole pixels that hold the box from (x1, y1) to (x2, y2), corners in any order.
inline Rect alignedRect(double x1, double y1, double x2, double y2) {
  const double l = std::floor(std::min(x1, x2));
  const double t = std::floor(std::min(y1, y2));
  const double r = std::ceil(std::max(x1, x2));
  const double b = std::ceil(std::max(y1, y2));
  return {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
          static_cast<int>(b - t)};
}

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Segment {
  double x1, y1, x2, y2;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// Cuts `s` to the part inside the rectangle from (left, top) to (right, bottom)
// (Liang-Barsky). False when nothing of it lies inside or a coordinate is not finite:
// a line swung far out must neither hang a rasteriser nor vanish while part of it
// is on the board.
inline bool clipSegment(Segment& s, double left, double top, double right, double bottom) {
  if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) || !std::isfinite(s.y2))
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

}  // namespace frontend
