// The hard-disc dab of inkstone-disc: geometric coverage, deposits that keep
// the largest contribution.
#include <gtest/gtest.h>

#include <cmath>

#include "brush/BrushBuff.h"
#include "tests/brush/StrokeTestSupport.h"

LiteralStroke::Dab LinkedDab() { return LiteralStroke::kDisc; }

namespace {

// Sample points of pixel (col, row) within radius r of (x, y), n x n of them.
int Count(int col, int row, double x, double y, double r, int n) {
  const double q = 1.0 / n, dx = col - x, dy = row - y;
  int count = 0;
  for (int k = 0; k < n; ++k)
    for (int l = 0; l < n; ++l) count += (l * q + dx) * (l * q + dx) + (k * q + dy) * (k * q + dy) <= r * r;
  return count;
}

class DiscDabTest : public testing::Test {
 protected:
  void SetUp() override {
    buffer.Resize(40, 40);
    buffer.firstDab = true;
  }
  BrushBuff buffer;
};

TEST_F(DiscDabTest, DiameterThreeDiscDepositsKnownAmounts) {
  buffer.DrawDab(10.5, 10.5, 1, 3, {40, 50, 60, 255});
  const int amounts[3][3] = {{106, 219, 141}, {219, 255, 255}, {141, 255, 184}};
  for (int row = 9; row <= 11; ++row) {
    for (int col = 9; col <= 11; ++col) {
      const int amount = amounts[row - 9][col - 9];
      EXPECT_EQ(AlphaAt(buffer, col, row), amount) << col << "," << row;
      EXPECT_EQ(CoverageAt(buffer, col, row), float(amount / 255.0));
    }
  }
  ExpectDirty(buffer, 9, 9, 12, 12);
}

TEST_F(DiscDabTest, TiniestDiscTouchesOnePixelWithOneSample) {
  buffer.DrawDab(10.5, 10.5, 0, 3, {1, 2, 3, 255});  // diameter 0.125
  EXPECT_EQ(AlphaAt(buffer, 10, 10), 3);
  EXPECT_EQ(CoverageAt(buffer, 10, 10), float(3 / 255.0));
  ExpectDirty(buffer, 10, 10, 11, 11);
}

// The box spans pixels (10, 10) and (10, 11), but no sample point of the
// first lies within r = 0.0625: it keeps no colour and stays out of dirty.
TEST_F(DiscDabTest, PixelWithoutSamplesIsLeftUntouched) {
  buffer.DrawDab(10.5, 10.97, 0, 3, {7, 7, 7, 255});
  EXPECT_EQ(PixelAt(buffer, 10, 10)[0], 0);
  EXPECT_GT(AlphaAt(buffer, 10, 11), 0);
  ExpectDirty(buffer, 10, 11, 11, 12);

  buffer.Clear();
  buffer.firstDab = true;
  buffer.DrawDab(10.95, 10.95, 0, 3, {7, 7, 7, 255});  // no pixel counts
  ExpectDirty(buffer, 40, 40, 0, 0);
  EXPECT_EQ(buffer.lastX, 10.95);
}

// Radius 1 counts 8 x 8 samples, radius 8 counts 4 x 4; the pixels chosen
// would come out differently with 6 x 6.
TEST_F(DiscDabTest, SampleCountFollowsTheRadius) {
  buffer.DrawDab(10.3, 10.6, 1, 2, {0, 0, 0, 255});  // r = 1
  EXPECT_EQ(AlphaAt(buffer, 9, 9), int(255 * (Count(9, 9, 10.3, 10.6, 1, 8) / 64.0)));
  EXPECT_NE(AlphaAt(buffer, 9, 9), int(255 * (Count(9, 9, 10.3, 10.6, 1, 6) / 36.0)));

  buffer.Clear();
  buffer.firstDab = true;
  buffer.DrawDab(20.3, 20.6, 1, 16, {0, 0, 0, 255});  // r = 8
  EXPECT_EQ(AlphaAt(buffer, 28, 20), int(255 * (Count(28, 20, 20.3, 20.6, 8, 4) / 16.0)));
  EXPECT_NE(AlphaAt(buffer, 28, 20), int(255 * (Count(28, 20, 20.3, 20.6, 8, 6) / 36.0)));
}

// At r = 2 the inside test is off: a pixel whose corner lies within r - 1 of
// the centre is still counted, and here not all its samples are inside.
TEST_F(DiscDabTest, RadiusTwoCountsSamplesNearTheCentre) {
  buffer.DrawDab(10.1, 10.7, 1, 4, {0, 0, 0, 255});  // pixel (11, 11): dx 0.9, dy 0.3
  const int count = Count(11, 11, 10.1, 10.7, 2, 6);
  ASSERT_LT(count, 36);
  EXPECT_EQ(AlphaAt(buffer, 11, 11), int(255 * (count / 36.0)));
}

TEST_F(DiscDabTest, DepositsKeepTheLargest) {
  buffer.Deposit(3, 3, {9, 9, 9, 255}, 200);
  buffer.Deposit(3, 3, {9, 9, 9, 255}, 100);
  buffer.Deposit(4, 3, {9, 9, 9, 255}, 100);
  buffer.Deposit(4, 3, {9, 9, 9, 255}, 200);
  for (int col : {3, 4}) {
    EXPECT_EQ(AlphaAt(buffer, col, 3), 200);
    EXPECT_EQ(CoverageAt(buffer, col, 3), float(200 / 255.0));
  }
}

TEST_F(DiscDabTest, FainterLaterDabKeepsAlphaButTakesTheColour) {
  buffer.DrawDab(10.5, 10.5, 1, 3, {10, 20, 30, 255});
  buffer.firstDab = true;
  buffer.DrawDab(10.5, 10.5, 1, 3, {90, 80, 70, 40});
  EXPECT_EQ(AlphaAt(buffer, 10, 10), 255);
  EXPECT_EQ(CoverageAt(buffer, 10, 10), 1.0f);
  EXPECT_EQ(PixelAt(buffer, 10, 10)[0], 90);
  EXPECT_EQ(PixelAt(buffer, 10, 10)[2], 70);
}

TEST_F(DiscDabTest, OutOfRangeAmountsStayWithinBounds) {
  buffer.Deposit(5, 5, {0, 0, 0, 255}, 100000);
  EXPECT_EQ(AlphaAt(buffer, 5, 5), 255);
  EXPECT_EQ(CoverageAt(buffer, 5, 5), 1.0f);
  buffer.Deposit(6, 5, {0, 0, 0, 255}, -7);
  EXPECT_EQ(AlphaAt(buffer, 6, 5), 0);
  EXPECT_EQ(CoverageAt(buffer, 6, 5), 0.0f);
}

}  // namespace
