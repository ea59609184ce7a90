#include <gtest/gtest.h>

#include "app/form1.h"
#include "testing/form_dump.h"

using testing_support::dump;

namespace {

struct Loaded : ::testing::Test {
  app::Form1 form;
  void SetUp() override { form.Form_Load(); }

  void expectLine(const forms::Line& l, float x1, float y1, float x2, float y2) {
    EXPECT_FLOAT_EQ(l.X1, x1);
    EXPECT_FLOAT_EQ(l.Y1, y1);
    EXPECT_FLOAT_EQ(l.X2, x2);
    EXPECT_FLOAT_EQ(l.Y2, y2);
  }
};

}  // namespace

TEST(StoredLayout, ControlsStandWhereTheWindowWasDesigned) {
  app::Form1 form;  // not loaded
  EXPECT_EQ(form.Caption, "Form1");
  EXPECT_EQ(form.Command1.Caption, "初期画面");
  EXPECT_FLOAT_EQ(form.Command2.Left, 752);
  EXPECT_FLOAT_EQ(form.Option1(7).Width, 81);
  EXPECT_FLOAT_EQ(form.Option1(0).Top, 24);
  EXPECT_TRUE(form.Option1(0).Value());
  EXPECT_EQ(form.Label2(3).Caption, "Ａ'");
  EXPECT_FLOAT_EQ(form.Label2(3).Width, 34);
  EXPECT_FALSE(form.Label3.exists(0));
  EXPECT_FLOAT_EQ(form.gamen.innerWidth(), 802);
  EXPECT_FLOAT_EQ(form.gamen.innerHeight(), 626);
  EXPECT_EQ(form.Line2(0).BorderColor, (forms::Rgb{255, 0, 0}));
  EXPECT_EQ(form.Line5.count(), 1);
  EXPECT_EQ(form.optionGroup.members().size(), 12U);
}

TEST_F(Loaded, WindowOpensTitledAndItsFirstStraightLineIsWhite) {
  EXPECT_EQ(form.Caption, "平行線と線分の比 (by t.Kavel)");
  form.Command5.userClick();
  form.gamen_MouseMove(0, 0, 100, 100);
  form.gamen_MouseDown(app::Form1::kLeftButton, 0, 100, 100);
  form.gamen_MouseMove(app::Form1::kLeftButton, 0, 300, 100);
  form.gamen_MouseUp(app::Form1::kLeftButton, 0, 300, 100);
  // In pixels of the board, as drawn: no unit conversion moves it.
  expectLine(form.Line4(0), 100, 100, 300, 100);
  EXPECT_EQ(form.Line4(0).BorderColor, (forms::Rgb{255, 255, 255}));
  EXPECT_EQ(form.Line4(0).BorderWidth, 4);
}

TEST_F(Loaded, OnlyTheWhiteLineColourIsSelectedAndNothingIsEnabled) {
  EXPECT_EQ(form.optionGroup.selected(), &form.Option2(3));
  for (const forms::OptionButton* b : form.optionGroup.members()) EXPECT_FALSE(b->Enabled);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(form.Check1(i).Value(), 0);
  EXPECT_FALSE(form.Shape1.Visible);
  EXPECT_FALSE(form.Command3.FontBold);
  EXPECT_FALSE(form.Command4.FontBold);
  EXPECT_FALSE(form.Command5.FontBold);
  EXPECT_EQ(form.board.MemoMode, 0);
  EXPECT_EQ(form.board.LineMode, 0);
  EXPECT_EQ(form.board.LineSlot, 0);
  EXPECT_EQ(form.figure.DragTarget, 0);
}

TEST_F(Loaded, InitialFigureStandsAsTheLessonBegins) {
  const figure::Figure& g = form.figure;
  expectLine(form.Line1(0), 50, 275, 750, 275);
  expectLine(form.Line1(1), 50, 350, 750, 350);
  expectLine(form.Line1(2), 50, 500, 750, 500);
  expectLine(form.Line1(3), 400, 125, 100, 575);
  expectLine(form.Line1(4), 475, 125, 625, 575);
  EXPECT_DOUBLE_EQ(g.PointAX, 300);
  EXPECT_DOUBLE_EQ(g.PointBX, 250);
  EXPECT_DOUBLE_EQ(g.PointCX, 150);
  EXPECT_DOUBLE_EQ(g.PointAPrimeX, 525);
  EXPECT_DOUBLE_EQ(g.PointBPrimeX, 550);
  EXPECT_DOUBLE_EQ(g.PointCPrimeX, 600);
  EXPECT_EQ(g.CopyQX, 250);
  EXPECT_EQ(g.CopyY2, 575);

  const float nameLeft[6] = {320.67F, 270.67F, 170.67F, 525, 550, 600};
  const float nameTop[6] = {244, 319, 469, 244, 319, 469};
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(form.Label2(i).Left, nameLeft[i], 0.005) << "name " << i;
    EXPECT_FLOAT_EQ(form.Label2(i).Top, nameTop[i]) << "name " << i;
  }
  const float pictureLeft[5] = {400, 511.67F, 50, 50, 50};
  const float pictureTop[5] = {135, 135, 239, 316, 470};
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(form.Image1(i).Left, pictureLeft[i], 0.005) << "picture " << i;
    EXPECT_FLOAT_EQ(form.Image1(i).Top, pictureTop[i]) << "picture " << i;
  }
  for (int k = 0; k < 3; ++k) {
    const float y = form.Line1(k).Y1;
    expectLine(form.Line3(2 * k), 680, y, 660, y + 10);
    expectLine(form.Line3(2 * k + 1), 680, y, 660, y - 10);
  }
  EXPECT_FLOAT_EQ(form.Label3(1).Top, -50);
}

