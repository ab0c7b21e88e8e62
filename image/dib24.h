// A 24-bit image in a GDI DIB section, selected into its own memory DC.
// Pixel (x, y), y from the top, lies at bits + (height - 1 - y) * stride + 3 * x,
// bytes blue, green, red; rows are bottom-up and padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdio>

#include "Win32Gdi.h"

class dib24 {
 public:
  dib24();  // a 1 x 1 image
  virtual ~dib24();
  dib24(const dib24&) = delete;
  dib24& operator=(const dib24&) = delete;

  // Discards the current image and makes a new one; always true. When the DIB
  // section cannot be made (a size of 0 or less, or no memory) the image is
  // empty: bits null and a size of 0 x 0, with a DC that holds nothing.
  bool Create(int width, int height);
  void Release();
  // Stretches the whole image onto the rectangle x, y, w, h of target.
  void Draw(HDC target, int x, int y, int w, int h, int srcX, int srcY);
  // Reads an uncompressed 1, 4, 8 or 24-bit BMP from a stream opened "rb",
  // sequentially and without seeking; bottom-up and top-down files both load
  // upright. On false the image is exactly as it was.
  bool ReadBmp(std::FILE* file);

  // Expand rows of palette indices of that depth into the image, whose size
  // they take from width, height and stride. `rows` is the source row of the
  // image's first stored (bottom) row and `rowPitch` the signed byte distance
  // to the next one. `palette` has an entry for every index the depth can
  // express (2, 16 or 256).
  void CopyIndexed1(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch);
  void CopyIndexed4(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch);
  void CopyIndexed8(const RGBQUAD* palette, const unsigned char* rows, std::ptrdiff_t rowPitch);

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
