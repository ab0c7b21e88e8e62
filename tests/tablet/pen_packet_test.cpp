// The packet mapping natively: layouts whose virtual screen starts at (0, 0)
// map bit for bit as the plain scaling did, and positions left of the primary
// monitor keep their fraction. (Negative origins with real windows, and the
// pen-state table, are tested under Wine with the tablet context.)
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "tablet/PenPacket.h"

namespace {

TEST(PenPacket, OriginAtZeroIsThePlainScalingBitForBit) {
  // The example the Wine tests also pin: 800 pixels, 500 counts, pkX 251 gives 401.6; a window
  // whose client area starts at 100 sees 301.6.
  const TabletMapping m = {0, 0, 800, 600, 500, 400, 1023};
  EXPECT_EQ(m.ScreenX(251), 251 * 800.0 / 500);
  EXPECT_EQ(ClientPosition(m.ScreenX(251), 401 - 100), 251 * 800.0 / 500 - 100);
  // Single monitors, and monitors right of or below the primary one.
  std::mt19937 random(7);
  for (int i = 0; i < 10000; ++i) {
    const double width = 1 + random() % 8000, height = 1 + random() % 5000;
    const double extX = 1 + random() % 100000, extY = 1 + random() % 100000;
    const TabletMapping layout = {0, 0, width, height, extX, extY, 1023};
    const uint32_t x = random() % (uint32_t(extX) + 1), y = random() % (uint32_t(extY) + 1);  // on the tablet
    ASSERT_EQ(layout.ScreenX(x), x * width / extX);
    ASSERT_EQ(layout.ScreenY(y), y * height / extY);
  }
}

TEST(PenPacket, PositionsLeftOfThePrimaryKeepTheirFraction) {
  const TabletMapping m = {-1920, -1080, 3200, 2160, 32000, 21600, 1023};
  EXPECT_EQ(m.ScreenX(0), -1920);
  EXPECT_EQ(m.ScreenY(10805), -1080 + 1080.5);
  // Truncated toward zero, -0.75 and -1919.5 lie in the pixels 0 and -1919;
  // for a client area at 100 those are -100 and -2019.
  EXPECT_EQ(ClientPosition(-0.75, 0 - 100), -100.75);
  EXPECT_EQ(ClientPosition(-1919.5, -1919 - 100), -2019.5);
}

}  // namespace
