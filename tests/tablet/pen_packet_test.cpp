// The packet mapping on its own: the virtual screen's origin, and layouts
// whose origin is 0 mapped bit for bit as the plain scaling.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "tablet/PenPacket.h"

namespace {

TEST(PenPacket, OriginAtZeroIsThePlainScalingBitForBit) {
  // The worked value: 800 pixels, 500 counts, pkX 251 gives 401.6; a window
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

TEST(PenPacket, NegativeOriginOnEachAxis) {
  for (const double left : {0.0, -1920.0}) {
    for (const double top : {0.0, -1080.0}) {
      const TabletMapping m = {left, top, 3200, 2160, 32000, 21600, 1023};
      EXPECT_EQ(m.ScreenX(0), left);
      EXPECT_EQ(m.ScreenY(0), top);
      EXPECT_EQ(m.ScreenX(19201), left + 1920.1);  // 0.1 pixel right of the primary's left edge when left is -1920
      EXPECT_EQ(m.ScreenY(10805), top + 1080.5);
      EXPECT_EQ(m.ScreenX(32000), left + 3200);
    }
  }
  // Left of the primary, positions truncate toward zero: the client position
  // keeps the fraction on either side of it.
  const double screen = -0.75;  // in the left monitor, three quarters of a pixel from the primary
  EXPECT_EQ(ClientPosition(screen, 0 - 100), -100.75);
  EXPECT_EQ(ClientPosition(-1919.5, -1919 - 100), -2019.5);
}

TEST(PenPacket, FaultyPacketsStayWithinTheLimit) {
  const TabletMapping m = {-1920, -1080, 3200, 2160, 1, 1, 1};
  EXPECT_EQ(m.ScreenX(0xFFFFFFFFu), TabletMapping::kPositionLimit);
  const TabletMapping empty = {-1920, 0, 0, 0, 1, 1, 1};
  EXPECT_EQ(empty.ScreenX(12345), -1920.0);
  EXPECT_EQ(m.Pressure(2), 1.0) << "beyond the device's maximum";
  EXPECT_EQ(PressureMaximum(0), 1.0);
  EXPECT_EQ(PressureMaximum(-5), 1.0);
  EXPECT_EQ(PressureMaximum(1023), 1023.0);
}

}  // namespace
