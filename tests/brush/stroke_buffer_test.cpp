// The stroke buffer's behaviour common to both dabs: sizing, clearing, the
// dirty rectangle, spacing, the walk, and input no pen produces.
#include <climits>
#include <cmath>
#include <limits>
#include <new>
#include <random>
#include <vector>

#include "brush/BrushBuff.h"
#include "image/Win32Gdi.h"
#include "tests/brush/StrokeTestSupport.h"

const Brush& SharedMasks() {
  static Brush* masks = nullptr;
  if (!masks) {
    masks = new Brush;
    masks->BuildLevels();
  }
  return *masks;
}

void GiveMasks(Brush& brush) {
  const Brush& from = SharedMasks();
  brush.ClearLevels();
  brush.baseSize = from.baseSize;
  brush.oversampling = from.oversampling;
  for (int n = 384, k = 0; n > 0; n /= 2, ++k) {
    brush.levels.emplace_back(new int16_t[n * n]);
    std::memcpy(brush.levels.back().get(), from.levels[k].get(), sizeof(int16_t) * n * n);
  }
}

namespace {
// While above zero, array allocations without exceptions fail, one each: in
// the stroke buffer, that is the coverage map.
int failingArrays = 0;
}  // namespace

// Not under valgrind, which serves every allocation itself.
bool ArrayAllocationsCanFail();

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (failingArrays > 0) {
    --failingArrays;
    return nullptr;
  }
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool ArrayAllocationsCanFail() {
  BrushBuff probe;
  failingArrays = 1;
  const bool failed = !probe.Resize(1, 1);
  failingArrays = 0;
  return failed;
}

namespace {

const StrokeColor kInk = {10, 20, 30, 255};
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class StrokeBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    GiveMasks(buffer.brush);
    buffer.Resize(40, 30);
  }
  void PenDown() {
    buffer.firstDab = true;
    buffer.lastX = 0;
    buffer.lastY = 0;
  }
  bool Untouched() const {
    for (int k = 0; k < buffer.surface.height * buffer.surface.stride; ++k)
      if (buffer.surface.bits[k]) return false;
    for (int k = 0; k < buffer.surface.width * buffer.surface.height; ++k)
      if (buffer.coverage[k] != 0) return false;
    return buffer.dirty.left == buffer.surface.width && buffer.dirty.right == 0;
  }
  BrushBuff buffer;
};

TEST(StrokeBuffer, NewBufferHoldsNothing) {
  BrushBuff buffer;
  EXPECT_EQ(buffer.surface.bits, nullptr);
  EXPECT_EQ(buffer.surface.width, 0);
  EXPECT_EQ(buffer.coverage, nullptr);
  EXPECT_FALSE(buffer.firstDab);
  ExpectDirty(buffer, 0, 0, 0, 0);
  EXPECT_TRUE(buffer.brush.levels.empty());
}

// Only the soft dab samples the tip masks; the disc program does not build them.
TEST(StrokeBuffer, PreparingTheTipBuildsMasksOnlyForTheSoftDab) {
  BrushBuff buffer;
  buffer.PrepareTip();
  EXPECT_EQ(buffer.brush.levels.size(), LinkedDab() == LiteralStroke::kSoft ? 9u : 0u);
}

TEST_F(StrokeBufferTest, ResizeGivesAClearedBufferWithEmptyDirtyRectangle) {
  EXPECT_EQ(buffer.surface.width, 40);
  EXPECT_EQ(buffer.surface.height, 30);
  EXPECT_EQ(buffer.surface.stride, 160);
  ASSERT_NE(buffer.coverage, nullptr);
  ExpectDirty(buffer, 40, 30, 0, 0);
  EXPECT_TRUE(Untouched());

  PenDown();
  buffer.DrawSegment(5, 5, 30, 20, 1, 1, 3, kInk);
  buffer.Resize(12, 9);
  EXPECT_EQ(buffer.surface.width, 12);
  ExpectDirty(buffer, 12, 9, 0, 0);
  EXPECT_TRUE(Untouched());
}

TEST_F(StrokeBufferTest, ClearAndResetDirtyEmptyTheBuffer) {
  PenDown();
  buffer.DrawSegment(5, 5, 30, 20, 0.7, 1, 3, kInk);
  ASSERT_FALSE(Untouched());
  buffer.ResetDirty();
  ExpectDirty(buffer, 40, 30, 0, 0);
  buffer.Deposit(3, 4, kInk, 0);
  ExpectDirty(buffer, 3, 4, 4, 5);
  buffer.Clear();
  EXPECT_TRUE(Untouched());
}

