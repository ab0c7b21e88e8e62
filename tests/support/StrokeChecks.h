// What a screen shows of strokes, judged from the pen's samples alone and not
// from the program's own pen handling: where the brush went, ink must be;
// away from there, none.
#pragma once
#include <vector>

#include "ScreenCapture.h"

struct PathPoint {
  double x, y;  // client pixels
};
using PenPath = std::vector<PathPoint>;

// The distance from a point to the nearest of the paths (each a polyline; a
// single point is a dot).
double DistanceToPaths(PathPoint point, const std::vector<PenPath>& paths);
// Pixels of the capture that are not white and lie farther than `margin`
// pixels from every path.
int InkAwayFromPaths(const Capture& capture, const std::vector<PenPath>& paths, double margin);
// The ink (the sum of 255 minus each byte) within `radius` pixels of a point.
double InkAround(const Capture& capture, PathPoint point, double radius);
// Each point the plain mean of the last `count` samples, the first sample
// standing in for those before it: how a brush smoothed that way moves.
PenPath MovingAverage(const PenPath& samples, int count);
