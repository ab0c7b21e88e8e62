// The soft round brush tip as a pyramid of square masks, and the area sampler
// that tells how much of an output pixel a dab of a given diameter covers.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class Brush {
 public:
  Brush();
  virtual ~Brush() = default;

  // Builds the nine levels of sides 384, 192, ..., 3, 1, largest first.
  void BuildLevels();
  void ClearLevels();
  // The n x n soft tip, row-major, top row first; 32767 is fully covered.
  // Null for a side below 1 or above 16384, or when memory runs out.
  static std::unique_ptr<int16_t[]> MakeMask(int n);
  // Coverage 0..1 of the rectangle (a, b, w, h), in output pixels from the
  // top-left corner of the dab's bounding square, by a dab of this diameter.
  // 0 for an empty rectangle or dab, a missing level, or values that are not
  // finite numbers.
  double Sample(double a, double b, double w, double h, double diameter) const;

  int baseSize;
  int oversampling;
  std::vector<std::unique_ptr<int16_t[]>> levels;
};
