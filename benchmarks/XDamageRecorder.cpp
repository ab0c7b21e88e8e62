#include "benchmarks/XDamageRecorder.h"

#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <time.h>

double MonotonicSeconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

namespace {
// XInput 2 gives an event to the clients that select it on the deepest window
// that any client selects it on, so motion is selected wherever damage is
// watched, and on the root window.
void SelectMotion(Display* display, Window window) {
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_Motion);
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
  XISelectEvents(display, window, &mask, 1);
}

void WatchTree(Display* display, Window window, bool motion) {
  XDamageCreate(display, window, XDamageReportRawRectangles);
  if (motion) SelectMotion(display, window);
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) WatchTree(display, children[i], motion);
  if (children) XFree(children);
}
}  // namespace

bool XDamageRecorder::Start(const std::string& displayName, Window top) {
  display_ = XOpenDisplay(displayName.c_str());
  int errorBase;
  if (!display_ || !XDamageQueryExtension(display_, &eventBase_, &errorBase)) return false;
  int event, error, major = 2, minor = 0;
  if (!XQueryExtension(display_, "XInputExtension", &xinput_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success) {
    xinput_ = -1;
  }
  WatchTree(display_, top, xinput_ >= 0);
  if (xinput_ >= 0) SelectMotion(display_, DefaultRootWindow(display_));
  XSync(display_, False);
  thread_ = std::thread(&XDamageRecorder::Watch, this);
  return true;
}

void XDamageRecorder::Watch() {
  pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
  while (!stop_) {
    // Events already read into Xlib's queue come first; then wait for more.
    if (!XPending(display_)) {
      poll(&connection, 1, 10);
      continue;
    }
    XEvent event;
    XNextEvent(display_, &event);
    const double at = MonotonicSeconds();
    if (event.type == GenericEvent && event.xcookie.extension == xinput_ && event.xcookie.evtype == XI_Motion) {
      motionAt.push_back(at);  // the event's fields are not needed: no XGetEventData
      continue;
    }
    if (event.type != eventBase_ + XDamageNotify) continue;
    const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
    seen.push_back({at, damage.drawable, damage.area.width, damage.area.height});
  }
}

void XDamageRecorder::Stop() {
  if (!display_) return;
  if (thread_.joinable()) {
    stop_ = true;
    thread_.join();
  }
  XCloseDisplay(display_);  // its damage objects go with it
  display_ = nullptr;
}
