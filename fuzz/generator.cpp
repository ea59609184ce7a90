#include "fuzz/generator.h"

#include <array>
#include <initializer_list>
#include <optional>

#include "frontend/tool_row.h"
#include "fuzz/codec_tables.h"

namespace fuzz {

namespace {

using frontend::Phase;
using frontend::PointerKind;
using tables::kButtons;
using tables::kDevices;
using tables::kPauses;
using tables::kSpanX;
using tables::kSpanY;
using tables::kSpecial;

// Where the figure's handles are: the transversals' ends and the parallels' heights.
constexpr std::initializer_list<float> kHandlesX{30, 400, 475, 250, 100, 700};
constexpr std::initializer_list<float> kHandlesY{125, 275, 350, 500, 575};
constexpr std::initializer_list<float> kJumpsX{30, 400, 475, 250};
constexpr std::initializer_list<float> kJumpsY{125, 275, 350};

int toolRowSize() {
  app::Form1 form;
  return static_cast<int>(frontend::ToolRow(form).controls().size());
}

// One sequence's worth of choices. Every draw is made in a fixed order, so that a
// seed names the same sequence on every run and every platform's standard library
// that draws alike.
class Generator {
 public:
  explicit Generator(std::mt19937& rng) : rng_(rng), controls_(toolRowSize()) {}

  std::vector<Event> sequence(std::size_t length) {
    std::vector<Event> events;
    while (events.size() < length)
      if (const std::optional<Event> e = next()) events.push_back(*e);
    return events;
  }

 private:
  // Three pointers, each with its device, its buttons down and where it is.
  struct Finger {
    PointerKind device = PointerKind::Mouse;
    unsigned held = 0;
    float x = 300, y = 300;
  };

  int percent() { return percent_(rng_); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  template <class T, std::size_t N>
  T pickIn(const std::array<T, N>& table, int offset = 0, int n = N) {
    return table[static_cast<std::size_t>(offset + pick(n))];
  }

  // A coordinate: near a favourite, a special value, a fraction, or anywhere.
  float coord(int span, std::initializer_list<float> favourites) {
    const int p = percent();
    if (p < 30) {
      const float near = *(favourites.begin() + pick(static_cast<int>(favourites.size())));
      return near + static_cast<float>(pick(61) - 30);
    }
    if (p < 36) return pickIn(kSpecial);
    if (p < 45) return static_cast<float>(pick(span * 64)) / 64.0F;
    return static_cast<float>(pick(span));
  }

  // The next event, or nothing when the draw is one to skip.
  std::optional<Event> next() {
    const int p = percent();
    Event e;
    if (p < 10) return click();
    if (p < 13) {
      e.kind = Event::Kind::Picture;
      e.index = pick(tables::kPictureCount);
    } else if (p < 15) {
      e.kind = Event::Kind::PointersLost;
    } else if (p < 17) {
      // A wipe taken back, by Ctrl+Z or the offer's control, or the page loaded again.
      e.kind = Event::Kind::Keeping;
      const int k = percent();
      e.index = k < 45 ? Event::kCtrlZ : k < 70 ? Event::kTakeOffer : Event::kReload;
    } else if (p < 27) {
      return keyboard();
    } else {
      return pointer();
    }
    return e;
  }

  std::optional<Event> click() {
    Event e;
    e.kind = Event::Kind::Click;
    e.index = pick(controls_);
    // "終了" ends the run: once in a long while, to see that nothing follows it.
    if (e.index == controls_ - 1 && pick(20) != 0) return std::nullopt;
    return e;
  }

  // A keyboard user: a part's slider focused and its keys, the board's keys.
  Event keyboard() {
    Event e;
    e.kind = Event::Kind::Keyboard;
    const int a = percent();
    e.action = a < 10   ? Event::Action::FocusPart
               : a < 14 ? Event::Action::LeavePart
               : a < 55 ? Event::Action::PartKey
               : a < 60 ? Event::Action::BoardFocus
               : a < 62 ? Event::Action::BoardBlur
               : a < 95 ? Event::Action::BoardKey
                        : Event::Action::Slide;
    e.index = pick(tables::kPartCount);
    e.button = static_cast<unsigned>(pick(tables::kKeys));
    e.x = static_cast<float>(pick(1000) - 100);
    return e;
  }

  Event pointer() {
    if (percent() < 25) current_ = pick(3);
    Finger& f = fingers_[static_cast<std::size_t>(current_)];
    Event e;
    e.pointer = current_;
    if (f.held == 0 && percent() < 5) f.device = pickIn(kDevices, 0, 3);
    e.device = f.device;
    const int m = percent();
    if ((f.held == 0 && m < 35) || (f.held != 0 && m < 3)) {
      press(f, e);
    } else if (f.held != 0 && m < 15) {
      e.phase = Phase::Up;
      e.button = percent() < 90 ? f.held & (0u - f.held) : pickIn(kButtons);
      f.held &= ~e.button;
    } else if (f.held != 0 && m < 18) {
      e.phase = Phase::Cancel;
      f.held = 0;
    } else {
      move(f, e);
    }
    e.held = f.held;
    // Now and then a platform reports buttons that do not add up.
    if (percent() < 3) e.held = static_cast<unsigned>(pick(16));
    e.x = f.x;
    e.y = f.y;
    e.afterMs = percent() < 70 ? pickIn(kPauses, 0, 4) : pickIn(kPauses, 4, 4);
    return e;
  }

  void press(Finger& f, Event& e) {
    e.phase = Phase::Down;
    // A mouse presses any button; a finger and a pen mostly report the main one.
    const int b = percent();
    const bool mouse = f.device == PointerKind::Mouse;
    e.button = b < 75 || !mouse ? (b < 97 ? frontend::kLeft : pickIn(kButtons))
               : b < 85         ? frontend::kRight
               : b < 92         ? frontend::kMiddle
                                : pickIn(kButtons);
    f.held |= e.button;
    if (f.held == e.button) {
      f.x = coord(kSpanX, kHandlesX);
      f.y = coord(kSpanY, kHandlesY);
    }
  }

  // Mostly small steps, as a hand makes them, sometimes a jump.
  void move(Finger& f, Event& e) {
    e.phase = Phase::Move;
    if (percent() < 85) {
      f.x += static_cast<float>(pick(41) - 20);
      f.y += static_cast<float>(pick(41) - 20);
    } else {
      f.x = coord(kSpanX, kJumpsX);
      f.y = coord(kSpanY, kJumpsY);
    }
  }

  std::mt19937& rng_;
  std::uniform_int_distribution<int> percent_{0, 99};
  const int controls_;
  std::array<Finger, 3> fingers_;
  int current_ = 0;
};

}  // namespace

std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length) {
  return Generator(rng).sequence(length);
}

}  // namespace fuzz
