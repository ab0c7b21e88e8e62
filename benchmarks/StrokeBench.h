// A realistic stroke for the stroke buffer benchmarks: a few hundred pen
// samples sweeping a 600 x 600 canvas, size 3, pressure rising and falling.
#pragma once
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "brush/BrushBuff.h"
#include "brush/SegmentWalk.h"

struct PenPoint {
  double x, y, pressure;
};

inline std::vector<PenPoint> SweepingStroke() {
  std::vector<PenPoint> points;
  for (int k = 0; k < 400; ++k) {
    const double t = k / 400.0;
    points.push_back({300 + 270 * std::sin(6.283185307179586 * t * 1.5),
                      300 + 270 * std::sin(6.283185307179586 * t * 2 + 0.7),
                      0.55 + 0.45 * std::sin(6.283185307179586 * t * 5)});
  }
  return points;
}

inline void DrawStroke(BrushBuff& buffer, const std::vector<PenPoint>& points, const StrokeColor& color) {
  buffer.firstDab = true;
  buffer.lastX = 0;
  buffer.lastY = 0;
  for (size_t k = 1; k < points.size(); ++k) {
    const PenPoint& a = points[k - 1];
    const PenPoint& b = points[k];
    buffer.DrawSegment(a.x, a.y, b.x, b.y, a.pressure, b.pressure, 3.0, color);
  }
}

// Dabs that pass the spacing test along the stroke: a candidate is drawn when
// it is the first or when the last dab moved.
inline long CountDabs(BrushBuff& buffer, const std::vector<PenPoint>& points, const StrokeColor& color) {
  long dabs = 0;
  buffer.firstDab = true;
  for (size_t k = 1; k < points.size(); ++k) {
    const PenPoint& a = points[k - 1];
    const PenPoint& b = points[k];
    SegmentWalk walk(a.x, a.y, b.x, b.y, a.pressure, b.pressure, 3.0, buffer.surface.width, buffer.surface.height);
    double x, y, p;
    while (walk.Next(x, y, p)) {
      const bool first = buffer.firstDab;
      const double lastX = buffer.lastX, lastY = buffer.lastY;
      buffer.DrawDab(x, y, p, 3.0, color);
      dabs += first || buffer.lastX != lastX || buffer.lastY != lastY;
    }
  }
  return dabs;
}

inline void StrokeBenchmark(benchmark::State& state) {
  BrushBuff buffer;
  buffer.brush.BuildLevels();
  buffer.Resize(600, 600);
  const StrokeColor color = {30, 60, 90, 200};
  const std::vector<PenPoint> points = SweepingStroke();
  const long dabs = CountDabs(buffer, points, color);
  for (auto _ : state) {
    DrawStroke(buffer, points, color);
    benchmark::DoNotOptimize(buffer.surface.bits);
  }
  state.counters["dabs"] = double(dabs);
  state.counters["dabs/s"] = benchmark::Counter(double(dabs) * state.iterations(), benchmark::Counter::kIsRate);
}
