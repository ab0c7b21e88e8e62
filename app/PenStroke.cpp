#include "app/PenStroke.h"

#include <cmath>
#include <cstdio>

#include "app/CompositeStroke.h"

namespace {
const double kBrushSize = 3.0;
// Position is smoothed over the last ten samples; pressure is not smoothed.
const int kPositionHistory = 10;
const int kPressureHistory = 1;

float Latch(int channel) { return static_cast<float>(channel * (1.0 / 255.0)); }
int Unlatch(float channel) { return static_cast<int>(channel * 255.0); }

bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

// False, when the two do not overlap.
bool Intersect(RECT& result, const RECT& a, const RECT& b) {
  result.left = a.left > b.left ? a.left : b.left;
  result.top = a.top > b.top ? a.top : b.top;
  result.right = a.right < b.right ? a.right : b.right;
  result.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
  return !IsEmpty(result);
}

// A rectangle that holds every pixel a segment's dabs can touch: the dabs
// lie between the end points, no wider than the larger end's diameter; a
// pixel of margin covers rounding. Far-off (or not finite) segments give a
// rectangle off the canvas.
RECT SegmentBounds(double x0, double y0, double x1, double y1, double p0, double p1, double size) {
  double half = size * (p0 > p1 ? p0 : p1) * 0.5;
  if (!(half >= 0.0625)) half = 0.0625;  // the smallest dab; also NaN
  const double limit = 1e9;
  auto clampToInt = [limit](double v) { return static_cast<LONG>(v >= -limit ? (v <= limit ? v : limit) : -limit); };
  RECT r;
  r.left = clampToInt(std::floor((x0 < x1 ? x0 : x1) - half) - 1);
  r.top = clampToInt(std::floor((y0 < y1 ? y0 : y1) - half) - 1);
  r.right = clampToInt(std::ceil((x0 > x1 ? x0 : x1) + half) + 1);
  r.bottom = clampToInt(std::ceil((y0 > y1 ? y0 : y1) + half) + 1);
  return r;
}
}  // namespace

PenStroke::PenStroke()
    : strokeActive(false), prevX(0.0), prevY(0.0), prevPressure(0.0), brushSize(kBrushSize), latchedColor{0, 0, 0, 0} {}

void PenStroke::Reset() {
  strokeActive = false;
  prevX = 0.0;
  prevY = 0.0;
  brushSize = kBrushSize;
  penFilter.Configure(kPositionHistory, kPressureHistory);
}

bool PenStroke::Accepted(unsigned cursor, unsigned button, unsigned change) {
  const unsigned kHeldTipOnly = 0x2;
  // Cursors come in threes per tablet (puck, pen, eraser): the pen of a
  // second tablet, or of a driver that numbers its devices so, is 4, 7, ...
  const bool pen = cursor % 3 == 1;
  return pen && (button == 0 || (change == 0 && button == kHeldTipOnly));
}

bool PenStroke::EndsAtLift(unsigned cursor, unsigned button, unsigned change) const {
  return strokeActive || Accepted(cursor, button, change);
}

void PenStroke::Start(const PenSample& s, const StrokeColor& c) {
  strokeActive = true;
  penFilter.Fill(s.x, s.y, s.pressure);
  penFilter.Average();
  prevX = penFilter.avgX;
  prevY = penFilter.avgY;
  prevPressure = penFilter.avgPressure;
  strokeBuffer.lastX = 0.0;
  strokeBuffer.lastY = 0.0;
  strokeBuffer.firstDab = true;
  latchedColor = {Latch(c.blue), Latch(c.green), Latch(c.red), Latch(c.alpha)};
}

bool PenStroke::Segment(const PenSample& s, RECT& changed) {
  if (!strokeActive) return false;
  penFilter.Push(s.x, s.y, s.pressure);
  penFilter.Average();
  const StrokeColor color = {Unlatch(latchedColor.blue), Unlatch(latchedColor.green), Unlatch(latchedColor.red),
                             Unlatch(latchedColor.alpha)};
  strokeBuffer.DrawSegment(prevX, prevY, penFilter.avgX, penFilter.avgY, prevPressure, penFilter.avgPressure,
                           brushSize, color);
  // Only what this segment can have changed is painted again: the rest of the
  // stroke's dirty rectangle already shows what a repaint would show, and
  // repainting all of it makes every packet of a long stroke slower.
  // (An empty dirty rectangle is stored inverted; handed to InvalidateRect it
  // would be normalised into a real one.)
  const RECT segment =
      SegmentBounds(prevX, prevY, penFilter.avgX, penFilter.avgY, prevPressure, penFilter.avgPressure, brushSize);
  const bool drawn = !IsEmpty(strokeBuffer.dirty) && Intersect(changed, segment, strokeBuffer.dirty);
  prevX = penFilter.avgX;
  prevY = penFilter.avgY;
  prevPressure = penFilter.avgPressure;
  return drawn;
}

void PenStroke::Commit(dib24* canvasImage) {
  if (canvasImage) {
    CompositeStroke(*canvasImage, strokeBuffer.surface, strokeBuffer.coverage.get(), strokeBuffer.dirty, nullptr);
  }
  strokeBuffer.Clear();
  strokeActive = false;
}

bool PenStroke::LoadCanvas(const char* path, std::unique_ptr<dib24>& canvasImage) {
  if (!path) return false;
  std::unique_ptr<dib24> image(new dib24);
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  const bool read = image->ReadBmp(file);
  std::fclose(file);
  if (!read) return false;
  // A canvas without a stroke buffer of its size could not be painted on: a
  // picture whose buffer cannot be had is refused, and the old canvas and its
  // buffer stay.
  if (!strokeBuffer.Resize(image->width, image->height)) return false;
  canvasImage = std::move(image);
  return true;
}
