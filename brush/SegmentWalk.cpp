#include "brush/SegmentWalk.h"

#include <cmath>
#include <utility>

namespace {
bool Usable(double v) { return std::isfinite(v); }
bool Usable(double x, double y) {
  return Usable(x) && Usable(y) && std::fabs(x) <= SegmentWalk::kMaxCoordinate &&
         std::fabs(y) <= SegmentWalk::kMaxCoordinate;
}
}  // namespace

SegmentWalk::SegmentWalk(double x0, double y0, double x1, double y1, double p0, double p1, double size,
                         int width, int height)
    : mode(kDone), alongY(false), startX(x0), startY(y0), startP(p0), endX(x1), endY(y1), endP(p1),
      slope(0), step(Step(size)), t(0), end(0), next(0), stop(-1), stride(1), last(0), lastVisited(-1) {
  if (!Usable(x0, y0) || !Usable(x1, y1) || !Usable(p0) || !Usable(p1) || !Usable(size)) return;

  if (x0 == x1) {
    alongY = true;
  } else if (y0 == y1) {
    alongY = false;
  } else {
    alongY = std::fabs(y1 - y0) > std::fabs(x1 - x0);
  }
  if (alongY ? y0 > y1 : x0 > x1) {
    std::swap(startX, endX);
    std::swap(startY, endY);
    std::swap(startP, endP);
  }
  if (alongY) {
    if (startX != endX) slope = (endX - startX) / (endY - startY);
    t = startY;
    end = endY;
  } else {
    if (startY != endY) slope = (endY - startY) / (endX - startX);
    t = startX;
    end = endX;
  }

  if ((end - t) / step <= kMaxCandidates) {
    mode = kRepeatedAddition;
  } else {
    StartCutWalk(size, width, height);
  }
}

double SegmentWalk::Step(double size) {
  const double step = size * 0.05;
  if (step >= 1) return 1;
  if (!(step > 0.125)) return 0.125;
  return step;
}

// A walk of more than a million candidates cannot come from a pen. Only
// candidates within reach of the buffer can lay pixels; the rest only move the
// spacing state on. Such a walk visits grid points (by multiplication, not by
// repeated addition) from just before the reach to just after it, thinned out
// if even that part is too long (dabs of absurd size), and then the segment's
// last grid point, which leaves the spacing state at the segment's end.
void SegmentWalk::StartCutWalk(double size, int width, int height) {
  const double extent = alongY ? height : width;
  double diameter = size * startP > size * endP ? size * startP : size * endP;
  if (diameter < 0.125) diameter = 0.125;
  const double reach = diameter * 0.5 + 2;
  const double lo = -reach;
  const double hi = extent + reach;

  last = static_cast<long long>(std::floor((end - t) / step));
  while (last > 0 && t + last * step > end) --last;
  next = t < lo ? static_cast<long long>(std::floor((lo - t) / step)) : 0;
  stop = hi < end ? static_cast<long long>(std::ceil((hi - t) / step)) : last;
  if (stop > last) stop = last;
  if (stop > next) {
    const long long span = stop - next;
    stride = (span + kMaxCandidates - 1) / kMaxCandidates;
  }
  mode = kGrid;
}

bool SegmentWalk::Next(double& x, double& y, double& pressure) {
  switch (mode) {
    case kDone:
      return false;
    case kRepeatedAddition: {
      At(t, x, y, pressure);
      const double following = t + step;
      // The second test only fails where step is below the spacing of doubles.
      if (following <= end && following > t) {
        t = following;
      } else {
        mode = kDone;
      }
      return true;
    }
    case kGrid: {
      long long k;
      if (next <= stop) {
        k = next;
        next += stride;
      } else if (lastVisited < last) {
        k = last;
      } else {
        mode = kDone;
        return false;
      }
      lastVisited = k;
      At(t + k * step, x, y, pressure);
      return true;
    }
  }
  return false;
}

void SegmentWalk::At(double u, double& x, double& y, double& pressure) const {
  if (alongY) {
    y = u;
    x = startX == endX ? startX : startX + (u - startY) * slope;
    pressure = startY == endY ? startP : startP + ((endP - startP) * (u - startY)) / (endY - startY);
  } else {
    x = u;
    y = startY == endY ? startY : startY + (u - startX) * slope;
    pressure = startP + ((endP - startP) * (u - startX)) / (endX - startX);
  }
}
