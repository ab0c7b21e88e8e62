#include "brush/Brush.h"

#include <cmath>
#include <new>

namespace {

// Sides beyond this are refused: 4n sample offsets per axis keep every
// intermediate exact and every index within an int.
const int kMaxMaskSide = 16384;

// Windows of more texels than this are summed over the mask only, with the
// weight of the whole window taken in closed form (see Sample).
const double kMaxWindowTexels = 65536;

// The tip profile at the sample point (a / 8, b / 8) texels from the centre:
// 1 - (d / r)^32 inside the circle of radius r, nothing outside. Offsets are
// whole eighths, so d² is exact and equal for every sign of a and b.
inline double TipValue(int a, int b, double r) {
  const double dx = a * 0.125;
  const double dy = b * 0.125;
  const double d2 = dx * dx + dy * dy;
  if (!(d2 < r * r)) return 0.0;
  return 1 - std::pow(std::sqrt(d2) / r, 32);
}

inline int Abs(int v) { return v < 0 ? -v : v; }

inline int16_t TexelValue(double sum) {
  double value = sum * 0.015625 * 32767;
  if (value <= 0) value = 0;
  return static_cast<int16_t>(static_cast<int>(value));
}

// Tip values along sample rows, each row indexed by the horizontal offset |ix|
// (0 .. 4n eighths) for one vertical offset |iy|. The profile only depends on
// |ix| and |iy|, so a row serves both halves of the mask. Texel rows are
// summed in mirrored pairs from the edges inward; the rows they need then lie
// within a sliding window of 16 offsets, and each row is computed once.
class TipRows {
 public:
  bool Init(int n) {
    side = n;
    width = 4 * n + 1;
    radius = n * 0.5;
    values.reset(new (std::nothrow) double[static_cast<size_t>(kSlots) * width]);
    for (int& tag : tags) tag = -1;
    return values != nullptr;
  }

  const double* Row(int b) {
    double* row = values.get() + static_cast<size_t>(b % kSlots) * width;
    if (tags[b % kSlots] != b) {
      tags[b % kSlots] = b;
      for (int a = 0; a < width; ++a) row[a] = TipValue(a, b, radius);
    }
    return row;
  }

  // Sums texel row i into out[0 .. n-1]: per texel, 8 sample rows of 8 samples,
  // rows outer, in exactly the order of the plain definition. Four texels are
  // summed side by side so that their addition chains overlap.
  void SumTexelRow(int i, int16_t* out) {
    const int n = side;
    const int origin = 4 * n;  // offsets are measured from the centre
    const double* rows[8];
    for (int sy = 0; sy < 8; ++sy) rows[sy] = Row(Abs(8 * i + sy - origin));
    int j = 0;
    for (; j + 4 <= n; j += 4) {
      double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
      for (int sy = 0; sy < 8; ++sy) {
        const double* row = rows[sy];
        const int base = 8 * j - origin;
        for (int sx = 0; sx < 8; ++sx) {
          const int ix = base + sx;
          s0 += row[Abs(ix)];
          s1 += row[Abs(ix + 8)];
          s2 += row[Abs(ix + 16)];
          s3 += row[Abs(ix + 24)];
        }
      }
      out[j] = TexelValue(s0);
      out[j + 1] = TexelValue(s1);
      out[j + 2] = TexelValue(s2);
      out[j + 3] = TexelValue(s3);
    }
    for (; j < n; ++j) {
      double sum = 0;
      for (int sy = 0; sy < 8; ++sy) {
        for (int sx = 0; sx < 8; ++sx) sum += rows[sy][Abs(8 * j + sx - origin)];
      }
      out[j] = TexelValue(sum);
    }
  }

 private:
  static const int kSlots = 16;
  int side = 0;
  int width = 0;
  double radius = 0;
  std::unique_ptr<double[]> values;
  int tags[kSlots];
};

// Weight of texel c in a window from floor(lo) to ceil(hi): the first and the
// last texel count by the part the footprint covers, the ones between fully.
inline double EdgeWeight(double c, double first, double last, double lo, double hi) {
  if (c == first) return 1 - (lo - first);
  if (c == last) return 1 - (last - hi);
  return 1;
}

}  // namespace

Brush::Brush() : baseSize(0), oversampling(0) {}

Brush::~Brush() { ClearLevels(); }

