#include "BmpBytes.h"

#include <algorithm>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <csignal>
#include <unistd.h>
#endif

void Put16(Bytes& b, size_t at, uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}

void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

Bytes Build(const BmpFile& f) {
  const size_t headerEnd = 14 + f.infoSize + 4 * f.palette.size() + f.gap;
  Bytes b(headerEnd, 0);
  b[0] = 'B';
  b[1] = 'M';
  const uint32_t offBits = f.offBits < 0 ? static_cast<uint32_t>(headerEnd) : static_cast<uint32_t>(f.offBits);
  Put32(b, 2, static_cast<uint32_t>(headerEnd + f.pixels.size()));
  Put32(b, 10, offBits);
  Bytes info(std::max<uint32_t>(f.infoSize, 40), 0);
  Put32(info, 0, f.infoSize);
  Put32(info, 4, static_cast<uint32_t>(f.width));
  Put32(info, 8, static_cast<uint32_t>(f.height));
  Put16(info, 12, f.planes);
  Put16(info, 14, f.bits);
  Put32(info, 16, f.compression);
  Put32(info, 20, static_cast<uint32_t>(f.pixels.size()));
  Put32(info, 32, f.colorsUsed);
  // Bytes of a longer header that are not palette: a V4/V5 header holds
  // masks and colour space values here.
  for (size_t i = 40; i < info.size(); ++i) info[i] = static_cast<unsigned char>(0xA0 + i);
  std::memcpy(b.data() + 14, info.data(), std::min<size_t>(info.size(), b.size() - 14));
  size_t at = 14 + f.infoSize;
  for (const Rgb& c : f.palette) {
    b[at++] = c.b;
    b[at++] = c.g;
    b[at++] = c.r;
    b[at++] = 0;
  }
  for (uint32_t i = 0; i < f.gap; ++i) b[at++] = static_cast<unsigned char>(0x5A ^ i);
  b.insert(b.end(), f.pixels.begin(), f.pixels.end());
  return b;
}

Bytes Row(int bits, const std::vector<uint32_t>& values) {
  const size_t width = values.size();
  Bytes row((width * bits + 31) / 32 * 4, 0);
  for (size_t x = 0; x < width; ++x) {
    const uint32_t v = values[x];
    switch (bits) {
      case 1: row[x / 8] |= (v & 1) << (7 - x % 8); break;
      case 4: row[x / 2] |= (v & 15) << (x % 2 ? 0 : 4); break;
      case 8: row[x] = v & 0xFF; break;
      case 24:
        row[3 * x] = v & 0xFF;
        row[3 * x + 1] = (v >> 8) & 0xFF;
        row[3 * x + 2] = (v >> 16) & 0xFF;
        break;
    }
  }
  return row;
}

Bytes Concat(const std::vector<Bytes>& rows) {
  Bytes all;
  for (const Bytes& r : rows) all.insert(all.end(), r.begin(), r.end());
  return all;
}

namespace {
bool ReadFromFile(dib24& image, const Bytes& bytes, BmpRefusal* refusal) {
  // One file per process: the tests of one folder run side by side (natively
  // and under valgrind) in the same working directory.
#ifdef _WIN32
  const int process = _getpid();
#else
  const int process = static_cast<int>(getpid());
#endif
  const std::string name = "read_bmp_test_input_" + std::to_string(process) + ".bmp";
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (!out) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  std::FILE* in = std::fopen(name.c_str(), "rb");
  const bool result = image.ReadBmp(in, refusal);
  std::fclose(in);
  std::remove(name.c_str());
  return result;
}

bool ReadFromPipe(dib24& image, const Bytes& bytes, BmpRefusal* refusal) {
  FilledPipe pipe(bytes);
  return pipe.Stream() && image.ReadBmp(pipe.Stream(), refusal);
}
}  // namespace

bool ReadFrom(dib24& image, const Bytes& bytes, Source source, BmpRefusal* refusal) {
  return source == Source::File ? ReadFromFile(image, bytes, refusal) : ReadFromPipe(image, bytes, refusal);
}

const char* RefusalName(BmpRefusal refusal) {
  switch (refusal) {
    case BmpRefusal::kNone: return "kNone";
    case BmpRefusal::kNoStream: return "kNoStream";
    case BmpRefusal::kTruncatedFileHeader: return "kTruncatedFileHeader";
    case BmpRefusal::kNotBmp: return "kNotBmp";
    case BmpRefusal::kNoRoomForInfoHeader: return "kNoRoomForInfoHeader";
    case BmpRefusal::kNoMemory: return "kNoMemory";
    case BmpRefusal::kTruncatedHeader: return "kTruncatedHeader";
    case BmpRefusal::kUnsupportedHeader: return "kUnsupportedHeader";
    case BmpRefusal::kCompressed: return "kCompressed";
    case BmpRefusal::kUnsupportedDepth: return "kUnsupportedDepth";
    case BmpRefusal::kBadSize: return "kBadSize";
    case BmpRefusal::kTooLarge: return "kTooLarge";
    case BmpRefusal::kNoRoomForPalette: return "kNoRoomForPalette";
    case BmpRefusal::kInfoHeaderTooLong: return "kInfoHeaderTooLong";
    case BmpRefusal::kTruncatedPixels: return "kTruncatedPixels";
    case BmpRefusal::kNoDibSection: return "kNoDibSection";
  }
  return "(not a BmpRefusal)";
}

Rgb PixelAt(const dib24& image, int x, int y) {
  const unsigned char* p = image.bits + static_cast<size_t>(image.height - 1 - y) * image.stride + 3 * x;
  return Rgb{p[2], p[1], p[0]};
}

ImageState::ImageState(const dib24& image)
    : bitmap(image.bitmap),
      dc(image.dc),
      bits(image.bits),
      width(image.width),
      height(image.height),
      stride(image.stride),
      header(image.info.bmiHeader) {
  if (image.bits) pixels.assign(image.bits, image.bits + static_cast<size_t>(image.stride) * image.height);
}

bool ImageState::operator==(const ImageState& o) const {
  return bitmap == o.bitmap && dc == o.dc && bits == o.bits && width == o.width && height == o.height &&
         stride == o.stride && pixels == o.pixels && std::memcmp(&header, &o.header, sizeof header) == 0;
}

FilledPipe::FilledPipe(const Bytes& bytes) : stream_(nullptr) {
  int fds[2];
#ifdef _WIN32
  if (_pipe(fds, 65536, _O_BINARY) != 0) return;
  stream_ = _fdopen(fds[0], "rb");
  writer_.Start([bytes, fds] {
    size_t done = 0;
    while (done < bytes.size()) {
      const int n = _write(fds[1], bytes.data() + done, static_cast<unsigned>(std::min<size_t>(bytes.size() - done, 65536)));
      if (n <= 0) break;
      done += n;
    }
    _close(fds[1]);
  });
#else
  std::signal(SIGPIPE, SIG_IGN);  // the reader may stop before the writer
  if (pipe(fds) != 0) return;
  stream_ = fdopen(fds[0], "rb");
  writer_.Start([bytes, fds] {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fds[1], bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += n;
    }
    close(fds[1]);
  });
#endif
}

FilledPipe::~FilledPipe() {
  if (stream_) std::fclose(stream_);  // a writer still blocked on a full pipe then fails and ends
  writer_.Join();
}
