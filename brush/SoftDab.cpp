// The soft dab of inkstone: the brush tip mask sampled over each pixel, and
// deposits that add up, so that overlapping dabs build opacity.
#include <climits>

#include "brush/BrushBuff.h"

namespace {
// Truncation toward zero, saturated at the ends of int: colours whose alpha
// lies outside 0..255 must not make the conversion undefined.
int TruncateToInt(double v) {
  if (!(v > INT_MIN)) return v < 0 ? INT_MIN : 0;
  if (!(v < INT_MAX)) return INT_MAX;
  return static_cast<int>(v);
}
}  // namespace

void BrushBuff::PrepareTip() { brush.BuildLevels(); }

void BrushBuff::LayDab(double x, double y, double diameter, double spacing, const StrokeColor& color) {
  const double half = diameter * 0.5;
  // Dabs closer than their diameter overlap many times; the factor keeps the
  // opacity of a stroke independent of the spacing.
  const double factor = spacing / half;
  PixelBox box;
  if (!DabBox(x, y, half, box)) return;
  for (int row = box.top; row <= box.bottom; ++row) {
    for (int col = box.left; col <= box.right; ++col) {
      const double v = brush.Sample(col - x + half, row - y + half, 1, 1, diameter);
      if (v > 0) Deposit(col, row, color, TruncateToInt((color.alpha * v) * factor));
    }
  }
}

void BrushBuff::Combine(unsigned char& alpha, float& coverage, int amount) {
  const long long sum = static_cast<long long>(alpha) + amount;
  alpha = static_cast<unsigned char>(sum > 255 ? 255 : sum < 0 ? 0 : sum);
  double value = coverage + amount / 255.0;
  if (value > 1.0) value = 1.0;
  if (value < 0.0) value = 0.0;  // only a negative alpha gets here
  coverage = static_cast<float>(value);
}
