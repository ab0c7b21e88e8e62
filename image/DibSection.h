// What the image classes dib24 and dib32 share about the DIB section they
// own; their fields of the same names mean the same.
#pragma once
#include <climits>
#include <cstring>
#include <utility>

#include "Win32Gdi.h"

// The header of a bottom-up DIB of that size and depth, every other byte of
// info zero.
inline void SetDibHeader(BITMAPINFO& info, int width, int height, int bitCount) {
  std::memset(&info, 0, sizeof info);
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitCount);
  header.biCompression = BI_RGB;
}

// Makes the DIB section that info describes, with rows of rowBytes bytes, for
// an image that holds none. On success bits, width, height and stride
// describe it; otherwise the image stays without bitmap and 0 x 0. Sizes whose
// pixel memory would not fit an int are refused like a failed DIB section:
// every user computes offsets as stride * height.
template <typename Image>
void MakeDibSection(Image& image, const BITMAPINFO& info, long long rowBytes) {
  const int w = info.bmiHeader.biWidth;
  const int h = info.bmiHeader.biHeight;
  if (w <= 0 || h <= 0 || rowBytes * h > INT_MAX) return;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap || !pixels) {
    if (bitmap) DeleteObject(bitmap);
    return;
  }
  image.bitmap = bitmap;
  image.bits = static_cast<unsigned char*>(pixels);
  image.width = w;
  image.height = h;
  image.stride = static_cast<int>(rowBytes);
}

// Selects the DC's original object back, deletes the DC and then the bitmap
// (GDI refuses to delete a bitmap still selected), and leaves the image
// without pixels and 0 x 0.
template <typename Image>
void ReleaseDibSection(Image& image) {
  if (image.dc) {
    if (image.oldObject) SelectObject(image.dc, image.oldObject);
    DeleteDC(image.dc);
  }
  if (image.bitmap) DeleteObject(image.bitmap);
  image.dc = nullptr;
  image.oldObject = nullptr;
  image.bitmap = nullptr;
  image.bits = nullptr;
  image.width = 0;
  image.height = 0;
  image.stride = 0;
}

// Exchanges the DIB sections of two images, GDI objects included.
template <typename Image>
void SwapDibSection(Image& a, Image& b) {
  std::swap(a.oldObject, b.oldObject);
  std::swap(a.dc, b.dc);
  std::swap(a.bitmap, b.bitmap);
  std::swap(a.bits, b.bits);
  std::swap(a.width, b.width);
  std::swap(a.height, b.height);
  std::swap(a.stride, b.stride);
}
