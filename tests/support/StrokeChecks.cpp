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

double DistanceToPath(double px, double py, const PenPath& path) {
  double nearest = HUGE_VAL;
  for (size_t i = 0; i < path.size(); ++i) {
    const double d = DistanceToSegment(px, py, path[i], path[i + 1 < path.size() ? i + 1 : i]);
    if (d < nearest) nearest = d;
  }
  return nearest;
}

bool White(const Capture& capture, int x, int y) {
  const uint8_t* p = capture.At(x, y);
  return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

// The point at a fraction of the path's length.
PathPoint PointAt(const PenPath& path, double fraction) {
  double total = 0;
  for (size_t i = 1; i < path.size(); ++i) total += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
  double left = fraction * total;
  for (size_t i = 1; i < path.size(); ++i) {
    const double step = std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
    if (left <= step && step > 0) {
      const double t = left / step;
      return {path[i - 1].x + t * (path[i].x - path[i - 1].x), path[i - 1].y + t * (path[i].y - path[i - 1].y)};
    }
    left -= step;
  }
  return path.back();
}
}  // namespace

int InkAwayFromPaths(const Capture& capture, const std::vector<PenPath>& paths, double margin) {
  int count = 0;
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      if (White(capture, x, y)) continue;
      bool onPath = false;
      // Pixel (x, y) covers [x, x + 1) x [y, y + 1): measured from its centre.
      for (const PenPath& path : paths) onPath = onPath || DistanceToPath(x + 0.5, y + 0.5, path) <= margin;
      if (!onPath) ++count;
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

int BarePointsAlong(const Capture& capture, const PenPath& path, double from, double to, double radius) {
  int bare = 0;
  for (int i = 0; i <= 100; ++i) {
    if (InkAround(capture, PointAt(path, from + (to - from) * i / 100.0), radius) == 0) ++bare;
  }
  return bare;
}
