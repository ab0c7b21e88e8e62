#include "dib24.h"

#include "DibSection.h"

#include <algorithm>
#include <cstring>
#include <utility>

dib24::dib24() : oldObject(nullptr), bitmap(nullptr), dc(nullptr), bits(nullptr), width(0), height(0), stride(0) {
  std::memset(&info, 0, sizeof info);
  Create(1, 1);
}

dib24::~dib24() { Release(); }

bool dib24::Create(int w, int h) {
  Release();
  SetDibHeader(info, w, h, 24);
  MakeDibSection(*this, info, (static_cast<long long>(w) * 3 + 3) & ~3LL);  // rows padded to 4 bytes
  dc = CreateCompatibleDC(nullptr);
  oldObject = bitmap ? SelectObject(dc, bitmap) : nullptr;
  return bits != nullptr;
}

void dib24::Release() { ReleaseDibSection(*this); }

void dib24::Draw(HDC target, int x, int y, int w, int h, int srcX, int srcY) {
  if (!bits) return;
  StretchDIBits(target, x, y, w, h, srcX, srcY, info.bmiHeader.biWidth, info.bmiHeader.biHeight, bits, &info,
                DIB_RGB_COLORS, SRCCOPY);
}

namespace {
// Pixel x of a row of palette indices of Bits bits each; a byte holds 8, 2 or
// 1 of them, the first pixel in its highest bits.
template <int Bits>
inline int IndexAt(const unsigned char* row, int x) {
  const int perByte = 8 / Bits;
  const int byteShift = Bits == 1 ? 3 : Bits == 4 ? 1 : 0;  // log2(perByte)
  return (row[x >> byteShift] >> (Bits * (perByte - 1 - (x & (perByte - 1))))) & ((1 << Bits) - 1);
}

// One body for the three depths, compiled for each with its own constants.
template <int Bits>
void ExpandIndexed(dib24& image, const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  const int width = image.width;
  const int height = image.height;
  // Bottom row first, so that the image is written forward in memory (and the
  // source of a usual, bottom-up file read forward).
  for (int y = height - 1; y >= 0; --y) {
    const unsigned char* src = rows + (height - 1 - y) * rowPitch;
    unsigned char* dst = image.Row(y);
    for (int x = 0; x < width; ++x, dst += 3) {
      const RGBQUAD& entry = palette[IndexAt<Bits>(src, x)];
      dst[0] = entry.rgbBlue;
      dst[1] = entry.rgbGreen;
      dst[2] = entry.rgbRed;
    }
  }
}
}  // namespace

void dib24::CopyIndexed(int bitCount, const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  if (!bits) return;
  if (bitCount == 1) ExpandIndexed<1>(*this, palette, rows, rowPitch);
  if (bitCount == 4) ExpandIndexed<4>(*this, palette, rows, rowPitch);
  if (bitCount == 8) ExpandIndexed<8>(*this, palette, rows, rowPitch);
}

dib24::dib24(NoImage) : oldObject(nullptr), bitmap(nullptr), dc(nullptr), bits(nullptr), width(0), height(0), stride(0) {
  std::memset(&info, 0, sizeof info);
}

void dib24::Swap(dib24& other) {
  std::swap(info, other.info);
  SwapDibSection(*this, other);
}

void dib24::FlipRows() {
  if (!bits) return;
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(Row(top), Row(top) + stride, Row(bottom));
  }
}