TEST_F(StrokeBufferTest, DepositWritesOnePixelAndGrowsDirty) {
  const StrokeColor odd = {0x1AB, -1, 0x230, 255};
  buffer.Deposit(7, 2, odd, 0);
  const unsigned char* pixel = buffer.surface.bits + (30 - 1 - 2) * 160 + 7 * 4;
  EXPECT_EQ(pixel[0], 0xAB);  // low bytes of the colour
  EXPECT_EQ(pixel[1], 0xFF);
  EXPECT_EQ(pixel[2], 0x30);
  EXPECT_EQ(pixel[3], 0);
  EXPECT_EQ(buffer.coverage[2 * 40 + 7], 0.0f);
  ExpectDirty(buffer, 7, 2, 8, 3);

  buffer.Deposit(1, 9, kInk, 10);
  ExpectDirty(buffer, 1, 2, 8, 10);
  buffer.Deposit(1, 9, {200, 201, 202, 255}, 10);  // the latest colour wins
  EXPECT_EQ(PixelAt(buffer, 1, 9)[0], 200);
  EXPECT_EQ(PixelAt(buffer, 1, 9)[2], 202);
}

TEST_F(StrokeBufferTest, DepositOutsideTheBufferDoesNothing) {
  const int places[][2] = {{-1, 0}, {0, -1}, {40, 0}, {0, 30}, {-100000, 5}, {INT_MAX, INT_MIN}};
  for (const auto& p : places) buffer.Deposit(p[0], p[1], kInk, 200);
  EXPECT_TRUE(Untouched());
}

TEST_F(StrokeBufferTest, FirstDabIsDrawnEvenAtTheOrigin) {
  PenDown();
  buffer.DrawSegment(0, 0, 0, 0, 1, 1, 3, kInk);
  EXPECT_FALSE(buffer.firstDab);
  EXPECT_EQ(buffer.lastX, 0);
  EXPECT_EQ(buffer.dirty.left, 0);
  EXPECT_EQ(buffer.dirty.top, 0);
  EXPECT_GT(buffer.dirty.right, 0);
  EXPECT_GT(AlphaAt(buffer, 0, 0), 0);
}

TEST_F(StrokeBufferTest, ZeroLengthSegmentAtTheLastDabAddsNothing) {
  PenDown();
  buffer.DrawSegment(12.3, 8.6, 12.3, 8.6, 1, 1, 3, kInk);
  std::vector<unsigned char> before(buffer.surface.bits, buffer.surface.bits + 30 * 160);
  buffer.DrawSegment(12.3, 8.6, 12.3, 8.6, 1, 1, 3, kInk);
  EXPECT_EQ(std::vector<unsigned char>(buffer.surface.bits, buffer.surface.bits + 30 * 160), before);
}

// Pressure 0.5 at size 3: spacing 0.125, so 0.125 away is drawn and less is not.
TEST_F(StrokeBufferTest, CandidateExactlyOneSpacingAwayIsDrawn) {
  PenDown();
  buffer.DrawDab(10, 10, 0.5, 3, kInk);
  buffer.DrawDab(10.125, 10, 0.5, 3, kInk);
  EXPECT_EQ(buffer.lastX, 10.125);
  buffer.DrawDab(10.2, 10.05, 0.5, 3, kInk);
  EXPECT_EQ(buffer.lastX, 10.125);
  EXPECT_EQ(buffer.lastY, 10);
}

TEST_F(StrokeBufferTest, SpacingRunsOnAcrossSegmentJoints) {
  PenDown();
  buffer.DrawSegment(10, 10, 11, 10, 1, 1, 3, kInk);  // last dab at 10.9
  const double last = buffer.lastX;
  EXPECT_NEAR(last, 10.9, 1e-9);
  std::vector<float> before(buffer.coverage.get(), buffer.coverage.get() + 40 * 30);
  buffer.DrawSegment(11, 10, 11, 10, 1, 1, 3, kInk);  // 0.1 away: dropped
  EXPECT_EQ(buffer.lastX, last);
  EXPECT_EQ(std::vector<float>(buffer.coverage.get(), buffer.coverage.get() + 40 * 30), before);
  buffer.DrawSegment(11, 10, 12, 10, 1, 1, 3, kInk);  // 11 dropped, 11.15 drawn
  EXPECT_GT(buffer.lastX, 11.9);
}

