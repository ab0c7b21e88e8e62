#include "x11/XPicker.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

#include "app/PickerBars.h"
#include "x11/XWindowText.h"

namespace {
// The face of the Windows picker's background (COLOR_BTNFACE).
const unsigned char kFace = 240;
}  // namespace

bool XPicker::Create(Display* display, Window owner, int x, int y) {
  display_ = display;
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask;
  window = XCreateWindow(display, RootWindow(display, screen), x, y, kWidth, kHeight, 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  SetWindowTitle(display, window, "\xe8\x89\xb2\xe9\x81\xb8\xe6\x8a\x9e");  // 色選択
  SetFixedSize(display, window, x, y, kWidth, kHeight);
  XSetTransientForHint(display, window, owner);
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom utility = XInternAtom(display, "_NET_WM_WINDOW_TYPE_UTILITY", False);
  XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&utility),
                  1);
  AcceptClose(display, window);
  gc_ = XCreateGC(display, window, 0, nullptr);
  for (dib24& bar : bars_) bar.Create(PickerBars::kBarWidth, PickerBars::kBarHeight);
  view_.Create(kWidth, kHeight);
  screen_.Create(display, kWidth, kHeight);
  XMapWindow(display, window);
  RefreshBars();
  return true;
}

bool XPicker::Handle(const XEvent& event) {
  if (event.xany.window != window) return false;
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) Paint();
      break;
    case ButtonPress:
      if (event.xbutton.button != Button1) break;
      dragBar = PickerBars::HitBar(event.xbutton.x, event.xbutton.y, bars_[0].width, bars_[0].height);
      if (dragBar) PickerBars::SetDraggedValue(color, dragBar, event.xbutton.x);
      RefreshBars();
      break;
    case MotionNotify:
      if (!dragBar) break;
      PickerBars::SetDraggedValue(color, dragBar, event.xmotion.x);
      RefreshBars();
      break;
    case ButtonRelease:
      if (event.xbutton.button != Button1) break;
      if (dragBar) PickerBars::SetDraggedValue(color, dragBar, event.xbutton.x);
      dragBar = 0;
      RefreshBars();
      break;
  }
  return true;  // a close is ignored too
}

void XPicker::RefreshBars() {
  PickerBars::FillBars(bars_, color);
  Paint();
}

// The face, the bars at their places, and a white line over the column of
// each value.
void XPicker::Paint() {
  if (!window) return;
  std::memset(view_.bits, kFace, static_cast<size_t>(view_.stride) * view_.height);
  const int values[4] = {color.red, color.green, color.blue, color.alpha};
  for (int k = 0; k < 4; ++k) {
    for (int r = 0; r < bars_[k].height; ++r) {
      unsigned char* row = view_.Row(PickerBars::kBarTop[k] + r) + 3 * PickerBars::kBarLeft;
      std::memcpy(row, bars_[k].Row(r), 3 * static_cast<size_t>(bars_[k].width));
      std::memset(row + 3 * values[k], 255, 3);
    }
  }
  screen_.Put(window, gc_, view_, 0, 0, kWidth, kHeight);
}
