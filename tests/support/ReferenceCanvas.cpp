#include "ReferenceCanvas.h"

#include <cstring>

#include "app/CompositeStroke.h"
#include "image/dib32.h"
#include "tablet/PenMessages.h"
#include "tablet/PenPacket.h"

namespace {
#ifdef REFERENCE_DISC_DAB
const LiteralStroke::Dab kDab = LiteralStroke::kDisc;
#else
const LiteralStroke::Dab kDab = LiteralStroke::kSoft;
#endif
const double kBrushSize = 3.0;
}  // namespace

ReferenceCanvas::ReferenceCanvas(const TabletGeometry& tablet, int canvasWidth, int canvasHeight)
    : tablet_(tablet), stroke_(kDab, 0, 0, &masks_), color_{0, 0, 0, 255}, penDown_(false), sample_{0, 0, 0},
      cursor_(0), button_(0), change_(0) {
  canvas_.Create(canvasWidth, canvasHeight);
  std::memset(canvas_.bits, 255, static_cast<size_t>(canvas_.stride) * canvas_.height);
  masks_.BuildLevels();
  EmptyStroke(canvasWidth, canvasHeight);
  pen_.Reset();
  pen_.strokeBuffer.Resize(0, 0);
}

void ReferenceCanvas::Load(const dib24& image) {
  canvas_.Create(image.width, image.height);
  std::memcpy(canvas_.bits, image.bits, static_cast<size_t>(image.stride) * image.height);
  EmptyStroke(image.width, image.height);
}

// As the tablet context and the canvas window wire the pen messages.
void ReferenceCanvas::Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor, DWORD buttons) {
  Sample(tablet_.Sample(pkX, pkY, pressure), cursor, buttons);
}

void ReferenceCanvas::Sample(const PenSample& sample, UINT cursor, DWORD buttons) {
  sample_ = sample;
  cursor_ = cursor;
  button_ = buttons & 0xFFFF;
  change_ = buttons >> 16;
  const bool inside = InsideClient(sample_, tablet_.clientWidth, tablet_.clientHeight);
  switch (NextPenMessage(penDown_, sample_.pressure, inside)) {
    case UM_PENDOWN:
      if (PenStroke::Accepted(cursor_, button_, change_)) {
        pen_.Start(sample_, color_);
        stroke_.PenDown();
      }
      Segment();
      break;
    case UM_PENMOVE:
      Segment();
      break;
    case UM_PENUP:
      Segment();
      if (pen_.EndsAtLift(cursor_, button_, change_)) Commit();
      break;
  }
}

// The segment the canvas draws, laid by the plain arithmetic in the colour
// latched at pen-down.
void ReferenceCanvas::Segment() {
  if (!pen_.strokeActive) return;
  const double x0 = pen_.prevX, y0 = pen_.prevY, p0 = pen_.prevPressure;
  RECT unused;
  pen_.Segment(sample_, unused);
  const LatchedColor& latched = pen_.latchedColor;
  const StrokeColor color = {static_cast<int>(latched.blue * 255.0), static_cast<int>(latched.green * 255.0),
                             static_cast<int>(latched.red * 255.0), static_cast<int>(latched.alpha * 255.0)};
  stroke_.DrawSegment(x0, y0, pen_.prevX, pen_.prevY, p0, pen_.prevPressure, kBrushSize, color);
}

void ReferenceCanvas::Commit() {
  pen_.Commit(nullptr);
  Blend(canvas_, nullptr);
  EmptyStroke(canvas_.width, canvas_.height);
}

void ReferenceCanvas::EmptyStroke(int width, int height) {
  LiteralStroke empty(kDab, width, height, &masks_);
  empty.firstDab = stroke_.firstDab;
  empty.lastX = stroke_.lastX;
  empty.lastY = stroke_.lastY;
  stroke_ = empty;
}

void ReferenceCanvas::Blend(dib24& target, const RECT* rect) const {
  dib32 surface;
  surface.Create(stroke_.width, stroke_.height);
  if (!surface.bits) return;
  std::memcpy(surface.bits, stroke_.bgra.data(), stroke_.bgra.size());
  const DirtyRect dirty = {stroke_.dirtyLeft, stroke_.dirtyTop, stroke_.dirtyRight, stroke_.dirtyBottom};
  CompositeStroke(target, surface, stroke_.coverage.data(), dirty, rect);
}

std::vector<uint8_t> ReferenceCanvas::Screen() const {
  dib24 view;
  view.Create(canvas_.width, canvas_.height);
  std::memcpy(view.bits, canvas_.bits, static_cast<size_t>(canvas_.stride) * canvas_.height);
  const RECT all = {0, 0, canvas_.width, canvas_.height};
  Blend(view, &all);
  return TopRowFirst(view);
}

std::vector<uint8_t> TopRowFirst(const dib24& image) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < image.height; ++y) pixels.insert(pixels.end(), image.Row(y), image.Row(y) + 3 * image.width);
  return pixels;
}
