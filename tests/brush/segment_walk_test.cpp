// The dab candidates along a pen segment.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "brush/SegmentWalk.h"

namespace {

struct Candidate {
  double x, y, pressure;
};

std::vector<Candidate> Walk(double x0, double y0, double x1, double y1, double p0, double p1, double size = 3,
                            int width = 600, int height = 600) {
  SegmentWalk walk(x0, y0, x1, y1, p0, p1, size, width, height);
  std::vector<Candidate> out;
  Candidate c;
  while (walk.Next(c.x, c.y, c.pressure)) out.push_back(c);
  return out;
}

size_t Count(double x0, double y0, double x1, double y1, double p0, double p1, double size = 3) {
  SegmentWalk walk(x0, y0, x1, y1, p0, p1, size, 600, 600);
  size_t count = 0;
  double x, y, p;
  while (walk.Next(x, y, p)) ++count;
  return count;
}

// The candidates of a walk by repeated addition from start while within end.
std::vector<double> RepeatedAddition(double start, double end, double step) {
  std::vector<double> out;
  for (double t = start; t <= end; t = t + step) out.push_back(t);
  return out;
}

const double kStep = 3 * 0.05;  // for size 3

TEST(SegmentWalk, StepFollowsSizeWithinBounds) {
  EXPECT_EQ(SegmentWalk::Step(3), 3 * 0.05);
  EXPECT_EQ(SegmentWalk::Step(2.5), 0.125);
  EXPECT_EQ(SegmentWalk::Step(1), 0.125);
  EXPECT_EQ(SegmentWalk::Step(-4), 0.125);
  EXPECT_EQ(SegmentWalk::Step(19), 19 * 0.05);
  EXPECT_EQ(SegmentWalk::Step(20), 1);
  EXPECT_EQ(SegmentWalk::Step(500), 1);
}

TEST(SegmentWalk, SinglePointGivesOneCandidateWithStartPressure) {
  const std::vector<Candidate> c = Walk(7.25, 3.5, 7.25, 3.5, 0.3, 0.9);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].x, 7.25);
  EXPECT_EQ(c[0].y, 3.5);
  EXPECT_EQ(c[0].pressure, 0.3);
}

// Repeated addition of 0.15 from 10 never lands on 11: seven candidates.
TEST(SegmentWalk, HorizontalSegmentStepsByRepeatedAddition) {
  const std::vector<Candidate> c = Walk(10, 4, 11, 4, 0.5, 0.5);
  ASSERT_EQ(c.size(), 7u);
  const std::vector<double> t = RepeatedAddition(10, 11, kStep);
  ASSERT_EQ(t.size(), 7u);
  for (size_t k = 0; k < 7; ++k) {
    EXPECT_EQ(c[k].x, t[k]);
    EXPECT_EQ(c[k].y, 4);
    EXPECT_EQ(c[k].pressure, 0.5);
  }
  EXPECT_NEAR(c.back().x, 10.9, 1e-12);
}

TEST(SegmentWalk, EndIsACandidateOnlyWhenReachedExactly) {
  const std::vector<Candidate> c = Walk(0, 0, 1, 0, 1, 1, 1);  // step 0.125
  ASSERT_EQ(c.size(), 9u);
  EXPECT_EQ(c.back().x, 1);
}

TEST(SegmentWalk, RightToLeftIsWalkedFromTheLeft) {
  const std::vector<Candidate> c = Walk(20, 5, 18, 6, 0.8, 0.2);
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.front().x, 18);
  EXPECT_EQ(c.front().y, 6);
  EXPECT_EQ(c.front().pressure, 0.2);
  for (size_t k = 1; k < c.size(); ++k) EXPECT_GT(c[k].x, c[k - 1].x);
  // After the swap the walk starts at (18, 6, 0.2) and ends at (20, 5, 0.8).
  const double t = c[3].x;
  EXPECT_EQ(c[3].y, 6 + (t - 18) * ((5.0 - 6.0) / (20.0 - 18.0)));
  EXPECT_EQ(c[3].pressure, 0.2 + ((0.8 - 0.2) * (t - 18)) / (20.0 - 18.0));
}

TEST(SegmentWalk, FortyFiveDegreesIsWalkedAlongX) {
  const std::vector<Candidate> c = Walk(5, 9, 8, 6, 1, 1);
  ASSERT_GE(c.size(), 2u);
  EXPECT_EQ(c[0].x, 5);
  EXPECT_EQ(c[1].x, 5 + kStep);
  EXPECT_EQ(c[1].y, 9 + (c[1].x - 5) * -1.0);
}

