#include "CompositeStroke.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
const int kGroup = 8;

// True when all eight coverage values are +0 or -0: their bits, sign aside,
// are all clear. Compiles to a few vector instructions; NaN is not zero here
// and is left to the per-pixel test.
inline bool AllZero(const float* coverage) {
  uint32_t any = 0;
  for (int i = 0; i < kGroup; ++i) {
    uint32_t bits;
    std::memcpy(&bits, coverage + i, sizeof bits);
    any |= bits;
  }
  return (any & 0x7FFFFFFFu) == 0;
}

// One channel: truncation toward zero, then the clamp, decided in double so
// that no out-of-range value (a coverage outside 0..1) reaches a conversion.
inline unsigned char Blend(double keep, double c, unsigned char d, unsigned char s) {
  const double v = keep * d + c * s;
  if (v >= 255.0) return 255;
  if (v > 0.0) return static_cast<unsigned char>(static_cast<int>(v));
  return 0;
}
}  // namespace

void CompositeStroke(dib24& target, const dib32& surface, const float* coverage, const DirtyRect& dirty,
                     const RECT* rect) {
  if (!target.bits || !surface.bits || !coverage) return;
  const RECT& area = rect ? *rect : dirty;
  // The stroke buffer and the target bound every access. The dirty rectangle
  // already lies inside the stroke buffer; the target may be smaller (a back
  // buffer that could not be made, a smaller loaded image).
  const int left = std::max<int>(area.left, 0);
  const int top = std::max<int>(area.top, 0);
  const int right = std::min({static_cast<int>(area.right), surface.width, target.width});
  const int bottom = std::min({static_cast<int>(area.bottom), surface.height, target.height});
  if (left >= right || top >= bottom) return;

  for (int y = top; y < bottom; ++y) {
    const float* cov = coverage + static_cast<std::ptrdiff_t>(y) * surface.width;
    const unsigned char* src = surface.Row(y);
    unsigned char* dst = target.Row(y);
    for (int x = left; x < right;) {
      const int end = std::min(x + kGroup, right);
      if (end - x == kGroup && AllZero(cov + x)) {  // most of a paint rectangle
        x = end;
        continue;
      }
      for (; x < end; ++x) {
        const float cf = cov[x];
        if (!(cf > 0.0f || cf < 0.0f)) continue;  // 0 or NaN: not even a write
        const double c = cf;
        const double keep = 1.0 - c;
        const unsigned char* s = src + 4 * x;
        unsigned char* d = dst + 3 * x;
        d[0] = Blend(keep, c, d[0], s[0]);
        d[1] = Blend(keep, c, d[1], s[1]);
        d[2] = Blend(keep, c, d[2], s[2]);
      }
    }
  }
}