void Brush::BuildLevels() {
  ClearLevels();
  oversampling = 3;
  baseSize = 128;
  for (int n = baseSize * oversampling; n > 0; n /= 2) {
    std::unique_ptr<int16_t[]> mask = MakeMask(n);
    if (!mask) break;  // out of memory: Sample treats missing levels as empty
    levels.push_back(std::move(mask));
  }
}

void Brush::ClearLevels() { levels.clear(); }

std::unique_ptr<int16_t[]> Brush::MakeMask(int n) {
  if (n <= 0 || n > kMaxMaskSide) return nullptr;
  std::unique_ptr<int16_t[]> mask(new (std::nothrow) int16_t[static_cast<size_t>(n) * n]);
  TipRows rows;
  if (!mask || !rows.Init(n)) return nullptr;
  for (int top = 0, bottom = n - 1; top <= bottom; ++top, --bottom) {
    rows.SumTexelRow(top, mask.get() + static_cast<size_t>(top) * n);
    if (bottom != top) rows.SumTexelRow(bottom, mask.get() + static_cast<size_t>(bottom) * n);
  }
  return mask;
}

double Brush::Sample(double a, double b, double w, double h, double diameter) const {
  if (!(w > 0) || !(h > 0) || !(diameter > 0)) return 0;

  // The coarsest level that still gives `oversampling` texels per pixel.
  int g = baseSize * oversampling;
  const double f = oversampling * diameter;
  size_t k = 0;
  while (g > 1 && g >= 2 * f) {
    const int half = g / 2;
    if (half < 5) break;
    g = half;
    ++k;
  }
  if (k >= levels.size() || !levels[k]) return 0;
  const int16_t* mask = levels[k].get();

  const double t = g / f;
  const double s = oversampling * t;
  const double x0 = a * s;
  const double y0 = b * s;
  const double x1 = (a + w) * s;
  const double y1 = (b + h) * s;
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return 0;

  const double firstCol = std::floor(x0);
  const double lastCol = std::ceil(x1);
  const double firstRow = std::floor(y0);
  const double lastRow = std::ceil(y1);
  // A window wholly off the mask sums nothing but positive weights.
  if (lastCol < 0 || firstCol >= g || lastRow < 0 || firstRow >= g) return 0;

  double weighted = 0;
  const double cols = lastCol - firstCol + 1;
  const double rows = lastRow - firstRow + 1;
  if (cols * rows <= kMaxWindowTexels) {
    double total = 0;
    for (int q = static_cast<int>(firstRow); q <= static_cast<int>(lastRow); ++q) {
      const double rowWeight = EdgeWeight(q, firstRow, lastRow, y0, y1);
      const bool rowInside = q >= 0 && q < g;
      for (int c = static_cast<int>(firstCol); c <= static_cast<int>(lastCol); ++c) {
        const double weight = EdgeWeight(c, firstCol, lastCol, x0, x1) * rowWeight;
        if (rowInside && c >= 0 && c < g) weighted += weight * (mask[q * g + c] / 32767.0);
        total += weight;
      }
    }
    return weighted / total;
  }

  // A huge window (a footprint of hundreds of texels per axis, which no dab
  // asks for): texels off the mask add nothing, so only the mask's part is
  // visited; the weights of a window of two or more texels per axis sum to
  // (x1 - x0 + 1) per column run and (y1 - y0 + 1) per row run.
  const int qFrom = firstRow < 0 ? 0 : static_cast<int>(firstRow);
  const int qTo = lastRow >= g ? g - 1 : static_cast<int>(lastRow);
  const int cFrom = firstCol < 0 ? 0 : static_cast<int>(firstCol);
  const int cTo = lastCol >= g ? g - 1 : static_cast<int>(lastCol);
  for (int q = qFrom; q <= qTo; ++q) {
    const double rowWeight = EdgeWeight(q, firstRow, lastRow, y0, y1);
    for (int c = cFrom; c <= cTo; ++c) {
      weighted += EdgeWeight(c, firstCol, lastCol, x0, x1) * rowWeight * (mask[q * g + c] / 32767.0);
    }
  }
  const double total = (cols > 1 ? x1 - x0 + 1 : 1 - (x0 - firstCol)) * (rows > 1 ? y1 - y0 + 1 : 1 - (y0 - firstRow));
  const double result = weighted / total;
  return result < 1 ? result : 1;
}
