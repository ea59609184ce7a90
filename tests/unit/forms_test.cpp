#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "forms/control_array.h"
#include "forms/controls.h"
#include "forms/numbers.h"
#include "forms/palette.h"
#include "forms/surface.h"

using namespace forms;

namespace {

// Four option buttons in one group, two of them counted as "pens", with click counters.
struct GroupFixture : ::testing::Test {
  ControlArray<OptionButton> pens{{0, OptionButton{}}, {1, OptionButton{}}};
  ControlArray<OptionButton> colours{{0, OptionButton{}}, {1, OptionButton{}}};
  OptionGroup group;
  int penClicks[2] = {0, 0};
  int colourClicks[2] = {0, 0};

  void SetUp() override {
    for (int i = 0; i < 2; ++i) {
      group.add(pens(i));
      group.add(colours(i));
      pens(i).Click = [this, i] { ++penClicks[i]; };
      colours(i).Click = [this, i] { ++colourClicks[i]; };
    }
  }
};

}  // namespace

TEST_F(GroupFixture, SelectingInOneArrayClearsTheOtherArray) {
  pens(0).setValue(true);
  colours(1).setValue(true);
  EXPECT_FALSE(pens(0).Value());
  EXPECT_TRUE(colours(1).Value());
  EXPECT_EQ(group.selected(), &colours(1));
}

TEST_F(GroupFixture, ClickRunsOnceOnSelectionAndNeverOnClearingOrReselecting) {
  pens(0).setValue(true);
  pens(0).setValue(true);   // already selected
  pens(1).setValue(true);   // clears pens(0) silently
  pens(1).setValue(false);  // clearing by the program
  EXPECT_EQ(penClicks[0], 1);
  EXPECT_EQ(penClicks[1], 1);
  EXPECT_EQ(group.selected(), nullptr);
}

TEST_F(GroupFixture, DisabledButtonIgnoresTheUserButNotTheProgram) {
  pens(0).Enabled = false;
  pens(0).userClick();
  EXPECT_FALSE(pens(0).Value());
  EXPECT_EQ(penClicks[0], 0);
  pens(0).setValue(true);
  EXPECT_TRUE(pens(0).Value());
  EXPECT_EQ(penClicks[0], 1);
}

TEST_F(GroupFixture, UserClickOnSelectedButtonRunsNothing) {
  colours(0).userClick();
  colours(0).userClick();
  EXPECT_EQ(colourClicks[0], 1);
  EXPECT_TRUE(colours(0).Value());
}

TEST_F(GroupFixture, HandlerMaySelectAnotherButtonOfTheGroup) {
  pens(0).Click = [this] { colours(1).setValue(true); };
  pens(0).setValue(true);
  EXPECT_FALSE(pens(0).Value());
  EXPECT_TRUE(colours(1).Value());
  EXPECT_EQ(colourClicks[1], 1);
}

TEST(CheckBox, ClickRunsOnEveryChangeOnlyAndSeesTheNewValue) {
  CheckBox box;
  std::vector<int> seen;
  box.Click = [&] { seen.push_back(box.Value()); };
  box.setValue(0);  // unchanged
  box.setValue(1);
  box.setValue(1);  // unchanged
  box.userClick();
  box.userClick();
  box.Enabled = false;
  box.userClick();  // ignored
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(box.Value(), 1);
}

TEST(CommandButton, DisabledButtonIgnoresTheUser) {
  CommandButton b;
  int clicks = 0;
  b.Click = [&] { ++clicks; };
  b.userClick();
  b.Enabled = false;
  b.userClick();
  EXPECT_EQ(clicks, 1);
}

