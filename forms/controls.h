// The controls the window logic is written against: plain properties, and for the
// buttons the click semantics of a classic forms runtime. No toolkit here: the
// front-end core (frontend/) turns them into a display list and the tool row's
// changes, which every front end shows.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/numbers.h"
#include "forms/palette.h"

namespace forms {

// Left, top, width and height in pixels of the control's container.
struct Bounds {
  Single Left = 0;
  Single Top = 0;
  Single Width = 0;
  Single Height = 0;
  friend constexpr bool operator==(const Bounds&, const Bounds&) = default;
};

struct FontSpec {
  std::string Name;  // empty: the window's default dialog font
  double SizePt = 9;
  bool Bold = false;
  bool Japanese = false;  // asks for a Japanese character set
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class LineStyle { Solid, Dot };

struct Line {
  Single X1 = 0;
  Single Y1 = 0;
  Single X2 = 0;
  Single Y2 = 0;
  Rgb BorderColor = kBlack;
  LineStyle BorderStyle = LineStyle::Solid;
  int BorderWidth = 1;
  bool Visible = true;
  friend bool operator==(const Line&, const Line&) = default;
};

// Places a line from (x1, y1) to (x2, y2), each coordinate in single precision.
inline void setEnds(Line& line, double x1, double y1, double x2, double y2) {
  line.X1 = toSingle(x1);
  line.Y1 = toSingle(y1);
  line.X2 = toSingle(x2);
  line.Y2 = toSingle(y2);
}

struct Label : Bounds {
  std::string Caption;
  FontSpec Font;
  Rgb ForeColor = kBlack;
  Rgb BackColor = kWhite;
  bool Visible = true;
  friend bool operator==(const Label&, const Label&) = default;
};

// An image control showing one of the program's built-in pictures, named by a key
// the front end resolves.
struct Image : Bounds {
  std::string Picture;
  bool Visible = true;
  friend bool operator==(const Image&, const Image&) = default;
};

// A shape control of the kind circle: the largest circle that fits its box, centred
// in it, drawn as an outline.
struct Shape : Bounds {
  Rgb BorderColor = kBlack;
  bool Visible = true;
  friend bool operator==(const Shape&, const Shape&) = default;
};

// What every clickable control on the window has.
struct ButtonBase : Bounds {
  std::string Caption;
  Rgb BackColor{192, 192, 192};
  bool Enabled = true;
  // Runs on a click by the user, and for option buttons and check boxes whenever the
  // program changes their value.
  std::function<void()> Click;
};

struct CommandButton : ButtonBase {
  bool FontBold = false;
  // A click by the user; a disabled button ignores it.
  void userClick() {
    if (Enabled && Click) Click();
  }
};

class OptionGroup;

// An option button belongs to exactly one group; selecting it clears the others.
class OptionButton : public ButtonBase {
 public:
  bool Value() const { return value_; }
  // Selecting runs the click handler once, and only if the button was not selected
  // already. Clearing runs nothing.
  void setValue(bool selected);
  void userClick() {
    if (Enabled) setValue(true);
  }
  // The value a kept board had, put back as it was: no click runs, and the others of
  // the group are left to be put back too.
  void restore(bool selected) { value_ = selected; }

 private:
  friend class OptionGroup;
  OptionGroup* group_ = nullptr;
  bool value_ = false;
};

// Every option button placed directly on a window forms one group: at most one of
// them is selected.
class OptionGroup {
 public:
  void add(OptionButton& button) {
    button.group_ = this;
    members_.push_back(&button);
  }
  const std::vector<OptionButton*>& members() const { return members_; }
  // The one selected button, or nullptr.
  const OptionButton* selected() const;

 private:
  friend class OptionButton;
  void clearAllBut(const OptionButton& keep);
  std::vector<OptionButton*> members_;
};

class CheckBox : public ButtonBase {
 public:
  // 0 unticked, 1 ticked.
  int Value() const { return value_; }
  // A change runs the click handler once; setting the value it already has runs
  // nothing. Any value other than 0 counts as ticked.
  void setValue(int value);
  void userClick() {
    if (Enabled) setValue(value_ == 0 ? 1 : 0);
  }
  // The value a kept board had, put back as it was: no click runs.
  void restore(int value) { value_ = value == 0 ? 0 : 1; }

 private:
  int value_ = 0;
};

}  // namespace forms
