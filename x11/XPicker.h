// The colour picker on X11: a "色選択" tool window of 280 x 140 with the four
// bars. Dragging with the left button along a bar sets its value (the server's
// implicit grab holds the drag outside the window, as the Windows picker's
// capture does); the window ignores its own close.
#pragma once
#include <X11/Xlib.h>

#include "brush/StrokeColor.h"
#include "image/dib24.h"
#include "x11/XScreenImage.h"

class XPicker {
 public:
  static const int kWidth = 280;
  static const int kHeight = 140;

  // Makes the window, owned by `owner`, with its top-left corner at x, y.
  bool Create(Display* display, Window owner, int x, int y);
  // A core event of the picker's window; false for other windows' events.
  bool Handle(const XEvent& event);
  // The server's completion of the picker's last paint.
  bool TakeCompletion(const XEvent& event) { return screen_.TakeCompletion(event); }
  // Rebuilds the bars from `color` and shows them at once.
  void RefreshBars();

  Window window = 0;
  StrokeColor color = {0, 0, 0, 255};
  int dragBar = 0;  // 1..4 while the left button drags that bar

 private:
  void Paint();

  Display* display_ = nullptr;
  GC gc_ = nullptr;
  dib24 bars_[4];
  dib24 view_;  // the whole client area, composed before it is shown
  XScreenImage screen_;
};
