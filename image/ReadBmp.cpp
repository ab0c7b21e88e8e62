// The BMP reader: uncompressed 1, 4, 8 and 24-bit files.
//
// A file is the only data that comes from outside, so every size in it is
// checked before it is used: sizes are computed in 64 bits, the palette is
// taken only from inside the header block, and no buffer is allocated for more than the
// stream holds (a regular file's length is known; other streams grow their
// buffer as the data arrives). The image is built aside and swapped in only
// when everything has been read, so a failure leaves the target untouched.
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "dib24.h"

#ifdef _WIN32
#include <io.h>
#endif

namespace {
const uint32_t kFileHeaderBytes = 14;
const uint32_t kInfoHeaderBytes = 40;
// Header block bytes kept in memory; a longer block (a large gap before the
// pixels) is read on and dropped. Real info headers and palettes need < 1200.
const uint32_t kHeaderBytesKept = 64 * 1024;
// First buffer size when a stream's length is unknown; it doubles as data
// keeps arriving.
const size_t kFirstChunk = 64 * 1024;

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
int32_t LeS32(const unsigned char* p) {
  const uint32_t u = Le32(p);
  return u <= INT32_MAX ? static_cast<int32_t>(u) : -static_cast<int32_t>(~u) - 1;
}

struct FreeDeleter {
  void operator()(unsigned char* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<unsigned char, FreeDeleter>;

// What the headers say about the pixels, checked.
struct BmpLayout {
  int width;
  int rows;
  bool topDown;
  int bitCount;
  uint64_t rowBytes;    // a file row, padded to 4 bytes
  uint64_t blockBytes;  // rowBytes * rows
  RGBQUAD palette[256];  // indices beyond the file's entries show black
};

bool ReadFully(std::FILE* file, void* to, size_t count) { return std::fread(to, 1, count, file) == count; }

// Hands the reason to a caller that asked for it; true when there is none.
bool Report(BmpRefusal* refusal, BmpRefusal why) {
  if (refusal) *refusal = why;
  return why == BmpRefusal::kNone;
}

bool Skip(std::FILE* file, uint64_t count, unsigned char* scratch, size_t scratchBytes) {
  while (count > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, scratchBytes));
    if (!ReadFully(file, scratch, piece)) return false;
    count -= piece;
  }
  return true;
}

// Bytes from the current position to the end for a regular file, or -1 when
// the stream cannot tell (a pipe, a memory stream). Asks the file system and
// the stream position; never seeks.
int64_t BytesLeft(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 status;
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return -1;
  const int64_t position = _ftelli64(file);
#else
  struct stat status;
  const int fd = fileno(file);
  if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
  const int64_t position = ftello(file);
#endif
  if (position < 0 || position > static_cast<int64_t>(status.st_size)) return -1;
  return static_cast<int64_t>(status.st_size) - position;
}

// Reads count bytes into a buffer that grows only as the data arrives, so a
// header that promises gigabytes costs no more memory than the stream holds.
BmpRefusal ReadGrowing(std::FILE* file, size_t count, Buffer& buffer) {
  size_t have = 0;
  while (have < count) {
    const size_t next = std::min(count, std::max(kFirstChunk, have * 2));
    void* grown = std::realloc(buffer.get(), next);
    if (!grown) return BmpRefusal::kNoMemory;
    buffer.release();
    buffer.reset(static_cast<unsigned char*>(grown));
    if (!ReadFully(file, buffer.get() + have, next - have)) return BmpRefusal::kTruncatedPixels;
    have = next;
  }
  return BmpRefusal::kNone;
}

// Takes the file header, the info header and the palette from the stream and
// leaves it at the first pixel byte.
BmpRefusal ReadHeaders(std::FILE* file, BmpLayout& layout) {
  unsigned char fileHeader[kFileHeaderBytes];
  if (!ReadFully(file, fileHeader, sizeof fileHeader)) return BmpRefusal::kTruncatedFileHeader;
  if (Le16(fileHeader) != 0x4D42) return BmpRefusal::kNotBmp;  // "BM"
  const uint32_t offBits = Le32(fileHeader + 10);
  if (offBits < kFileHeaderBytes + kInfoHeaderBytes) return BmpRefusal::kNoRoomForInfoHeader;

  const uint32_t headerBytes = offBits - kFileHeaderBytes;
  const uint32_t kept = std::min(headerBytes, kHeaderBytesKept);
  std::unique_ptr<unsigned char[]> header(new (std::nothrow) unsigned char[kept]);
  if (!header) return BmpRefusal::kNoMemory;
  if (!ReadFully(file, header.get(), kept)) return BmpRefusal::kTruncatedHeader;
  const unsigned char* info = header.get();

  const uint32_t infoSize = Le32(info);
  const int32_t width = LeS32(info + 4);
  const int32_t height = LeS32(info + 8);
  const uint16_t bitCount = Le16(info + 14);
  const uint32_t compression = Le32(info + 16);
  const uint32_t colorsUsed = Le32(info + 32);
  // The 12-byte core header puts its fields elsewhere; an info header must
  // also fit in the block it starts.
  if (infoSize < kInfoHeaderBytes) return BmpRefusal::kUnsupportedHeader;
  if (infoSize > headerBytes) return BmpRefusal::kNoRoomForInfoHeader;
  if (compression != BI_RGB) return BmpRefusal::kCompressed;  // run-length and bit-field images
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return BmpRefusal::kUnsupportedDepth;
  if (width < 0 || height == INT32_MIN) return BmpRefusal::kBadSize;

  layout.width = width;
  layout.rows = height < 0 ? -height : height;
  layout.topDown = height < 0;
  layout.bitCount = bitCount;
  layout.rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
  layout.blockBytes = 0;
  std::memset(layout.palette, 0, sizeof layout.palette);
  const bool empty = layout.width == 0 || layout.rows == 0;

  if (!empty) {
    // The image must be one that can be made: its 24-bit rows, and so every
    // file row, times the row count within an int.
    const uint64_t imageStride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t(3);
    if (imageStride * static_cast<uint64_t>(layout.rows) > INT_MAX) return BmpRefusal::kTooLarge;
    layout.blockBytes = layout.rowBytes * static_cast<uint64_t>(layout.rows);

    if (bitCount <= 8) {
      // The palette follows the info header, whatever its length. Entries
      // beyond what the depth can index are never used; entries that the
      // pixel offset cuts off are not in the file, and their indices show
      // black. Without a single entry there is nothing to show.
      const uint32_t reachable = 1u << bitCount;
      const uint32_t declared = colorsUsed == 0 ? reachable : std::min(colorsUsed, reachable);
      const uint32_t room = (headerBytes - infoSize) / 4;
      const uint32_t entries = std::min(declared, room);
      if (entries == 0) return BmpRefusal::kNoRoomForPalette;
      if (static_cast<uint64_t>(infoSize) + entries * 4 > kept) return BmpRefusal::kInfoHeaderTooLong;
      std::memcpy(layout.palette, info + infoSize, entries * 4);
    }
  }
  if (!Skip(file, headerBytes - kept, header.get(), kept)) return BmpRefusal::kTruncatedHeader;
  return BmpRefusal::kNone;
}
}  // namespace

