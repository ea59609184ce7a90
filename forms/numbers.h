// Number types the window logic is written in, and the conversions between them.
//
// State is kept in doubles; positions handed to controls are single precision; a few
// variables are 16-bit integers filled by rounding to nearest, halves to even. The
// conversions saturate instead of overflowing: a figure dragged far off the board must
// never turn into an infinity, a NaN or a wrapped integer.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace forms {

using Single = float;
using Int16 = std::int16_t;

// Double to single precision, clamped to the finite float range; NaN becomes 0.
constexpr Single toSingle(double v) {
  constexpr double maxSingle = std::numeric_limits<Single>::max();
  if (v != v) return 0.0F;
  if (v > maxSingle) return std::numeric_limits<Single>::max();
  if (v < -maxSingle) return -std::numeric_limits<Single>::max();
  return static_cast<Single>(v);
}

// Round to the nearest whole number, halves to the even neighbour, saturating at the
// 16-bit limits; NaN becomes 0.
inline Int16 toInt16(double v) {
  constexpr double lo = std::numeric_limits<Int16>::min();
  constexpr double hi = std::numeric_limits<Int16>::max();
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);  // default rounding mode: to nearest, ties to even
  if (r <= lo) return std::numeric_limits<Int16>::min();
  if (r >= hi) return std::numeric_limits<Int16>::max();
  return static_cast<Int16>(r);
}

}  // namespace forms
