#include "tools/xtablet/XMouseSteps.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cmath>

#include "app/PickerBars.h"

namespace {
std::string TitleOf(Display* display, Window window) {
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, name, 0, 256, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain) {
      title = plain;
      XFree(plain);
    }
  }
  return title;
}

// Searches the tree below `window` (a window manager puts frames between).
Window Find(Display* display, Window window, const std::string& title) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (TitleOf(display, children[i]) == title) found = children[i];
    if (!found) found = Find(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

void MoveTo(Display* display, Window window, int x, int y) {
  int left, top;
  WindowOrigin(display, window, &left, &top);
  XTestFakeMotionEvent(display, -1, left + x, top + y, CurrentTime);
}
}  // namespace

Window FindTitledWindow(Display* display, const std::string& utf8Title) {
  return Find(display, DefaultRootWindow(display), utf8Title);
}

void WindowOrigin(Display* display, Window window, int* x, int* y) {
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, x, y, &child);
}

bool XProgramWindows::Find(Display* display) {
  canvas = FindTitledWindow(display, "Paint Test");
  picker = FindTitledWindow(display, "\xe8\x89\xb2\xe9\x81\xb8\xe6\x8a\x9e");
  return canvas && picker;
}

bool PlayXMouseStep(Display* display, const XProgramWindows& windows, const PenStep& step) {
  int event, error, major, minor;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) return false;
  if (step.kind == PenStep::kPick) {
    if (!windows.canvas) return false;
    MoveTo(display, windows.canvas, static_cast<int>(std::floor(step.x)), static_cast<int>(std::floor(step.y)));
    XTestFakeButtonEvent(display, 3, True, CurrentTime);
    XTestFakeButtonEvent(display, 3, False, CurrentTime);
  } else {
    if (!windows.picker) return false;
    MoveTo(display, windows.picker, PickerBars::kBarLeft + step.value,
           PickerBars::kBarTop[step.bar] + PickerBars::kBarHeight / 2);
    if (step.kind == PenStep::kBarPress) XTestFakeButtonEvent(display, 1, True, CurrentTime);
    if (step.kind == PenStep::kBarRelease) XTestFakeButtonEvent(display, 1, False, CurrentTime);
  }
  XSync(display, False);
  return true;
}
