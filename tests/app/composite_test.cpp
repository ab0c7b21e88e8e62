// CompositeStroke: the blend's exact values, which pixels it visits, and that
// it never touches memory outside the stroke buffer and the target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "app/CompositeStroke.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

struct Bgr {
  unsigned char b, g, r;
};

// A stroke buffer's three fields, built by hand.
struct Stroke {
  Stroke(int w, int h) : coverage(new float[static_cast<size_t>(w) * h]()) {
    surface.Create(w, h);
    dirty = RECT{0, 0, w, h};
  }
  void Set(int x, int y, float c, Bgr color) {
    coverage[static_cast<size_t>(y) * surface.width + x] = c;
    unsigned char* p = surface.bits + static_cast<size_t>(surface.height - 1 - y) * surface.stride + 4 * x;
    p[0] = color.b;
    p[1] = color.g;
    p[2] = color.r;
    p[3] = 0x77;  // accumulated alpha: plays no part
  }
  void Into(dib24& target, const RECT* rect) { CompositeStroke(target, surface, coverage.get(), dirty, rect); }
  dib32 surface;
  std::unique_ptr<float[]> coverage;
  RECT dirty;
};

unsigned char* At(dib24& image, int x, int y) {
  return image.bits + static_cast<size_t>(image.height - 1 - y) * image.stride + 3 * x;
}

void Fill(dib24& image, Bgr color) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      unsigned char* p = At(image, x, y);
      p[0] = color.b;
      p[1] = color.g;
      p[2] = color.r;
    }
}

// Every byte of the image, padding included.
std::vector<unsigned char> Snapshot(const dib24& image) {
  return std::vector<unsigned char>(image.bits, image.bits + static_cast<size_t>(image.stride) * image.height);
}

TEST(CompositeStroke, BlendTruncatesTowardZero) {
  dib24 target;
  target.Create(4, 1);
  Stroke stroke(4, 1);
  const unsigned char dst[4] = {0, 200, 100, 17};
  for (int x = 0; x < 4; ++x) {
    unsigned char* p = At(target, x, 0);
    p[0] = p[1] = p[2] = dst[x];
  }
  stroke.Set(0, 0, 0.5f, {255, 255, 255});    // 127.5 -> 127, not 128
  stroke.Set(1, 0, 0.001f, {0, 0, 0});        // 199.8 -> 199
  stroke.Set(2, 0, 0.001f, {255, 255, 255});  // 100.155 -> 100
  stroke.Set(3, 0, 1.0f, {1, 2, 3});          // full coverage: the stroke colour
  stroke.Into(target, nullptr);
  EXPECT_EQ(At(target, 0, 0)[2], 127);
  EXPECT_EQ(At(target, 1, 0)[1], 199);
  EXPECT_EQ(At(target, 2, 0)[0], 100);
  EXPECT_EQ(At(target, 3, 0)[0], 1);
  EXPECT_EQ(At(target, 3, 0)[1], 2);
  EXPECT_EQ(At(target, 3, 0)[2], 3);
}

TEST(CompositeStroke, CoverageIsTheFloatWidenedToDouble) {
  // 0.1f is 0.100000001490116...: (1 - c) x 250 is 224.9999996, truncated to
  // 224, where a coverage of exactly one tenth would give 225.
  dib24 target;
  target.Create(1, 1);
  Stroke stroke(1, 1);
  Fill(target, {0, 250, 0});
  stroke.Set(0, 0, 0.1f, {10, 0, 0});
  stroke.Into(target, nullptr);
  EXPECT_EQ(At(target, 0, 0)[0], 1);
  EXPECT_EQ(At(target, 0, 0)[1], 224);
}

TEST(CompositeStroke, ZeroAndNanCoverageLeavePixelsAlone) {
  dib24 target;
  target.Create(3, 2);
  Fill(target, {10, 20, 30});
  Stroke stroke(3, 2);
  stroke.Set(0, 0, 0.0f, {255, 255, 255});
  stroke.Set(1, 0, std::numeric_limits<float>::quiet_NaN(), {255, 255, 255});
  stroke.Set(2, 0, -0.0f, {255, 255, 255});
  const auto before = Snapshot(target);
  stroke.Into(target, nullptr);
  EXPECT_EQ(Snapshot(target), before);
}

TEST(CompositeStroke, OutOfRangeCoverageIsClamped) {
  dib24 target;
  target.Create(3, 1);
  Fill(target, {100, 100, 100});
  Stroke stroke(3, 1);
  stroke.Set(0, 0, 2.0f, {255, 0, 255});                                     // 410 / -100
  stroke.Set(1, 0, std::numeric_limits<float>::infinity(), {200, 100, 0});  // NaN, +inf, -inf
  stroke.Set(2, 0, -1.0f, {0, 255, 0});                                     // 200 / -55
  stroke.Into(target, nullptr);
  EXPECT_EQ(At(target, 0, 0)[0], 255);
  EXPECT_EQ(At(target, 0, 0)[1], 0);
  EXPECT_EQ(At(target, 2, 0)[0], 200);
  EXPECT_EQ(At(target, 2, 0)[1], 0);
}

TEST(CompositeStroke, RowsOfTheThreeStoresMeetTopDown) {
  // Coverage is stored top-down, surface and target bottom-up: a stroke pixel
  // in the top row must land in the target's top row.
  dib24 target;
  target.Create(3, 3);
  Fill(target, {0, 0, 0});
  Stroke stroke(3, 3);
  stroke.Set(2, 0, 1.0f, {1, 2, 3});
  stroke.Set(0, 2, 1.0f, {4, 5, 6});
  stroke.Into(target, nullptr);
  EXPECT_EQ(target.bits[2 * target.stride + 6], 1);  // (2, 0): last stored row
  EXPECT_EQ(target.bits[0], 4);                      // (0, 2): first stored row
  int changed = 0;
  for (int i = 0; i < target.stride * 3; ++i) changed += target.bits[i] != 0;
  EXPECT_EQ(changed, 6);
}

