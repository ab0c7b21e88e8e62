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

void dib24::CopyIndexed(int bitCount, const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  if (!bits || (bitCount != 1 && bitCount != 4 && bitCount != 8)) return;
  // A byte holds 8, 2 or 1 indices, the first pixel in its highest bits.
  const int perByte = 8 / bitCount;
  const int mask = (1 << bitCount) - 1;
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = rows + (height - 1 - y) * rowPitch;
    unsigned char* dst = Row(y);
    for (int x = 0; x < width; ++x, dst += 3) {
      const int shift = 8 - bitCount * (x % perByte + 1);
      const RGBQUAD& entry = palette[(src[x / perByte] >> shift) & mask];
      dst[0] = entry.rgbBlue;
      dst[1] = entry.rgbGreen;
      dst[2] = entry.rgbRed;
    }
  }
}

dib24::dib24(NoImage) : oldObject(nullptr), bitmap(nullptr), dc(nullptr), bits(nullptr), width(0), height(0), stride(0) {
  std::memset(&info, 0, sizeof info);
}

void dib24::Swap(dib24& other) {
  std::swap(info, other.info);
  std::swap(oldObject, other.oldObject);
  std::swap(bitmap, other.bitmap);
  std::swap(dc, other.dc);
  std::swap(bits, other.bits);
  std::swap(width, other.width);
  std::swap(height, other.height);
  std::swap(stride, other.stride);
}

void dib24::FlipRows() {
  if (!bits) return;
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(Row(top), Row(top) + stride, Row(bottom));
  }
}