bool dib24::ReadBmp(std::FILE* file, BmpRefusal* refusal) {
  if (!file) return Report(refusal, BmpRefusal::kNoStream);
  BmpLayout layout;
  const BmpRefusal headers = ReadHeaders(file, layout);
  if (headers != BmpRefusal::kNone) return Report(refusal, headers);

  dib24 image{NoImage()};
  if (layout.blockBytes == 0) {  // no pixels: an empty image, as Create makes it (and reports false)
    image.Create(layout.width, layout.rows);
    Swap(image);
    return Report(refusal, BmpRefusal::kNone);
  }

  const size_t blockBytes = static_cast<size_t>(layout.blockBytes);
  const int64_t left = BytesLeft(file);
  Buffer block;
  if (left < 0 || static_cast<uint64_t>(left) < layout.blockBytes) {
    // Unknown or too short a stream: only what arrives is held in memory, and
    // the image is made once all of it is there.
    const BmpRefusal pixels = ReadGrowing(file, blockBytes, block);
    if (pixels != BmpRefusal::kNone) return Report(refusal, pixels);
  }
  if (!image.Create(layout.width, layout.rows)) return Report(refusal, BmpRefusal::kNoDibSection);

  if (layout.bitCount == 24) {
    // File rows and image rows have the same padded size.
    if (block) {
      std::memcpy(image.bits, block.get(), blockBytes);
    } else if (!ReadFully(file, image.bits, blockBytes)) {
      return Report(refusal, BmpRefusal::kTruncatedPixels);
    }
    if (layout.topDown) image.FlipRows();
  } else {
    if (!block) {
      block.reset(static_cast<unsigned char*>(std::malloc(blockBytes)));
      if (!block) return Report(refusal, BmpRefusal::kNoMemory);
      if (!ReadFully(file, block.get(), blockBytes)) return Report(refusal, BmpRefusal::kTruncatedPixels);
    }
    const std::ptrdiff_t pitch = static_cast<std::ptrdiff_t>(layout.rowBytes);
    const unsigned char* bottom = layout.topDown ? block.get() + blockBytes - layout.rowBytes : block.get();
    const std::ptrdiff_t step = layout.topDown ? -pitch : pitch;
    image.CopyIndexed(layout.bitCount, layout.palette, bottom, step);
  }
  Swap(image);
  return Report(refusal, BmpRefusal::kNone);
}
