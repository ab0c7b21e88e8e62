// The dab candidates along one pen segment. The walk runs along the segment's
// longer axis (x on a tie, y for a single point) toward increasing coordinate,
// one candidate every `step` pixels by repeated addition from the start, with
// the other coordinate and the pressure interpolated linearly. The start is
// always a candidate; the end only when the walk lands on it exactly.
#pragma once

class SegmentWalk {
 public:
  // width and height are those of the buffer the dabs go to: a walk too long
  // for any pen is cut to the part whose dabs could reach the buffer.
  SegmentWalk(double x0, double y0, double x1, double y1, double p0, double p1, double size, int width,
              int height);
  virtual ~SegmentWalk() = default;

  // The next candidate; false when the walk is over.
  bool Next(double& x, double& y, double& pressure);

  // Distance between candidates along the walked axis for a dab size.
  static double Step(double size);

  // Walks of more candidates than this are cut (see the constructor).
  static constexpr long long kMaxCandidates = 1LL << 20;
  // Segments with a coordinate beyond this distance from the origin yield no
  // candidates at all.
  static constexpr double kMaxCoordinate = 1099511627776.0;  // 2^40

 private:
  void At(double t, double& x, double& y, double& pressure) const;
  void StartCutWalk(double size, int width, int height);

  enum Mode { kDone, kRepeatedAddition, kGrid };
  Mode mode;
  bool alongY;
  // The endpoints, swapped so that the walk runs from start to end.
  double startX, startY, startP, endX, endY, endP;
  double slope;  // of the other coordinate over the walked one
  double step;
  double t;    // walked coordinate of the next candidate (of the start, when cut)
  double end;  // walked coordinate of the end
  // A cut walk visits the grid points t + k * step for k from `next` to `stop`
  // by `stride`, then the segment's last grid point, `last`.
  long long next, stop, stride, last, lastVisited;
};
