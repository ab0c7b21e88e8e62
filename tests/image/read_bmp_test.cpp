// dib24::ReadBmp on files built byte by byte: the layouts of every depth, and
// every kind of damaged or hostile header, each refused for its own reason.
// Each case runs over a regular file and over a pipe, whose length the reader
// cannot know in advance.
#include <gtest/gtest.h>

#include <climits>

#include "BmpBytes.h"
#include "image/dib24.h"

namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0};
const Rgb kGrey{128, 128, 128}, kTeal{0, 128, 128};

class ReadBmp : public ::testing::TestWithParam<Source> {
 protected:
  // The result, and the reason that goes with it: none exactly on success.
  bool Read(const Bytes& bytes) {
    refusal = BmpRefusal::kNoStream;
    const bool read = ReadFrom(image, bytes, GetParam(), &refusal);
    EXPECT_EQ(read, refusal == BmpRefusal::kNone) << ::testing::PrintToString(refusal);
    return read;
  }
  // A failed read must give its reason and leave every field and every pixel
  // as they were.
  void ExpectRefusedUnchanged(const Bytes& bytes, BmpRefusal why) {
    image.Create(4, 3);
    for (int i = 0; i < image.stride * image.height; ++i) image.bits[i] = static_cast<unsigned char>(i * 7);
    const ImageState before(image);
    EXPECT_FALSE(Read(bytes));
    EXPECT_EQ(refusal, why);
    EXPECT_TRUE(ImageState(image) == before);
  }
  void ExpectPixels(const std::vector<std::vector<Rgb>>& rowsFromTop) {
    ASSERT_EQ(image.height, static_cast<int>(rowsFromTop.size()));
    ASSERT_NE(image.bits, nullptr);
    for (int y = 0; y < image.height; ++y) {
      ASSERT_EQ(image.width, static_cast<int>(rowsFromTop[y].size()));
      for (int x = 0; x < image.width; ++x) EXPECT_TRUE(PixelAt(image, x, y) == rowsFromTop[y][x]) << x << "," << y;
    }
  }
  dib24 image;
  BmpRefusal refusal = BmpRefusal::kNone;
};

BmpFile TrueColor(int width, int height, const std::vector<Bytes>& rowsBottomUp) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.pixels = Concat(rowsBottomUp);
  return f;
}

BmpFile Indexed(int bits, int width, int height, std::vector<Rgb> palette, const std::vector<Bytes>& rowsBottomUp) {
  BmpFile f;
  f.bits = static_cast<uint16_t>(bits);
  f.width = width;
  f.height = height;
  f.colorsUsed = static_cast<uint32_t>(palette.size());
  f.palette = std::move(palette);
  f.pixels = Concat(rowsBottomUp);
  return f;
}

// A small valid file of each depth, for the damage tests.
BmpFile Sample(int bits) {
  if (bits == 24) return TrueColor(2, 2, {Row(24, {0xFF0000, 0x00FF00}), Row(24, {0x0000FF, 0xFFFFFF})});
  const uint32_t hi = (1u << bits) - 1;
  std::vector<Rgb> palette(1u << bits, kGrey);
  palette[0] = kRed;
  palette[hi] = kBlue;
  return Indexed(bits, 3, 2, palette, {Row(bits, {0, hi, 0}), Row(bits, {hi, 0, hi})});
}

// --- Layouts --------------------------------------------------------------

TEST_P(ReadBmp, TrueColorRowsArePaddedAndStoredBottomUp) {
  // 3 x 2: rows of 9 bytes stored in 12; the first file row is the bottom row.
  const Bytes file = Build(TrueColor(3, 2, {Row(24, {0x010203, 0x040506, 0x070809}), Row(24, {0x0A0B0C, 0x0D0E0F, 0x101112})}));
  ASSERT_EQ(file.size(), 54u + 24u);
  ASSERT_TRUE(Read(file));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.stride, 12);
  EXPECT_EQ(std::memcmp(image.bits, file.data() + 54, 24), 0);
  EXPECT_TRUE(PixelAt(image, 0, 0) == (Rgb{0x0A, 0x0B, 0x0C}));
  EXPECT_TRUE(PixelAt(image, 2, 1) == (Rgb{0x07, 0x08, 0x09}));
  EXPECT_EQ(image.info.bmiHeader.biWidth, 3);
  EXPECT_EQ(image.info.bmiHeader.biHeight, 2);
}

