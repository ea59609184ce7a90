// Grabbing, dragging and releasing the figure, event by event as the board delivers them.
#include <gtest/gtest.h>

#include <cmath>

#include "app/form1.h"
#include "testing/form_dump.h"

using testing_support::dump;

namespace {

struct FigureFixture : ::testing::Test {
  app::Form1 form;
  figure::Figure& g = form.figure;

  void SetUp() override { form.Form_Load(); }

  void moveTo(float x, float y) { form.gamen_MouseMove(0, 0, x, y); }
  void press(float x, float y, forms::Int16 button = app::Form1::kLeftButton) {
    form.gamen_MouseDown(button, 0, x, y);
  }
  void release(float x, float y, forms::Int16 button = app::Form1::kLeftButton) {
    form.gamen_MouseUp(button, 0, x, y);
  }
  // A mouse travels to the point it presses, then drags.
  void grabAt(float x, float y) {
    moveTo(x, y);
    press(x, y);
  }
  // q taken by its margin handle to height y.
  void dragQTo(float y) {
    grabAt(30, static_cast<float>(g.LineQY));
    moveTo(30, y);
    release(30, y);
  }

  bool highlighted(const forms::Line& l) const { return l.BorderColor == forms::QBColor(12); }
  bool white(const forms::Line& l) const { return l.BorderColor == forms::QBColor(15); }
  bool allFinite() const {
    for (double v : {g.LinePY, g.LineQY, g.LineRY, g.LineLX1, g.LineLX2, g.LineMX1, g.LineMX2,
                     g.PointAX, g.PointBX, g.PointCX, g.PointAPrimeX, g.PointBPrimeX,
                     g.PointCPrimeX, g.CopyX1, g.CopyX2, g.CopyY1})
      if (!std::isfinite(v)) return false;
    bool finite = true;
    auto check = [&](int, const forms::Line& l) {
      finite = finite && std::isfinite(l.X1) && std::isfinite(l.X2) && std::isfinite(l.Y1) &&
               std::isfinite(l.Y2);
    };
    form.Line1.forEach(check);
    form.Line2.forEach(check);
    form.Label2.forEach([&](int, const forms::Label& l) {
      finite = finite && std::isfinite(l.Left) && std::isfinite(l.Top);
    });
    return finite;
  }
};

}  // namespace

// --- Hit tests ---------------------------------------------------------------------

TEST_F(FigureFixture, UpperEndOfLIsGrabbedInsideItsOpenRectangleOnly) {
  grabAt(429, 174);
  EXPECT_EQ(g.DragTarget, 5);
  EXPECT_TRUE(highlighted(form.Line1(3)));
  EXPECT_TRUE(highlighted(form.Line2(1)));  // its extension too, shown or not
  release(429, 174);
  for (auto [x, y] : {std::pair{430.0F, 125.0F}, {400.0F, 175.0F}, {370.0F, 75.0F}}) {
    grabAt(x, y);
    EXPECT_EQ(g.DragTarget, 0) << x << "," << y;
    EXPECT_TRUE(white(form.Line1(3)));
    release(x, y);
  }
}

TEST_F(FigureFixture, MarginBandsHighlightBothLinesAndHoldTheLast) {
  grabAt(20, 310);
  EXPECT_TRUE(highlighted(form.Line1(0)));
  EXPECT_TRUE(highlighted(form.Line1(1)));
  EXPECT_EQ(g.DragTarget, 2);
}

TEST_F(FigureFixture, XOfFiftyBelongsToTheMargin) {
  grabAt(50, 300);
  EXPECT_EQ(g.DragTarget, 1);
  release(50, 300);
  grabAt(50.5F, 300);
  EXPECT_EQ(g.DragTarget, 0);
}

