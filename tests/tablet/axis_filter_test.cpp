#include <gtest/gtest.h>

#include "tablet/AxisFilter.h"

namespace {

// The canvas smooths position over ten samples and leaves pressure alone.
AxisFilter* ConfigureLikeCanvas(AxisFilter& filter) {
  filter.Configure(10, 1);
  return &filter;
}

}  // namespace

TEST(AxisFilter, FillThenAverageAddsTenTimesThenDivides) {
  AxisFilter filter;
  ConfigureLikeCanvas(filter)->Fill(0.1, 123.4, 0.5);
  filter.Average();
  EXPECT_EQ(filter.avgX, 0.09999999999999999);
  EXPECT_NE(filter.avgX, 0.1);
  EXPECT_EQ(filter.avgY, 123.4);
  EXPECT_EQ(filter.avgPressure, 0.5);
}

TEST(AxisFilter, FillAndPushLeaveTheMeansUntilAverage) {
  AxisFilter filter;
  ConfigureLikeCanvas(filter)->Fill(1.0, 2.0, 0.25);
  filter.Average();
  filter.Fill(7.0, 8.0, 1.0);
  filter.Push(9.0, 9.0, 0.75);
  EXPECT_EQ(filter.avgX, 1.0);
  EXPECT_EQ(filter.avgY, 2.0);
  EXPECT_EQ(filter.avgPressure, 0.25);
}

TEST(AxisFilter, SumsOldestFirst) {
  // 1e16 + 1 rounds back to 1e16, so adding the ones after the large value
  // loses them all; adding them first would keep their sum.
  AxisFilter filter;
  ConfigureLikeCanvas(filter)->Fill(1e16, 0.0, 0.0);
  for (int i = 0; i < 9; ++i) filter.Push(1.0, 0.0, 0.0);
  filter.Average();
  EXPECT_EQ(filter.avgX, 1e15);
}

TEST(AxisFilter, PushesMoveTheMeanTowardsTheNewValue) {
  const double a = 10.0, b = 30.5;
  for (int k = 0; k <= 12; ++k) {
    AxisFilter filter;
    ConfigureLikeCanvas(filter)->Fill(a, -a, 0.2);
    for (int i = 0; i < k; ++i) filter.Push(b, -b, 0.9);
    filter.Average();
    const int newer = k < 10 ? k : 10;
    const double expected = (a * (10 - newer) + b * newer) / 10;
    EXPECT_DOUBLE_EQ(filter.avgX, expected) << "after " << k << " pushes";
    EXPECT_DOUBLE_EQ(filter.avgY, -expected) << "after " << k << " pushes";
    EXPECT_EQ(filter.avgPressure, k == 0 ? 0.2 : 0.9) << "pressure is not smoothed";
  }
}

TEST(AxisFilter, SteadyMotionTrailsByFourAndAHalfSamples) {
  AxisFilter filter;
  ConfigureLikeCanvas(filter)->Fill(0.0, 0.0, 1.0);
  for (int i = 1; i <= 25; ++i) filter.Push(i * 2.0, i * -1.0, 1.0);
  filter.Average();
  EXPECT_EQ(filter.avgX, 50.0 - 4.5 * 2.0);
  EXPECT_EQ(filter.avgY, -25.0 + 4.5);
}

TEST(AxisFilter, CountOfOneKeepsOnlyTheNewest) {
  AxisFilter filter;
  filter.Configure(1, 1);
  filter.Fill(5.0, 6.0, 0.3);
  filter.Push(0.1, 0.7, 0.6);
  filter.Average();
  EXPECT_EQ(filter.avgX, 0.1);
  EXPECT_EQ(filter.avgY, 0.7);
  EXPECT_EQ(filter.avgPressure, 0.6);
}

TEST(AxisFilter, PressureHistoryHasItsOwnLength) {
  AxisFilter filter;
  filter.Configure(2, 4);
  filter.Fill(0.0, 0.0, 0.0);
  filter.Push(4.0, 8.0, 1.0);
  filter.Average();
  EXPECT_EQ(filter.avgX, 2.0);
  EXPECT_EQ(filter.avgY, 4.0);
  EXPECT_EQ(filter.avgPressure, 0.25);
}

TEST(AxisFilter, ConfigureReplacesTheHistories) {
  AxisFilter filter;
  filter.Configure(3, 2);
  filter.Fill(1.0, 1.0, 1.0);
  filter.Configure(5, 1);  // the first histories are freed (leak checkers see it)
  EXPECT_EQ(filter.positionCount, 5);
  EXPECT_EQ(filter.pressureCount, 1);
  filter.Fill(2.0, 3.0, 0.5);
  filter.Push(7.0, 8.0, 0.25);
  filter.Average();
  EXPECT_EQ(filter.avgX, 3.0);
  EXPECT_EQ(filter.avgY, 4.0);
  EXPECT_EQ(filter.avgPressure, 0.25);
}

TEST(AxisFilter, ReleaseMarksHistoriesAbsentAndOperationsBecomeHarmless) {
  AxisFilter filter;
  EXPECT_EQ(filter.xHistory, nullptr);
  filter.Push(1.0, 1.0, 1.0);  // before Configure: nothing to write
  filter.Average();
  EXPECT_EQ(filter.avgX, 0.0);
  ConfigureLikeCanvas(filter);
  EXPECT_NE(filter.xHistory, nullptr);
  EXPECT_NE(filter.yHistory, nullptr);
  EXPECT_NE(filter.pressureHistory, nullptr);
  filter.Release();
  EXPECT_EQ(filter.xHistory, nullptr);
  EXPECT_EQ(filter.yHistory, nullptr);
  EXPECT_EQ(filter.pressureHistory, nullptr);
  filter.Fill(1.0, 1.0, 1.0);
  filter.Average();
  EXPECT_EQ(filter.avgPressure, 0.0);
}

TEST(AxisFilter, LengthsBelowOneActAsOne) {
  AxisFilter filter;
  filter.Configure(0, -3);
  EXPECT_EQ(filter.positionCount, 1);
  EXPECT_EQ(filter.pressureCount, 1);
  filter.Fill(1.0, 2.0, 0.5);
  filter.Push(3.0, 4.0, 0.75);
  filter.Average();
  EXPECT_EQ(filter.avgX, 3.0);
  EXPECT_EQ(filter.avgY, 4.0);
  EXPECT_EQ(filter.avgPressure, 0.75);
}
