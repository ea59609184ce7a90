// The window: every control in its stored place, every piece of state, start-up, the
// two command buttons of its own, and the dispatch of the board's mouse events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "board/board.h"
#include "figure/figure.h"
#include "forms/control_array.h"
#include "forms/controls.h"
#include "forms/numbers.h"
#include "forms/palette.h"
#include "forms/surface.h"

namespace app {

// The lesson's name, as its window's title begins and as a page or a menu names it.
inline constexpr const char* kLessonName = "平行線と線分の比";
// The window's light green, and the board's.
inline constexpr forms::Rgb kWindowGreen{192, 255, 192};
inline constexpr forms::Rgb kBoardGreen{0, 128, 0};

using forms::Int16;
using forms::Single;

// A control that takes keyboard focus, for the tab order.
struct FocusStop {
  enum class Kind { Surface, Command, Option1, Option2, Check1 };
  Kind kind;
  int index;  // element number, or the N of CommandN
  friend bool operator==(const FocusStop&, const FocusStop&) = default;
};

class Form1 {
 public:
  // Creates the window's controls with their stored properties; nothing runs yet.
  Form1();
  // Controls point at each other and at the window's handlers: the window stays put.
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The window itself.
  std::string Caption = "Form1";
  static constexpr int kClientWidth = 822;
  static constexpr int kClientHeight = 687;
  forms::Rgb BackColor = kWindowGreen;

  // The tool row.
  forms::Label Label1;
  forms::CommandButton Command1;  // "初期画面"
  forms::CommandButton Command2;  // "終了"
  forms::CommandButton Command3;  // "メモ"
  forms::CommandButton Command4;  // "方眼"
  forms::CommandButton Command5;  // "直線"
  // CommandN by its N, 1 to 5.
  forms::CommandButton& command(int n);
  const forms::CommandButton& command(int n) const;
  forms::ControlArray<forms::OptionButton> Option1;
  forms::ControlArray<forms::OptionButton> Option2;
  forms::ControlArray<forms::CheckBox> Check1;
  forms::ControlArray<forms::Label> Label4;
  forms::OptionGroup optionGroup;

  // The board and the controls inside it.
  forms::DrawingSurface gamen;
  forms::ControlArray<forms::Line> Line1;
  forms::ControlArray<forms::Line> Line2;
  forms::ControlArray<forms::Line> Line3;
  forms::ControlArray<forms::Line> Line4;
  forms::ControlArray<forms::Line> Line5;
  forms::ControlArray<forms::Line> Line6;
  forms::ControlArray<forms::Label> Label2;
  forms::ControlArray<forms::Label> Label3;
  forms::ControlArray<forms::Image> Image1;
  forms::Shape Shape1;

  figure::Figure figure;
  board::Board board;

  // Pointer position of the last press or move on the board.
  Single LastX = 0;
  Single LastY = 0;

  // Runs once, before the window is first shown.
  void Form_Load();
  // Wipes the writing, switches every mode and the grid off, and restores the figure.
  void InitScreen();
  // Runs as InitScreen begins, before anything is wiped: what keeps the board for a
  // wipe to be taken back looks at it here.
  std::function<void()> beforeInitScreen;
  // A board put back from what was kept holds nothing: a part held or a line or a
  // stroke begun when it was kept ends as its release would have ended it.
  void endGestures();
  void Command1_Click();
  // Asks the program to end; the front end closes the window and exits at once.
  void Command2_Click();
  void Image1_Click(Int16 index);

  // Mouse buttons as the board's events report them.
  static constexpr Int16 kLeftButton = 1;
  static constexpr Int16 kRightButton = 2;
  static constexpr Int16 kMiddleButton = 4;

  // The board's mouse events, in pixels of its drawing area. `button` is the button
  // that went down or up (for a move, the buttons held); `shift` is not used.
  void gamen_MouseDown(Int16 button, Int16 shift, Single x, Single y);
  void gamen_MouseMove(Int16 button, Int16 shift, Single x, Single y);
  void gamen_MouseUp(Int16 button, Int16 shift, Single x, Single y);

  // The interaction mode, from the two mode flags.
  bool inFigureMode() const { return board.MemoMode == 0 && board.LineMode == 0; }
  bool endRequested() const { return endRequested_; }

  // Keyboard focus order of the window's controls.
  static const std::vector<FocusStop>& tabOrder();

 private:
  void connectHandlers();
  bool endRequested_ = false;
};

}  // namespace app
