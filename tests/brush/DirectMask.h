// The soft tip mask computed straight from its definition: 8 x 8 sample
// points per texel, summed rows outer. The reference for the tabulated
// Brush::MakeMask, in the tests and in the benchmark.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

inline std::vector<int16_t> DirectMask(int n) {
  std::vector<int16_t> mask(static_cast<size_t>(n) * n);
  const double r = n * 0.5;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double sum = 0;
      for (int sy = 0; sy < 8; ++sy) {
        const double dy = (sy * 0.125 + i) - r;
        for (int sx = 0; sx < 8; ++sx) {
          const double dx = (sx * 0.125 + j) - r;
          const double d2 = dx * dx + dy * dy;
          if (d2 < r * r) sum += 1 - std::pow(std::sqrt(d2) / r, 32);
        }
      }
      double value = sum * 0.015625 * 32767;
      if (value <= 0) value = 0;
      mask[static_cast<size_t>(i) * n + j] = static_cast<int16_t>(value);
    }
  }
  return mask;
}
