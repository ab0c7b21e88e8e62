// A 24-bit image in a GDI DIB section, selected into its own memory DC.
// Pixel (x, y), y from the top, lies at Row(y) + 3 * x, that is at
// bits + (height - 1 - y) * stride + 3 * x, bytes blue, green, red; rows are
// bottom-up and padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdio>

#include "BmpRefusal.h"
#include "Win32Gdi.h"

class dib24 {
 public:
  dib24();  // a 1 x 1 image
  // As every class here that owns something: a virtual destructor, and no
  // copies, which would free the DIB section twice.
  virtual ~dib24();
  dib24(const dib24&) = delete;
  dib24& operator=(const dib24&) = delete;

  // Discards the current image and makes a new one; true when it has pixels.
  // When the DIB section cannot be made (a size of 0 or less, or no memory)
  // the image is empty: bits null and a size of 0 x 0, with a DC that holds
  // nothing, and the result is false.
  bool Create(int width, int height);
  // Frees the DC and the DIB section; the image is then 0 x 0 without pixels.
  void Release();
  // The first byte of pixel row y, counted from the top; y in 0 .. height - 1.
  unsigned char* Row(int y) { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride; }
  const unsigned char* Row(int y) const { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride; }
  // Stretches the whole image onto the rectangle x, y, w, h of target.
  void Draw(HDC target, int x, int y, int w, int h, int srcX, int srcY);
  // Reads an uncompressed 1, 4, 8 or 24-bit BMP from a stream opened "rb",
  // sequentially and without seeking; bottom-up and top-down files both load
  // upright. On false the image is exactly as it was. When refusal is given it
  // receives the reason, BmpRefusal::kNone on true.
  bool ReadBmp(std::FILE* file, BmpRefusal* refusal = nullptr);

  // Expands rows of palette indices of bitCount bits (1, 4 or 8) into the
  // image, whose size they take from width, height and stride. `rows` is the
  // source row of the image's bottom row and `rowPitch` the signed byte
  // distance to the row above it. `palette` has an entry for every index the
  // depth can express (2, 16 or 256).
  void CopyIndexed(int bitCount, const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch);

  BITMAPINFO info;
  HGDIOBJ oldObject;
  HBITMAP bitmap;
  HDC dc;
  unsigned char* bits;
  int width;
  int height;
  int stride;

 private:
  struct NoImage {};
  // An image without DC or DIB section, to be filled by Create.
  explicit dib24(NoImage);
  // Exchanges everything, GDI objects included, with other.
  void Swap(dib24& other);
  // Reverses the order of the stored rows.
  void FlipRows();
};
