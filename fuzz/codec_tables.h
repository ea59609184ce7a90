// The values the byte format can name, which the random generator draws from too, so
// that every sequence it makes can be stored as a corpus file and read back the same.
// Their order is the byte format's: a value appended keeps old files, one moved does not.
#pragma once

#include <array>
#include <limits>

#include "frontend/presenter.h"

namespace fuzz::tables {

inline constexpr float kFloatMax = std::numeric_limits<float>::max();

// Coordinates worth more than their share of chances: the board's edges, values far
// outside it, and the figure's own heights and handles (q at the height of the upper
// ends is where the swing rule divides by zero).
inline constexpr std::array<float, 24> kSpecial{
    0,   801, 802, -1,        625,  626,   50,   50.5F, 125,   275,    350,       500,
    400, 475, 250, 125.0001F, 1e4F, -1e4F, 1e9F, -1e9F, 1e30F, -1e30F, kFloatMax, -kFloatMax};

// What a press or release may report: one button, two at once, or none.
inline constexpr std::array<unsigned, 8> kButtons{0,
                                                  frontend::kLeft,
                                                  frontend::kRight,
                                                  frontend::kMiddle,
                                                  frontend::kOtherButton,
                                                  frontend::kLeft | frontend::kRight,
                                                  frontend::kLeft | frontend::kMiddle,
                                                  frontend::kLeft};
// Pauses between events: none, a hand's pace, and either side of the palm's and the
// silent gesture's limits.
inline constexpr std::array<int, 8> kPauses{0, 1, 8, 16, 100, 999, 1000, 2000};
inline constexpr std::array<frontend::PointerKind, 4> kDevices{
    frontend::PointerKind::Mouse, frontend::PointerKind::Touch, frontend::PointerKind::Pen,
    frontend::PointerKind::Mouse};
// The keys the keyboard knows (frontend::Key), and the keyboard's actions.
inline constexpr int kKeys = 9;
inline constexpr int kActions = 7;
// The parts the keyboard moves (frontend::kParts), and the line-name pictures.
inline constexpr int kPartCount = 5;
inline constexpr int kPictureCount = 5;

inline constexpr int kSpanX = 900;  // a little beyond the 802 px board
inline constexpr int kSpanY = 700;

}  // namespace fuzz::tables
