#include "ReferenceCanvas.h"

#include <cmath>
#include <cstring>

#include "app/CompositeStroke.h"

ReferenceCanvas::ReferenceCanvas(const TabletGeometry& tablet, int canvasWidth, int canvasHeight)
    : tablet_(tablet), color_{0, 0, 0, 255}, latched_{0, 0, 0, 0}, penDown_(false), strokeActive_(false),
      sample_{0, 0, 0}, cursor_(0), button_(0), prevX_(0), prevY_(0), prevPressure_(0) {
  canvas_.Create(canvasWidth, canvasHeight);
  std::memset(canvas_.bits, 255, static_cast<size_t>(canvas_.stride) * canvas_.height);
  stroke_.brush.BuildLevels();
  stroke_.Resize(canvasWidth, canvasHeight);
  filter_.Configure(10, 1);
}

void ReferenceCanvas::Load(const dib24& image) {
  canvas_.Create(image.width, image.height);
  std::memcpy(canvas_.bits, image.bits, static_cast<size_t>(image.stride) * image.height);
  stroke_.Resize(image.width, image.height);
}

void ReferenceCanvas::Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor, DWORD buttons) {
  sample_ = tablet_.Sample(pkX, pkY, pressure);
  cursor_ = cursor;
  button_ = buttons & 0xFFFF;
  const bool inside = sample_.x >= 0 && sample_.x < tablet_.clientWidth && sample_.y >= 0 &&
                      sample_.y < tablet_.clientHeight;
  const bool touching = sample_.pressure > 0;
  const bool wasDown = penDown_;
  penDown_ = touching;
  if (!wasDown && touching) {
    if (inside) PenDown();
  } else if (wasDown && !touching) {
    Segment();
    if (cursor_ == 1 && button_ == 0) Commit();
  } else {
    Segment();
  }
}

void ReferenceCanvas::PenDown() {
  if (cursor_ == 1 && button_ == 0) {
    strokeActive_ = true;
    filter_.Fill(sample_.x, sample_.y, sample_.pressure);
    filter_.Average();
    prevX_ = filter_.avgX;
    prevY_ = filter_.avgY;
    prevPressure_ = filter_.avgPressure;
    stroke_.lastX = 0;
    stroke_.lastY = 0;
    stroke_.firstDab = true;
    const int channels[4] = {color_.blue, color_.green, color_.red, color_.alpha};
    for (int i = 0; i < 4; ++i) latched_[i] = static_cast<float>(channels[i] * (1.0 / 255.0));
  }
  Segment();
}

void ReferenceCanvas::Segment() {
  if (!strokeActive_) return;
  filter_.Push(sample_.x, sample_.y, sample_.pressure);
  filter_.Average();
  const StrokeColor color = {static_cast<int>(latched_[0] * 255.0), static_cast<int>(latched_[1] * 255.0),
                             static_cast<int>(latched_[2] * 255.0), static_cast<int>(latched_[3] * 255.0)};
  stroke_.DrawSegment(prevX_, prevY_, filter_.avgX, filter_.avgY, prevPressure_, filter_.avgPressure, 3.0, color);
  prevX_ = filter_.avgX;
  prevY_ = filter_.avgY;
  prevPressure_ = filter_.avgPressure;
}

void ReferenceCanvas::Commit() {
  CompositeStroke(canvas_, stroke_.surface, stroke_.coverage.get(), stroke_.dirty, nullptr);
  stroke_.Clear();
  strokeActive_ = false;
}

std::vector<uint8_t> ReferenceCanvas::Screen() const {
  dib24 view;
  view.Create(canvas_.width, canvas_.height);
  std::memcpy(view.bits, canvas_.bits, static_cast<size_t>(canvas_.stride) * canvas_.height);
  const RECT all = {0, 0, canvas_.width, canvas_.height};
  CompositeStroke(view, stroke_.surface, stroke_.coverage.get(), stroke_.dirty, &all);
  std::vector<uint8_t> pixels(static_cast<size_t>(view.width) * view.height * 3);
  for (int y = 0; y < view.height; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * view.width * 3],
                view.bits + static_cast<size_t>(view.height - 1 - y) * view.stride, static_cast<size_t>(view.width) * 3);
  }
  return pixels;
}
