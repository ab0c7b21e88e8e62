// What the canvas should show, computed with the engine for the same pen
// packets: the tablet's mapping and pen-state rules, the smoothing filter, the
// stroke buffer and the compositing, driven the way the canvas drives them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "brush/BrushBuff.h"
#include "image/dib24.h"
#include "tablet/AxisFilter.h"
#include "tablet/PenSample.h"
#include "TabletGeometry.h"

class ReferenceCanvas {
 public:
  ReferenceCanvas(const TabletGeometry& tablet, int canvasWidth, int canvasHeight);

  // The window moved or changed size (minimised, restored).
  void SetGeometry(const TabletGeometry& tablet) { tablet_ = tablet; }
  // Replaces the canvas with an image (a loaded file) and empties the stroke.
  void Load(const dib24& image);
  // The current colour (the picker's), latched at the next pen-down.
  void SetColor(const StrokeColor& color) { color_ = color; }
  // One packet as the tablet reports it; runs the pen messages it causes.
  void Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor = 1, DWORD buttons = 0);

  // The canvas with the stroke in progress over it, top row first, 3 bytes a
  // pixel (blue, green, red), over the canvas size.
  std::vector<uint8_t> Screen() const;
  int Width() const { return canvas_.width; }
  int Height() const { return canvas_.height; }
  bool StrokeActive() const { return strokeActive_; }
  const dib24& Canvas() const { return canvas_; }

 private:
  void PenDown();
  void Segment();
  void Commit();

  TabletGeometry tablet_;
  dib24 canvas_;
  BrushBuff stroke_;
  AxisFilter filter_;
  StrokeColor color_;
  float latched_[4];
  bool penDown_;
  bool strokeActive_;
  PenSample sample_;
  UINT cursor_;
  UINT button_;
  double prevX_, prevY_, prevPressure_;
};
