// What the canvas should show for the same pen packets. Which segments are
// drawn comes from the program's own pen-state table and pen handling
// (PenPacket, PenStroke), which their own tests pin; where a sample lands
// comes from the tablet geometry as the test states it; the dabs come from the
// plain transcription of the stroke arithmetic (tests/brush/LiteralStroke.h),
// not from the stroke buffer; the stroke is blended by the compositing.
// A test about the pen states themselves checks them on its own as well.
#pragma once

#include <cstdint>
#include <vector>

#include "app/PenStroke.h"
#include "brush/Brush.h"
#include "image/Win32Gdi.h"
#include "image/dib24.h"
#include "tablet/PenSample.h"
#include "tests/brush/LiteralStroke.h"
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
  // One pen event already in client pixels (the X11 programs' input).
  void Sample(const PenSample& sample, UINT cursor, DWORD buttons);

  // The canvas with the stroke in progress over it, top row first, 3 bytes a
  // pixel (blue, green, red), over the canvas size.
  std::vector<uint8_t> Screen() const;
  int Width() const { return canvas_.width; }
  int Height() const { return canvas_.height; }
  bool StrokeActive() const { return pen_.strokeActive; }
  const dib24& Canvas() const { return canvas_; }

 private:
  void Segment();
  void Commit();
  // The literal stroke emptied at a size; its spacing state goes on.
  void EmptyStroke(int width, int height);
  void Blend(dib24& target, const RECT* rect) const;

  TabletGeometry tablet_;
  dib24 canvas_;
  Brush masks_;
  LiteralStroke stroke_;
  // The program's pen handling; its stroke buffer has no pixels and only
  // keeps the spacing state: the dabs are laid by stroke_.
  PenStroke pen_;
  StrokeColor color_;
  bool penDown_;
  PenSample sample_;
  UINT cursor_;
  UINT button_;
  UINT change_;
};

// An image's pixels, top row first, 3 bytes a pixel, no padding.
std::vector<uint8_t> TopRowFirst(const dib24& image);
