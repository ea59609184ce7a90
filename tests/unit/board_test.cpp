// Pens, memo mode, straight-line mode and the grid, through the window's handlers.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "testing/form_dump.h"

using testing_support::dump;

namespace {

struct BoardFixture : ::testing::Test {
  app::Form1 form;
  board::Board& b = form.board;

  void SetUp() override {
    form.Form_Load();
    form.gamen.drain([](const forms::InkCommand&) {});
  }

  void moveTo(float x, float y) { form.gamen_MouseMove(0, 0, x, y); }
  void press(float x, float y, forms::Int16 button = app::Form1::kLeftButton) {
    form.gamen_MouseDown(button, 0, x, y);
  }
  void release(float x, float y, forms::Int16 button = app::Form1::kLeftButton) {
    form.gamen_MouseUp(button, 0, x, y);
  }
  void drawLine(float x1, float y1, float x2, float y2) {
    moveTo(x1, y1);
    press(x1, y1);
    moveTo((x1 + x2) / 2, (y1 + y2) / 2);
    moveTo(x2, y2);
    release(x2, y2);
  }
  std::vector<forms::InkCommand> ink() {
    std::vector<forms::InkCommand> out;
    form.gamen.drain([&](const forms::InkCommand& c) { out.push_back(c); });
    return out;
  }
  void expectEnabled(forms::ControlArray<forms::OptionButton>& a, bool enabled) {
    a.forEach([&](int i, const forms::OptionButton& o) { EXPECT_EQ(o.Enabled, enabled) << i; });
  }
  void tick(std::initializer_list<int> boxes) {
    for (int i : boxes) form.Check1(i).userClick();
  }
};

}  // namespace

// --- Modes ------------------------------------------------------------------------

TEST_F(BoardFixture, MemoFromFigureModeEnablesThePensWithThinRedChosen) {
  form.Command3.userClick();
  expectEnabled(form.Option1, true);
  expectEnabled(form.Option2, false);
  EXPECT_TRUE(form.Option1(0).Value());
  EXPECT_FALSE(form.Option2(3).Value());
  EXPECT_EQ(b.MemoMode, 1);
  EXPECT_EQ(b.LineMode, 0);
  EXPECT_TRUE(form.Command3.FontBold);
  EXPECT_FALSE(form.Command5.FontBold);
  EXPECT_EQ(b.PenColor, 12);
  EXPECT_EQ(form.gamen.DrawWidth, 3);
  EXPECT_FALSE(form.Shape1.Visible);
}

TEST_F(BoardFixture, MemoTwiceReturnsToFigureModeKeepingPenAndWriting) {
  form.Command3.userClick();
  form.Option1(7).userClick();
  drawLine(100, 100, 200, 120);
  ASSERT_TRUE(form.Shape1.Visible);
  form.Command3.userClick();
  expectEnabled(form.Option1, false);
  EXPECT_EQ(b.MemoMode, 0);
  EXPECT_FALSE(form.Command3.FontBold);
  EXPECT_FALSE(form.Shape1.Visible);
  EXPECT_EQ(b.PenColor, 2);
  EXPECT_EQ(form.gamen.DrawWidth, 25);
  for (const auto& c : ink()) EXPECT_NE(c.kind, forms::InkCommand::Kind::Clear);
  // Memo mode always starts again with the thin red pen.
  form.Command3.userClick();
  EXPECT_EQ(b.PenColor, 12);
  EXPECT_EQ(form.gamen.DrawWidth, 3);
}

TEST_F(BoardFixture, StraightLineModeStartsAtTheFirstFreeBoxInWhite) {
  tick({0, 1});
  form.Command5.userClick();
  EXPECT_EQ(b.LineSlot, 3);
  expectEnabled(form.Option2, true);
  expectEnabled(form.Option1, false);
  EXPECT_TRUE(form.Option2(3).Value());
  EXPECT_EQ(b.LineColor, 15);
  EXPECT_EQ(b.LineMode, 1);
  EXPECT_EQ(b.MemoMode, 0);
  EXPECT_TRUE(form.Command5.FontBold);
  EXPECT_FALSE(form.Command3.FontBold);
}

