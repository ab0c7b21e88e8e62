// The pens the X server offers through XInput 2: every slave pointer with an
// "Abs Pressure" valuator. The X tablet driver gives a pen's tip and its
// eraser each a device of its own, so the source device of an event tells
// them apart, as Wine tells them. The pens' motion is read from the master
// pointer's events, selected on the canvas and on the root window (a
// touch-down outside the canvas must be seen too): they carry every valuator
// of the pen, and the position after the event (a slave's own events carry
// the pointer's position before it). Nothing selects button presses of a pen:
// that would grab the pointer at each touch-down, and during a grab no other
// client (a recorder, a second program) would see the pen's motion. Button
// presses are selected only for the other pointers (mice), for the right
// click.
#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <vector>

#include "tablet/PenSample.h"

// One pen event as the canvas reads it.
struct PenEvent {
  PenSample sample;  // canvas pixels, with the fraction; pressure 0..1
  unsigned cursor;   // 1 the tip, 2 the eraser
  unsigned buttons;  // held: 0x2 the tip, 0x4 and 0x8 the barrel buttons
};

class XPenDevices {
 public:
  // False without XInput 2.2 on the server.
  bool Open(Display* display);
  // Lists the pens anew (at start and when devices come or go), selects the
  // motion on both windows and the mice's button presses on the canvas. True
  // when there is at least one pen.
  bool Select(Window canvas, Window root);
  // The pen event of a master's XI_Motion from one of the pens, with positions
  // relative to the canvas, whose top-left corner is at canvasX, canvasY on
  // the root window. False for any other event.
  bool Read(const XIDeviceEvent& event, Window canvas, int canvasX, int canvasY, PenEvent& pen);

  int opcode = -1;  // of XInputExtension: the events' extension field

 private:
  struct Pen {
    int deviceid;  // the slave
    int pressureAxis;   // valuator number
    double pressureMin;
    double pressureMax;
    bool eraser;
    double lastPressure;  // for an event that leaves the axis out
  };
  Display* display_ = nullptr;
  std::vector<Pen> pens_;
};
