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
// whole eighths, so d^2 is exact and equal for every sign of a and b.
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

// Texel columns (and, alike, rows) are grouped in bands of up to kTile texels,
// one band on the left and its mirror image on the right, and one band across
// the centre. A band's samples lie at horizontal offsets |ix| = |8j + sx - 4n|
// eighths from the centre within one interval, the same for both halves.
const int kTile = 16;

struct Band {
  int start[2];  // first texel of each run
  int runs;      // 2 for a mirrored pair, 1 for the centre band
  int count;     // texels per run
  int lo, hi;    // the offsets its samples take
};

// The mask is built band pair by band pair. The profile depends on |ix| and
// |iy| only, and symmetrically, so the tip values of one block of offsets
// serve up to eight tiles: four mirror images, each also transposed. Each
// tip value is therefore computed about once for every eight samples, and
// the block needs no more than (8 kTile + 1)^2 values.
class MaskBuilder {
 public:
  bool Init(int n) {
    side = n;
    radius = n * 0.5;
    const int half = n / 2;
    const int mirrored = half / kTile;
    const int edge = mirrored * kTile;
    bands.reset(new (std::nothrow) Band[mirrored + 1]);
    block.reset(new (std::nothrow) double[(8 * kTile + 1) * (8 * kTile + 1)]);
    if (!bands || !block) return false;
    bandCount = 0;
    for (int k = 0; k < mirrored; ++k) {
      bands[bandCount++] = {{k * kTile, n - (k + 1) * kTile}, 2, kTile, 4 * n - 8 * (k + 1) * kTile, 4 * n - 8 * k * kTile};
    }
    if (edge < n - edge) bands[bandCount++] = {{edge, 0}, 1, n - 2 * edge, 0, 4 * n - 8 * edge};
    return true;
  }

  void Fill(int16_t* mask) {
    for (int r = 0; r < bandCount; ++r) {
      for (int c = r; c < bandCount; ++c) {
        const Band& rows = bands[r];
        const Band& cols = bands[c];
        // block[(b - rows.lo) * width + (a - cols.lo)] for |iy| = b, |ix| = a
        const int width = cols.hi - cols.lo + 1;
        for (int b = rows.lo; b <= rows.hi; ++b) {
          double* line = block.get() + (b - rows.lo) * width;
          for (int a = cols.lo; a <= cols.hi; ++a) line[a - cols.lo] = TipValue(a, b, radius);
        }
        for (int i = 0; i < rows.runs; ++i) {
          for (int j = 0; j < cols.runs; ++j) {
            SumTile(rows.start[i], rows.count, cols.start[j], cols.count, 1, cols.lo, width, rows.lo, mask);
          }
        }
        if (c == r) continue;
        // The transposed tiles: rows of band c, columns of band r.
        for (int i = 0; i < cols.runs; ++i) {
          for (int j = 0; j < rows.runs; ++j) {
            SumTile(cols.start[i], cols.count, rows.start[j], rows.count, width, rows.lo, 1, cols.lo, mask);
          }
        }
      }
    }
  }

 private:
  // Sums the texels of rows [top, top + height) and columns [left, left +
  // width): per texel 8 sample rows of 8 samples, rows outer, exactly in the
  // order of the plain definition. The tip value of offsets (a, b) is
  // block[(a - aFrom) * aStride + (b - bFrom) * bStride]. Four texels are
  // summed side by side so that their addition chains overlap.
  void SumTile(int top, int height, int left, int width, int aStride, int aFrom, int bStride, int bFrom,
               int16_t* mask) const {
    const int n = side;
    const int origin = 4 * n;
    int columnOffsets[2 * kTile][8];
    for (int j = 0; j < width; ++j) {
      for (int sx = 0; sx < 8; ++sx) columnOffsets[j][sx] = (Abs(8 * (left + j) + sx - origin) - aFrom) * aStride;
    }
    for (int i = top; i < top + height; ++i) {
      int rowOffsets[8];
      for (int sy = 0; sy < 8; ++sy) rowOffsets[sy] = (Abs(8 * i + sy - origin) - bFrom) * bStride;
      int16_t* out = mask + static_cast<size_t>(i) * n + left;
      int j = 0;
      for (; j + 4 <= width; j += 4) {
        const int* c0 = columnOffsets[j];
        const int* c1 = columnOffsets[j + 1];
        const int* c2 = columnOffsets[j + 2];
        const int* c3 = columnOffsets[j + 3];
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int sy = 0; sy < 8; ++sy) {
          const double* values = block.get() + rowOffsets[sy];
          for (int sx = 0; sx < 8; ++sx) {
            s0 += values[c0[sx]];
            s1 += values[c1[sx]];
            s2 += values[c2[sx]];
            s3 += values[c3[sx]];
          }
        }
        out[j] = TexelValue(s0);
        out[j + 1] = TexelValue(s1);
        out[j + 2] = TexelValue(s2);
        out[j + 3] = TexelValue(s3);
      }
      for (; j < width; ++j) {
        double sum = 0;
        for (int sy = 0; sy < 8; ++sy) {
          for (int sx = 0; sx < 8; ++sx) sum += block[rowOffsets[sy] + columnOffsets[j][sx]];
        }
        out[j] = TexelValue(sum);
      }
    }
  }

  int side = 0;
  double radius = 0;
  std::unique_ptr<Band[]> bands;
  int bandCount = 0;
  std::unique_ptr<double[]> block;
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

// Per texel, 8 x 8 samples of the tip profile added rows outer, then scaled
// to 0..32767: the same values in the same order as the plain definition, so
// the same bits, with each tip value computed once for all texels sharing it.
std::unique_ptr<int16_t[]> Brush::MakeMask(int n) {
  if (n <= 0 || n > kMaxMaskSide) return nullptr;
  std::unique_ptr<int16_t[]> mask(new (std::nothrow) int16_t[static_cast<size_t>(n) * n]);
  MaskBuilder builder;
  if (!mask || !builder.Init(n)) return nullptr;
  builder.Fill(mask.get());
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
