// Byte strings read as the input a front end hands the program's core: pointers of
// every kind on the board, the pointers taken away, clicks on the tool row, presses
// on the pictures, the keyboard, a wipe taken back and the page loaded again from what
// it kept. The byte format is what the committed corpus is stored in: it does not
// change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/presenter.h"

namespace fuzz {

struct Event {
  enum class Kind {
    Pointer,       // a pointer on the board
    PointersLost,  // the window lost the focus, the page was hidden
    Click,         // a click on the tool row's control at `index` in ToolRow::controls()
    Picture,       // a mouse click on Image1(`index`), wherever it stands then
    Keyboard,      // the keyboard's `action` on part `index` with key `button`
    Keeping,       // `index`: Ctrl+Z, the offer's control, or the page loaded again
  };
  enum : int { kCtrlZ = 0, kTakeOffer = 1, kReload = 2 };
  // What a keyboard event does.
  enum class Action { FocusPart, LeavePart, PartKey, BoardFocus, BoardBlur, BoardKey, Slide };
  Action action = Action::FocusPart;
  Kind kind = Kind::Pointer;
  frontend::Phase phase = frontend::Phase::Move;
  frontend::PointerKind device = frontend::PointerKind::Mouse;
  int pointer = 0;
  unsigned button = 0;  // kLeft, kRight, kMiddle, a button we do not know (8), or none
  unsigned held = 0;    // the buttons down once the event is over, any of those
  float x = 0;          // for a slide, the value it is set to
  float y = 0;
  int afterMs = 0;  // since the event before
  int index = 0;
  friend bool operator==(const Event&, const Event&) = default;
};

// Every byte string decodes to a (possibly empty) sequence; nothing is rejected.
std::vector<Event> decode(const std::uint8_t* data, std::size_t size);
// The inverse, so that sequences found by chance can be stored as corpus files.
std::vector<std::uint8_t> encode(const std::vector<Event>& events);

std::string describe(const Event& e);

}  // namespace fuzz
