#include "dib24.h"

#include "DibSection.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

dib24::dib24() : oldObject(nullptr), bitmap(nullptr), dc(nullptr), bits(nullptr), width(0), height(0), stride(0) {
  std::memset(&info, 0, sizeof info);
  Create(1, 1);
}

dib24::~dib24() { Release(); }

bool dib24::Create(int w, int h) {
  Release();
  std::memset(&info, 0, sizeof info);
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = w;
  header.biHeight = h;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;

  // Sizes whose rows or pixel memory would not fit an int are refused like a
  // failed DIB section: every user computes offsets as stride * height.
  const long long rowBytes = (static_cast<long long>(w) * 3 + 3) & ~3LL;
  const bool sane = w > 0 && h > 0 && rowBytes * h <= INT_MAX;
  void* pixels = nullptr;
  if (sane) bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap && pixels) {
    bits = static_cast<unsigned char*>(pixels);
    width = w;
    height = h;
    stride = static_cast<int>(rowBytes);
  } else {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
  }
  dc = CreateCompatibleDC(nullptr);
  oldObject = bitmap ? SelectObject(dc, bitmap) : nullptr;
  return true;
}

void dib24::Release() {
  DeleteDibSection(dc, oldObject, bitmap);
  bits = nullptr;
  width = 0;
  height = 0;
  stride = 0;
}

void dib24::Draw(HDC target, int x, int y, int w, int h, int srcX, int srcY) {
  if (!bits) return;
  StretchDIBits(target, x, y, w, h, srcX, srcY, info.bmiHeader.biWidth, info.bmiHeader.biHeight, bits, &info,
                DIB_RGB_COLORS, SRCCOPY);
}

void dib24::CopyIndexed1(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  if (!bits) return;
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = rows + y * rowPitch;
    unsigned char* dst = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, dst += 3) {
      const RGBQUAD& entry = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
      dst[0] = entry.rgbBlue;
      dst[1] = entry.rgbGreen;
      dst[2] = entry.rgbRed;
    }
  }
}

void dib24::CopyIndexed4(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  if (!bits) return;
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = rows + y * rowPitch;
    unsigned char* dst = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, dst += 3) {
      const RGBQUAD& entry = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
      dst[0] = entry.rgbBlue;
      dst[1] = entry.rgbGreen;
      dst[2] = entry.rgbRed;
    }
  }
}

void dib24::CopyIndexed8(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch) {
  if (!bits) return;
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = rows + y * rowPitch;
    unsigned char* dst = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, dst += 3) {
      const RGBQUAD& entry = palette[src[x]];
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
  for (int low = 0, high = height - 1; low < high; ++low, --high) {
    unsigned char* a = bits + static_cast<std::ptrdiff_t>(low) * stride;
    unsigned char* b = bits + static_cast<std::ptrdiff_t>(high) * stride;
    std::swap_ranges(a, a + stride, b);
  }
}
