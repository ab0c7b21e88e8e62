#include "brush/BrushBuff.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "brush/SegmentWalk.h"

BrushBuff::BrushBuff() : firstDab(false), lastX(0), lastY(0), dirty{0, 0, 0, 0} {}

// The coverage map is freed first, then the masks and the surface; the masks,
// declared after it, would otherwise go before it.
BrushBuff::~BrushBuff() { coverage.reset(); }

bool BrushBuff::Resize(int width, int height) {
  // Both stores are made aside first: a size that cannot be had (a large
  // picture in a 32-bit process) leaves the buffer, and a stroke in it, as
  // it was.
  dib32 newSurface;
  newSurface.Create(width, height);
  if (width > 0 && height > 0 && !newSurface.bits) return false;
  std::unique_ptr<float[]> newCoverage;
  const size_t count = static_cast<size_t>(newSurface.width) * static_cast<size_t>(newSurface.height);
  if (count > 0) {
    newCoverage.reset(new (std::nothrow) float[count]);
    if (!newCoverage) return false;
  }
  surface.Swap(newSurface);
  coverage.swap(newCoverage);
  Clear();
  return true;
}

void BrushBuff::Clear() {
  surface.Clear(nullptr);
  if (coverage) {
    // 0.0f is all zero bits.
    std::memset(coverage.get(), 0, sizeof(float) * static_cast<size_t>(surface.width) * surface.height);
  }
  ResetDirty();
}

void BrushBuff::ResetDirty() {
  dirty.left = surface.width;
  dirty.top = surface.height;
  dirty.right = 0;
  dirty.bottom = 0;
}

void BrushBuff::DrawSegment(double x0, double y0, double x1, double y1, double p0, double p1, double size,
                            const StrokeColor& color) {
  SegmentWalk walk(x0, y0, x1, y1, p0, p1, size, surface.width, surface.height);
  double x, y, pressure;
  while (walk.Next(x, y, pressure)) DrawDab(x, y, pressure, size, color);
}

void BrushBuff::DrawDab(double x, double y, double pressure, double size, const StrokeColor& color) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(pressure) || !std::isfinite(size)) return;
  double diameter = size * pressure;
  if (diameter < 0.125) diameter = 0.125;
  if (!std::isfinite(diameter)) return;
  double spacing = diameter * 0.05;
  if (spacing <= 0.125) spacing = 0.125;

  if (!firstDab && spacing * spacing > (lastX - x) * (lastX - x) + (lastY - y) * (lastY - y)) return;
  lastX = x;
  lastY = y;
  firstDab = false;
  LayDab(x, y, diameter, spacing, color);
}

void BrushBuff::Deposit(int col, int row, const StrokeColor& color, int amount) {
  if (col < 0 || col >= surface.width || row < 0 || row >= surface.height) return;
  if (!surface.bits || !coverage) return;

  unsigned char* pixel = surface.Row(row) + static_cast<size_t>(col) * 4;
  pixel[0] = static_cast<unsigned char>(color.blue & 0xFF);
  pixel[1] = static_cast<unsigned char>(color.green & 0xFF);
  pixel[2] = static_cast<unsigned char>(color.red & 0xFF);
  Combine(pixel[3], coverage[static_cast<size_t>(row) * surface.width + col], amount);

  dirty.left = std::min<LONG>(dirty.left, col);
  dirty.right = std::max<LONG>(dirty.right, col + 1);
  dirty.top = std::min<LONG>(dirty.top, row);
  dirty.bottom = std::max<LONG>(dirty.bottom, row + 1);
}

bool BrushBuff::DabBox(double x, double y, double half, PixelBox& box) const {
  double left = std::floor(x - half);
  double right = std::ceil(x + half) - 1;
  double top = std::floor(y - half);
  double bottom = std::ceil(y + half) - 1;
  left = std::max(left, 0.0);
  top = std::max(top, 0.0);
  right = std::min(right, surface.width - 1.0);
  bottom = std::min(bottom, surface.height - 1.0);
  if (!(left <= right) || !(top <= bottom)) return false;
  box.left = static_cast<int>(left);
  box.top = static_cast<int>(top);
  box.right = static_cast<int>(right);
  box.bottom = static_cast<int>(bottom);
  return true;
}