TEST_F(BoardFixture, ModesEndEachOther) {
  form.Command3.userClick();
  form.Option1(3).userClick();
  ASSERT_TRUE(form.Shape1.Visible);
  form.Command5.userClick();  // memo -> straight-line
  EXPECT_EQ(b.MemoMode, 0);
  EXPECT_EQ(b.LineMode, 1);
  EXPECT_FALSE(form.Command3.FontBold);
  EXPECT_FALSE(form.Shape1.Visible);
  expectEnabled(form.Option1, false);
  form.Command3.userClick();  // straight-line -> memo
  EXPECT_EQ(b.MemoMode, 1);
  EXPECT_EQ(b.LineMode, 0);
  EXPECT_FALSE(form.Command5.FontBold);
  expectEnabled(form.Option2, false);
  expectEnabled(form.Option1, true);
  EXPECT_TRUE(form.Option1(0).Value());
  form.Command5.userClick();
  form.Command5.userClick();  // straight-line -> figure
  EXPECT_EQ(b.LineMode, 0);
  EXPECT_FALSE(form.Command5.FontBold);
  expectEnabled(form.Option2, false);
  expectEnabled(form.Option1, false);
}

TEST_F(BoardFixture, WithEveryBoxTickedStraightLineModeCannotStart) {
  tick({0, 1, 2, 3, 4});
  form.Command3.userClick();
  const std::string memo = dump(form);
  form.Command5.userClick();
  EXPECT_EQ(b.LineSlot, 0);
  EXPECT_EQ(dump(form), memo);  // LineSlot was already 0; nothing else changes
  EXPECT_EQ(b.MemoMode, 1);
}

TEST_F(BoardFixture, InitialScreenEndsEitherModeAndWipesTheWriting) {
  form.Command3.userClick();
  drawLine(10, 10, 50, 50);
  press(60, 60, app::Form1::kRightButton);
  EXPECT_EQ(b.MemoMode, 0);
  EXPECT_FALSE(form.Command3.FontBold);
  expectEnabled(form.Option1, false);
  EXPECT_TRUE(form.Option1(0).Value());  // still chosen, but disabled
  EXPECT_EQ(ink().back().kind, forms::InkCommand::Kind::Clear);

  form.Command5.userClick();
  drawLine(10, 10, 50, 50);
  ASSERT_EQ(form.Check1(0).Value(), 1);
  form.Command1.userClick();
  EXPECT_EQ(b.LineMode, 0);
  EXPECT_EQ(b.LineSlot, 0);
  EXPECT_EQ(form.Check1(0).Value(), 0);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 1000);
  // Back in figure mode: a left press grabs the figure.
  moveTo(30, 275);
  press(30, 275);
  EXPECT_EQ(form.figure.DragTarget, 1);
}

// --- Pens -------------------------------------------------------------------------

// What each pen button writes on the board, and the marker the erasers show.
TEST_F(BoardFixture, EachPenWritesItsColourAtItsWidthAndTheErasersShowTheirCircle) {
  form.Command3.userClick();
  constexpr forms::Rgb kRed{255, 0, 0}, kYellow{255, 255, 0}, kBlue{0, 0, 255}, kBoard{0, 128, 0};
  const struct {
    forms::Rgb colour;
    int width;
    float marker;  // the circle's width; 0 for none
    float left;    // its left edge, centred on the stroke's end at x 120
  } expected[8] = {{kRed, 3, 0, 0}, {kYellow, 3, 0, 0}, {kBlue, 3, 0, 0}, {kBoard, 15, 15, 112.5F},
                   {kRed, 6, 0, 0}, {kYellow, 6, 0, 0}, {kBlue, 6, 0, 0}, {kBoard, 25, 25, 107.5F}};
  for (int i : {3, 0, 7, 1, 2, 4, 5, 6}) {
    form.Option1(i).userClick();
    moveTo(100, 100);
    press(100, 100);
    moveTo(120, 100);
    release(120, 100);
    const auto written = ink();
    ASSERT_EQ(written.size(), 1U) << i;
    EXPECT_EQ(written[0].colour, expected[i].colour) << i;
    EXPECT_EQ(written[0].width, expected[i].width) << i;
    EXPECT_EQ(form.Shape1.Visible, expected[i].marker > 0) << i;
    if (expected[i].marker > 0) {
      EXPECT_FLOAT_EQ(form.Shape1.Width, expected[i].marker);
      EXPECT_FLOAT_EQ(form.Shape1.Left, expected[i].left);
    }
    EXPECT_FLOAT_EQ(form.Shape1.Height, 25);
  }
}

