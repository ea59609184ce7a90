// The blackboard around the figure: pens and eraser, memo mode, straight-line mode and
// the grid, with the interaction state they share.
#pragma once

#include <array>

#include "forms/control_array.h"
#include "forms/controls.h"
#include "forms/numbers.h"
#include "forms/surface.h"

namespace board {

using forms::Int16;
using forms::Single;

// The window's controls the blackboard works with; the window owns them.
struct BoardControls {
  forms::DrawingSurface& gamen;
  forms::ControlArray<forms::OptionButton>& Option1;  // pens: 0-3 thin, 4-7 bold
  forms::ControlArray<forms::OptionButton>& Option2;  // straight-line colours
  forms::ControlArray<forms::CheckBox>& Check1;       // one box per straight line
  forms::CommandButton& Command3;                     // "メモ"
  forms::CommandButton& Command4;                     // "方眼"
  forms::CommandButton& Command5;                     // "直線"
  forms::Shape& Shape1;                               // the eraser's marker
  forms::ControlArray<forms::Line>& Line4;            // the five straight lines
  forms::ControlArray<forms::Line>& Line5;            // horizontal grid lines
  forms::ControlArray<forms::Line>& Line6;            // vertical grid lines
};

// A pen of the pen buttons: its QBColor index, stroke width and, for the erasers,
// the width of the marker circle (0: no marker); and whether it is of the bold row.
struct Pen {
  int colour;
  int width;
  int markerWidth;
  bool bold;
};

inline constexpr int kPenCount = 8;
inline constexpr int kLineColourCount = 4;
inline constexpr int kStraightLineCount = 5;
inline constexpr int kHorizontalGridLines = 26;
inline constexpr int kVerticalGridLines = 33;

// The pen buttons: the thin row is 0-3, the bold row 4-7, each red, yellow, blue,
// eraser. The eraser is a pen in the board's own green.
inline constexpr std::array<Pen, kPenCount> kPens{{
    {12, 3, 0, false},   // thin red
    {14, 3, 0, false},   // thin yellow
    {9, 3, 0, false},    // thin blue
    {2, 15, 15, false},  // thin eraser
    {12, 6, 0, true},    // bold red
    {14, 6, 0, true},    // bold yellow
    {9, 6, 0, true},     // bold blue
    {2, 25, 25, true},   // bold eraser
}};
// QBColor index of each line-colour button: red, yellow, blue, white.
inline constexpr std::array<int, kLineColourCount> kLineColours{12, 14, 9, 15};
Pen penOf(int index);
int lineColourOf(int index);

// The window opens with the thin red pen and white straight lines chosen.
inline constexpr int kThinRedPen = 0;
inline constexpr int kWhiteLine = 3;
inline constexpr int kDefaultDrawWidth = kPens[kThinRedPen].width;
inline constexpr int kDefaultPenColor = kPens[kThinRedPen].colour;
inline constexpr Int16 kDefaultLineColor = static_cast<Int16>(kLineColours[kWhiteLine]);

class Board {
 public:
  explicit Board(BoardControls controls) : c_(controls) {}

  // Interaction state. Flags are 0 or 1.
  int MemoMode = 0;
  int LineMode = 0;
  int PenDown = 0;
  int LineDrawing = 0;
  int LineSlot = 0;  // 1-based next straight line; 0: all five in use
  int PenColor = 0;
  Int16 LineColor = 0;
  double GridShown = 0;

  void Option1_Click(Int16 index);
  void Option2_Click(Int16 index);
  void Check1_Click(Int16 index);
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

  // The board's side of the mouse in memo and straight-line mode.
  // A left press: puts the pen down, or starts the next straight line at the point.
  void press(Single x, Single y);
  // A move from (lastX, lastY) to (x, y): one ink segment while the pen is down; the
  // free end of the line being stretched follows the pointer.
  void move(Single lastX, Single lastY, Single x, Single y);
  // Any release in memo or straight-line mode: lifts the pen, fixes the line being
  // stretched, ticks its box and moves on to the next free line (ending the mode
  // after the last one).
  void release(Single x, Single y);
  // Builds the 26 horizontal and 33 vertical grid lines, all hidden.
  void buildGrid();
  void hideGrid();

  // The blackboard's part of the initial screen, before the figure is laid out:
  // writing wiped, marker hidden, grid off, every pen and colour button disabled,
  // every box unticked, every mode off.
  void resetBeforeFigure();
  // ... and after it: the five straight lines out of sight.
  void resetAfterFigure();

  // Leaving a mode (its button, the other mode's button, the initial screen) ends
  // what was begun in it: the pen is lifted, and a line still being stretched is
  // taken away unfinished. Otherwise a release in another mode would leave the pen
  // down, and the next move in memo mode would write with no button held.
  void abandonGestures();

 private:
  void setGridVisible(bool visible);
  void enableAll(forms::ControlArray<forms::OptionButton>& buttons, bool enabled);
  int firstFreeSlot() const;
  // The straight line being drawn, when LineSlot names one.
  forms::Line* slotLine();

  BoardControls c_;
};

}  // namespace board
