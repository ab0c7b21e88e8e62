// The canvas on X11: a "Paint Test" window of 600 x 600 that is a white
// canvas, with the picker beside it. Every pen motion event the server sends
// goes through the pen-state table into the stroke (PenStroke) and is painted
// before the next event is read, only over the rectangle its segment
// changed; the lift merges the stroke into the canvas image. A right click
// takes the colour under the pointer.
#pragma once
#include <X11/Xlib.h>

#include <cstdio>
#include <memory>

#include "app/PenStroke.h"
#include "image/dib24.h"
#include "x11/XNotice.h"
#include "x11/XPenDevices.h"
#include "x11/XPicker.h"
#include "x11/XScreenImage.h"

class XCanvas {
 public:
  static const int kWidth = 600;
  static const int kHeight = 600;

  XCanvas() = default;
  XCanvas(const XCanvas&) = delete;
  XCanvas& operator=(const XCanvas&) = delete;
  ~XCanvas();

  // Makes and shows both windows and selects the pens' events; without a pen
  // the notice says so, and the program runs on.
  bool Create(Display* display);
  // Reads a BMP file as the new canvas; false leaves everything as it was.
  bool LoadCanvas(const char* path);
  // Handles one event of any of the program's windows; false once the canvas
  // window has been closed.
  bool Handle(XEvent& event);

 private:
  void OnPen(const PenEvent& pen);
  void PickColor(int x, int y);
  // Shows the canvas with the stroke over it, over the rectangle.
  void Paint(int left, int top, int right, int bottom);
  void PaintAll() { Paint(0, 0, kWidth, kHeight); }
  void UpdateOrigin();
  void NotePainted();

  Display* display_ = nullptr;
  Window window_ = 0;
  Window root_ = 0;
  GC gc_ = nullptr;
  int originX_ = 0, originY_ = 0;  // of the canvas on the root window
  std::unique_ptr<dib24> canvasImage_;
  dib24 backBuffer_;
  PenStroke stroke_;
  bool penDown_ = false;
  XPicker picker_;
  XPenDevices pens_;
  XScreenImage screen_;
  XNotice notice_;
  // INKSTONE_PAINT_LOG: the time each pen event's paint reached the server.
  std::FILE* paintLog_ = nullptr;
};
