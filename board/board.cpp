#include "board/board.h"

#include <array>

namespace board {

namespace {

// Grid cells are 25 px; the grid reaches x = 800 and y = 625.
constexpr Single kGridStep = 25;
constexpr Single kGridRight = 800;
constexpr Single kGridBottom = 625;

// Straight lines not in use wait beyond the board's right edge.
constexpr Single kOutOfSightX = 1000;

}  // namespace

Pen penOf(int index) { return kPens.at(static_cast<std::size_t>(index)); }
int lineColourOf(int index) { return kLineColours.at(static_cast<std::size_t>(index)); }

void Board::Option1_Click(Int16 index) {
  const Pen pen = penOf(index);
  c_.Shape1.Visible = false;
  PenColor = pen.colour;
  c_.gamen.DrawWidth = pen.width;
  if (pen.markerWidth != 0) {
    c_.Shape1.Visible = true;
    c_.Shape1.Width = static_cast<Single>(pen.markerWidth);
  }
}

void Board::Option2_Click(Int16 index) {
  c_.Shape1.Visible = false;
  LineColor = static_cast<Int16>(lineColourOf(index));
}

void Board::Check1_Click(Int16 index) {
  if (c_.Check1(index).Value() == 0) {
    c_.Line4(index).X1 = kOutOfSightX;
    c_.Line4(index).X2 = kOutOfSightX;
  }
}

void Board::Command3_Click() {
  abandonGestures();
  if (MemoMode == 0) {
    enableAll(c_.Option1, true);
    enableAll(c_.Option2, false);
    c_.Option1(kThinRedPen).setValue(true);
    MemoMode = 1;
    c_.Command3.FontBold = true;
    c_.Command5.FontBold = false;
  } else {
    enableAll(c_.Option1, false);
    MemoMode = 0;
    c_.Command3.FontBold = false;
    c_.Shape1.Visible = false;
  }
  LineMode = 0;
}

void Board::Command4_Click() {
  if (GridShown == 0) {
    setGridVisible(true);
    c_.Command4.FontBold = true;
    GridShown = 1;
  } else {
    setGridVisible(false);
    c_.Command4.FontBold = false;
    GridShown = 0;
  }
}

void Board::Command5_Click() {
  if (LineMode == 0) {
    LineSlot = firstFreeSlot();
    if (LineSlot == 0) return;  // all five lines in use: the mode cannot start
    abandonGestures();
    enableAll(c_.Option2, true);
    enableAll(c_.Option1, false);
    c_.Option2(kWhiteLine).setValue(true);
    LineMode = 1;
    c_.Command5.FontBold = true;
    c_.Command3.FontBold = false;
    c_.Shape1.Visible = false;
    MemoMode = 0;
  } else {
    abandonGestures();
    enableAll(c_.Option2, false);
    LineMode = 0;
    c_.Command5.FontBold = false;
  }
}

forms::Line* Board::slotLine() {
  if (LineSlot < 1 || LineSlot > kStraightLineCount) return nullptr;
  return &c_.Line4(LineSlot - 1);
}

void Board::press(Single x, Single y) {
  if (MemoMode == 1) PenDown = 1;
  if (LineMode == 1) {
    forms::Line* line = slotLine();
    if (line == nullptr) return;  // no free line: the mode would have ended
    LineDrawing = 1;
    line->BorderColor = forms::QBColor(LineColor);
    forms::setEnds(*line, x, y, x, y);
  }
}

void Board::move(Single lastX, Single lastY, Single x, Single y) {
  if (MemoMode == 1 && PenDown == 1) c_.gamen.Line(lastX, lastY, x, y, forms::QBColor(PenColor));
  if (LineMode == 1 && LineDrawing == 1) {
    if (forms::Line* line = slotLine()) {
      line->X2 = x;
      line->Y2 = y;
    }
  }
}

void Board::release(Single x, Single y) {
  if (MemoMode == 1 && PenDown == 1) PenDown = 0;
  if (LineMode == 1 && LineDrawing == 1) {
    forms::Line* line = slotLine();
    if (line != nullptr) {
      line->X2 = x;
      line->Y2 = y;
      c_.Check1(LineSlot - 1).setValue(1);
    }
    LineDrawing = 0;
    LineSlot = firstFreeSlot();
    if (LineSlot == 0) Command5_Click();  // all five drawn: the mode ends itself
  }
}

void Board::abandonGestures() {
  PenDown = 0;
  if (LineDrawing == 1) {
    forms::Line* line = slotLine();
    if (line != nullptr && c_.Check1(LineSlot - 1).Value() == 0) {
      line->X1 = kOutOfSightX;
      line->X2 = kOutOfSightX;
    }
  }
  LineDrawing = 0;
}

void Board::buildGrid() {
  forms::Line& h0 = c_.Line5(0);
  forms::setEnds(h0, 0, 0, kGridRight, 0);
  h0.Visible = false;
  // Odd lines are dotted, so solid lines fall every 50 px with dotted ones between.
  for (int k = 1; k < kHorizontalGridLines; ++k) {
    forms::Line& h = c_.Line5.Load(k);
    h.BorderStyle = k % 2 == 1 ? forms::LineStyle::Dot : forms::LineStyle::Solid;
    const Single y = kGridStep * static_cast<Single>(k);
    forms::setEnds(h, 0, y, kGridRight, y);
  }
  forms::Line& v0 = c_.Line6(0);
  forms::setEnds(v0, 0, 0, 0, kGridBottom);
  v0.Visible = false;
  for (int k = 1; k < kVerticalGridLines; ++k) {
    forms::Line& v = c_.Line6.Load(k);
    v.BorderStyle = k % 2 == 1 ? forms::LineStyle::Dot : forms::LineStyle::Solid;
    const Single x = kGridStep * static_cast<Single>(k);
    forms::setEnds(v, x, 0, x, kGridBottom);
  }
}

void Board::hideGrid() {
  setGridVisible(false);
  c_.Command4.FontBold = false;
}

void Board::setGridVisible(bool visible) {
  for (int k = 0; k < kHorizontalGridLines; ++k) c_.Line5(k).Visible = visible;
  for (int k = 0; k < kVerticalGridLines; ++k) c_.Line6(k).Visible = visible;
}

void Board::enableAll(forms::ControlArray<forms::OptionButton>& buttons, bool enabled) {
  buttons.forEach([enabled](int, forms::OptionButton& b) { b.Enabled = enabled; });
}

int Board::firstFreeSlot() const {
  for (int i = 0; i < kStraightLineCount; ++i) {
    if (c_.Check1(i).Value() == 0) return i + 1;
  }
  return 0;
}

void Board::resetBeforeFigure() {
  abandonGestures();
  c_.gamen.DrawWidth = kDefaultDrawWidth;
  c_.gamen.Cls();
  c_.Shape1.Visible = false;
  hideGrid();
  enableAll(c_.Option1, false);
  enableAll(c_.Option2, false);
  for (int i = 0; i < kStraightLineCount; ++i) c_.Check1(i).setValue(0);
  MemoMode = 0;
  LineMode = 0;
  LineSlot = 0;
  GridShown = 0;
  c_.Command3.FontBold = false;
  c_.Command5.FontBold = false;
}

void Board::resetAfterFigure() {
  for (int i = 0; i < kStraightLineCount; ++i) {
    c_.Line4(i).X1 = kOutOfSightX;
    c_.Line4(i).X2 = kOutOfSightX;
  }
}

}  // namespace board
