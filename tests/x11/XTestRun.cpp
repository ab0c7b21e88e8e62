#include "tests/x11/XTestRun.h"

#include <X11/extensions/XInput2.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/xtablet/DeviceRanges.h"

bool XProgramRun::Start(Display* display, const std::string& displayName, const std::string& program,
                        const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  display_ = display;
  pid_ = fork();
  if (pid_ == 0) {
    setenv("DISPLAY", displayName.c_str(), 1);
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  for (int tries = 0; tries < 100; ++tries) {
    if (windows.Find(display) && Running()) {
      XSync(display, False);
      usleep(100000);  // the first paint
      WindowOrigin(display, windows.canvas, &originX, &originY);
      return true;
    }
    usleep(50000);
  }
  return false;
}

bool XProgramRun::Running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

bool XProgramRun::Close() {
  if (pid_ <= 0) return false;
  SendClose(display_, windows.canvas);
  for (int tries = 0; tries < 100; ++tries) {
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    usleep(20000);
  }
  return false;
}

void XProgramRun::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool XPenRecorder::Start(Display* display, Window canvas, int canvasX, int canvasY) {
  display_ = display;
  canvas_ = canvas;
  canvasX_ = canvasX;
  canvasY_ = canvasY;
  int event, error;
  if (!XQueryExtension(display, "XInputExtension", &opcode_, &event, &error)) return false;
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    if (std::strstr(devices[i].name, "stylus")) pens_.push_back(devices[i].deviceid);
    if (std::strstr(devices[i].name, "eraser")) erasers_.push_back(devices[i].deviceid);
  }
  XIFreeDeviceInfo(devices);
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_Motion);
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
  XISelectEvents(display, canvas, &mask, 1);
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
  XSync(display, False);
  return !pens_.empty();
}

void XPenRecorder::Drain() {
  XSync(display_, False);
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != GenericEvent || event.xcookie.extension != opcode_ || !XGetEventData(display_, &event.xcookie)) {
      continue;
    }
    const XIDeviceEvent& e = *static_cast<XIDeviceEvent*>(event.xcookie.data);
    const bool eraser = std::find(erasers_.begin(), erasers_.end(), e.sourceid) != erasers_.end();
    const bool pen = std::find(pens_.begin(), pens_.end(), e.sourceid) != pens_.end();
    if (e.evtype == XI_Motion && (pen || eraser)) {
      // Valuators come packed in the order of the mask; pressure is the third.
      double pressure = 0;
      const double* value = e.valuators.values;
      for (int axis = 0; axis < e.valuators.mask_len * 8 && axis <= 2; ++axis) {
        if (!XIMaskIsSet(e.valuators.mask, axis)) continue;
        if (axis == 2) pressure = *value / XTABLET_MAX_PRESSURE;
        ++value;
      }
      unsigned buttons = 0;
      for (int b = 1; b <= 3; ++b) {
        if (b < e.buttons.mask_len * 8 && XIMaskIsSet(e.buttons.mask, b)) buttons |= 1u << b;
      }
      const bool onCanvas = e.event == canvas_;
      events.push_back({{onCanvas ? e.event_x : e.root_x - canvasX_, onCanvas ? e.event_y : e.root_y - canvasY_,
                         pressure},
                        eraser ? 2u : 1u, buttons});
    }
    XFreeEventData(display_, &event.xcookie);
  }
}

void SendClose(Display* display, Window window) {
  XEvent close = {};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &close);
  XSync(display, False);
}

std::vector<uint8_t> CaptureWindow(Display* display, Window window, int width, int height) {
  std::vector<uint8_t> bgr;
  XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (!image) return bgr;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      bgr.push_back(static_cast<uint8_t>(pixel & 0xFF));
      bgr.push_back(static_cast<uint8_t>((pixel >> 8) & 0xFF));
      bgr.push_back(static_cast<uint8_t>((pixel >> 16) & 0xFF));
    }
  }
  XDestroyImage(image);
  return bgr;
}

void WriteCaptureBmp(const std::string& path, const std::vector<uint8_t>& bgr, int width, int height) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  const int stride = (3 * width + 3) & ~3;
  const uint32_t size = 54 + static_cast<uint32_t>(stride) * height;
  const uint32_t fields[] = {size, 0, 54, 40, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  std::fwrite("BM", 1, 2, file);
  std::fwrite(fields, 4, 6, file);
  const uint16_t planes[] = {1, 24};
  std::fwrite(planes, 2, 2, file);
  const uint32_t rest[6] = {};
  std::fwrite(rest, 4, 6, file);
  const std::vector<uint8_t> padding(stride - 3 * width, 0);
  for (int y = height - 1; y >= 0; --y) {
    std::fwrite(&bgr[static_cast<size_t>(y) * width * 3], 1, 3 * static_cast<size_t>(width), file);
    std::fwrite(padding.data(), 1, padding.size(), file);
  }
  std::fclose(file);
}

std::string X11Program(const char* name) { return std::string(INKSTONE_X11_DIR) + "/" + name; }
