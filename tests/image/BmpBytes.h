// Test helpers: BMP files built byte by byte, and ReadBmp over a regular file
// or over a pipe (a stream whose length cannot be known in advance).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <vector>

#include "image/dib24.h"
#include "tests/support/JoinableThread.h"

using Bytes = std::vector<unsigned char>;

struct Rgb {
  unsigned char r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The fields of a file, with the values a plain uncompressed file has.
struct BmpFile {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bits = 24;
  uint32_t infoSize = 40;
  uint16_t planes = 1;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<Rgb> palette;  // written right after the info header
  uint32_t gap = 0;          // bytes between the palette and the pixels
  int64_t offBits = -1;      // -1: where the pixels really start
  Bytes pixels;              // the whole pixel block, rows padded
};

void Put16(Bytes& b, size_t at, uint16_t v);
void Put32(Bytes& b, size_t at, uint32_t v);
Bytes Build(const BmpFile& file);

// One file row of the given depth from pixel values (indices, or for 24 bits
// 0xRRGGBB), padded to 4 bytes.
Bytes Row(int bits, const std::vector<uint32_t>& values);
Bytes Concat(const std::vector<Bytes>& rows);

enum class Source { File, Pipe };
inline void PrintTo(Source source, std::ostream* out) { *out << (source == Source::File ? "file" : "pipe"); }
// ReadBmp over the bytes; refusal, when given, receives the reason.
bool ReadFrom(dib24& image, const Bytes& bytes, Source source, BmpRefusal* refusal = nullptr);

// The enumerator's name ("kCompressed"), as the corpus manifest writes it.
const char* RefusalName(BmpRefusal refusal);
inline void PrintTo(BmpRefusal refusal, std::ostream* out) { *out << RefusalName(refusal); }

// A pipe that a thread of its own fills with the bytes and then closes:
// Stream() is the reading end, a stream whose length cannot be known.
class FilledPipe {
 public:
  explicit FilledPipe(const Bytes& bytes);
  ~FilledPipe();
  FilledPipe(const FilledPipe&) = delete;
  FilledPipe& operator=(const FilledPipe&) = delete;
  std::FILE* Stream() const { return stream_; }

 private:
  std::FILE* stream_;
  JoinableThread writer_;
};

// Pixel (x, y), y from the top, by the image's bottom-up layout.
Rgb PixelAt(const dib24& image, int x, int y);

// Everything a failed read must leave as it was.
struct ImageState {
  explicit ImageState(const dib24& image);
  bool operator==(const ImageState& o) const;
  HBITMAP bitmap;
  HDC dc;
  const unsigned char* bits;
  int width, height, stride;
  Bytes pixels;
  BITMAPINFOHEADER header;
};