TEST_F(FigureFixture, CopyHandleSitsOnBAndOutranksTheEnds) {
  grabAt(250, 350);
  EXPECT_EQ(g.DragTarget, 10);
  // The copy comes into view on ℓ, in light red.
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 400);
  EXPECT_FLOAT_EQ(form.Line2(0).X2, 100);
  EXPECT_FLOAT_EQ(form.Line2(0).Y2, 575);
  EXPECT_TRUE(highlighted(form.Line2(0)));
  release(250, 350);
  grabAt(200.5F, 350);  // |250 - 200.5| = 49.5
  EXPECT_EQ(g.DragTarget, 10);
  release(200.5F, 350);
  grabAt(200, 350);
  EXPECT_EQ(g.DragTarget, 0);
  release(200, 350);

  // q raised to 170 and ℓ turned in place bring the handle onto B (370, 170), within
  // reach of ℓ's upper end (400, 125): a press in both regions lights both and holds
  // the copy, which is tested after the end.
  dragQTo(170);
  grabAt(400, 125);
  moveTo(400, 125);
  release(400, 125);
  ASSERT_EQ(g.CopyQX, 370);
  grabAt(390, 150);
  EXPECT_EQ(g.DragTarget, 10);
  EXPECT_TRUE(highlighted(form.Line1(3)));
  EXPECT_TRUE(highlighted(form.Line2(0)));
  EXPECT_FALSE(highlighted(form.Line1(4)));
}

TEST_F(FigureFixture, EndsCloserThanSixtyPixelsAreBothHighlightedAndMIsHeld) {
  grabAt(400, 125);
  moveTo(450, 125);  // ℓ's upper end to 450, 25 px from m's
  release(450, 125);
  grabAt(462, 125);
  EXPECT_EQ(g.DragTarget, 6);
  EXPECT_TRUE(highlighted(form.Line1(3)));
  EXPECT_TRUE(highlighted(form.Line1(4)));
  EXPECT_TRUE(highlighted(form.Line2(1)));
  EXPECT_TRUE(highlighted(form.Line2(2)));
  EXPECT_DOUBLE_EQ(g.PointBX, 250);
  EXPECT_DOUBLE_EQ(g.PointBPrimeX, 550);
}

TEST_F(FigureFixture, PressesOtherThanLeftOnlyStoreThePointerOrReset) {
  moveTo(10, 20);
  const std::string before = dump(form);
  press(300, 400, app::Form1::kMiddleButton);
  EXPECT_FLOAT_EQ(form.LastX, 300);
  EXPECT_FLOAT_EQ(form.LastY, 400);
  press(10, 20, app::Form1::kMiddleButton);
  EXPECT_EQ(dump(form), before);

  grabAt(30, 275);
  moveTo(30, 100);
  press(30, 100, app::Form1::kRightButton);  // in the middle of a drag
  EXPECT_EQ(g.DragTarget, 0);
  EXPECT_DOUBLE_EQ(g.LinePY, 275);
  EXPECT_FLOAT_EQ(form.Line1(0).Y1, 275);
}

TEST_F(FigureFixture, LeftPressKeepsThePointerOfTheLastMove) {
  moveTo(100, 200);
  press(30, 275);
  EXPECT_FLOAT_EQ(form.LastX, 100);
  EXPECT_FLOAT_EQ(form.LastY, 200);
}

// --- Drags: the worked examples ---------------------------------------------------

TEST_F(FigureFixture, SwingingLByThirtyTurnsItAboutB) {
  grabAt(400, 125);
  moveTo(430, 125);
  EXPECT_FLOAT_EQ(form.Image1(0).Left, 430);
  EXPECT_DOUBLE_EQ(g.LineLX1, 430);
  EXPECT_DOUBLE_EQ(g.LineLX2, 70);
  EXPECT_FLOAT_EQ(form.Line1(3).X1, 430);
  EXPECT_FLOAT_EQ(form.Line1(3).Y1, 125);
  EXPECT_FLOAT_EQ(form.Line1(3).X2, 70);
  EXPECT_FLOAT_EQ(form.Line1(3).Y2, 575);
  EXPECT_FLOAT_EQ(form.Line2(1).X2, 510);
  EXPECT_FLOAT_EQ(form.Line2(1).Y2, 25);
  EXPECT_DOUBLE_EQ(g.CopyX1, 430);
  EXPECT_DOUBLE_EQ(g.CopyX2, 70);
  EXPECT_EQ(g.CopyQX, 250);
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 1000);
  EXPECT_FLOAT_EQ(form.Line2(0).X2, 1000);
  EXPECT_DOUBLE_EQ(g.PointAX, 310);
  EXPECT_DOUBLE_EQ(g.PointBX, 250);
  EXPECT_DOUBLE_EQ(g.PointCX, 130);
  EXPECT_FLOAT_EQ(form.Label2(0).Left, 334.8F);
  EXPECT_FLOAT_EQ(form.Label2(0).Top, 244);
  EXPECT_FLOAT_EQ(form.LastX, 430);
}

