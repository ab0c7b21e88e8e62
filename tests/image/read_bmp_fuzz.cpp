// libFuzzer target for dib24::ReadBmp. Each input is read twice, from a
// memory stream (length unknown to the reader) and from a memory-backed
// regular file (length known); both must agree, on the reason of a refusal
// too, a refusal must give a reason and leave the image exactly as it was,
// and a success must give no reason and a consistent image.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/dib24.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "read_bmp_fuzz: %s\n", what);
    std::abort();
  }
}

struct Snapshot {
  explicit Snapshot(const dib24& image)
      : bits(image.bits), dc(image.dc), width(image.width), height(image.height), stride(image.stride) {
    if (bits) pixels.assign(bits, bits + static_cast<size_t>(stride) * height);
  }
  bool operator==(const Snapshot& o) const {
    return bits == o.bits && dc == o.dc && width == o.width && height == o.height && stride == o.stride &&
           pixels == o.pixels;
  }
  const unsigned char* bits;
  HDC dc;
  int width, height, stride;
  std::vector<unsigned char> pixels;
};

BmpRefusal ReadOnce(dib24& image, std::FILE* stream) {
  Check(stream != nullptr, "no stream");
  image.Create(3, 2);
  std::memset(image.bits, 0xA5, static_cast<size_t>(image.stride) * image.height);
  const Snapshot before(image);
  BmpRefusal why = BmpRefusal::kNoStream;
  const bool ok = image.ReadBmp(stream, &why);
  std::fclose(stream);
  Check(ok == (why == BmpRefusal::kNone), "the result and the reason disagree");
  if (!ok) {
    Check(Snapshot(image) == before, "a refusal changed the image");
  } else {
    Check(image.dc != nullptr, "no device context");
    if (image.bits) {
      Check(image.width > 0 && image.height > 0, "pixels without a size");
      Check(image.stride == ((image.width * 3 + 3) & ~3), "wrong stride");
      // Touch every pixel byte so that a short image shows up under ASan.
      unsigned sum = 0;
      for (size_t i = 0; i < static_cast<size_t>(image.stride) * image.height; ++i) sum += image.bits[i];
      (void)sum;
    } else {
      Check(image.width == 0 && image.height == 0 && image.stride == 0, "a size without pixels");
    }
  }
  return why;
}

std::FILE* RegularFile(const uint8_t* data, size_t size) {
  const int fd = memfd_create("bmp", 0);
  if (fd < 0) return nullptr;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fdopen(fd, "rb");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // fmemopen refuses a zero-length buffer; one byte of zero length works.
  static const uint8_t kNothing = 0;
  dib24 fromMemory, fromFile;
  const BmpRefusal memoryWhy =
      ReadOnce(fromMemory, fmemopen(const_cast<uint8_t*>(size ? data : &kNothing), size ? size : 1, "rb"));
  const BmpRefusal fileWhy = ReadOnce(fromFile, RegularFile(data, size));
  if (size == 0) return 0;
  Check(memoryWhy == fileWhy, "the two streams give different results or reasons");
  if (memoryWhy == BmpRefusal::kNone) {
    Check(Snapshot(fromMemory).pixels == Snapshot(fromFile).pixels, "the two streams give different pixels");
    Check(fromMemory.width == fromFile.width && fromMemory.height == fromFile.height, "different sizes");
  }
  return 0;
}