TEST(CompositeStroke, EmptyDirtyRectangleChangesNothing) {
  dib24 target;
  target.Create(5, 4);
  Fill(target, {9, 9, 9});
  Stroke stroke(5, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) stroke.Set(x, y, 1.0f, {200, 200, 200});
  stroke.dirty = RECT{5, 4, 0, 0};
  const auto before = Snapshot(target);
  stroke.Into(target, nullptr);
  EXPECT_EQ(Snapshot(target), before);
}

TEST(CompositeStroke, OnlyTheGivenRectangleIsVisited) {
  dib24 target;
  target.Create(6, 5);
  Fill(target, {50, 50, 50});
  Stroke stroke(6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) stroke.Set(x, y, 1.0f, {1, 1, 1});
  stroke.dirty = RECT{1, 1, 3, 4};
  stroke.Into(target, nullptr);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 3 && y >= 1 && y < 4;
      EXPECT_EQ(At(target, x, y)[0], inside ? 1 : 50) << x << "," << y;
    }

  Fill(target, {50, 50, 50});
  const RECT paint{2, 0, 4, 2};  // the paint rectangle, not the dirty one
  stroke.Into(target, &paint);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 2 && x < 4 && y < 2;
      EXPECT_EQ(At(target, x, y)[0], inside ? 1 : 50) << x << "," << y;
    }
}

TEST(CompositeStroke, BackBufferAndCanvasGetTheSameBytes) {
  // A back buffer larger than the canvas and a paint rectangle that starts
  // left of and above it and reaches past it: blended only where it overlaps
  // the stroke buffer, and identical there to the commit into the canvas.
  const int w = 7, h = 5;
  dib24 canvas, back;
  canvas.Create(w, h);
  back.Create(w + 4, h + 3);
  Fill(back, {1, 2, 3});
  Stroke stroke(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = At(canvas, x, y);
      p[0] = static_cast<unsigned char>(x * 30 + y);
      p[1] = static_cast<unsigned char>(200 - x * y);
      p[2] = static_cast<unsigned char>(y * 50);
      if ((x + y) % 3) stroke.Set(x, y, (x * 7 + y) / 40.0f, {static_cast<unsigned char>(x * 40), 90, 250});
    }
  for (int y = 0; y < h; ++y) std::memcpy(At(back, 0, y), At(canvas, 0, y), 3 * w);
  const RECT paint{-3, -2, w + 4, h + 3};
  stroke.Into(back, &paint);
  stroke.Into(canvas, nullptr);
  for (int y = 0; y < h + 3; ++y)
    for (int x = 0; x < w + 4; ++x) {
      const unsigned char* b = At(back, x, y);
      if (x < w && y < h) {
        EXPECT_EQ(std::memcmp(b, At(canvas, x, y), 3), 0) << x << "," << y;
      } else {
        EXPECT_TRUE(b[0] == 1 && b[1] == 2 && b[2] == 3) << x << "," << y;
      }
    }
}

TEST(CompositeStroke, ATargetSmallerThanTheRectangleIsOnlyWrittenInside) {
  Stroke stroke(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) stroke.Set(x, y, 1.0f, {7, 7, 7});
  dib24 small;
  small.Create(3, 2);
  Fill(small, {0, 0, 0});
  stroke.Into(small, nullptr);  // checked by the sanitizers and valgrind
  const RECT paint{-5, -5, 100, 100};
  stroke.Into(small, &paint);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(small, x, y)[0], 7);

  dib24 failed;
  failed.Create(0, 0);  // as a back buffer whose DIB section could not be made
  stroke.Into(failed, &paint);
  stroke.Into(failed, nullptr);
  EXPECT_EQ(failed.bits, nullptr);

  // A dirty rectangle that claims more than the stroke buffer holds.
  dib24 big;
  big.Create(20, 20);
  stroke.dirty = RECT{-4, -4, 50, 50};
  stroke.Into(big, nullptr);
  EXPECT_EQ(At(big, 7, 5)[0], 7);
}

// Pixel memory the process may read but not write: the zero-coverage path
// must not store even the unchanged value.
class ReadOnlyPages {
 public:
  explicit ReadOnlyPages(size_t bytes) : size_(bytes) {
#ifdef _WIN32
    memory_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
#else
    void* p = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    memory_ = p == MAP_FAILED ? nullptr : static_cast<unsigned char*>(p);
#endif
  }
  ~ReadOnlyPages() {
#ifdef _WIN32
    VirtualFree(memory_, 0, MEM_RELEASE);
#else
    munmap(memory_, size_);
#endif
  }
  void Protect() {
#ifdef _WIN32
    DWORD old;
    VirtualProtect(memory_, size_, PAGE_READONLY, &old);
#else
    mprotect(memory_, size_, PROT_READ);
#endif
  }
  unsigned char* memory_;
  size_t size_;
};

TEST(CompositeStroke, ZeroCoverageWritesNoMemory) {
  const int w = 64, h = 64;
  Stroke stroke(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) stroke.Set(x, y, 0.0f, {255, 255, 255});
  dib24 target;
  target.Create(w, h);
  ReadOnlyPages pages(static_cast<size_t>(target.stride) * h);
  ASSERT_NE(pages.memory_, nullptr);
  std::memset(pages.memory_, 0x42, pages.size_);
  pages.Protect();
  unsigned char* own = target.bits;
  target.bits = pages.memory_;
  stroke.Into(target, nullptr);  // a write would fault here
  target.bits = own;
  SUCCEED();
}

}  // namespace
