#include "figure/geometry.h"

#include <gtest/gtest.h>

using namespace figure;

namespace {
constexpr Transversal kL{400, 125, 100, 575};
constexpr Transversal kM{475, 125, 625, 575};
constexpr double kP = 275, kQ = 350, kR = 500;
}  // namespace

TEST(Geometry, InitialFigureCrossesTheParallelsAtTheLessonsPoints) {
  EXPECT_DOUBLE_EQ(crossingX(kL, kP), 300);
  EXPECT_DOUBLE_EQ(crossingX(kL, kQ), 250);
  EXPECT_DOUBLE_EQ(crossingX(kL, kR), 150);
  EXPECT_DOUBLE_EQ(crossingX(kM, kP), 525);
  EXPECT_DOUBLE_EQ(crossingX(kM, kQ), 550);
  EXPECT_DOUBLE_EQ(crossingX(kM, kR), 600);
}

TEST(Geometry, CrossingBeyondTheDrawnSegmentLiesOnItsContinuation) {
  EXPECT_DOUBLE_EQ(crossingX(kL, 50), 450);
  EXPECT_DOUBLE_EQ(crossingX(kM, 50), 450);  // ℓ and m extended meet at (450, 50)
  EXPECT_DOUBLE_EQ(crossingX(kL, 650), 50);
}

TEST(Geometry, NamesLeanOnlyWithATransversalLeaningRightGoingUp) {
  EXPECT_NEAR(nameLabelLeft(kL, 300), 320.67, 0.005);
  EXPECT_DOUBLE_EQ(nameLabelTop(kP), 244);
  EXPECT_DOUBLE_EQ(nameLabelLeft(kM, 525), 525);
  const Transversal vertical{300, 125, 300, 575};
  EXPECT_DOUBLE_EQ(nameLabelLeft(vertical, 300), 300);
}

TEST(Geometry, PictureShiftsOnlyWithATransversalLeaningRightGoingDown) {
  EXPECT_DOUBLE_EQ(pictureLeft(kL), 400);
  EXPECT_NEAR(pictureLeft(kM), 486.67, 0.005);
  EXPECT_DOUBLE_EQ(pictureTop(kM), 135);
  const Transversal vertical{300, 125, 300, 575};
  EXPECT_DOUBLE_EQ(pictureLeft(vertical), 300);
}

TEST(Geometry, ExtensionsContinueTheTransversalsUpToTheTop) {
  EXPECT_NEAR(extensionEndX(kL), 466.67, 0.005);
  EXPECT_NEAR(extensionEndX(kM), 441.67, 0.005);
  const Transversal vertical{300, 125, 300, 575};
  EXPECT_DOUBLE_EQ(extensionEndX(vertical), 300);
}

TEST(Geometry, PivotKeepsTheLineThroughItsPointOnQ) {
  // ℓ's upper end moved from 400 to 430 about B (250, 350).
  const Transversal moved{430, 125, 100, 575};
  const auto x2 = pivotX2(moved, 250, kQ);
  ASSERT_TRUE(x2.has_value());
  EXPECT_DOUBLE_EQ(*x2, 70);
  EXPECT_DOUBLE_EQ(crossingX({430, 125, *x2, 575}, kQ), 250);
}

TEST(Geometry, PivotHasNoAnswerWithQAtTheHeightOfTheUpperEnds) {
  EXPECT_FALSE(pivotX2(kL, 250, 125).has_value());
  EXPECT_TRUE(pivotX2(kL, 250, 125.0001).has_value());
}
