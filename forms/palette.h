// The 16-colour QBColor palette and plain RGB colours.
#pragma once

#include <array>
#include <cstdint>

namespace forms {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// QBColor(index): the classic 16 console colours. Indices outside 0..15 are
// folded into the table (index & 15) so a stray value can never read past it.
constexpr Rgb QBColor(int index) {
  constexpr std::array<Rgb, 16> table{{
      {0, 0, 0},        // 0 black
      {0, 0, 128},      // 1 blue
      {0, 128, 0},      // 2 green (the board)
      {0, 128, 128},    // 3 cyan
      {128, 0, 0},      // 4 red
      {128, 0, 128},    // 5 magenta
      {128, 128, 0},    // 6 yellow
      {192, 192, 192},  // 7 white
      {128, 128, 128},  // 8 grey
      {0, 0, 255},      // 9 light blue
      {0, 255, 0},      // 10 light green
      {0, 255, 255},    // 11 light cyan
      {255, 0, 0},      // 12 light red
      {255, 0, 255},    // 13 light magenta
      {255, 255, 0},    // 14 light yellow
      {255, 255, 255},  // 15 bright white
  }};
  return table[static_cast<unsigned>(index) & 15U];
}

}  // namespace forms
