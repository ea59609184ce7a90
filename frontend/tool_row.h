// The tool row above the board as a front end builds it: every control with its place,
// caption, font, colours and the words a screen reader says for it, in the order they
// are stacked; which of their properties the model changed since the front end last
// looked; and the user's clicks on them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "frontend/fonts.h"
#include "frontend/geometry.h"

namespace frontend {

struct ControlId {
  enum class Group { Label1, Label4, Command, Option1, Option2, Check1 };
  Group group = Group::Command;
  int index = 0;  // the element number, or the N of CommandN
  friend bool operator==(const ControlId&, const ControlId&) = default;
};

struct ToolControl {
  enum class Kind { Label, Button, Option, Check };
  ControlId id;
  Kind kind = Kind::Button;
  Rect box;  // in the window's client area
  std::string caption;
  FontChoice font;
  forms::Rgb fore;
  forms::Rgb back;
  std::string name;         // what a screen reader calls it
  std::string description;  // and what it does
  // A mode's or the grid's button: pressed (a screen reader says so) while its caption
  // is bold, which is its only sign on screen.
  bool toggle = false;
};

// What a front end shows of a control that the model may change.
struct ToolState {
  bool bold = false;  // a caption: a command button's, or the title's
  bool enabled = true;
  bool checked = false;  // an option button or check box
  bool visible = true;
  friend bool operator==(const ToolState&, const ToolState&) = default;
};

// One control's properties that changed; the others are as last applied. Only option
// buttons and boxes are ever told `checked`.
struct ToolChange {
  ControlId id;
  std::size_t at = 0;  // its place in controls()
  std::optional<bool> bold, enabled, checked, visible;
  // A box's words follow its state: what it holds now, and what a tick would do.
  std::optional<std::string> description;
};

class ToolRow {
 public:
  explicit ToolRow(app::Form1& form);

  // Bottom to top. Left to right along the row, so that where option buttons overlap,
  // the one to the right lies on top, as its caption does; "終了" last, above the
  // eraser buttons that reach over its left edge.
  const std::vector<ToolControl>& controls() const { return controls_; }
  // A control's place in controls().
  std::size_t indexOf(const ControlId& id) const;

  // Keyboard focus order, as places in controls(); an empty entry is the board.
  std::vector<std::optional<std::size_t>> tabOrder() const;
  // What holds the focus as the window opens: the first of the tab order, the board,
  // so that a Space or Enter pressed at once presses no button ("初期画面" would wipe
  // the board).
  std::optional<std::size_t> firstFocus() const { return tabOrder().front(); }

  // The control a press at (x, y) of the window takes: the topmost whose box holds the
  // point, anywhere in it (not only on its indicator or caption), or none. A label
  // takes it too, and does nothing with it.
  std::optional<std::size_t> controlAt(int x, int y) const;

  // Between an option button's or a box's indicator and its caption: some are as
  // narrow as 25 px ("1" to "5"), and the caption must sit close to be read whole.
  static constexpr int kIndicatorGap = 3;

  // What changed since the last call; the first call gives every control's state.
  // A front end applies these without running any click.
  std::vector<ToolChange> takeChanges();

  // What the model holds of a control now, whatever was last handed over.
  ToolState stateOf(const ControlId& id) const;

  // The user's click; a disabled control ignores it. The next changes include the
  // clicked control's whole state, which the toolkit may have changed on its own.
  void click(const ControlId& id);

  // The lesson's name and the program's version: the title's tooltip, and what a
  // screen reader says of it besides its caption.
  static std::string about();
  // What a straight line's box says, ticked or not.
  static std::string boxWords(int line, bool ticked);

  // The words a screen reader says for the board.
  static constexpr const char* kBoardName = "黒板";
  static constexpr const char* kBoardDescription =
      "平行線 p、q、r と、それに交わる直線 ℓ、m の図。チョークの書き込み、直線、方眼。"
      "直線モードでは矢印キーと Enter で直線を引き、W で十字の場所を聞けます";

 private:
  app::Form1& form_;
  std::vector<ToolControl> controls_;
  std::vector<std::optional<ToolState>> applied_;  // as the front end shows them
};

}  // namespace frontend