TEST_P(ReadBmp, OneBitTakesTheHighBitFirst) {
  // 10 wide: 2 bytes a row stored in 4; pixel 8 is the high bit of byte 1.
  BmpFile f = Indexed(1, 10, 1, {kBlack, kWhite}, {Bytes{0x80, 0x80, 0xFF, 0xFF}});
  ASSERT_TRUE(Read(Build(f)));
  std::vector<Rgb> row(10, kBlack);
  row[0] = row[8] = kWhite;
  ExpectPixels({row});
}

TEST_P(ReadBmp, FourBitTakesTheHighNibbleFirst) {
  // 5 wide: 3 bytes a row stored in 4; pixel 4 is the high nibble of byte 2.
  std::vector<Rgb> palette(16, kBlack);
  palette[1] = kRed;
  palette[2] = kGreen;
  palette[3] = kBlue;
  palette[15] = kWhite;
  BmpFile f = Indexed(4, 5, 1, palette, {Bytes{0x12, 0x30, 0xFF, 0xEE}});
  ASSERT_TRUE(Read(Build(f)));
  ExpectPixels({{kRed, kGreen, kBlue, kBlack, kWhite}});
}

TEST_P(ReadBmp, EightBitWithDefaultAndShortPalettes) {
  std::vector<Rgb> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = Rgb{static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i), 7};
  BmpFile f = Indexed(8, 3, 2, palette, {Row(8, {0, 1, 2}), Row(8, {253, 254, 255})});
  f.colorsUsed = 0;  // 0 means all 256
  const Bytes file = Build(f);
  ASSERT_EQ(file[10] | file[11] << 8, 1078);
  ASSERT_TRUE(Read(file));
  ExpectPixels({{palette[253], palette[254], palette[255]}, {palette[0], palette[1], palette[2]}});

  // 16 entries: 64 palette bytes, pixels from offset 118.
  palette.resize(16);
  BmpFile shortPalette = Indexed(8, 2, 1, palette, {Row(8, {15, 3})});
  ASSERT_TRUE(Read(Build(shortPalette)));
  ExpectPixels({{palette[15], palette[3]}});
}

TEST_P(ReadBmp, BytesBetweenPaletteAndPixelsAreSkipped) {
  for (uint32_t gap : {1u, 200u, 70000u}) {  // the last is longer than the header kept in memory
    BmpFile f = Sample(8);
    f.gap = gap;
    ASSERT_TRUE(Read(Build(f))) << gap;
    ExpectPixels({{kBlue, kRed, kBlue}, {kRed, kBlue, kRed}});
  }
}

TEST_P(ReadBmp, TopDownFilesLoadUpright) {
  for (int bits : {1, 4, 8, 24}) {
    BmpFile f = Sample(bits);
    const size_t row = f.pixels.size() / 2;
    Bytes flipped(f.pixels.begin() + row, f.pixels.end());
    flipped.insert(flipped.end(), f.pixels.begin(), f.pixels.begin() + row);
    f.pixels = flipped;
    f.height = -2;
    ASSERT_TRUE(Read(Build(f))) << bits;
    EXPECT_EQ(image.info.bmiHeader.biHeight, 2);
    if (bits == 24) {
      ExpectPixels({{kBlue, kWhite}, {kRed, kGreen}});
    } else {
      ExpectPixels({{kBlue, kRed, kBlue}, {kRed, kBlue, kRed}});
    }
  }
}

TEST_P(ReadBmp, LongerInfoHeadersKeepThePaletteAfterThem) {
  // Version 4 and 5 headers (108, 124 bytes): the palette follows the whole
  // header, not its first 40 bytes.
  for (uint32_t infoSize : {52u, 108u, 124u}) {
    BmpFile mono = Indexed(1, 4, 1, {kBlack, kWhite}, {Row(1, {1, 0, 0, 1})});
    mono.infoSize = infoSize;
    ASSERT_TRUE(Read(Build(mono))) << infoSize;
    ExpectPixels({{kWhite, kBlack, kBlack, kWhite}});

    BmpFile rgb = Sample(24);
    rgb.infoSize = infoSize;
    ASSERT_TRUE(Read(Build(rgb))) << infoSize;
    ExpectPixels({{kBlue, kWhite}, {kRed, kGreen}});
  }
}

