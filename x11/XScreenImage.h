// The pixels a window shows, kept in the X server's format: a rectangle of a
// 24-bit image is converted into it and sent, through MIT-SHM where the
// server offers it (and takes the segment: a remote server cannot) and with
// plain XPutImage where it does not. Only the rectangle asked for travels.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "image/dib24.h"

class XScreenImage {
 public:
  XScreenImage() = default;
  XScreenImage(const XScreenImage&) = delete;
  XScreenImage& operator=(const XScreenImage&) = delete;
  ~XScreenImage() { Release(); }

  // An image of width x height for windows of the default visual. False when
  // the visual is not TrueColor or memory is short.
  bool Create(Display* display, int width, int height);
  void Release();
  // Shows source's pixels of the rectangle [left, right) x [top, bottom),
  // clipped to both images, at the same place in `window`; pixels of the
  // image beyond `source` are black. Returns once they are sent (flushed).
  void Put(Window window, GC gc, const dib24& source, int left, int top, int right, int bottom);
  bool UsesSharedMemory() const { return shared_; }
  // Takes the server's completion of this image's last Put when the event
  // loop reads it (true), for the program reads every event.
  bool TakeCompletion(const XEvent& event);

 private:
  void Convert(const dib24& source, int left, int top, int right, int bottom);
  // Until the server has read the shared pixels of the last Put.
  void WaitForCompletion();

  Display* display_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_ = {};
  bool shared_ = false;
  bool pending_ = false;  // a shared Put the server has not yet read
  Drawable drawable_ = 0;
  // Each channel's shift in a pixel; the plain 8-8-8 layouts go byte by byte.
  int redShift_ = 16, greenShift_ = 8, blueShift_ = 0;
};
