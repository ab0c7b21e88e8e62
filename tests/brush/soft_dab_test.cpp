// The soft dab of inkstone: the masked tip, with deposits that add up.
#include <gtest/gtest.h>

#include <cstdint>

#include "brush/BrushBuff.h"
#include "tests/brush/StrokeTestSupport.h"

LiteralStroke::Dab LinkedDab() { return LiteralStroke::kSoft; }

namespace {

class SoftDabTest : public testing::Test {
 protected:
  void SetUp() override {
    GiveMasks(buffer.brush);
    buffer.Resize(24, 20);
    buffer.firstDab = true;
    buffer.lastX = 0;
    buffer.lastY = 0;
  }
  BrushBuff buffer;
};

TEST_F(SoftDabTest, DiameterThreeDabDepositsKnownAmounts) {
  buffer.DrawDab(10.5, 10.5, 1, 3, {40, 50, 60, 255});
  const int amounts[3][3] = {{15, 23, 11}, {23, 25, 18}, {11, 18, 8}};
  for (int row = 9; row <= 11; ++row) {
    for (int col = 9; col <= 11; ++col) {
      const int amount = amounts[row - 9][col - 9];
      EXPECT_EQ(AlphaAt(buffer, col, row), amount) << col << "," << row;
      EXPECT_EQ(CoverageAt(buffer, col, row), float(amount / 255.0));
      EXPECT_EQ(PixelAt(buffer, col, row)[0], 40);
      EXPECT_EQ(PixelAt(buffer, col, row)[2], 60);
    }
  }
  ExpectDirty(buffer, 9, 9, 12, 12);
}

// Pressure 0.5: spacing 0.125 is below the step 0.15, so with the first dab
// forced every candidate at 10, 10.15, ..., 10.9 is drawn.
TEST_F(SoftDabTest, SevenCandidatesOfAShortSegmentAreAllDrawn) {
  LiteralStroke model(LiteralStroke::kSoft, 24, 20, &SharedMasks());
  model.PenDown();
  const StrokeColor color = {1, 2, 3, 255};
  buffer.DrawSegment(10, 10, 11, 10, 0.5, 0.5, 3, color);
  model.DrawSegment(10, 10, 11, 10, 0.5, 0.5, 3, color);
  EXPECT_EQ(model.dabs, 7);
  ExpectSameAsLiteral(buffer, model);
  // Seven dabs of one sixth strength each add up well beyond one.
  EXPECT_GT(AlphaAt(buffer, 10, 10), 100);
}

TEST_F(SoftDabTest, DepositsAddUpToFull) {
  buffer.Deposit(3, 3, {9, 9, 9, 255}, 200);
  buffer.Deposit(3, 3, {9, 9, 9, 255}, 100);
  EXPECT_EQ(AlphaAt(buffer, 3, 3), 255);
  EXPECT_EQ(CoverageAt(buffer, 3, 3), 1.0f);

  buffer.Deposit(4, 3, {9, 9, 9, 255}, 100);
  buffer.Deposit(4, 3, {9, 9, 9, 255}, 50);
  EXPECT_EQ(AlphaAt(buffer, 4, 3), 150);
  EXPECT_EQ(CoverageAt(buffer, 4, 3), float(float(100 / 255.0) + 50 / 255.0));
}

// A faint colour: every pixel the tip reaches is deposited, even with an
// amount that truncates to 0.
TEST_F(SoftDabTest, PixelsWithZeroAmountAreStillDeposited) {
  buffer.DrawDab(10.5, 10.5, 1, 3, {70, 80, 90, 1});
  ExpectDirty(buffer, 9, 9, 12, 12);
  EXPECT_EQ(AlphaAt(buffer, 9, 9), 0);
  EXPECT_EQ(CoverageAt(buffer, 9, 9), 0.0f);
  EXPECT_EQ(PixelAt(buffer, 9, 9)[0], 70);
}

// The tiniest dab is twice as strong per dab, since its spacing factor is 2.
TEST_F(SoftDabTest, PressureZeroDabUsesFactorTwo) {
  buffer.DrawDab(10.5, 10.5, 0, 3, {0, 0, 0, 100});
  const double v = buffer.brush.Sample(10 - 10.5 + 0.0625, 10 - 10.5 + 0.0625, 1, 1, 0.125);
  EXPECT_EQ(AlphaAt(buffer, 10, 10), int((100 * v) * 2.0));
  ExpectDirty(buffer, 10, 10, 11, 11);
}

// Colours outside 0..255 must not break the bytes or the coverage.
TEST_F(SoftDabTest, OutOfRangeAlphaStaysWithinBounds) {
  buffer.DrawDab(10.5, 10.5, 0, 3, {0, 0, 0, INT32_MAX});
  EXPECT_EQ(AlphaAt(buffer, 10, 10), 255);
  EXPECT_EQ(CoverageAt(buffer, 10, 10), 1.0f);
  buffer.Clear();
  buffer.firstDab = true;
  buffer.DrawDab(10.5, 10.5, 1, 3, {0, 0, 0, -500});
  EXPECT_EQ(AlphaAt(buffer, 10, 10), 0);
  EXPECT_EQ(CoverageAt(buffer, 10, 10), 0.0f);
}

// A segment too long to walk dab by dab, with unequal end pressures: the part
// walked must reach as far as the larger end's dabs do. Dabs about 52 pixels
// across then cover the whole 40 x 30 buffer fully; a walk that reached only
// as far as the smaller end's dabs (5 pixels) misses those that cover the left
// columns from outside, and leaves them short of full coverage.
TEST(SoftDabCutWalk, CoversAsFarAsTheLargerEndReaches) {
  for (const bool reversed : {false, true}) {
    BrushBuff buffer;
    GiveMasks(buffer.brush);
    buffer.Resize(40, 30);
    buffer.firstDab = true;
    if (reversed) {
      buffer.DrawSegment(1e7, 15.5, -1e7, 15.5, 0.05, 1.0, 100, {10, 20, 30, 255});
    } else {
      buffer.DrawSegment(-1e7, 15.5, 1e7, 15.5, 1.0, 0.05, 100, {10, 20, 30, 255});
    }
    int full = 0;
    for (int k = 0; k < 40 * 30; ++k) full += buffer.coverage[k] == 1.0f;
    EXPECT_EQ(full, 40 * 30) << reversed;
  }
}
}  // namespace
