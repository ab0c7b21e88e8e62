// The hard-disc dab of inkstone-disc: each pixel covered by the share of its
// sample points inside the disc, and deposits that keep the largest single
// contribution, so that overlapping dabs do not build up.
#include "brush/BrushBuff.h"

// The disc's coverage is counted per pixel; the tip masks play no part, so
// they are not built (that would cost tens of milliseconds at start-up).
void BrushBuff::PrepareTip() {}

void BrushBuff::LayDab(double x, double y, double diameter, double, const StrokeColor& color) {
  const double r = diameter * 0.5;
  // Fewer sample points as the disc grows and its edge pixels become a
  // smaller part of it.
  const int n = r <= 1 ? 8 : r < 8 ? 6 : 4;
  const double q = 1.0 / n;
  PixelBox box;
  if (!DabBox(x, y, r, box)) return;
  for (int row = box.top; row <= box.bottom; ++row) {
    for (int col = box.left; col <= box.right; ++col) {
      // Measured from the pixel's top-left corner.
      const double dx = col - x;
      const double dy = row - y;
      const double d2 = dx * dx + dy * dy;
      if (r > 1 && d2 > (r + 1) * (r + 1)) continue;
      double coverage;
      if (r > 2 && d2 < (r - 1) * (r - 1)) {
        coverage = 1;
      } else {
        int count = 0;
        for (int k = 0; k < n; ++k) {
          for (int l = 0; l < n; ++l) {
            const double u = l * q + dx;
            const double v = k * q + dy;
            if (u * u + v * v <= r * r) ++count;
          }
        }
        coverage = static_cast<double>(count) / (n * n);
        if (!(coverage > 0)) continue;
      }
      Deposit(col, row, color, static_cast<int>(color.alpha * coverage));
    }
  }
}

void BrushBuff::Combine(unsigned char& alpha, float& coverage, int amount) {
  const int capped = amount > 255 ? 255 : amount;
  if (capped > alpha) alpha = static_cast<unsigned char>(capped);
  double value = amount / 255.0;
  if (value > 1.0) value = 1.0;
  if (value > coverage) coverage = static_cast<float>(value);
}