TEST_F(StrokeBufferTest, PressureZeroStillDrawsATinyDab) {
  PenDown();
  buffer.DrawSegment(10.5, 10.5, 10.5, 10.5, 0, 0, 3, kInk);
  ExpectDirty(buffer, 10, 10, 11, 11);
  EXPECT_GT(AlphaAt(buffer, 10, 10), 0);
}

// Strokes of every kind, partly outside and with long jumps, against the plain
// transcription of the arithmetic.
TEST_F(StrokeBufferTest, StrokesMatchThePlainArithmeticExactly) {
  const int width = 64, height = 48;
  buffer.Resize(width, height);
  LiteralStroke model(LinkedDab(), width, height, &SharedMasks());
  std::mt19937 random(20240611);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  auto chance = [&](double p) { return uniform(0, 1) < p; };
  const double sizes[] = {3, 3, 3, 3, 1, 2.5, 7.5, 16, 20, 41};
  for (int stroke = 0; stroke < 40; ++stroke) {
    const double size = sizes[random() % 10];
    const StrokeColor color = {int(random() % 256), int(random() % 256), int(random() % 256),
                               int(random() % 256)};
    double x = uniform(-20, width + 20), y = uniform(-20, height + 20), p = uniform(0, 1);
    if (chance(0.3)) x = std::round(x * 4) / 4;
    PenDown();
    model.PenDown();
    const int segments = 1 + int(random() % 12);
    for (int s = 0; s < segments; ++s) {
      double nx = x + uniform(-6, 6), ny = y + uniform(-6, 6), np = uniform(0, 1);
      if (chance(0.1)) nx = x;                       // vertical
      if (chance(0.1)) ny = y;                       // horizontal
      if (chance(0.1)) ny = y + (nx - x);            // 45 degrees
      if (chance(0.05)) nx = x, ny = y;              // a point
      if (chance(0.05)) nx = x + uniform(-3000, 3000);  // a long jump, mostly outside
      if (chance(0.1)) np = chance(0.5) ? 0 : 1;
      buffer.DrawSegment(x, y, nx, ny, p, np, size, color);
      model.DrawSegment(x, y, nx, ny, p, np, size, color);
      x = nx, y = ny, p = np;
    }
    ExpectSameAsLiteral(buffer, model);
    if (HasFailure()) {
      ADD_FAILURE() << "stroke " << stroke;
      return;
    }
  }
  EXPECT_GT(model.dabs, 1000);
}

TEST_F(StrokeBufferTest, UnusableNumbersChangeNothing) {
  PenDown();
  const double bad[] = {kNaN, kInf, -kInf};
  for (double v : bad) {
    buffer.DrawSegment(v, 5, 10, 10, 1, 1, 3, kInk);
    buffer.DrawSegment(5, 5, 10, v, 1, 1, 3, kInk);
    buffer.DrawSegment(5, 5, 10, 10, v, 1, 3, kInk);
    buffer.DrawSegment(5, 5, 10, 10, 1, v, 3, kInk);
    buffer.DrawSegment(5, 5, 10, 10, 1, 1, v, kInk);
    buffer.DrawDab(v, 5, 1, 3, kInk);
    buffer.DrawDab(5, v, 1, 3, kInk);
    buffer.DrawDab(5, 5, v, 3, kInk);
    buffer.DrawDab(5, 5, 1, v, kInk);
  }
  buffer.DrawDab(5, 5, 1e300, 1e300, kInk);  // a diameter beyond double
  EXPECT_TRUE(buffer.firstDab);
  EXPECT_EQ(buffer.lastX, 0);
  EXPECT_TRUE(Untouched());
}

