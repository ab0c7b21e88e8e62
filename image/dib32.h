// A 32-bit off-screen surface in a GDI DIB section, selected into its own
// memory DC. Pixel (x, y), y from the top, starts at Row(y) + 4 * x, that is
// at byte (height - 1 - y) * stride + 4 * x of bits: blue, green, red and a
// fourth byte that GDI ignores and the stroke buffer uses as alpha.
#pragma once
#include <cstddef>

#include "Win32Gdi.h"

class dib32 {
 public:
  dib32();
  // As every class here that owns something: a virtual destructor, and no
  // copies, which would free the DIB section twice.
  virtual ~dib32();
  dib32(const dib32&) = delete;
  dib32& operator=(const dib32&) = delete;

  // Replaces the contents with a zero-filled surface of the given size. When
  // the DIB section cannot be made the surface holds no pixels and its size is
  // 0 x 0, so that no writer that checks the size can reach missing memory.
  void Create(int width, int height);
  // Zeroes the rectangle (clipped to the surface), or everything when null.
  void Clear(const RECT* rect);
  // The first byte of pixel row y, counted from the top; y in 0 .. height - 1.
  unsigned char* Row(int y) { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride; }
  const unsigned char* Row(int y) const { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride; }
  // Frees the GDI objects; the surface is then 0 x 0 without pixels.
  void Release();
  // Exchanges everything, GDI objects included, with other.
  void Swap(dib32& other);

  HGDIOBJ oldObject;
  HDC dc;
  HBITMAP bitmap;
  unsigned char* bits;
  int width;
  int height;
  int stride;
};
