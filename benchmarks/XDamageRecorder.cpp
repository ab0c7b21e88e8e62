#include "benchmarks/XDamageRecorder.h"

#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <time.h>

double MonotonicSeconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

namespace {
void WatchTree(Display* display, Window window) {
  XDamageCreate(display, window, XDamageReportRawRectangles);
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) WatchTree(display, children[i]);
  if (children) XFree(children);
}
}  // namespace

bool XDamageRecorder::Start(const std::string& displayName, Window top) {
  display_ = XOpenDisplay(displayName.c_str());
  int errorBase;
  if (!display_ || !XDamageQueryExtension(display_, &eventBase_, &errorBase)) return false;
  WatchTree(display_, top);
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
