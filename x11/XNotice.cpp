#include "x11/XNotice.h"

#include <X11/Xft/Xft.h>
#include <X11/Xutil.h>

#include "x11/XWindowText.h"

namespace {
// IPAGothic where it is installed (the Windows tests' prefix uses it too);
// fontconfig picks the nearest font with the characters otherwise.
const char kFont[] = "IPAGothic,sans-14:lang=ja";
const int kMargin = 24;
}  // namespace

void XNotice::Show(Display* display, Window owner, const char* title, const char* utf8) {
  Dismiss();
  display_ = display;
  text_ = utf8;
  const int screen = DefaultScreen(display);
  XftFont* font = XftFontOpenName(display, screen, kFont);
  XGlyphInfo extents = {};
  if (font) XftTextExtentsUtf8(display, font, reinterpret_cast<const FcChar8*>(utf8), static_cast<int>(text_.size()),
                               &extents);
  width_ = extents.xOff + 2 * kMargin;
  height_ = (font ? font->ascent + font->descent : 16) + 2 * kMargin;
  if (font) XftFontClose(display, font);

  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display, owner, RootWindow(display, screen), 40, 40, &x, &y, &child);
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | KeyPressMask;
  attributes.border_pixel = BlackPixel(display, screen);  // seen also without a window manager's frame
  window = XCreateWindow(display, RootWindow(display, screen), x, y, width_, height_, 1, CopyFromParent, InputOutput,
                         CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  SetWindowTitle(display, window, title);
  SetFixedSize(display, window, x, y, width_, height_);
  XSetTransientForHint(display, window, owner);
  AcceptClose(display, window);
  XMapRaised(display, window);
}

bool XNotice::Handle(const XEvent& event) {
  if (!window || event.xany.window != window) return false;
  if (event.type == Expose && event.xexpose.count == 0) Paint();
  if (event.type == ButtonPress || event.type == KeyPress || IsClose(display_, event)) Dismiss();
  return true;
}

void XNotice::Dismiss() {
  if (!window) return;
  XDestroyWindow(display_, window);
  window = 0;
}

void XNotice::Paint() {
  const int screen = DefaultScreen(display_);
  XftFont* font = XftFontOpenName(display_, screen, kFont);
  if (!font) return;
  XftDraw* draw = XftDrawCreate(display_, window, DefaultVisual(display_, screen), DefaultColormap(display_, screen));
  XRenderColor black = {0, 0, 0, 0xFFFF};
  XftColor color;
  XftColorAllocValue(display_, DefaultVisual(display_, screen), DefaultColormap(display_, screen), &black, &color);
  XftDrawStringUtf8(draw, &color, font, kMargin, kMargin + font->ascent, reinterpret_cast<const FcChar8*>(text_.data()),
                    static_cast<int>(text_.size()));
  XftColorFree(display_, DefaultVisual(display_, screen), DefaultColormap(display_, screen), &color);
  XftDrawDestroy(draw);
  XftFontClose(display_, font);
  XFlush(display_);
}