TEST_F(BoardFixture, LineColourButtonsSetTheNextLinesColourOnly) {
  form.Command5.userClick();
  drawLine(10, 10, 100, 10);
  // Red, yellow, blue and white lines, each drawn after its button.
  const forms::Rgb colours[4] = {{255, 0, 0}, {255, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (int i = 0; i < 4; ++i) {
    form.Option2(i).userClick();
    EXPECT_FALSE(form.Shape1.Visible);
    drawLine(10, 50 + 10.0F * i, 100, 50 + 10.0F * i);
    EXPECT_EQ(form.Line4(i + 1).BorderColor, colours[i]) << i;
  }
  EXPECT_EQ(form.Line4(0).BorderColor, (forms::Rgb{255, 255, 255}));  // kept its colour
}

TEST_F(BoardFixture, APenWritesOneSegmentPerMoveWhileDown) {
  form.Command3.userClick();
  form.Option1(5).userClick();  // bold yellow
  moveTo(5, 5);
  EXPECT_TRUE(ink().empty());  // button up: nothing
  press(10, 20);
  release(10, 20);
  EXPECT_TRUE(ink().empty());  // press and release without moving: no dot
  press(10, 20);
  moveTo(30, 40);
  moveTo(31, 41);
  release(31, 41);
  moveTo(80, 80);
  const auto segments = ink();
  ASSERT_EQ(segments.size(), 2U);
  EXPECT_EQ(segments[0], (forms::InkCommand{forms::InkCommand::Kind::Segment, 10, 20, 30, 40,
                                            forms::QBColor(14), 6}));
  EXPECT_FLOAT_EQ(segments[1].x1, 30);
  EXPECT_FLOAT_EQ(segments[1].x2, 31);
  EXPECT_FLOAT_EQ(form.Shape1.Left, 51.5F);  // still the laid-out 57 wide, centred on 80
}

TEST_F(BoardFixture, EraserPaintsTheBoardGreenWithABroadStroke) {
  form.Command3.userClick();
  form.Option1(3).userClick();
  moveTo(100, 100);
  // A 15 px circle, 25 high, centred on the pointer.
  EXPECT_FLOAT_EQ(form.Shape1.Left, 92.5F);
  EXPECT_FLOAT_EQ(form.Shape1.Top, 87.5F);
  press(100, 100);
  moveTo(150, 100);
  const auto segments = ink();
  ASSERT_EQ(segments.size(), 1U);
  EXPECT_EQ(segments[0].colour, (forms::Rgb{0, 128, 0}));
  EXPECT_EQ(segments[0].width, 15);
}

TEST_F(BoardFixture, InMemoModeThePenWritesOverTheFigureWithoutGrabbingIt) {
  form.Command3.userClick();
  moveTo(400, 125);
  press(400, 125);
  moveTo(450, 125);
  release(450, 125);
  EXPECT_EQ(form.figure.DragTarget, 0);
  EXPECT_DOUBLE_EQ(form.figure.LineLX1, 400);
  EXPECT_EQ(ink().size(), 1U);
}

// --- Straight lines ---------------------------------------------------------------

TEST_F(BoardFixture, AStraightLineStretchesFromThePressToThePointer) {
  form.Command5.userClick();
  moveTo(100, 100);
  press(100, 100);
  EXPECT_EQ(b.LineDrawing, 1);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 100);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 100);
  const forms::Line other = form.Line4(1);
  moveTo(200, 150);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 100);
  EXPECT_FLOAT_EQ(form.Line4(0).Y1, 100);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 200);
  EXPECT_FLOAT_EQ(form.Line4(0).Y2, 150);
  EXPECT_EQ(form.Line4(1), other);
  release(210, 160);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 210);
  EXPECT_FLOAT_EQ(form.Line4(0).Y2, 160);
  EXPECT_EQ(form.Check1(0).Value(), 1);
  EXPECT_EQ(b.LineSlot, 2);
  EXPECT_EQ(b.LineDrawing, 0);
  EXPECT_TRUE(ink().empty());
}

