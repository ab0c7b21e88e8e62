#include "x11/XPenDevices.h"

#include <X11/Xatom.h>
#include <X11/extensions/XInput.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {
bool NamesEraser(const char* name) {
  std::string lower(name ? name : "");
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("eraser") != std::string::npos;
}

// The X tablet driver types its eraser device "ERASER" (XInput 1's device
// type); its name says so too.
bool IsEraser(Display* display, int deviceid, const char* name) {
  int count = 0;
  XDeviceInfo* devices = XListInputDevices(display, &count);
  bool eraser = NamesEraser(name);
  for (int i = 0; i < count; ++i) {
    if (static_cast<int>(devices[i].id) != deviceid || devices[i].type == None) continue;
    char* type = XGetAtomName(display, devices[i].type);
    if (type && std::strcmp(type, "ERASER") == 0) eraser = true;
    if (type) XFree(type);
  }
  if (devices) XFreeDeviceList(devices);
  return eraser;
}
}  // namespace

bool XPenDevices::Open(Display* display) {
  display_ = display;
  int event, error;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) return false;
  int major = 2, minor = 2;
  return XIQueryVersion(display, &major, &minor) == Success && (major > 2 || minor >= 2);
}

bool XPenDevices::Select(Window canvas, Window root) {
  pens_.clear();
  std::vector<int> mice;
  const Atom pressureLabel = XInternAtom(display_, "Abs Pressure", False);
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    const XIDeviceInfo& device = devices[i];
    if (device.use != XISlavePointer || !device.enabled) continue;
    bool pen = false;
    for (int c = 0; c < device.num_classes; ++c) {
      if (device.classes[c]->type != XIValuatorClass) continue;
      const XIValuatorClassInfo* axis = reinterpret_cast<const XIValuatorClassInfo*>(device.classes[c]);
      if (axis->label != pressureLabel || !(axis->max > axis->min)) continue;
      pens_.push_back({device.deviceid, axis->number, axis->min, axis->max,
                       IsEraser(display_, device.deviceid, device.name), 0.0});
      pen = true;
    }
    if (!pen) mice.push_back(device.deviceid);
  }
  XIFreeDeviceInfo(devices);

  unsigned char motion[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(motion, XI_Motion);
  XIEventMask masters = {XIAllMasterDevices, static_cast<int>(sizeof motion), motion};
  XISelectEvents(display_, canvas, &masters, 1);
  XISelectEvents(display_, root, &masters, 1);
  unsigned char press[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(press, XI_ButtonPress);
  std::vector<XIEventMask> presses;
  for (int mouse : mice) presses.push_back({mouse, static_cast<int>(sizeof press), press});
  if (!presses.empty()) XISelectEvents(display_, canvas, presses.data(), static_cast<int>(presses.size()));
  return !pens_.empty();
}

bool XPenDevices::Read(const XIDeviceEvent& event, Window canvas, int canvasX, int canvasY, PenEvent& pen) {
  if (event.evtype != XI_Motion || event.deviceid == event.sourceid) return false;
  for (Pen& device : pens_) {
    if (device.deviceid != event.sourceid) continue;
    // The valuators present come packed, in the order of the mask's bits.
    const double* value = event.valuators.values;
    for (int axis = 0; axis < event.valuators.mask_len * 8; ++axis) {
      if (!XIMaskIsSet(event.valuators.mask, axis)) continue;
      if (axis == device.pressureAxis) {
        double pressure = (*value - device.pressureMin) / (device.pressureMax - device.pressureMin);
        device.lastPressure = pressure < 0 ? 0 : pressure > 1 ? 1 : pressure;
      }
      ++value;
    }
    // Positions in the event window's coordinates keep their fraction; an
    // event on the root window is moved to the canvas's.
    const bool onCanvas = event.event == canvas;
    pen.sample.x = onCanvas ? event.event_x : event.root_x - canvasX;
    pen.sample.y = onCanvas ? event.event_y : event.root_y - canvasY;
    pen.sample.pressure = device.lastPressure;
    pen.cursor = device.eraser ? 2 : 1;
    pen.buttons = 0;
    for (int button = 1; button <= 3; ++button) {
      if (button < event.buttons.mask_len * 8 && XIMaskIsSet(event.buttons.mask, button)) pen.buttons |= 1u << button;
    }
    return true;
  }
  return false;
}
