// Byte strings read as the input a front end hands the program's core: pointers of
// every kind on the board, the pointers taken away, clicks on the tool row, presses
// on the pictures, the keyboard, a wipe taken back and the page loaded again from what
// it kept. A session plays them through the core as both front ends do, and
// after every one checks what a user could see go wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "frontend/presenter.h"
#include "fuzz/pixels.h"

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
  float x = 0;  // for a slide, the value it is set to
  float y = 0;
  int afterMs = 0;  // since the event before
  int index = 0;
  friend bool operator==(const Event&, const Event&) = default;
};

// Every byte string decodes to a (possibly empty) sequence; nothing is rejected.
std::vector<Event> decode(const std::uint8_t* data, std::size_t size);
// The inverse, so that sequences found by chance can be stored as corpus files.
std::vector<std::uint8_t> encode(const std::vector<Event>& events);
// A random sequence of `length` events: gestures of up to three pointers of every
// kind, interleaved, cancelled, lost and silent, biased toward the figure's handles,
// the pictures and the tool row so that every mode and drag is reached often.
std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length);

std::string describe(const Event& e);

// What a front end hands the core for `e`: the event itself or, for a click on a
// picture, a press and a release of the mouse at its middle, wherever it stands now.
std::vector<Event> asDelivered(const app::Form1& form, const Event& e);
// Hands one of those to the core, as happening at `nowMs`.
frontend::Outcome deliver(frontend::Presenter& core, const Event& e, double nowMs);

// The first invariant the model breaks, or nothing. `ink` holds the commands the last
// event drew.
std::optional<std::string> brokenInvariant(const app::Form1& form,
                                           const std::vector<forms::InkCommand>& ink);
int invariantCount();
// Of those, what keeps the window's arithmetic sound whatever it shows: flags, finite
// values, one mode at a time.
std::optional<std::string> brokenSafety(const app::Form1& form);

// One window and its core, with what a front end keeps of it: the tool row as last
// applied, the ink raster, and the screen as painted frame by frame, only where damaged.
class Session {
 public:
  Session();
  // Plays one event; the first thing that went wrong, or nothing.
  std::optional<std::string> play(const Event& e);
  // Paints a frame, and compares the screen with a full repaint of the same state.
  std::optional<std::string> compareFrames();
  // Paints a frame where it is damaged, as a display's refresh does.
  void frame();
  bool ended() const { return core_->ended(); }

 private:
  // The window opened afresh, with the board of `record` if one is given, as a page
  // opens in its tab.
  void open(std::string_view record);
  std::optional<std::string> keeping(const Event& e);
  // The page loaded again: its record read into a new window, which must show the
  // board as the old one showed it.
  std::optional<std::string> reload();
  // A full repaint of the board as it stands, ink and all.
  const Pixels& repaint();
  std::optional<std::string> pointer(const Event& e);
  std::optional<std::string> apply(const frontend::Outcome& out, const Event& e);
  std::optional<std::string> toolRowShown() const;
  double& heard(int pointer);

  std::unique_ptr<app::Form1> form_;
  std::unique_ptr<frontend::Presenter> core_;
  std::vector<frontend::ToolState> shown_;  // the tool row, as the changes left it
  Pixels ink_;
  Pixels screen_;
  Pixels full_;  // a full repaint, to compare with
  double nowMs_ = 0;
  std::vector<double> heardMs_;  // each pointer's last event
  frontend::PointerKind ownerKind_ = frontend::PointerKind::Mouse;
  std::optional<double> penMs_;
  std::string endedState_;  // the window as it was when it ended
  std::vector<forms::InkCommand> drawn_;  // what the last event drew
  std::size_t seenInk_ = 0;               // of the ink waiting for the next frame
  bool offerChanged_ = false;             // the last outcome changed the offer
  std::optional<Pixels> offered_;         // the wiped board offered back, as it showed
};

// Runs a sequence on a fresh, loaded window, comparing frames every few dozen events
// and at the end. Returns a readable report of the first fault (with the events that
// led to it), or nothing.
std::optional<std::string> run(const std::vector<Event>& events);

}  // namespace fuzz
