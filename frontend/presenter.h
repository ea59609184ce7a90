// Everything a front end needs of the program that is not about its toolkit, for one
// window: the tool row, the board's input, and the board's frames and ink. A front end
// creates its widgets from it, reports every input to it, applies the outcome it hands
// back, and rasterises its display list.
#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "frontend/input.h"
#include "frontend/keeper.h"
#include "frontend/keyboard.h"
#include "frontend/scene.h"
#include "frontend/tool_row.h"

namespace frontend {

// The stages of a pointer's gesture on the board, as every platform reports them.
enum class Phase { Down, Move, Up, Cancel };

// A platform that reports a button going down or up while another is held as a move
// (Pointer Events do): that button's press or release. A button we do not know stays
// a move, so that where the pointer went is not lost.
inline Phase phaseOf(Phase reported, const PointerEvent& e) {
  if (reported != Phase::Move || (e.button & kKnownButtons) == 0) return reported;
  return (e.held & e.button) != 0 ? Phase::Down : Phase::Up;
}

// A part's slider that changed since a front end last applied it.
struct PartChange {
  std::size_t at = 0;  // its place in kParts
  Slider slider;
};

// What a front end does after an input: applies the tool row's changes and, once the
// program has ended, closes and handles nothing more.
struct Outcome {
  bool reached = false;  // the input reached the model
  std::vector<ToolChange> changes;
  bool ended = false;
  // Keys: the key was the program's (the platform must not act on it as well), and
  // the focus goes back to the board.
  bool keyTaken = false;
  bool focusBoard = false;
  // The offer in the board's corner changed: show Presenter::offer() as it is now.
  bool offerChanged = false;
  // What a screen reader is told. `say`: at once, in the polite status region.
  // `afterPause`: once the keys have paused for Keyboard::kPauseMs, unless another
  // input comes first (a front end restarts its wait with these words); `dropPause`:
  // the words waiting for a pause are no longer true. The same words twice in a row
  // differ by an invisible mark, as a reader drops a message equal to its last.
  std::string say;
  std::string afterPause;
  bool dropPause = false;
  // The parts' sliders that changed (all of them, the first time).
  std::vector<PartChange> parts;
  // Whether the board's keys draw (straight-line mode), when that changed: a page's
  // reader must then hand the board its arrows rather than read with them.
  std::optional<bool> boardKeys;
  // When a front end that stores the board writes Presenter::record().
  Keep keep = Keep::No;
};

class Presenter {
 public:
  // `form` has been loaded.
  explicit Presenter(app::Form1& model)
      : form(model),
        scene(model),
        toolRow(model),
        input(model, scene),
        keyboard_(model),
        keeper_(model) {
    scene.addOverlay(keyboard_.overlay());
  }
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // A pointer on the board. A cancel ends the gesture of `e.pointer` where it was
  // last seen. Any of them may change the tool row: a release that finishes the
  // fifth straight line ends its mode, and so does a cancel in its middle.
  Outcome pointer(Phase phase, const PointerEvent& e);
  // The platform took every pointer away (the window lost the focus, the page was
  // hidden): each gesture ends as a cancel does.
  Outcome pointersLost();
  // The system took every finger: a touch's gesture ends, a mouse's or a pen's goes on.
  Outcome touchesLost();
  // The user's click on a tool-row control. A gesture still holding the board (a
  // finger on it while another taps the row) ends first, as a cancel.
  Outcome click(const ControlId& id);
  // The keyboard (see keyboard.h). A part's slider took the focus, or lost it; a key
  // on it; a screen reader set its value (board pixels, as Slider counts them).
  Outcome focusPart(Part part);
  Outcome leavePart();
  // A key held with a platform's modifier (platformShortcut) is left to the platform.
  Outcome partKey(Part part, Key key, const Modifiers& held = {});
  Outcome slideTo(Part part, double value);
  // The board took the focus or lost it; a key on it.
  Outcome boardFocus(bool focused);
  Outcome boardKey(Key key, const Modifiers& held = {});
  // 「図の説明」: the figure in words, said at once.
  Outcome describe();
  // The keys paused: a front end hands back the words an outcome gave it to say then.
  Outcome sayAfterPause(const std::string& words);
  const Keyboard& keyboard() const { return keyboard_; }
  // A front end whose screen reader is not told a slider's value text as it changes
  // (Qt 6.4 hands AT-SPI none) has it said at once, with a key that moved the part
  // holding the focus, as the page's reader says it.
  bool saysValueText = false;

  // What a wipe took away, offered back (see keeper.h): the offer's control, and
  // Ctrl+Z (keyTaken says whether there was a wipe to take back).
  const Offer& offer() const { return keeper_.offer(); }
  Outcome takeOffer();
  Outcome takeBack();
  // A front end that stores the board: its record, when one is due and no gesture is
  // under way (a stroke is never cut in two), saved at `nowMs`; otherwise nothing.
  std::optional<std::string> record(double nowMs);
  // The same as a store keeps it: a head, and the blocks of writing it names, each
  // stored once (block() gives one's text).
  std::optional<Stored> store(double nowMs);
  std::string block(std::string_view name) const { return keeper_.block(name); }
  // The next record() is due whatever changed (it is to be written elsewhere).
  void keepAgain() { keeper_.changed(); }
  // As it starts: the record this tab kept (the board comes back as it was), records
  // other tabs left (the newest recent one is offered), and whether storing works.
  Outcome resume(std::string_view text);
  Previous consider(std::string_view text, double nowMs) { return keeper_.consider(text, nowMs); }
  Outcome storage(bool keeps);
  const Notice& notice() const { return keeper_.notice(); }
  const InkLog& ink() const { return keeper_.ink(); }

  // The one step after every input, whatever its kind: the tool row's changes since
  // the last time, and whether the program has ended. The calls above end with it;
  // a front end calls it itself only as it starts (every control's state), or after
  // driving the model directly (benchmarks, the soak).
  Outcome afterInput(bool reached = false);

  // "終了" was pressed: the program has ended, and nothing more is handled.
  bool ended() const { return form.endRequested(); }
  // The pointer whose gesture holds the board, if one does.
  std::optional<int> boardOwner() const { return input.owner(); }

  app::Form1& form;
  BoardScene scene;
  ToolRow toolRow;

 private:
  // Reached only through pointer() and the rest, so that every input ends with the
  // one step after it.
  BoardInput input;
  Keyboard keyboard_;
  Keeper keeper_;
  // What the keyboard holds or draws ends before a pointer or a click takes over.
  void keyboardMakesWay();
  // `moved`: the part a key or a reader moved, and where it stood before.
  Outcome keyOutcome(const KeyResult& r, std::optional<std::pair<Part, double>> moved = {});
  // afterInput, for an input that goes on from an offer (a press on the board, a click
  // on the row) or not, and that changed the board (a record is due) or not; `did`:
  // what it did, in words.
  Outcome finish(bool reached, bool goesOn, bool changed, const std::string& did = {});
  // Words as a reader will hear them: a repeat of the last marked, so that it is heard.
  std::string heard(std::string words);
  // What a click on the tool row did, in words (a mode, the grid, the initial screen).
  struct Modes {
    bool memo, line, grid;
  };
  Modes modes() const;
  std::string clickWords(const ControlId& id, const Modes& before) const;
  // Each part's slider as last handed over, and what its words rested on.
  struct Shown {
    Keyboard::Stamp stamp;
    Slider slider;
  };
  std::array<std::optional<Shown>, kParts.size()> partsShown_;
  std::string lastHeard_;
  std::optional<bool> boardKeysShown_;
};

}  // namespace frontend
