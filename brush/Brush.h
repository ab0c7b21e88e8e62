// The soft round brush tip as a pyramid of square masks, and the area sampler
// that tells how much of an output pixel a dab of a given diameter covers.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class Brush {
 public:
  Brush();
  virtual ~Brush();

  // Builds the nine levels of sides 384, 192, ..., 3, 1, largest first.
  void BuildLevels();
  void ClearLevels();
  // The n x n soft tip, row-major, top row first; 32767 is fully covered.
  static std::unique_ptr<int16_t[]> MakeMask(int n);
  // Coverage 0..1 of the rectangle (a, b, w, h), in output pixels from the
  // top-left corner of the dab's bounding square, by a dab of this diameter.
  double Sample(double a, double b, double w, double h, double diameter) const;

  int baseSize;
  int oversampling;
  std::vector<std::unique_ptr<int16_t[]>> levels;
};
