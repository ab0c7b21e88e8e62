// ReadBmp on files written by other programs (Pillow, ImageMagick), generated
// at build time with the pixels Pillow decodes from each, for every depth,
// widths 1 to 40, 40-, 108- and 124-byte headers, top-down rows; and the
// run-length, bit-field, 16-bit, 32-bit and OS/2 files that are refused, each
// for the reason the manifest gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BmpBytes.h"
#include "image/dib24.h"

namespace {

const std::string kCorpus = "bmp_corpus/";

struct Entry {
  std::string file;
  bool load;
  int width = 0, height = 0, bits = 0, infoSize = 0;
  std::string kind, reason;
};

std::vector<Entry> Manifest() {
  std::vector<Entry> entries;
  std::ifstream in(kCorpus + "manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Entry e;
    std::string verdict;
    fields >> e.file >> verdict;
    e.load = verdict == "load";
    if (e.load) {
      fields >> e.width >> e.height >> e.bits >> e.infoSize;
    } else {
      fields >> e.kind >> e.reason;
    }
    entries.push_back(e);
  }
  return entries;
}

Bytes Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Load(dib24& image, const std::string& file, BmpRefusal* refusal = nullptr) {
  std::FILE* f = std::fopen((kCorpus + file).c_str(), "rb");
  if (!f) return false;
  const bool ok = image.ReadBmp(f, refusal);
  std::fclose(f);
  return ok;
}

// Compares the image with Pillow's decoding (top-down rows of R, G, B).
::testing::AssertionResult SameAsReference(const dib24& image, const Entry& e) {
  if (image.width != e.width || image.height != e.height)
    return ::testing::AssertionFailure() << "size " << image.width << "x" << image.height;
  const Bytes reference = Contents(kCorpus + e.file + ".rgb");
  if (reference.size() != static_cast<size_t>(e.width) * e.height * 3)
    return ::testing::AssertionFailure() << "reference of " << reference.size() << " bytes";
  for (int y = 0; y < e.height; ++y)
    for (int x = 0; x < e.width; ++x) {
      const unsigned char* want = &reference[(static_cast<size_t>(y) * e.width + x) * 3];
      const Rgb got = PixelAt(image, x, y);
      if (got.r != want[0] || got.g != want[1] || got.b != want[2])
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << int(got.r) << "," << int(got.g)
                                             << "," << int(got.b) << " not " << int(want[0]) << "," << int(want[1])
                                             << "," << int(want[2]);
    }
  return ::testing::AssertionSuccess();
}

TEST(BmpFiles, OtherWritersFilesLoadAsPillowDecodesThem) {
  const std::vector<Entry> entries = Manifest();
  ASSERT_GT(entries.size(), 600u) << "no generated files in " << kCorpus;
  std::map<std::pair<int, int>, int> loaded;  // (bits, info header size) -> files
  for (const Entry& e : entries) {
    if (!e.load) continue;
    dib24 image;
    ASSERT_TRUE(Load(image, e.file)) << e.file;
    EXPECT_TRUE(SameAsReference(image, e)) << e.file;
    ++loaded[{e.bits, e.infoSize}];
  }
  // Every depth with the short header, and the indexed depths with the long
  // ones (the palette after a 108- or 124-byte header).
  for (int bits : {1, 4, 8, 24}) EXPECT_GE(loaded[std::make_pair(bits, 40)], 40) << bits;
  for (int bits : {1, 4, 8, 24}) EXPECT_GE(loaded[std::make_pair(bits, 124)], 40) << bits;
  for (int bits : {1, 8}) EXPECT_GE(loaded[std::make_pair(bits, 108)], 40) << bits;
}

TEST(BmpFiles, UnsupportedKindsAreRefusedAndLeaveTheImage) {
  std::map<std::string, int> refused;
  for (const Entry& e : Manifest()) {
    if (e.load) continue;
    dib24 image;
    image.Create(2, 2);
    std::memset(image.bits, 0x3C, 8);
    const ImageState before(image);
    BmpRefusal why = BmpRefusal::kNone;
    EXPECT_FALSE(Load(image, e.file, &why)) << e.file;
    EXPECT_EQ(RefusalName(why), e.reason) << e.file;
    EXPECT_TRUE(ImageState(image) == before) << e.file;
    ++refused[e.kind];
  }
  for (const char* kind : {"rle8", "rle8v5", "rgb565", "rgb555", "argb32", "os2", "32-bit"})
    EXPECT_GE(refused[kind], 1) << kind;
}

TEST(BmpFiles, EveryPrefixOfARealFileIsRefused) {
  // A file cut anywhere fails cleanly, as truncated in the part where the cut
  // falls: file header, the rest of the headers up to the pixel offset, or
  // the pixels; the whole file loads.
  for (const char* name : {"im_8_v5_w13.bmp", "im_4_v3_w6.bmp", "pil_24_w7.bmp", "im_1_v4grey_w9.bmp"}) {
    const Bytes whole = Contents(kCorpus + name);
    ASSERT_GT(whole.size(), 14u) << name;
    const size_t offBits = whole[10] | whole[11] << 8 | whole[12] << 16 | static_cast<size_t>(whole[13]) << 24;
    for (size_t cut = 0; cut < whole.size(); cut += 1 + cut / 16) {
      dib24 image;
      BmpRefusal why = BmpRefusal::kNone;
      const Bytes prefix(whole.begin(), whole.begin() + cut);
      EXPECT_FALSE(ReadFrom(image, prefix, Source::File, &why)) << name << " " << cut;
      const BmpRefusal expected = cut < 14        ? BmpRefusal::kTruncatedFileHeader
                                  : cut < offBits ? BmpRefusal::kTruncatedHeader
                                                  : BmpRefusal::kTruncatedPixels;
      EXPECT_EQ(why, expected) << name << " " << cut;
    }
    dib24 image;
    EXPECT_TRUE(ReadFrom(image, whole, Source::Pipe)) << name;
  }
}

}  // namespace