TEST_F(BoardFixture, FiveLinesTickTheBoxesInTurnAndTheFifthEndsTheMode) {
  form.Command5.userClick();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(b.LineMode, 1);
    EXPECT_EQ(b.LineSlot, i + 1);
    drawLine(100, 100.0F + 50 * i, 300, 100.0F + 50 * i);
    EXPECT_EQ(form.Check1(i).Value(), 1);
  }
  EXPECT_EQ(b.LineMode, 0);
  EXPECT_EQ(b.LineSlot, 0);
  EXPECT_FALSE(form.Command5.FontBold);
  expectEnabled(form.Option2, false);
  moveTo(30, 275);
  press(30, 275);
  EXPECT_EQ(form.figure.DragTarget, 1);
}

TEST_F(BoardFixture, AClickWithoutMovingMakesALineOfZeroLengthAndUsesItsSlot) {
  form.Command5.userClick();
  moveTo(120, 130);
  press(120, 130);
  release(120, 130);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 120);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 120);
  EXPECT_EQ(form.Check1(0).Value(), 1);
  EXPECT_EQ(b.LineSlot, 2);
}

TEST_F(BoardFixture, TheSearchForTheNextLineStartsFromBoxOne) {
  tick({0, 1, 3});
  form.Command5.userClick();
  EXPECT_EQ(b.LineSlot, 3);
  drawLine(10, 10, 20, 20);
  EXPECT_EQ(form.Check1(2).Value(), 1);
  EXPECT_EQ(b.LineSlot, 5);
  drawLine(10, 10, 20, 20);
  EXPECT_EQ(b.LineMode, 0);
}

TEST_F(BoardFixture, AFreedBoxIsFoundOnlyAfterTheNextLine) {
  tick({0, 1});
  form.Command5.userClick();
  ASSERT_EQ(b.LineSlot, 3);
  form.Check1(0).userClick();  // untick "1"
  EXPECT_EQ(b.LineSlot, 3);
  drawLine(10, 10, 20, 20);
  EXPECT_EQ(form.Check1(2).Value(), 1);
  EXPECT_EQ(b.LineSlot, 1);
}

TEST_F(BoardFixture, UntickingTakesTheLineAwayAndTickingDrawsNothing) {
  form.Command5.userClick();
  drawLine(100, 100, 300, 200);
  form.Check1(0).userClick();
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 1000);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 1000);
  EXPECT_FLOAT_EQ(form.Line4(0).Y2, 200);  // its heights stay
  form.Check1(0).userClick();
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 1000);
  EXPECT_EQ(form.Check1(0).Value(), 1);
}

// --- Grid -------------------------------------------------------------------------