TEST(SegmentWalk, SteepAndVerticalSegmentsAreWalkedAlongY) {
  const std::vector<Candidate> steep = Walk(4, 12, 5, 10, 0, 1);
  ASSERT_GE(steep.size(), 2u);
  EXPECT_EQ(steep[0].y, 10);
  EXPECT_EQ(steep[0].x, 5);
  EXPECT_EQ(steep[0].pressure, 1);
  const double y = 10 + kStep;
  EXPECT_EQ(steep[1].y, y);
  EXPECT_EQ(steep[1].x, 5 + (y - 10) * ((4.0 - 5.0) / (12.0 - 10.0)));
  EXPECT_EQ(steep[1].pressure, 1 + ((0.0 - 1.0) * (y - 10)) / (12.0 - 10.0));

  const std::vector<Candidate> vertical = Walk(3, 8, 3, 2, 0.25, 0.75);
  const std::vector<double> t = RepeatedAddition(2, 8, kStep);
  ASSERT_EQ(vertical.size(), t.size());
  for (size_t k = 0; k < t.size(); ++k) {
    EXPECT_EQ(vertical[k].y, t[k]);
    EXPECT_EQ(vertical[k].x, 3);
  }
  EXPECT_EQ(vertical[0].pressure, 0.75);
}

TEST(SegmentWalk, LongSegmentsPartlyOutsideAreWalkedInFull) {
  const std::vector<Candidate> c = Walk(-3000, 50, 4000, 250, 0.2, 1);
  const std::vector<double> t = RepeatedAddition(-3000, 4000, kStep);
  ASSERT_EQ(c.size(), t.size());
  EXPECT_EQ(c.back().x, t.back());

  // 120000 pixels: still far within the walk done step by step.
  SegmentWalk walk(-60000, 5, 60000, 7, 1, 1, 3, 600, 600);
  double x, y, p, last = 0, expected = -60000;
  size_t count = 0, expectedCount = 0;
  while (walk.Next(x, y, p)) ++count, last = x;
  for (double u = -60000; u <= 60000; u = u + kStep) ++expectedCount, expected = u;
  EXPECT_EQ(count, expectedCount);
  EXPECT_EQ(last, expected);
}

TEST(SegmentWalk, UnusableValuesGiveNoCandidates) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(Walk(nan, 0, 5, 5, 1, 1).empty());
  EXPECT_TRUE(Walk(0, 0, 5, inf, 1, 1).empty());
  EXPECT_TRUE(Walk(0, 0, 5, 5, nan, 1).empty());
  EXPECT_TRUE(Walk(0, 0, 5, 5, 1, -inf).empty());
  EXPECT_TRUE(Walk(0, 0, 5, 5, 1, 1, nan).empty());
  EXPECT_TRUE(Walk(0, 0, 2e12, 5, 1, 1).empty());  // beyond 2^40
}

// From -1e9 to 1e9 is 13 billion steps: only the part within reach of the
// buffer is walked, then the segment's last grid point.
TEST(SegmentWalk, SegmentsTooLongForAnyPenAreCutToTheBuffer) {
  const std::vector<Candidate> c = Walk(-1e9, 30, 1e9, 30, 1, 1, 3, 600, 400);
  ASSERT_GT(c.size(), 2u);
  ASSERT_LT(c.size(), 10000u);
  EXPECT_LT(c.front().x, -1.5);
  EXPECT_GT(c.front().x, -5);
  EXPECT_GT(c[c.size() - 2].x, 601.5);
  EXPECT_LT(c[c.size() - 2].x, 606);
  for (size_t k = 1; k + 1 < c.size(); ++k) EXPECT_NEAR(c[k].x - c[k - 1].x, kStep, 1e-6);
  EXPECT_LE(c.back().x, 1e9);
  EXPECT_GT(c.back().x, 1e9 - 0.15);
  for (const Candidate& k : c) EXPECT_EQ(k.y, 30);

  // Wholly outside: only the last grid point remains.
  const std::vector<Candidate> far = Walk(-2e9, -1e9, -1e9, -1e9, 1, 1);
  ASSERT_EQ(far.size(), 1u);
  EXPECT_GT(far[0].x, -1e9 - 0.15);

  // Unequal ends: the reach is the larger end's. From the pressure 1 end
  // (diameter 100) the walk must start 50 pixels before the buffer, whichever
  // way the segment is drawn; the smaller end (diameter 5) would start it at 2.5.
  for (const bool reversed : {false, true}) {
    const std::vector<Candidate> unequal = reversed ? Walk(1e7, 15.5, -1e7, 15.5, 0.05, 1.0, 100, 40, 30)
                                                    : Walk(-1e7, 15.5, 1e7, 15.5, 1.0, 0.05, 100, 40, 30);
    ASSERT_GT(unequal.size(), 2u);
    EXPECT_LE(unequal.front().x, -50) << reversed;
    EXPECT_GE(unequal[unequal.size() - 2].x, 40 + 50) << reversed;
  }

  // Dabs of absurd size reach everywhere: the walk is thinned out instead.
  EXPECT_LE(Count(-1e9, 0, 1e9, 0, 1e12, 1e12), size_t(SegmentWalk::kMaxCandidates) + 2);
}

}  // namespace