TEST_P(ReadBmp, IndicesBeyondThePaletteShowBlack) {
  BmpFile eight = Indexed(8, 3, 1, {kRed, kGreen}, {Row(8, {1, 2, 255})});
  ASSERT_TRUE(Read(Build(eight)));
  ExpectPixels({{kGreen, kBlack, kBlack}});

  BmpFile four = Indexed(4, 3, 1, {kRed, kGreen, kTeal}, {Row(4, {2, 3, 15})});
  ASSERT_TRUE(Read(Build(four)));
  ExpectPixels({{kTeal, kBlack, kBlack}});

  BmpFile one = Indexed(1, 2, 1, {kWhite}, {Row(1, {0, 1})});
  ASSERT_TRUE(Read(Build(one)));
  ExpectPixels({{kWhite, kBlack}});
}

TEST_P(ReadBmp, MorePaletteEntriesThanTheDepthIndexesAreHarmless) {
  // Only the first 2^bits entries can be indexed; the rest is never read.
  std::vector<Rgb> palette(300, kTeal);
  palette[255] = kWhite;
  BmpFile f = Indexed(8, 2, 1, palette, {Row(8, {255, 0})});
  ASSERT_TRUE(Read(Build(f)));
  ExpectPixels({{kWhite, kTeal}});

  // A count far beyond the file, with the 2 entries a 1-bit image can use.
  BmpFile one = Indexed(1, 2, 1, {kRed, kGreen}, {Row(1, {1, 0})});
  one.colorsUsed = 0xFFFFFFFF;
  ASSERT_TRUE(Read(Build(one)));
  ExpectPixels({{kGreen, kRed}});
}

TEST_P(ReadBmp, APaletteCutShortByThePixelOffsetKeepsTheEntriesThere) {
  // 256 entries declared, room for 255 before the pixels: index 255 is not
  // in the file and shows black; the pixels are read from the offset.
  BmpFile f = Sample(8);
  const Bytes whole = Build(f);
  Bytes cut(whole.begin(), whole.begin() + 54 + 255 * 4);
  Put32(cut, 10, static_cast<uint32_t>(cut.size()));
  cut.insert(cut.end(), f.pixels.begin(), f.pixels.end());
  ASSERT_TRUE(Read(cut));
  ExpectPixels({{kBlack, kRed, kBlack}, {kRed, kBlack, kRed}});
  // A 4-bit file that declares 16 entries but stores 2.
  BmpFile four = Indexed(4, 3, 1, {kGreen, kTeal}, {Row(4, {1, 0, 9})});
  four.colorsUsed = 0;
  ASSERT_TRUE(Read(Build(four)));
  ExpectPixels({{kTeal, kGreen, kBlack}});
}

TEST_P(ReadBmp, PlanesAreIgnored) {
  BmpFile f = Sample(24);
  f.planes = 0;
  ASSERT_TRUE(Read(Build(f)));
  ExpectPixels({{kBlue, kWhite}, {kRed, kGreen}});
}

TEST_P(ReadBmp, ZeroWidthOrHeightGivesAnEmptyImage) {
  for (int bits : {24, 8}) {
    for (auto size : {std::pair<int, int>{0, 5}, {5, 0}, {0, 0}, {0, INT_MAX}, {INT_MAX, 0}, {0, -7}}) {
      BmpFile f = Sample(bits);
      f.width = size.first;
      f.height = size.second;
      f.pixels.clear();
      ASSERT_TRUE(Read(Build(f))) << bits << " " << size.first << "x" << size.second;
      EXPECT_EQ(image.bits, nullptr);
      EXPECT_EQ(image.width, 0);
      EXPECT_EQ(image.height, 0);
      EXPECT_EQ(image.stride, 0);
      EXPECT_NE(image.dc, nullptr);
    }
  }
}