TEST(ControlArray, RunTimeElementCopiesElementZeroAndStartsHidden) {
  Line stored;
  stored.BorderColor = Rgb{1, 2, 3};
  stored.BorderWidth = 7;
  stored.X1 = 11;
  ControlArray<Line> lines{{0, stored}};
  Line& created = lines.Load(3);
  EXPECT_EQ(created.BorderColor, (Rgb{1, 2, 3}));
  EXPECT_EQ(created.BorderWidth, 7);
  EXPECT_EQ(created.X1, 11);
  EXPECT_FALSE(created.Visible);
  EXPECT_TRUE(lines(0).Visible);
  EXPECT_EQ(lines.count(), 2);
  EXPECT_FALSE(lines.exists(2));
  EXPECT_THROW(lines(2), std::out_of_range);
  EXPECT_THROW(lines.Load(3), std::logic_error);
}

TEST(ControlArray, ElementsMayStartAboveZero) {
  ControlArray<Label> labels{{1, Label{}}};
  EXPECT_TRUE(labels.exists(1));
  EXPECT_FALSE(labels.exists(0));
  EXPECT_THROW(labels(-1), std::out_of_range);
  EXPECT_THROW(labels.Load(2), std::out_of_range);  // nothing to copy from
}

TEST(ControlArray, GrowingKeepsEveryElementWhereItIs) {
  ControlArray<Line> lines{{0, Line{}}, {1, Line{}}};
  Line* first = &lines(1);
  for (int k = 2; k < 40; ++k) lines.Load(k);
  EXPECT_EQ(first, &lines(1));
}

TEST(Numbers, SixteenBitRoundingGoesHalfToEvenAndSaturates) {
  EXPECT_EQ(toInt16(249.5), 250);
  EXPECT_EQ(toInt16(250.5), 250);
  EXPECT_EQ(toInt16(-2.5), -2);
  EXPECT_EQ(toInt16(-3.5), -4);
  EXPECT_EQ(toInt16(575.0), 575);
  EXPECT_EQ(toInt16(40000), 32767);
  EXPECT_EQ(toInt16(32767.5), 32767);
  EXPECT_EQ(toInt16(-1e300), -32768);
  EXPECT_EQ(toInt16(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(toInt16(std::nan("")), 0);
}

TEST(Numbers, SingleConversionStaysFinite) {
  EXPECT_EQ(toSingle(320.666666666), 320.666666666F);
  EXPECT_TRUE(std::isfinite(toSingle(1e300)));
  EXPECT_TRUE(std::isfinite(toSingle(-std::numeric_limits<double>::infinity())));
  EXPECT_EQ(toSingle(std::nan("")), 0.0F);
}

// (The colours themselves are checked where they show: the pens' ink in board_test,
// the screen's pixels in the window tests.)
TEST(Palette, AnIndexPastTheTableFoldsIntoItInsteadOfReadingBeyond) {
  EXPECT_EQ(QBColor(16), QBColor(0));
  EXPECT_EQ(QBColor(31), QBColor(15));
}

TEST(DrawingSurface, RecordsSegmentsAtTheCurrentWidthAndDrainsInOrder) {
  DrawingSurface s;
  s.DrawWidth = 3;
  s.Line(1, 2, 3, 4, QBColor(12));
  s.DrawWidth = 25;
  s.Line(5, 6, 7, 8, QBColor(2));
  std::vector<InkCommand> drained;
  s.drain([&](const InkCommand& c) { drained.push_back(c); });
  ASSERT_EQ(drained.size(), 2U);
  EXPECT_EQ(drained[0].width, 3);
  EXPECT_EQ(drained[0].colour, QBColor(12));
  EXPECT_EQ(drained[1].width, 25);
  EXPECT_EQ(drained[1].x2, 7);
  EXPECT_TRUE(s.pending().empty());
}

TEST(DrawingSurface, ClearDropsWhatItWouldWipe) {
  DrawingSurface s;
  s.Line(1, 2, 3, 4, QBColor(12));
  s.Cls();
  s.Line(5, 6, 7, 8, QBColor(9));
  ASSERT_EQ(s.pending().size(), 2U);
  EXPECT_EQ(s.pending()[0].kind, InkCommand::Kind::Clear);
  EXPECT_EQ(s.pending()[1].colour, QBColor(9));
}
