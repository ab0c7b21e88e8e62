#include "x11/XWindowText.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

void SetWindowTitle(Display* display, Window window, const char* utf8) {
  Xutf8SetWMProperties(display, window, utf8, utf8, nullptr, 0, nullptr, nullptr, nullptr);
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom string = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, name, string, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(utf8),
                  static_cast<int>(std::strlen(utf8)));
}

void SetFixedSize(Display* display, Window window, int x, int y, int width, int height) {
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PPosition | PMinSize | PMaxSize;
  hints->x = x;
  hints->y = y;
  hints->min_width = hints->max_width = width;
  hints->min_height = hints->max_height = height;
  XSetWMNormalHints(display, window, hints);
  XFree(hints);
}

void AcceptClose(Display* display, Window window) {
  Atom close = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &close, 1);
}

bool IsClose(Display* display, const XEvent& event) {
  return event.type == ClientMessage &&
         static_cast<Atom>(event.xclient.data.l[0]) == XInternAtom(display, "WM_DELETE_WINDOW", False);
}
