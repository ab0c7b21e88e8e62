// Brush::Sample: the coverage of a pixel by a dab, from the tip masks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "brush/Brush.h"
#include "tests/brush/LiteralStroke.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class SampleTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    brush = new Brush;
    brush->BuildLevels();
  }
  static void TearDownTestSuite() {
    delete brush;
    brush = nullptr;
  }

  // The box filter over a level chosen by the caller, s texels per pixel.
  static double AtLevel(size_t k, double a, double b, double diameter) {
    const int g = 384 >> k;
    const double s = g / diameter;
    const double x0 = a * s, y0 = b * s, x1 = (a + 1) * s, y1 = (b + 1) * s;
    double num = 0, den = 0;
    for (int q = int(std::floor(y0)); q <= int(std::ceil(y1)); ++q) {
      const double wy = q == std::floor(y0) ? 1 - (y0 - std::floor(y0)) : q == std::ceil(y1) ? 1 - (std::ceil(y1) - y1) : 1;
      for (int c = int(std::floor(x0)); c <= int(std::ceil(x1)); ++c) {
        const double wx = c == std::floor(x0) ? 1 - (x0 - std::floor(x0)) : c == std::ceil(x1) ? 1 - (std::ceil(x1) - x1) : 1;
        const bool inside = c >= 0 && c < g && q >= 0 && q < g;
        num += wx * wy * (inside ? brush->levels[k][q * g + c] / 32767.0 : 0);
        den += wx * wy;
      }
    }
    return num / den;
  }

  static Brush* brush;
};
Brush* SampleTest::brush = nullptr;

TEST_F(SampleTest, DiameterThreeGivesKnownCoverage) {
  EXPECT_NEAR(brush->Sample(1, 1, 1, 1, 3), 0.99998, 5e-6);
  EXPECT_NEAR(brush->Sample(0, 0, 1, 1, 3), 0.6178, 5e-5);
  EXPECT_NEAR(brush->Sample(2, 2, 1, 1, 3), 0.3297, 5e-5);
  EXPECT_NEAR(brush->Sample(0, 1, 1, 1, 3), 0.9104, 5e-5);
}

// The window reaches one texel past the footprint on the right and bottom:
// at (2, 2) with s = 4 it runs over texels 8 to 12, where texel 12 lies
// outside the side-12 mask but still weighs 1.
TEST_F(SampleTest, WindowEndsAtTheCeilingInclusive) {
  double num = 0;
  for (int q = 8; q <= 11; ++q)
    for (int c = 8; c <= 11; ++c) num += brush->levels[5][q * 12 + c] / 32767.0;
  EXPECT_DOUBLE_EQ(brush->Sample(2, 2, 1, 1, 3), num / 25);
}

TEST_F(SampleTest, LevelFollowsTheDiameter) {
  struct Case {
    double diameter;
    size_t level;
  } cases[] = {{3, 5}, {0.125, 6}, {1, 6}, {2, 6}, {4, 5}, {4.1, 4}, {8.5, 3}, {128, 0}, {200, 0}, {1000, 0}};
  for (const Case& c : cases) {
    // Near the rim, where neighbouring levels give clearly different values.
    const double a = c.diameter * 0.08, b = c.diameter * 0.35;
    const double got = brush->Sample(a, b, 1, 1, c.diameter);
    EXPECT_NEAR(got, AtLevel(c.level, a, b, c.diameter), 1e-12) << "diameter " << c.diameter;
    if (c.level + 1 < 9) {
      EXPECT_GT(std::fabs(got - AtLevel(c.level + 1, a, b, c.diameter)), 1e-7);
    }
    if (c.level > 0) {
      EXPECT_GT(std::fabs(got - AtLevel(c.level - 1, a, b, c.diameter)), 1e-7);
    }
  }
}

TEST_F(SampleTest, EmptyFootprintsAndDabsGiveZero) {
  EXPECT_EQ(brush->Sample(1, 1, 1, 1, 0), 0);
  EXPECT_EQ(brush->Sample(1, 1, 1, 1, -2), 0);
  EXPECT_EQ(brush->Sample(1, 1, 0, 1, 3), 0);
  EXPECT_EQ(brush->Sample(1, 1, 1, -1, 3), 0);
  EXPECT_EQ(brush->Sample(-5, 1, 1, 1, 3), 0);  // wholly left of the mask
  EXPECT_EQ(brush->Sample(1, 4, 1, 1, 3), 0);   // wholly below it
}

TEST_F(SampleTest, EmptyPyramidGivesZero) {
  Brush empty;
  EXPECT_EQ(empty.Sample(1, 1, 1, 1, 3), 0);
}

TEST_F(SampleTest, MatchesTheLiteralSum) {
  LiteralStroke literal(LiteralStroke::kSoft, 1, 1, brush);
  for (double diameter : {0.125, 0.7, 1.5, 3.0, 5.25, 17.0, 130.0}) {
    for (double a = -1.3; a < diameter + 1; a += 0.37) {
      for (double b = -0.9; b < diameter + 1; b += 0.41) {
        ASSERT_EQ(brush->Sample(a, b, 1, 1, diameter), literal.Sample(a, b, 1, 1, diameter))
            << a << " " << b << " " << diameter;
      }
    }
  }
}

// Not a number, infinities, far-off places and huge footprints: a value in
// 0..1 and bounded work.
TEST_F(SampleTest, BadInputGivesBoundedResults) {
  const double values[] = {kNaN, kInf, -kInf, 1e9, -1e9, 1e300, -1e300, 1e-300, 0.5};
  for (double a : values) {
    for (double w : values) {
      for (double d : values) {
        const double got = brush->Sample(a, a, w, w, d);
        EXPECT_TRUE(got >= 0 && got <= 1) << a << " " << w << " " << d << " -> " << got;
      }
    }
  }
  EXPECT_EQ(brush->Sample(kNaN, 1, 1, 1, 3), 0);
  EXPECT_EQ(brush->Sample(1, 1, kNaN, 1, 3), 0);
  EXPECT_EQ(brush->Sample(1, 1, 1, 1, kNaN), 0);
  EXPECT_EQ(brush->Sample(1e9, 1e9, 1, 1, 3), 0);
}

// A footprint of hundreds of texels per axis is summed over the mask alone,
// with the window's weight in closed form: close to the literal sum.
TEST_F(SampleTest, HugeFootprintsStayCloseToTheLiteralSum) {
  LiteralStroke literal(LiteralStroke::kSoft, 1, 1, brush);
  const double cases[][5] = {{-0.3, -0.2, 60, 70, 3}, {-0.1, -0.05, 4.5, 6.5, 0.125}, {-20.7, 1.3, 30, 200, 1.5}};
  for (const auto& c : cases) {
    const double got = brush->Sample(c[0], c[1], c[2], c[3], c[4]);
    const double want = literal.Sample(c[0], c[1], c[2], c[3], c[4]);
    EXPECT_NEAR(got, want, want * 1e-9);
    EXPECT_GT(want, 0);
  }
  // A footprint covering the mask many million times over: the mask's share.
  const double wide = brush->Sample(-1e6, -1e6, 2e6, 2e6, 3);
  EXPECT_GT(wide, 0);
  EXPECT_LT(wide, 1e-10);
}

}  // namespace