TEST_F(FigureFixture, RaisingPByTwentyFiveSlidesAAndAPrimeAlongTheTransversals) {
  grabAt(30, 275);
  moveTo(70, 250);  // the sideways 40 px are ignored
  EXPECT_DOUBLE_EQ(g.LinePY, 250);
  EXPECT_FLOAT_EQ(form.Line1(0).Y1, 250);
  EXPECT_FLOAT_EQ(form.Line1(0).X1, 50);
  EXPECT_FLOAT_EQ(form.Image1(2).Top, 214);
  EXPECT_FLOAT_EQ(form.Line3(0).Y1, 250);
  EXPECT_FLOAT_EQ(form.Line3(0).Y2, 260);
  EXPECT_FLOAT_EQ(form.Line3(1).Y2, 240);
  EXPECT_NEAR(g.PointAX, 316.67, 0.005);
  EXPECT_NEAR(g.PointAPrimeX, 516.67, 0.005);
  EXPECT_NEAR(form.Label2(0).Left, 337.33, 0.005);
  EXPECT_FLOAT_EQ(form.Label2(0).Top, 219);
  EXPECT_NEAR(form.Label2(3).Left, 516.67, 0.005);
  EXPECT_FLOAT_EQ(form.Label2(3).Top, 219);
  // No transversal moved.
  EXPECT_FLOAT_EQ(form.Line1(3).X1, 400);
  EXPECT_FLOAT_EQ(form.Line1(4).X2, 625);
}

TEST_F(FigureFixture, SlidingTheCopyMovesOnlyTheCopy) {
  grabAt(250, 350);
  std::vector<forms::Line> figureLines;
  form.Line1.forEach([&](int, const forms::Line& l) { figureLines.push_back(l); });
  std::vector<forms::Label> names;
  form.Label2.forEach([&](int, const forms::Label& l) { names.push_back(l); });
  moveTo(275, 350);
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 425);
  EXPECT_FLOAT_EQ(form.Line2(0).Y1, 125);
  EXPECT_FLOAT_EQ(form.Line2(0).X2, 125);
  EXPECT_FLOAT_EQ(form.Line2(0).Y2, 575);
  EXPECT_DOUBLE_EQ(g.CopyX1, 425);
  EXPECT_DOUBLE_EQ(g.CopyX2, 125);
  EXPECT_EQ(g.CopyQX, 275);
  form.Line1.forEach([&](int i, const forms::Line& l) {
    EXPECT_EQ(l, figureLines[static_cast<size_t>(i)]) << "Line1(" << i << ")";
  });
  form.Label2.forEach([&](int i, const forms::Label& l) {
    EXPECT_EQ(l, names[static_cast<size_t>(i)]) << "Label2(" << i << ")";
  });
}

TEST_F(FigureFixture, CopyStaysWhereItWasLeftAndTurnsWhiteOnRelease) {
  grabAt(250, 350);
  moveTo(300, 380);
  release(300, 380);
  EXPECT_TRUE(white(form.Line2(0)));
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 450);
  moveTo(300, 300);
  grabAt(300, 350);  // found at its new handle
  EXPECT_EQ(g.DragTarget, 10);
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 450);
}

TEST_F(FigureFixture, DraggingQMovesBButNotTheCopysHandle) {
  grabAt(30, 350);
  moveTo(30, 400);
  EXPECT_DOUBLE_EQ(g.LineQY, 400);
  // ℓ runs from (400, 125) to (100, 575): at 400, 275 of its 450 down, it has come
  // 300 × 275 / 450 = 183.33 to the left.
  EXPECT_NEAR(g.PointBX, 216.67, 0.005);
  EXPECT_EQ(g.CopyQX, 250);
  EXPECT_FLOAT_EQ(form.Image1(3).Top, 366);
  EXPECT_FLOAT_EQ(form.Line3(2).Y1, 400);
}

// --- Drags: what must hold whatever the motion ------------------------------------

TEST_F(FigureFixture, AfterSwingingLBStaysAndTheCopyLiesOnLOutOfSight) {
  grabAt(400, 125);
  moveTo(430, 137);
  moveTo(390, 140);
  moveTo(517.25F, 90);
  release(517.25F, 90);
  EXPECT_NEAR(g.PointBX, 250, 1e-9);
  EXPECT_DOUBLE_EQ(g.LineLY1, 125);  // the upper end moves sideways only
  EXPECT_DOUBLE_EQ(g.CopyX1, g.LineLX1);
  EXPECT_DOUBLE_EQ(g.CopyX2, g.LineLX2);
  EXPECT_EQ(g.CopyQX, 250);
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 1000);
  grabAt(250, 350);  // brought back into view on ℓ
  EXPECT_FLOAT_EQ(form.Line2(0).X1, form.Line1(3).X1);
  EXPECT_FLOAT_EQ(form.Line2(0).X2, form.Line1(3).X2);
}

