#include "app/form1.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace app {

namespace {
// The lesson's name with its author's, as the window's title bar shows it.
const std::string kCaption = std::string(kLessonName) + " (by t.Kavel)";
}  // namespace

void Form1::connectHandlers() {
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { board.Command3_Click(); };
  Command4.Click = [this] { board.Command4_Click(); };
  Command5.Click = [this] { board.Command5_Click(); };
  Option1.forEach([this](int i, forms::OptionButton& b) {
    b.Click = [this, i] { board.Option1_Click(static_cast<Int16>(i)); };
  });
  Option2.forEach([this](int i, forms::OptionButton& b) {
    b.Click = [this, i] { board.Option2_Click(static_cast<Int16>(i)); };
  });
  Check1.forEach([this](int i, forms::CheckBox& b) {
    b.Click = [this, i] { board.Check1_Click(static_cast<Int16>(i)); };
  });
}

void Form1::Form_Load() {
  Caption = kCaption;
  gamen.scaleMode = forms::ScaleMode::Pixels;
  gamen.DrawWidth = board::kDefaultDrawWidth;
  board.buildGrid();
  board.PenColor = board::kDefaultPenColor;
  board.LineColor = board::kDefaultLineColor;
  // Option1(0) is stored as selected, so selecting it again runs nothing; selecting
  // Option2(3) then clears it and applies the white line colour.
  Option1(board::kThinRedPen).setValue(true);
  Option2(board::kWhiteLine).setValue(true);
  InitScreen();
}

void Form1::InitScreen() {
  if (beforeInitScreen) beforeInitScreen();
  board.resetBeforeFigure();
  figure.DragTarget = 0;
  figure.reset();
  board.resetAfterFigure();
}

void Form1::endGestures() {
  if (figure.DragTarget != figure::kHoldNothing) figure.release();
  board.abandonGestures();
}

forms::CommandButton& Form1::command(int n) {
  forms::CommandButton* const buttons[] = {&Command1, &Command2, &Command3, &Command4, &Command5};
  if (n < 1 || n > 5) throw std::out_of_range("no command button " + std::to_string(n));
  return *buttons[n - 1];
}

const forms::CommandButton& Form1::command(int n) const {
  return const_cast<Form1*>(this)->command(n);
}

void Form1::Command1_Click() { InitScreen(); }

void Form1::Command2_Click() { endRequested_ = true; }

void Form1::Image1_Click(Int16 index) { figure.Image1_Click(index); }

namespace {
// No pointer reports positions a million pixels off the board; a value beyond that
// (a glitching touch driver) is held there, so that sums of displacements keep
// their precision and the copy of ℓ its direction.
constexpr Single kPointerLimit = 1e6F;
Single sanePointer(Single v) {
  if (!std::isfinite(v)) return v != v ? 0.0F : (v > 0 ? kPointerLimit : -kPointerLimit);
  return std::clamp(v, -kPointerLimit, kPointerLimit);
}
}  // namespace

void Form1::gamen_MouseDown(Int16 button, Int16 /*shift*/, Single x, Single y) {
  x = sanePointer(x);
  y = sanePointer(y);
  if (button == kLeftButton) {
    if (inFigureMode()) {
      // A grab keeps the last pointer position: the first step of the drag is
      // measured from the last move.
      figure.grab(x, y);
      return;
    }
    board.press(x, y);
  }
  if (button == kRightButton) InitScreen();
  LastX = x;
  LastY = y;
}

void Form1::gamen_MouseMove(Int16 /*button*/, Int16 /*shift*/, Single x, Single y) {
  x = sanePointer(x);
  y = sanePointer(y);
  // The eraser's marker is centred on the pointer in every mode, shown or not.
  Shape1.Top = y - Shape1.Height / 2;
  Shape1.Left = x - Shape1.Width / 2;
  if (inFigureMode()) {
    figure.dragBy(x - LastX, y - LastY);
  } else {
    board.move(LastX, LastY, x, y);
  }
  LastX = x;
  LastY = y;
}

void Form1::gamen_MouseUp(Int16 /*button*/, Int16 /*shift*/, Single x, Single y) {
  x = sanePointer(x);
  y = sanePointer(y);
  if (inFigureMode()) {
    figure.release();
  } else {
    board.release(x, y);
  }
}

}  // namespace app