TEST_F(Loaded, OptionalLinesAreOutOfSight) {
  EXPECT_FALSE(form.Line2(1).Visible);
  EXPECT_FALSE(form.Line2(2).Visible);
  EXPECT_NEAR(form.Line2(1).X2, 466.67, 0.005);
  EXPECT_FLOAT_EQ(form.Line2(1).Y2, 25);
  EXPECT_NEAR(form.Line2(2).X2, 441.67, 0.005);
  EXPECT_FLOAT_EQ(form.Line2(0).X1, 1000);
  EXPECT_FLOAT_EQ(form.Line2(0).X2, 1000);
  EXPECT_EQ(form.Line2(0).BorderColor, forms::QBColor(12));
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(form.Line4(i).X1, 1000);
    EXPECT_FLOAT_EQ(form.Line4(i).X2, 1000);
  }
  EXPECT_EQ(form.figure.ExtensionLShown, 0);
  EXPECT_EQ(form.figure.ExtensionMShown, 0);
}

TEST_F(Loaded, GridIsBuiltHiddenWithDottedOddLines) {
  ASSERT_EQ(form.Line5.count(), 26);
  ASSERT_EQ(form.Line6.count(), 33);
  // Squares of 25 px over the whole board, solid every 50 px, dotted between.
  expectLine(form.Line5(1), 0, 25, 800, 25);
  expectLine(form.Line5(2), 0, 50, 800, 50);
  expectLine(form.Line5(25), 0, 625, 800, 625);
  expectLine(form.Line6(1), 25, 0, 25, 625);
  expectLine(form.Line6(32), 800, 0, 800, 625);
  EXPECT_EQ(form.Line5(1).BorderStyle, forms::LineStyle::Dot);
  EXPECT_EQ(form.Line5(2).BorderStyle, forms::LineStyle::Solid);
  EXPECT_EQ(form.Line5(25).BorderStyle, forms::LineStyle::Dot);
  EXPECT_EQ(form.Line6(32).BorderStyle, forms::LineStyle::Solid);
  // Black hairlines, all hidden until 方眼.
  for (const auto* lines : {&form.Line5, &form.Line6})
    lines->forEach([](int k, const forms::Line& l) {
      EXPECT_FALSE(l.Visible) << k;
      EXPECT_EQ(l.BorderColor, forms::kBlack) << k;
      EXPECT_EQ(l.BorderWidth, 1) << k;
    });
  EXPECT_EQ(form.board.GridShown, 0);
}

TEST_F(Loaded, InitialScreenWipesTheWriting) {
  ASSERT_FALSE(form.gamen.pending().empty());
  EXPECT_EQ(form.gamen.pending().back().kind, forms::InkCommand::Kind::Clear);
}

TEST_F(Loaded, InitialScreenTwiceIsInitialScreenOnce) {
  form.InitScreen();
  const std::string once = dump(form);
  form.InitScreen();
  EXPECT_EQ(dump(form), once);
  form.Command1.userClick();
  EXPECT_EQ(dump(form), once);
}

TEST_F(Loaded, InitialScreenRestoresEverythingButThePensAndPointer) {
  form.InitScreen();
  const std::string initial = dump(form);

  // Disturb what the reset owns: the figure, the grid, the optional lines, the modes.
  form.Command4.userClick();
  ASSERT_EQ(form.board.GridShown, 1);
  ASSERT_TRUE(form.Line5(3).Visible);
  form.figure.LinePY = 100;
  form.figure.LineLX1 = 20;
  form.figure.CopyQX = 7;
  form.figure.DragTarget = 5;
  form.Line1(3).X1 = 20;
  form.Label2(0).Left = 1;
  form.Line2(1).Visible = true;
  form.figure.ExtensionLShown = 1;
  form.Line4(2).X1 = 30;
  form.Check1(2).setValue(1);
  form.board.MemoMode = 1;
  form.Command3.FontBold = true;
  form.gamen.Line(0, 0, 10, 10, forms::QBColor(12));

  form.Command1.userClick();
  EXPECT_EQ(dump(form), initial);
  EXPECT_FALSE(form.Command4.FontBold);
}

TEST_F(Loaded, UntickingByTheResetTakesEachDrawnLineAway) {
  for (int i : {0, 3}) {
    form.Line4(i).X1 = 10;
    form.Line4(i).X2 = 200;
    form.Check1(i).setValue(1);
  }
  int clicks = 0;
  form.Check1.forEach([&](int i, forms::CheckBox& b) {
    b.Click = [&, i] {
      ++clicks;
      form.board.Check1_Click(static_cast<forms::Int16>(i));
    };
  });
  form.InitScreen();
  EXPECT_EQ(clicks, 2);  // only the two ticked boxes change, so only they click
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(form.Check1(i).Value(), 0);
    EXPECT_FLOAT_EQ(form.Line4(i).X1, 1000);
    EXPECT_FLOAT_EQ(form.Line4(i).X2, 1000);
  }
}

TEST_F(Loaded, InitialScreenKeepsThePenChoiceSelectedButDisabled) {
  form.Command3.userClick();  // memo mode enables the pens
  form.Option1(7).userClick();
  ASSERT_EQ(form.board.PenColor, 2);
  ASSERT_EQ(form.gamen.DrawWidth, 25);
  form.InitScreen();
  EXPECT_TRUE(form.Option1(7).Value());
  EXPECT_FALSE(form.Option1(7).Enabled);
  EXPECT_EQ(form.board.PenColor, 2);
  EXPECT_EQ(form.gamen.DrawWidth, 3);
  EXPECT_FALSE(form.Shape1.Visible);
}

TEST_F(Loaded, EndButtonAsksTheProgramToEnd) {
  EXPECT_FALSE(form.endRequested());
  form.Command2.userClick();
  EXPECT_TRUE(form.endRequested());
}
