#include "StrokeChecks.h"

#include <cmath>

namespace {
double DistanceToSegment(double px, double py, const PathPoint& a, const PathPoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

bool White(const Capture& capture, int x, int y) {
  const uint8_t* p = capture.At(x, y);
  return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

}  // namespace

double DistanceToPaths(PathPoint point, const std::vector<PenPath>& paths) {
  double nearest = HUGE_VAL;
  for (const PenPath& path : paths) {
    for (size_t i = 0; i < path.size(); ++i) {
      const double d = DistanceToSegment(point.x, point.y, path[i], path[i + 1 < path.size() ? i + 1 : i]);
      if (d < nearest) nearest = d;
    }
  }
  return nearest;
}

int InkAwayFromPaths(const Capture& capture, const std::vector<PenPath>& paths, double margin) {
  int count = 0;
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      // Pixel (x, y) covers [x, x + 1) x [y, y + 1): measured from its centre.
      if (!White(capture, x, y) && DistanceToPaths({x + 0.5, y + 0.5}, paths) > margin) ++count;
    }
  }
  return count;
}

double InkAround(const Capture& capture, PathPoint point, double radius) {
  double ink = 0;
  for (int y = static_cast<int>(point.y - radius); y <= static_cast<int>(point.y + radius); ++y) {
    for (int x = static_cast<int>(point.x - radius); x <= static_cast<int>(point.x + radius); ++x) {
      if (x < 0 || y < 0 || x >= capture.width || y >= capture.height) continue;
      if (std::hypot(x + 0.5 - point.x, y + 0.5 - point.y) > radius) continue;
      const uint8_t* p = capture.At(x, y);
      ink += 3 * 255 - p[0] - p[1] - p[2];
    }
  }
  return ink;
}

PenPath MovingAverage(const PenPath& samples, int count) {
  PenPath means;
  for (size_t i = 0; i < samples.size(); ++i) {
    PathPoint sum = {0, 0};
    for (int k = 0; k < count; ++k) {
      const PathPoint& s = samples[i >= static_cast<size_t>(k) ? i - k : 0];
      sum.x += s.x;
      sum.y += s.y;
    }
    means.push_back({sum.x / count, sum.y / count});
  }
  return means;
}