TEST_F(StrokeBufferTest, FarSegmentsDrawTheirVisiblePartQuickly) {
  PenDown();
  buffer.DrawSegment(-1e9, 20.5, 1e9, 20.5, 1, 1, 3, kInk);
  ExpectDirty(buffer, 0, 19, 40, 22);
  for (int col = 0; col < 40; ++col) EXPECT_GT(AlphaAt(buffer, col, 20), 0) << col;
  EXPECT_GT(buffer.lastX, 1e9 - 1);

  buffer.Clear();
  PenDown();
  buffer.DrawSegment(7.5, 1e9, 7.5, -1e9, 1, 1, 3, kInk);
  ExpectDirty(buffer, 6, 0, 9, 30);

  buffer.Clear();
  PenDown();
  buffer.DrawSegment(-1e9, -1e9, 1e9, 1e9, 1, 1, 3, kInk);  // the diagonal
  EXPECT_LE(buffer.dirty.right, 40);
  EXPECT_GT(AlphaAt(buffer, 15, 15), 0);
  EXPECT_EQ(AlphaAt(buffer, 15, 25), 0);
}

TEST_F(StrokeBufferTest, DabOutsideStillBecomesTheLastDab) {
  PenDown();
  buffer.DrawSegment(1e9, -1e9, 1e9, -1e9, 1, 1, 3, kInk);
  EXPECT_FALSE(buffer.firstDab);
  EXPECT_EQ(buffer.lastX, 1e9);
  EXPECT_EQ(buffer.lastY, -1e9);
  EXPECT_TRUE(Untouched());
}

TEST_F(StrokeBufferTest, HugeDabsCoverTheBufferInBoundedWork) {
  PenDown();
  buffer.DrawSegment(10, 10, 20, 12, 1e6, 1e6, 3, kInk);
  ExpectDirty(buffer, 0, 0, 40, 30);
  buffer.Clear();
  PenDown();
  buffer.DrawSegment(-1e9, 10, 1e9, 10, 1e4, 1e4, 3, kInk);
  ExpectDirty(buffer, 0, 0, 40, 30);
}

TEST_F(StrokeBufferTest, BufferWithoutPixelsIgnoresDrawing) {
  buffer.Resize(0, 0);
  EXPECT_EQ(buffer.coverage, nullptr);
  ExpectDirty(buffer, 0, 0, 0, 0);
  PenDown();
  buffer.DrawSegment(-5, -5, 10, 10, 1, 1, 3, kInk);
  buffer.Deposit(0, 0, kInk, 100);
  buffer.Clear();
  ExpectDirty(buffer, 0, 0, 0, 0);
  EXPECT_NEAR(buffer.lastX, 10, 0.15);
}

// A size whose surface or coverage map cannot be made leaves the buffer and
// the stroke in it as they were, and drawing goes on.
TEST_F(StrokeBufferTest, SizeThatCannotBeMadeLeavesTheBufferAsItWas) {
  PenDown();
  buffer.DrawSegment(5, 5, 10, 8, 1, 1, 3, kInk);
  const DirtyRect before = buffer.dirty;
  const unsigned char* bits = buffer.surface.bits;
  const float* coverage = buffer.coverage.get();
  const float covered = buffer.coverage[6 * 40 + 6];
  ASSERT_GT(covered, 0.0f);
  auto expectAsItWas = [&](const char* failing) {
    SCOPED_TRACE(failing);
    EXPECT_EQ(buffer.surface.width, 40);
    EXPECT_EQ(buffer.surface.height, 30);
    EXPECT_EQ(buffer.surface.bits, bits);
    EXPECT_EQ(buffer.coverage.get(), coverage);
    EXPECT_EQ(buffer.coverage[6 * 40 + 6], covered);
    ExpectDirty(buffer, before.left, before.top, before.right, before.bottom);
  };
#ifdef _WIN32
  EXPECT_FALSE(buffer.Resize(1 << 20, 1 << 20));  // far beyond what a DIB section may hold
#else
  GdiStandIn::FailNextDibSections(1);
  EXPECT_FALSE(buffer.Resize(300, 200));
#endif
  expectAsItWas("the surface");

  if (ArrayAllocationsCanFail()) {
    failingArrays = 1;
    EXPECT_FALSE(buffer.Resize(300, 200));
    failingArrays = 0;
    expectAsItWas("the coverage map");
  }

  buffer.DrawSegment(10, 8, 20, 12, 1, 1, 3, kInk);
  EXPECT_GT(buffer.dirty.right, before.right);
  EXPECT_TRUE(buffer.Resize(8, 8));
  EXPECT_EQ(buffer.surface.width, 8);
  ASSERT_NE(buffer.coverage, nullptr);
  ExpectDirty(buffer, 8, 8, 0, 0);
}

}  // namespace
