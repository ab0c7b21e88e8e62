// What a screen shows of strokes, judged from the pen's path alone and not
// from the program's own pen handling: where the pen went with pressure, ink
// must be; away from there, none.
#pragma once
#include <vector>

#include "ScreenCapture.h"

struct PathPoint {
  double x, y;  // client pixels
};
using PenPath = std::vector<PathPoint>;

// Pixels of the capture that are not white and lie farther than `margin`
// pixels from every path (each a polyline; a single point is a dot).
int InkAwayFromPaths(const Capture& capture, const std::vector<PenPath>& paths, double margin);
// Points of the path, from `from` to `to` of its length (0..1), that have no
// ink within `radius` pixels.
int BarePointsAlong(const Capture& capture, const PenPath& path, double from, double to, double radius);
// The ink (the sum of 255 minus each byte) within `radius` pixels of a point.
double InkAround(const Capture& capture, PathPoint point, double radius);
