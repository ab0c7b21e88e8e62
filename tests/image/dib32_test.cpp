// The 32-bit surface: creation, layout, partial clears, release. Under Wine
// the surface is a real DIB section, read back through GDI.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/dib32.h"

namespace {

void Fill(dib32& s, unsigned char value) { std::memset(s.bits, value, size_t(s.height) * s.stride); }

// Offsets of the bytes that are zero.
std::vector<int> ZeroBytes(const dib32& s) {
  std::vector<int> zero;
  for (int k = 0; k < s.height * s.stride; ++k)
    if (s.bits[k] == 0) zero.push_back(k);
  return zero;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> r;
  for (int k = from; k < to; ++k) r.push_back(k);
  return r;
}

TEST(Dib32Test, NewSurfaceHoldsNothing) {
  dib32 s;
  EXPECT_EQ(s.dc, nullptr);
  EXPECT_EQ(s.bitmap, nullptr);
  EXPECT_EQ(s.bits, nullptr);
  s.Clear(nullptr);
  RECT r = {0, 0, 5, 5};
  s.Clear(&r);
  s.Release();
  s.Release();
  EXPECT_EQ(s.dc, nullptr);
}

TEST(Dib32Test, CreateGivesZeroFilledBottomUpRows) {
  dib32 s;
  s.Create(5, 3);
  ASSERT_NE(s.bits, nullptr);
  ASSERT_NE(s.dc, nullptr);
  ASSERT_NE(s.bitmap, nullptr);
  EXPECT_EQ(s.width, 5);
  EXPECT_EQ(s.height, 3);
  EXPECT_EQ(s.stride, 20);
  EXPECT_EQ(ZeroBytes(s), Range(0, 60));

  // The top-left pixel is the first of the last row in memory: byte 40.
  Fill(s, 0xFF);
  RECT topLeft = {0, 0, 1, 1};
  s.Clear(&topLeft);
  EXPECT_EQ(ZeroBytes(s), Range(40, 44));
}

TEST(Dib32Test, CreateAgainReplacesTheSurfaceWithZeros) {
  dib32 s;
  s.Create(4, 4);
  Fill(s, 0xAB);
#ifndef _WIN32
  const int bitmaps = GdiStandIn::LiveBitmaps(), dcs = GdiStandIn::LiveDcs();
#endif
  s.Create(4, 4);
  EXPECT_EQ(ZeroBytes(s), Range(0, 64));  // the fourth byte included
  s.Create(6, 2);
  EXPECT_EQ(s.stride, 24);
  EXPECT_EQ(ZeroBytes(s), Range(0, 48));
#ifndef _WIN32
  EXPECT_EQ(GdiStandIn::LiveBitmaps(), bitmaps);
  EXPECT_EQ(GdiStandIn::LiveDcs(), dcs);
  EXPECT_EQ(GdiStandIn::HeldScreenDcs(), 0);
  EXPECT_TRUE(GdiStandIn::IsSelected(s.bitmap));
#endif
}

TEST(Dib32Test, ClearTouchesOnlyTheClippedRectangle) {
  dib32 s;
  s.Create(5, 3);
  Fill(s, 0xFF);
  RECT partly = {3, -2, 9, 1};  // columns 3 and 4 of row 0
  s.Clear(&partly);
  EXPECT_EQ(ZeroBytes(s), Range(52, 60));

  Fill(s, 0xFF);
  const RECT nothing[] = {{5, 0, 9, 3}, {-4, 0, 0, 3}, {0, 3, 5, 9}, {2, 1, 2, 3}, {3, 2, 1, 1}};
  for (const RECT& r : nothing) s.Clear(&r);
  EXPECT_TRUE(ZeroBytes(s).empty());

  s.Clear(nullptr);
  EXPECT_EQ(ZeroBytes(s), Range(0, 60));
}

// As dib24: a surface without pixels is 0 x 0, so that writers that check the
// size write nothing.
TEST(Dib32Test, ReleaseLeavesAnEmptySurface) {
  dib32 s;
  s.Create(7, 2);
  s.Release();
  EXPECT_EQ(s.bits, nullptr);
  EXPECT_EQ(s.bitmap, nullptr);
  EXPECT_EQ(s.dc, nullptr);
  EXPECT_EQ(s.oldObject, nullptr);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.height, 0);
  EXPECT_EQ(s.stride, 0);
  s.Release();
  s.Clear(nullptr);
#ifndef _WIN32
  EXPECT_EQ(GdiStandIn::LiveBitmaps(), 0);
  EXPECT_EQ(GdiStandIn::LiveDcs(), 0);
#endif
}

