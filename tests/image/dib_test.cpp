// dib24: sizes, the bottom-up layout (with the row addressing it shares with
// dib32, whose own tests are in dib32_test.cpp), failed and repeated creation,
// release. Under Wine the layout is checked against what real GDI draws.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "image/dib24.h"
#include "image/dib32.h"

namespace {

unsigned char* At(dib24& image, int x, int y) {
  return image.bits + static_cast<size_t>(image.height - 1 - y) * image.stride + 3 * x;
}

void ExpectEmptyWithDc(const dib24& image) {
  EXPECT_EQ(image.bits, nullptr);
  EXPECT_EQ(image.bitmap, nullptr);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
  EXPECT_EQ(image.stride, 0);
  EXPECT_NE(image.dc, nullptr);
}

TEST(Dib24, NewImageIsOneByOne) {
  dib24 image;
  EXPECT_EQ(image.width, 1);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(image.stride, 4);
  EXPECT_NE(image.bits, nullptr);
  EXPECT_NE(image.dc, nullptr);
}

TEST(Dib24, RowsArePaddedToFourBytes) {
  dib24 image;
  const int widths[] = {1, 2, 3, 4, 5, 10, 599, 600};
  const int strides[] = {4, 8, 12, 12, 16, 32, 1800, 1800};
  for (int i = 0; i < 8; ++i) {
    EXPECT_TRUE(image.Create(widths[i], 3));
    EXPECT_EQ(image.stride, strides[i]) << widths[i];
    EXPECT_EQ(image.width, widths[i]);
    EXPECT_EQ(image.height, 3);
    const BITMAPINFOHEADER& h = image.info.bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, widths[i]);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biClrUsed, 0u);
  }
}

// Row(y) counts y from the top of the picture, over bottom-up rows.
TEST(DibRow, TopRowIsTheLastInMemoryInBothImageClasses) {
  dib24 image;
  dib32 surface;
  const int sizes[][2] = {{1, 1}, {3, 2}, {5, 7}, {10, 3}};
  for (const auto& size : sizes) {
    ASSERT_TRUE(image.Create(size[0], size[1]));
    surface.Create(size[0], size[1]);
    ASSERT_NE(surface.bits, nullptr);
    for (int y = 0; y < size[1]; ++y) {
      EXPECT_EQ(image.Row(y), At(image, 0, y));
      EXPECT_EQ(surface.Row(y) - surface.bits, (size[1] - 1 - y) * size[0] * 4);
    }
    EXPECT_EQ(image.Row(0), image.bits + (size[1] - 1) * image.stride);
    EXPECT_EQ(image.Row(size[1] - 1), image.bits);
    const dib24& constImage = image;
    EXPECT_EQ(constImage.Row(size[1] - 1), image.bits);
  }
}

TEST(Dib24, SizesWithoutAnImageLeaveItEmptyWithADc) {
  dib24 image;
  const std::pair<int, int> sizes[] = {{0, 10}, {10, 0}, {0, 0}, {-1, 5}, {5, -5}, {INT_MIN, INT_MIN},
                                       {INT_MAX, 2}, {2, INT_MAX}, {40000, 40000}};
  for (const auto& size : sizes) {
    EXPECT_FALSE(image.Create(size.first, size.second));
    ExpectEmptyWithDc(image);
  }
  // It becomes live again through Create.
  EXPECT_TRUE(image.Create(2, 2));
  EXPECT_NE(image.bits, nullptr);
}

TEST(Dib24, ReleaseClearsEverythingAndIsRepeatable) {
  dib24 image;
  image.Create(4, 4);
  image.Release();
  EXPECT_EQ(image.bits, nullptr);
  EXPECT_EQ(image.bitmap, nullptr);
  EXPECT_EQ(image.dc, nullptr);
  EXPECT_EQ(image.oldObject, nullptr);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
  EXPECT_EQ(image.stride, 0);
  image.Release();
  EXPECT_EQ(image.dc, nullptr);
  EXPECT_TRUE(image.Create(1, 1));
  EXPECT_NE(image.bits, nullptr);
}

