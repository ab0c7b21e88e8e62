// A plain transcription of the stroke arithmetic, written for clarity and
// nothing else: no clipping, no guards, walks by repeated addition to the end.
// Tests compare the stroke buffer against it, byte for byte, on sane input.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "brush/Brush.h"
#include "brush/StrokeColor.h"

class LiteralStroke {
 public:
  enum Dab { kSoft, kDisc };

  LiteralStroke(Dab dab, int width, int height, const Brush* brush)
      : dab(dab), width(width), height(height), brush(brush), bgra(size_t(width) * height * 4, 0),
        coverage(size_t(width) * height, 0.0f), dirtyLeft(width), dirtyTop(height), dirtyRight(0), dirtyBottom(0) {}

  void PenDown() {
    firstDab = true;
    lastX = 0;
    lastY = 0;
  }

  void DrawSegment(double x0, double y0, double x1, double y1, double p0, double p1, double size,
                   const StrokeColor& c) {
    double step = size * 0.05;
    if (step >= 1) step = 1;
    if (step <= 0.125) step = 0.125;
    bool alongY;
    if (x0 == x1) alongY = true;
    else if (y0 == y1) alongY = false;
    else alongY = std::fabs(y1 - y0) > std::fabs(x1 - x0);
    if ((alongY && y0 > y1) || (!alongY && x0 > x1)) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      std::swap(p0, p1);
    }
    if (!alongY) {
      const double s = (y1 - y0) / (x1 - x0);
      double t = x0;
      do {
        const double y = (y0 == y1) ? y0 : y0 + (t - x0) * s;
        const double p = p0 + ((p1 - p0) * (t - x0)) / (x1 - x0);
        DrawDab(t, y, p, size, c);
        t = t + step;
      } while (t <= x1);
    } else {
      const double s = (x1 - x0) / (y1 - y0);
      double t = y0;
      do {
        const double x = (x0 == x1) ? x0 : x0 + (t - y0) * s;
        const double p = (y0 == y1) ? p0 : p0 + ((p1 - p0) * (t - y0)) / (y1 - y0);
        DrawDab(x, t, p, size, c);
        t = t + step;
      } while (t <= y1);
    }
  }

  void DrawDab(double x, double y, double pressure, double size, const StrokeColor& c) {
    double diameter = size * pressure;
    if (diameter < 0.125) diameter = 0.125;
    double spacing = diameter * 0.05;
    if (spacing <= 0.125) spacing = 0.125;
    if (!firstDab && spacing * spacing > (lastX - x) * (lastX - x) + (lastY - y) * (lastY - y)) return;
    lastX = x;
    lastY = y;
    firstDab = false;
    ++dabs;
    const double half = diameter * 0.5;
    const int c0 = int(std::floor(x - half)), c1 = int(std::ceil(x + half)) - 1;
    const int r0 = int(std::floor(y - half)), r1 = int(std::ceil(y + half)) - 1;
    for (int row = r0; row <= r1; ++row) {
      for (int col = c0; col <= c1; ++col) {
        if (dab == kSoft) {
          const double v = Sample(col - x + half, row - y + half, 1, 1, diameter);
          if (v > 0) Deposit(col, row, c, int((c.alpha * v) * (spacing / half)));
        } else {
          const double r = half;
          const int n = r <= 1 ? 8 : (r < 8 ? 6 : 4);
          const double dx = col - x, dy = row - y, d2 = dx * dx + dy * dy;
          if (r > 1 && d2 > (r + 1) * (r + 1)) continue;
          double w;
          if (r > 2 && d2 < (r - 1) * (r - 1)) {
            w = 1;
          } else {
            const double q = 1.0 / n;
            int count = 0;
            for (int k = 0; k < n; ++k)
              for (int l = 0; l < n; ++l)
                if ((l * q + dx) * (l * q + dx) + (k * q + dy) * (k * q + dy) <= r * r) ++count;
            w = double(count) / (n * n);
            if (!(w > 0)) continue;
          }
          Deposit(col, row, c, int(c.alpha * w));
        }
      }
    }
  }

  double Sample(double a, double b, double w, double h, double diameter) const {
    if (w <= 0 || h <= 0 || diameter <= 0) return 0;
    int g = brush->baseSize * brush->oversampling;
    const double f = brush->oversampling * diameter;
    int k = 0;
    while (g > 1 && g >= 2 * f) {
      if (g / 2 < 5) break;
      g = g / 2;
      ++k;
    }
    const double s = brush->oversampling * (g / f);
    const double X0 = a * s, Y0 = b * s, X1 = (a + w) * s, Y1 = (b + h) * s;
    const int fx = int(std::floor(X0)), cx = int(std::ceil(X1));
    const int fy = int(std::floor(Y0)), cy = int(std::ceil(Y1));
    double num = 0, den = 0;
    for (int q = fy; q <= cy; ++q) {
      const double wy = q == fy ? 1 - (Y0 - fy) : q == cy ? 1 - (cy - Y1) : 1;
      for (int c = fx; c <= cx; ++c) {
        const double wx = c == fx ? 1 - (X0 - fx) : c == cx ? 1 - (cx - X1) : 1;
        const double weight = wx * wy;
        const double value = (c >= 0 && c < g && q >= 0 && q < g) ? brush->levels[k][q * g + c] / 32767.0 : 0;
        num += weight * value;
        den += weight;
      }
    }
    return num / den;
  }

  void Deposit(int col, int row, const StrokeColor& c, int amount) {
    if (col < 0 || col >= width || row < 0 || row >= height) return;
    uint8_t* px = &bgra[(size_t(height - 1 - row) * width + col) * 4];
    px[0] = uint8_t(c.blue);
    px[1] = uint8_t(c.green);
    px[2] = uint8_t(c.red);
    float& cov = coverage[size_t(row) * width + col];
    if (dab == kSoft) {
      px[3] = uint8_t(std::min(px[3] + amount, 255));
      cov = float(std::min(cov + amount / 255.0, 1.0));
    } else {
      px[3] = uint8_t(std::max(int(px[3]), amount));
      cov = float(std::max(double(cov), amount / 255.0));
    }
    dirtyLeft = std::min(dirtyLeft, col);
    dirtyRight = std::max(dirtyRight, col + 1);
    dirtyTop = std::min(dirtyTop, row);
    dirtyBottom = std::max(dirtyBottom, row + 1);
  }

  Dab dab;
  int width, height;
  const Brush* brush;
  std::vector<uint8_t> bgra;  // bottom-up rows, like the surface
  std::vector<float> coverage;
  int dirtyLeft, dirtyTop, dirtyRight, dirtyBottom;
  bool firstDab = false;
  double lastX = 0, lastY = 0;
  long dabs = 0;
};