TEST_F(FigureFixture, MsPictureLosesItsStartingShiftOnTheFirstMoveOnly) {
  EXPECT_NEAR(form.Image1(1).Left, 511.67, 0.005);
  grabAt(475, 125);
  moveTo(475, 125);
  EXPECT_NEAR(form.Image1(1).Left, 486.67, 0.005);
  // The picture follows the new upper end against the lower end of the event before:
  // 485 + 35 x (625 - 485) / 450, not the 495.11 that m's new lower end (615) gives.
  moveTo(485, 125);
  EXPECT_NEAR(form.Image1(1).Left, 495.89, 0.005);
  EXPECT_DOUBLE_EQ(g.LineMX2, 615);
  EXPECT_EQ(g.CopyQX, 250);  // m's swing leaves the copy alone
}

TEST_F(FigureFixture, EveryFigureModeReleaseWhitensTheSevenMovableLines) {
  const std::pair<forms::ControlArray<forms::Line>*, int> movable[] = {
      {&form.Line1, 0}, {&form.Line1, 1}, {&form.Line1, 3}, {&form.Line1, 4},
      {&form.Line2, 0}, {&form.Line2, 1}, {&form.Line2, 2}};
  for (const auto& [array, index] : movable) (*array)(index).BorderColor = forms::QBColor(12);
  form.Line1(2).BorderColor = forms::QBColor(9);
  release(700, 600, app::Form1::kRightButton);  // grabbed nothing, any button
  for (const auto& [array, index] : movable)
    EXPECT_TRUE(white((*array)(index))) << (array == &form.Line1 ? "Line1 " : "Line2 ") << index;
  EXPECT_EQ(form.Line1(2).BorderColor, forms::QBColor(9));  // r has no handle
}

TEST_F(FigureFixture, MovingWithNothingHeldMovesNothing) {
  moveTo(300, 300);
  const std::string before = dump(form);
  moveTo(310, 290);
  form.LastX = 300;
  form.LastY = 300;
  form.Shape1.Left -= 10;
  form.Shape1.Top += 10;
  EXPECT_EQ(dump(form), before);
}

TEST_F(FigureFixture, MarkerIsCentredOnThePointerEvenWhenHidden) {
  moveTo(100, 200);
  // The marker as laid out, 57 x 25, its middle on (100, 200).
  EXPECT_FLOAT_EQ(form.Shape1.Left, 71.5F);
  EXPECT_FLOAT_EQ(form.Shape1.Top, 187.5F);
  EXPECT_FALSE(form.Shape1.Visible);
}

// --- Line-name pictures -----------------------------------------------------------

TEST_F(FigureFixture, PicturesOfLAndMToggleTheirExtensions) {
  form.Image1_Click(0);
  EXPECT_TRUE(form.Line2(1).Visible);
  EXPECT_EQ(g.ExtensionLShown, 1);
  EXPECT_FALSE(form.Line2(2).Visible);
  form.Image1_Click(0);
  EXPECT_FALSE(form.Line2(1).Visible);
  EXPECT_EQ(g.ExtensionLShown, 0);

  form.Image1_Click(1);
  EXPECT_TRUE(form.Line2(2).Visible);
  EXPECT_EQ(g.ExtensionMShown, 1);
  grabAt(475, 125);
  moveTo(500, 125);
  release(500, 125);
  EXPECT_TRUE(form.Line2(2).Visible);
  EXPECT_FLOAT_EQ(form.Line2(2).X1, 500);
  EXPECT_FLOAT_EQ(form.Line2(2).Y2, 25);
  // m turned about B' (550, 350): 50 right over the 225 above it, so 50 left over the
  // 225 below, its lower end at 600; 100 above the upper end, 100 × 100 / 450 = 22.22
  // further left.
  EXPECT_DOUBLE_EQ(g.LineMX2, 600);
  EXPECT_NEAR(form.Line2(2).X2, 477.78, 0.005);

  const std::string before = dump(form);
  for (forms::Int16 i : {2, 3, 4}) form.Image1_Click(i);
  EXPECT_EQ(dump(form), before);
}

