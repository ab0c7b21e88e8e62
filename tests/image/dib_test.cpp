#include <gtest/gtest.h>

#include "image/dib24.h"
#include "image/dib32.h"

TEST(Dib24, NewImageIsOneByOne) {
  dib24 image;
  EXPECT_EQ(image.width, 1);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(image.stride, 4);
  EXPECT_NE(image.bits, nullptr);
}

TEST(Dib32, CreateGivesZeroedBottomUpSurface) {
  dib32 surface;
  surface.Create(5, 3);
  ASSERT_NE(surface.bits, nullptr);
  EXPECT_EQ(surface.stride, 20);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(surface.bits[i], 0);
}
