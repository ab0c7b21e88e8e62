// A second X client that watches a program's window for drawing: XDamage
// objects on the window and every window below it (a toolkit may draw into
// a child), each rectangle the server reports timestamped on receipt, on a
// thread of its own so that the pen player may keep its pace meanwhile. It
// also selects the pens' XInput 2 motion, as any client may, and timestamps
// it the same way: what the X server alone takes to deliver an event.
#pragma once
#include <X11/Xlib.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct DamageSeen {
  double at;  // seconds, CLOCK_MONOTONIC, when the notice was read
  Window window;
  int width, height;  // of the rectangle drawn
};

class XDamageRecorder {
 public:
  ~XDamageRecorder() { Stop(); }
  // Opens its own connection and watches `top` and its descendants; false
  // when the server has no XDamage.
  bool Start(const std::string& displayName, Window top);
  // Ends the watch; what was seen stays in `seen`.
  void Stop();
  std::vector<DamageSeen> seen;
  std::vector<double> motionAt;  // seconds, CLOCK_MONOTONIC, of each pen motion event read

 private:
  void Watch();
  Display* display_ = nullptr;
  int eventBase_ = 0;
  int xinput_ = -1;  // the extension's opcode, -1 without it
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

double MonotonicSeconds();
