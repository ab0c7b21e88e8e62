// The tip masks: known texels, every texel of every level against the plain
// definition, and a fingerprint that shows any change of the maths library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "brush/Brush.h"
#include "tests/brush/DirectMask.h"

namespace {

const int kSides[] = {384, 192, 96, 48, 24, 12, 6, 3, 1};

std::vector<int16_t> Texels(const std::unique_ptr<int16_t[]>& mask, int n) {
  return std::vector<int16_t>(mask.get(), mask.get() + n * n);
}

TEST(MakeMask, SmallSidesGiveKnownTexels) {
  EXPECT_EQ(Texels(Brush::MakeMask(1), 1), std::vector<int16_t>({22889}));
  EXPECT_EQ(Texels(Brush::MakeMask(3), 3),
            std::vector<int16_t>({12447, 27990, 15783, 27990, 32766, 32086, 15783, 32086, 19631}));
}

TEST(MakeMask, LargestSideGivesKnownTexels) {
  const std::unique_ptr<int16_t[]> mask = Brush::MakeMask(384);
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask[0 * 384 + 192], 2269);
  EXPECT_EQ(mask[192 * 384 + 192], 32767);
  EXPECT_EQ(mask[0], 0);  // the corner lies outside the circle
}

TEST(MakeMask, InteriorIsFullOnlyFromSideTwelve) {
  for (int n : {3, 6, 12, 24}) {
    const std::unique_ptr<int16_t[]> mask = Brush::MakeMask(n);
    int16_t highest = 0;
    for (int k = 0; k < n * n; ++k) highest = std::max(highest, mask[k]);
    EXPECT_EQ(highest, n < 12 ? 32766 : 32767) << "side " << n;
  }
}

TEST(MakeMask, RefusesSidesWithoutTexels) {
  EXPECT_FALSE(Brush::MakeMask(0));
  EXPECT_FALSE(Brush::MakeMask(-3));
  EXPECT_FALSE(Brush::MakeMask(1 << 20));
}

// The tabulated masks must be the plain definition's, texel for texel.
TEST(BuildLevels, EveryLevelMatchesThePlainDefinition) {
  Brush brush;
  brush.BuildLevels();
  ASSERT_EQ(brush.levels.size(), 9u);
  for (size_t k = 0; k < 9; ++k) {
    const int n = kSides[k];
    EXPECT_EQ(Texels(brush.levels[k], n), DirectMask(n)) << "side " << n;
  }
}

// Sides that split into bands in every way: below one tile, odd, a centre
// band of every width, several mirrored bands.
TEST(MakeMask, OtherSidesMatchThePlainDefinition) {
  for (int n : {2, 4, 5, 7, 31, 32, 33, 47, 63, 64, 65, 100, 129}) {
    EXPECT_EQ(Texels(Brush::MakeMask(n), n), DirectMask(n)) << "side " << n;
  }
}

// FNV-1a of all nine levels, largest first, texels as little-endian 16-bit
// values. Equal in every build; a maths library whose pow differs enough to
// move a texel changes it.
TEST(BuildLevels, LevelsHaveTheSameFingerprintInEveryBuild) {
  Brush brush;
  brush.BuildLevels();
  ASSERT_EQ(brush.levels.size(), 9u);
  uint64_t hash = 14695981039346656037ull;
  for (size_t k = 0; k < 9; ++k) {
    for (int t = 0; t < kSides[k] * kSides[k]; ++t) {
      const uint16_t v = static_cast<uint16_t>(brush.levels[k][t]);
      for (int byte : {v & 0xFF, v >> 8}) {
        hash ^= static_cast<uint64_t>(byte);
        hash *= 1099511628211ull;
      }
    }
  }
  EXPECT_EQ(hash, 0x42026cc9c7d16af5ull);
}

TEST(BuildLevels, RebuildingKeepsNineLevels) {
  Brush brush;
  EXPECT_TRUE(brush.levels.empty());
  brush.BuildLevels();
  brush.BuildLevels();
  EXPECT_EQ(brush.levels.size(), 9u);
  EXPECT_EQ(brush.baseSize, 128);
  EXPECT_EQ(brush.oversampling, 3);
  brush.ClearLevels();
  EXPECT_TRUE(brush.levels.empty());
}

}  // namespace
