#include "dib24.h"

#include <climits>
#include <cstring>

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
  if (dc) {
    if (oldObject) SelectObject(dc, oldObject);
    DeleteDC(dc);
  }
  if (bitmap) DeleteObject(bitmap);
  bitmap = nullptr;
  oldObject = nullptr;
  dc = nullptr;
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