// --- Refusals: false, the reason, and the image exactly as it was ---------

TEST_P(ReadBmp, RefusesShortOrForeignFiles) {
  const Bytes file = Build(Sample(24));
  ExpectRefusedUnchanged(Bytes(), BmpRefusal::kTruncatedFileHeader);
  ExpectRefusedUnchanged(Bytes(file.begin(), file.begin() + 13), BmpRefusal::kTruncatedFileHeader);
  Bytes notBm = file;
  notBm[1] = 'A';
  ExpectRefusedUnchanged(notBm, BmpRefusal::kNotBmp);
  // Cut inside the header block, and inside the pixels.
  ExpectRefusedUnchanged(Bytes(file.begin(), file.begin() + 40), BmpRefusal::kTruncatedHeader);
  ExpectRefusedUnchanged(Bytes(file.begin(), file.end() - 1), BmpRefusal::kTruncatedPixels);
  const Bytes indexed = Build(Sample(8));
  ExpectRefusedUnchanged(Bytes(indexed.begin(), indexed.begin() + 500), BmpRefusal::kTruncatedHeader);
}

TEST_P(ReadBmp, RefusesHeaderBlocksTooShortForTheirContents) {
  for (uint32_t offBits : {0u, 13u, 14u, 30u, 53u}) {
    BmpFile f = Sample(24);
    f.offBits = offBits;
    ExpectRefusedUnchanged(Build(f), BmpRefusal::kNoRoomForInfoHeader);
  }
  // An indexed file without room for a single palette entry.
  BmpFile noRoom = Sample(1);
  noRoom.offBits = 54;
  ExpectRefusedUnchanged(Build(noRoom), BmpRefusal::kNoRoomForPalette);
  BmpFile noRoomLong = Sample(8);
  noRoomLong.infoSize = 124;
  noRoomLong.offBits = 14 + 124 + 3;
  ExpectRefusedUnchanged(Build(noRoomLong), BmpRefusal::kNoRoomForPalette);
  // A 108-byte header in a 40-byte block.
  BmpFile longHeader = Sample(24);
  longHeader.infoSize = 108;
  longHeader.offBits = 54;
  ExpectRefusedUnchanged(Build(longHeader), BmpRefusal::kNoRoomForInfoHeader);
  // An info header length beyond the file.
  BmpFile huge = Sample(24);
  Bytes bytes = Build(huge);
  Put32(bytes, 14, 0xFFFFFFF0u);
  ExpectRefusedUnchanged(bytes, BmpRefusal::kNoRoomForInfoHeader);
  // The pixels start beyond the end of the file.
  BmpFile beyond = Sample(24);
  beyond.offBits = 0xFFFFFFFF;
  ExpectRefusedUnchanged(Build(beyond), BmpRefusal::kTruncatedHeader);
}

TEST_P(ReadBmp, RefusesTheOldCoreHeaderAndPalettesPastAVeryLongOne) {
  // 12-byte header: 16-bit width and height, then planes and depth. Its
  // pixels at offset 26 leave no room for a 40-byte header.
  Bytes file{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3, 0};
  ExpectRefusedUnchanged(file, BmpRefusal::kNoRoomForInfoHeader);
  // The same with room for a 40-byte header, which a careless reader would take.
  file.resize(14 + 40 + 4, 0);
  Put32(file, 10, 54);
  ExpectRefusedUnchanged(file, BmpRefusal::kUnsupportedHeader);
  // An info header of 70000 bytes: its palette lies beyond the 64 kB of
  // header the reader keeps (a 24-bit file needs none and loads).
  BmpFile longIndexed = Sample(8);
  longIndexed.infoSize = 70000;
  ExpectRefusedUnchanged(Build(longIndexed), BmpRefusal::kInfoHeaderTooLong);
  BmpFile longTrueColor = Sample(24);
  longTrueColor.infoSize = 70000;
  ASSERT_TRUE(Read(Build(longTrueColor)));
  ExpectPixels({{kBlue, kWhite}, {kRed, kGreen}});
}