TEST(Dib24, CopyIndexedFollowsTheSourceRowPitch) {
  // Two rows of 8-bit indices given top-down through a negative pitch.
  dib24 image;
  image.Create(2, 2);
  RGBQUAD palette[256] = {};
  palette[1].rgbRed = 10;
  palette[2].rgbGreen = 20;
  palette[3].rgbBlue = 30;
  const unsigned char block[8] = {1, 2, 0, 0, 3, 1, 0, 0};  // top row first
  image.CopyIndexed(8, palette, block + 4, -4);
  EXPECT_EQ(At(image, 0, 0)[2], 10);  // top row: 1, 2
  EXPECT_EQ(At(image, 1, 0)[1], 20);
  EXPECT_EQ(At(image, 0, 1)[0], 30);  // bottom row: 3, 1
  EXPECT_EQ(At(image, 1, 1)[2], 10);
}

#ifdef _WIN32
// Real GDI draws the pixel that the layout puts at the top left at the top left.
TEST(Dib24, GdiSeesTheSameLayout) {
  dib24 source, target;
  source.Create(3, 2);
  target.Create(3, 2);
  std::memset(source.bits, 0, source.stride * 2);
  std::memset(target.bits, 0x11, target.stride * 2);
  At(source, 0, 0)[2] = 255;  // top left red
  At(source, 2, 1)[0] = 255;  // bottom right blue
  source.Draw(target.dc, 0, 0, 3, 2, 0, 0);
  GdiFlush();
  EXPECT_EQ(At(target, 0, 0)[2], 255);
  EXPECT_EQ(At(target, 0, 0)[0], 0);
  EXPECT_EQ(At(target, 2, 1)[0], 255);
  EXPECT_EQ(At(target, 1, 0)[1], 0);

  // The device context holds the bitmap: BitBlt copies from it.
  dib24 copy;
  copy.Create(3, 2);
  ASSERT_TRUE(BitBlt(copy.dc, 0, 0, 3, 2, source.dc, 0, 0, SRCCOPY));
  GdiFlush();
  for (int y = 0; y < 2; ++y) EXPECT_EQ(std::memcmp(At(copy, 0, y), At(source, 0, y), 9), 0);

  // An empty image draws nothing.
  dib24 empty;
  empty.Create(0, 10);
  std::memset(target.bits, 0x22, target.stride * 2);
  empty.Draw(target.dc, 0, 0, 3, 2, 0, 0);
  GdiFlush();
  EXPECT_EQ(target.bits[0], 0x22);
  EXPECT_EQ(target.bits[target.stride + 8], 0x22);
}
#else
// The stand-in counts GDI objects and can make DIB sections fail.
TEST(Dib24, FailedDibSectionLeavesAnEmptyImageWithADc) {
  dib24 image;
  GdiStandIn::FailNextDibSections(1);
  EXPECT_FALSE(image.Create(8, 8));
  ExpectEmptyWithDc(image);
  image.Draw(image.dc, 0, 0, 8, 8, 0, 0);  // nothing to draw
  EXPECT_TRUE(image.Create(8, 8));
  EXPECT_NE(image.bits, nullptr);
}

TEST(Dib24, CreateFreesTheOldImageAndDestructorFreesAll) {
  const int bitmaps = GdiStandIn::LiveBitmaps(), dcs = GdiStandIn::LiveDcs();
  {
    dib24 image;
    const HBITMAP first = image.bitmap;
    EXPECT_TRUE(GdiStandIn::IsSelected(first));
    image.Create(5, 5);
    image.Create(6, 6);
    EXPECT_EQ(GdiStandIn::LiveBitmaps(), bitmaps + 1);
    EXPECT_EQ(GdiStandIn::LiveDcs(), dcs + 1);
    EXPECT_TRUE(GdiStandIn::IsSelected(image.bitmap));
    image.Create(0, 6);
    EXPECT_EQ(GdiStandIn::LiveBitmaps(), bitmaps);
    EXPECT_EQ(GdiStandIn::LiveDcs(), dcs + 1);
    image.Create(3, 3);
  }
  EXPECT_EQ(GdiStandIn::LiveBitmaps(), bitmaps);
  EXPECT_EQ(GdiStandIn::LiveDcs(), dcs);
}

TEST(Dib24, ImpossibleSizesAreNotRequested) {
  dib24 image;
  const int calls = GdiStandIn::DibSectionCalls();
  image.Create(INT_MAX, 1);
  image.Create(30000, 30000);  // 2.7e9 bytes: beyond an int
  image.Create(-3, 3);
  EXPECT_EQ(GdiStandIn::DibSectionCalls(), calls);
  ExpectEmptyWithDc(image);
}
#endif

}  // namespace