// Sizes GDI cannot or must not map give a surface without pixels and of size
// 0 x 0, so that writers that check the size write nothing.
TEST(Dib32Test, UnmappableSizesGiveAnEmptySurface) {
  dib32 s;
  const int sizes[][2] = {{0, 5}, {5, 0}, {-3, 4}, {4, -3}, {1 << 20, 1 << 20}, {40000, 40000}};
  for (const auto& size : sizes) {
    s.Create(8, 8);
    s.Create(size[0], size[1]);
    EXPECT_EQ(s.bits, nullptr);
    EXPECT_EQ(s.bitmap, nullptr);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.stride, 0);
    s.Clear(nullptr);
  }
  s.Release();
}

#ifndef _WIN32
TEST(Dib32Test, FailedDibSectionGivesAnEmptySurfaceWithADc) {
  dib32 s;
  GdiStandIn::FailNextDibSections(1);
  s.Create(10, 10);
  EXPECT_EQ(s.bits, nullptr);
  EXPECT_EQ(s.bitmap, nullptr);
  EXPECT_NE(s.dc, nullptr);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.height, 0);
  EXPECT_EQ(s.stride, 0);
  s.Clear(nullptr);
  s.Release();
  EXPECT_EQ(GdiStandIn::LiveDcs(), 0);
  s.Create(2, 2);
  EXPECT_NE(s.bits, nullptr);
}
#else
// What GDI itself sees: a bottom-up 32-bit DIB section in the memory DC, whose
// pixel (x, y) is the one the byte layout says.
TEST(Dib32Test, IsABottomUpDibSectionSelectedIntoItsDc) {
  dib32 s;
  s.Create(5, 3);
  DIBSECTION info;
  ASSERT_EQ(GetObjectA(s.bitmap, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.dsBm.bmBits, s.bits);
  EXPECT_EQ(info.dsBm.bmWidth, 5);
  EXPECT_EQ(info.dsBm.bmHeight, 3);
  EXPECT_EQ(info.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(info.dsBm.bmWidthBytes, 20);
  EXPECT_EQ(info.dsBmih.biHeight, 3);
  EXPECT_EQ(info.dsBmih.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BITMAP), s.bitmap);

  unsigned char* topLeft = s.bits + 40;
  topLeft[0] = 0x11, topLeft[1] = 0x22, topLeft[2] = 0x33;
  unsigned char* bottomRight = s.bits + 4 * 4;
  bottomRight[0] = 0x44, bottomRight[1] = 0x55, bottomRight[2] = 0x66;
  GdiFlush();
  EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(0x33, 0x22, 0x11));
  EXPECT_EQ(GetPixel(s.dc, 4, 2), RGB(0x66, 0x55, 0x44));
  EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(0, 0, 0));
}

TEST(Dib32Test, ReleaseFreesTheGdiObjects) {
  dib32 s;
  s.Create(3, 3);
  HBITMAP bitmap = s.bitmap;
  HDC dc = s.dc;
  s.Create(4, 4);  // frees the first pair
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(dc), 0u);
  bitmap = s.bitmap;
  dc = s.dc;
  s.Release();
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(dc), 0u);
}
#endif

}  // namespace