TEST_F(FigureFixture, PicturesWorkInEveryModeAndResetHidesTheExtension) {
  form.Command3.userClick();
  form.Image1_Click(0);
  EXPECT_TRUE(form.Line2(1).Visible);
  form.Command1.userClick();
  EXPECT_FALSE(form.Line2(1).Visible);
  form.Image1_Click(0);
  EXPECT_TRUE(form.Line2(1).Visible);
}

// --- Faults mended ----------------------------------------------------------------

TEST_F(FigureFixture, SwingWithQAtTheHeightOfTheUpperEndsKeepsTheLowerEnd) {
  dragQTo(125);
  ASSERT_DOUBLE_EQ(g.LineQY, 125);
  grabAt(400, 125);
  ASSERT_EQ(g.DragTarget, 5);
  moveTo(440, 125);
  EXPECT_DOUBLE_EQ(g.LineLX1, 440);
  EXPECT_DOUBLE_EQ(g.LineLX2, 100);
  EXPECT_TRUE(allFinite());
  release(440, 125);
  // With q at 125, B is ℓ's upper end and moved with it; the copy's handle is on B,
  // not at the pivot taken at the press (400).
  EXPECT_DOUBLE_EQ(g.PointBX, 440);
  EXPECT_EQ(g.CopyQX, 440);
  grabAt(355, 125);  // 85 px from B
  EXPECT_EQ(g.DragTarget, 0);
  release(355, 125);

  grabAt(500, 125);  // m's end, clear of the copy's handle
  ASSERT_EQ(g.DragTarget, 6);
  moveTo(490, 125);
  EXPECT_DOUBLE_EQ(g.LineMX1, 465);
  EXPECT_DOUBLE_EQ(g.LineMX2, 625);
  EXPECT_TRUE(allFinite());
}

TEST_F(FigureFixture, SwingWithQJustBelowTheUpperEndsStaysFinite) {
  grabAt(30, 350);
  moveTo(30, 125.5F);
  moveTo(30, 125.00001F);  // q a few millionths of a pixel below the upper ends
  release(30, 125.00001F);
  ASSERT_GT(g.LineQY, 125);
  ASSERT_LT(g.LineQY, 125.0001);
  for (int round = 0; round < 20; ++round) {
    grabAt(static_cast<float>(g.LineLX1), 125);
    moveTo(static_cast<float>(g.LineLX1) + 7, 125);
    release(static_cast<float>(g.LineLX1), 125);
    grabAt(30, static_cast<float>(g.LineQY));
    moveTo(30, static_cast<float>(g.LineQY) + (round % 2 ? 300 : -300));
    release(30, 0);
  }
  EXPECT_TRUE(allFinite());
  EXPECT_LT(std::abs(g.LineLX2), figure::kFarOut);
}

TEST_F(FigureFixture, SixteenBitHandleSaturatesInsteadOfWrapping) {
  grabAt(250, 350);
  for (int i = 1; i <= 40; ++i) moveTo(250 + 1000.0F * i, 350);
  EXPECT_EQ(g.CopyQX, 32767);
  EXPECT_GT(g.CopyX1, 40000);
  release(0, 0);
}

TEST_F(FigureFixture, PointerAtTheEndsOfTheFloatRangeMovesNothingToInfinity) {
  const float huge = std::numeric_limits<float>::max();
  grabAt(30, 275);
  moveTo(30, -huge);
  moveTo(30, huge);  // the displacement overflows single precision
  release(30, huge);
  grabAt(400, 125);
  moveTo(-huge, 125);
  moveTo(huge, 125);
  EXPECT_TRUE(allFinite());
}

TEST_F(FigureFixture, AGlitchingPointerCannotTurnTheCopyAwayFromL) {
  // Found by the event fuzzer: a jump to the end of the float range made both ends
  // of the copy the same number, and the copy came back vertical.
  const float huge = std::numeric_limits<float>::max();
  moveTo(-huge, 134);
  press(276, 321);
  ASSERT_EQ(g.DragTarget, 10);
  moveTo(137, 564);
  moveTo(-huge, 300);
  moveTo(250, 350);
  EXPECT_NEAR(g.CopyX1 - g.CopyX2, g.LineLX1 - g.LineLX2, 1e-6);
  EXPECT_NEAR(form.Line2(0).X1 - form.Line2(0).X2, 300, 1e-3);
}