TEST_F(BoardFixture, GridButtonShowsAndHidesAllFiftyNineLinesInAnyMode) {
  form.Command3.userClick();
  form.Command4.userClick();
  EXPECT_EQ(b.GridShown, 1);
  EXPECT_TRUE(form.Command4.FontBold);
  int shown = 0;
  form.Line5.forEach([&](int, const forms::Line& l) { shown += l.Visible; });
  form.Line6.forEach([&](int, const forms::Line& l) { shown += l.Visible; });
  EXPECT_EQ(shown, 59);
  EXPECT_EQ(b.MemoMode, 1);
  form.Command4.userClick();
  EXPECT_EQ(b.GridShown, 0);
  EXPECT_FALSE(form.Command4.FontBold);
  EXPECT_FALSE(form.Line6(32).Visible);
  form.Command4.userClick();
  form.Command1.userClick();
  EXPECT_FALSE(form.Line5(0).Visible);
  EXPECT_EQ(b.GridShown, 0);
  form.Command4.userClick();
  EXPECT_TRUE(form.Line5(0).Visible);
}

// --- Faults mended ----------------------------------------------------------------

TEST_F(BoardFixture, ReleaseAfterARightPressMidStrokeLiftsThePen) {
  form.Command3.userClick();
  moveTo(100, 100);
  press(100, 100);
  moveTo(120, 100);
  press(120, 100, app::Form1::kRightButton);  // initial screen, figure mode
  release(120, 100, app::Form1::kRightButton);
  release(120, 100);
  EXPECT_EQ(b.PenDown, 0);
  ink();
  form.Command3.userClick();
  moveTo(200, 200);
  moveTo(250, 250);
  EXPECT_TRUE(ink().empty());  // no writing with no button held
}

TEST_F(BoardFixture, ReleaseAfterARightPressMidLineLeavesNoRubberBand) {
  form.Command5.userClick();
  moveTo(100, 100);
  press(100, 100);
  moveTo(150, 150);
  press(150, 150, app::Form1::kRightButton);
  release(150, 150);
  EXPECT_EQ(b.LineDrawing, 0);
  form.Command5.userClick();
  const forms::Line before = form.Line4(0);
  moveTo(300, 300);
  EXPECT_EQ(form.Line4(0), before);
  EXPECT_EQ(form.Check1(0).Value(), 0);
}

TEST_F(BoardFixture, SwitchingModesMidStrokeEndsTheStrokeAtTheRelease) {
  form.Command3.userClick();
  moveTo(100, 100);
  press(100, 100);
  form.Command5.userClick();  // e.g. the space bar on the focused button
  release(100, 100);
  form.Command3.userClick();
  ink();
  moveTo(150, 150);
  EXPECT_TRUE(ink().empty());
}

TEST_F(BoardFixture, ALineLeftUnfinishedByAModeSwitchDoesNotStayOnTheBoard) {
  form.Command5.userClick();
  moveTo(100, 100);
  press(100, 100);
  moveTo(200, 150);
  form.Command3.userClick();  // the space bar on the focused "メモ" mid-line
  EXPECT_EQ(b.LineDrawing, 0);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 1000);
  EXPECT_FLOAT_EQ(form.Line4(0).X2, 1000);
  moveTo(220, 160);
  release(220, 160);
  EXPECT_EQ(form.Check1(0).Value(), 0);
  EXPECT_FLOAT_EQ(form.Line4(0).X1, 1000);
}

TEST_F(BoardFixture, ReenteringStraightLineModeMidLineLeavesNoOrphanedLine) {
  // Found by the event fuzzer: the slot moved to a freed box while the old line
  // was still being stretched, which then stayed on the board with its box unticked.
  form.Command5.userClick();
  drawLine(100, 100, 200, 100);
  form.Check1(0).userClick();
  moveTo(300, 300);
  press(300, 300);
  form.Command3.userClick();
  form.Command5.userClick();
  EXPECT_EQ(b.LineSlot, 1);
  EXPECT_EQ(b.LineDrawing, 0);
  EXPECT_FLOAT_EQ(form.Line4(1).X1, 1000);
  const forms::Line first = form.Line4(0);
  moveTo(350, 350);
  EXPECT_EQ(form.Line4(0), first);  // no rubber band from a line never started
}