TEST_P(ReadBmp, RefusesCompressedAndOtherDepths) {
  for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u}) {
    BmpFile f = Sample(compression == 2 ? 4 : 8);
    f.compression = compression;
    ExpectRefusedUnchanged(Build(f), BmpRefusal::kCompressed);
  }
  for (uint16_t bits : {0, 2, 16, 32, 48, 64}) {
    BmpFile f = Sample(24);
    f.bits = bits;
    f.pixels.resize(64);
    ExpectRefusedUnchanged(Build(f), BmpRefusal::kUnsupportedDepth);
  }
}

TEST_P(ReadBmp, RefusesNegativeWidthsAndTheLowestHeight) {
  BmpFile f = Sample(24);
  f.width = -2;
  ExpectRefusedUnchanged(Build(f), BmpRefusal::kBadSize);
  f.width = INT_MIN;
  ExpectRefusedUnchanged(Build(f), BmpRefusal::kBadSize);
  BmpFile g = Sample(24);
  g.height = INT_MIN;
  ExpectRefusedUnchanged(Build(g), BmpRefusal::kBadSize);
}

TEST_P(ReadBmp, RefusesSizesNoImageCanHaveWithoutAllocating) {
  // Each header promises far more pixels than the file holds; none may cost
  // an allocation of that size (a pipe cannot tell its length in advance).
  // 20000 x 20000 (1.2e9 bytes at 24 bits) is an image that could be made,
  // so it is refused as cut short; the others are too large for any image.
  const struct {
    int32_t width, height;
    BmpRefusal why;
  } sizes[] = {{INT_MAX, INT_MAX, BmpRefusal::kTooLarge},     {INT_MAX, 1, BmpRefusal::kTooLarge},
               {1, INT_MAX, BmpRefusal::kTooLarge},           {0x40000000, 4, BmpRefusal::kTooLarge},
               {20000, 20000, BmpRefusal::kTruncatedPixels},  {30000, -30000, BmpRefusal::kTooLarge},
               {1 << 28, 8, BmpRefusal::kTooLarge}};
  for (int bits : {1, 4, 8, 24}) {
    for (const auto& size : sizes) {
      BmpFile f = Sample(bits);
      f.width = size.width;
      f.height = size.height;
      ExpectRefusedUnchanged(Build(f), size.why);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Streams, ReadBmp, ::testing::Values(Source::File, Source::Pipe),
                         [](const ::testing::TestParamInfo<Source>& info) {
                           return info.param == Source::File ? std::string("File") : std::string("Pipe");
                         });

TEST(ReadBmpStream, NullStreamIsRefused) {
  dib24 image;
  BmpRefusal why = BmpRefusal::kNone;
  EXPECT_FALSE(image.ReadBmp(nullptr, &why));
  EXPECT_EQ(why, BmpRefusal::kNoStream);
  EXPECT_FALSE(image.ReadBmp(nullptr));
  EXPECT_EQ(image.width, 1);
}

TEST(ReadBmpStream, ReadsFromWhereTheStreamStands) {
  // A second file right after the first in the same stream.
  const Bytes one = Build(Sample(24));
  Bytes two = one;
  two.insert(two.end(), one.begin(), one.end());
  dib24 first, second;
  std::FILE* out = std::fopen("read_bmp_twice.bmp", "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(two.data(), 1, two.size(), out);
  std::fclose(out);
  std::FILE* in = std::fopen("read_bmp_twice.bmp", "rb");
  BmpRefusal why = BmpRefusal::kNoStream;
  EXPECT_TRUE(first.ReadBmp(in, &why));
  EXPECT_EQ(why, BmpRefusal::kNone);
  EXPECT_TRUE(second.ReadBmp(in));
  EXPECT_FALSE(second.ReadBmp(in, &why));
  EXPECT_EQ(why, BmpRefusal::kTruncatedFileHeader);  // nothing left
  std::fclose(in);
  std::remove("read_bmp_twice.bmp");
  EXPECT_EQ(second.width, 2);
  EXPECT_EQ(std::memcmp(first.bits, second.bits, 16), 0);
}

// A size no image can have is refused from the headers alone: the stream is
// left where they end, with what follows unread, however much follows (a
// pipe need not end at all).
TEST(ReadBmpStream, ImpossibleSizeIsRefusedBeforeThePixels) {
  Bytes body(256 * 1024);
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<unsigned char>(i * 13 + 1);
  const std::pair<int32_t, int32_t> sizes[] = {{30000, 30000}, {INT_MAX, 1}, {1, INT_MAX}};
  for (int bits : {1, 8, 24}) {
    for (const auto& size : sizes) {
      BmpFile f = Sample(bits);
      f.width = size.first;
      f.height = size.second;
      f.pixels.clear();
      const Bytes headers = Build(f);
      Bytes bytes = headers;
      bytes.insert(bytes.end(), body.begin(), body.end());
      dib24 image;
      FilledPipe pipe(bytes);
      ASSERT_NE(pipe.Stream(), nullptr);
      BmpRefusal why = BmpRefusal::kNone;
      EXPECT_FALSE(image.ReadBmp(pipe.Stream(), &why));
      EXPECT_EQ(why, BmpRefusal::kTooLarge);
      Bytes rest(body.size() + 1);
      rest.resize(std::fread(rest.data(), 1, rest.size(), pipe.Stream()));
      EXPECT_TRUE(rest == body) << bits << " bits, " << size.first << " x " << size.second << ": " << rest.size()
                                << " bytes left unread";

      std::FILE* out = std::fopen("read_bmp_impossible.bmp", "wb");
      ASSERT_NE(out, nullptr);
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
      std::FILE* in = std::fopen("read_bmp_impossible.bmp", "rb");
      why = BmpRefusal::kNone;
      EXPECT_FALSE(image.ReadBmp(in, &why));
      EXPECT_EQ(why, BmpRefusal::kTooLarge);
      EXPECT_EQ(std::ftell(in), static_cast<long>(headers.size())) << bits;
      std::fclose(in);
      std::remove("read_bmp_impossible.bmp");
    }
  }
}

#ifndef _WIN32
// The stand-in can make DIB sections fail and counts the requests.
TEST(ReadBmpStandIn, RefusesWhenTheImageCannotBeMade) {
  for (int bits : {1, 4, 8, 24}) {
    for (Source source : {Source::File, Source::Pipe}) {
      dib24 image;
      const ImageState before(image);
      BmpRefusal why = BmpRefusal::kNone;
      GdiStandIn::FailNextDibSections(1);
      EXPECT_FALSE(ReadFrom(image, Build(Sample(bits)), source, &why)) << bits;
      EXPECT_EQ(why, BmpRefusal::kNoDibSection) << bits;
      EXPECT_TRUE(ImageState(image) == before);
    }
    GdiStandIn::FailNextDibSections(0);
  }
}

TEST(ReadBmpStandIn, ATruncatedFileNeverAsksForItsImage) {
  // 20000 x 20000 x 3 bytes fit an int, but the file holds 16 of them.
  for (Source source : {Source::File, Source::Pipe}) {
    BmpFile f = Sample(24);
    f.width = 20000;
    f.height = 20000;
    dib24 image;
    const int calls = GdiStandIn::DibSectionCalls();
    BmpRefusal why = BmpRefusal::kNone;
    EXPECT_FALSE(ReadFrom(image, Build(f), source, &why));
    EXPECT_EQ(why, BmpRefusal::kTruncatedPixels);
    EXPECT_EQ(GdiStandIn::DibSectionCalls(), calls);
  }
}

TEST(ReadBmpStandIn, FailuresFreeEverything) {
  dib24 image;
  const int bitmaps = GdiStandIn::LiveBitmaps(), dcs = GdiStandIn::LiveDcs();
  BmpFile f = Sample(8);
  Bytes cut = Build(f);
  cut.pop_back();
  BmpRefusal why = BmpRefusal::kNone;
  EXPECT_FALSE(ReadFrom(image, cut, Source::File, &why));
  EXPECT_EQ(why, BmpRefusal::kTruncatedPixels);
  EXPECT_TRUE(ReadFrom(image, Build(f), Source::File));
  EXPECT_EQ(GdiStandIn::LiveBitmaps(), bitmaps);
  EXPECT_EQ(GdiStandIn::LiveDcs(), dcs);
}
#endif

}  // namespace
