// Pen scripts: a drawing written as text, played by the driver double
// (WINTAB_DOUBLE_SCRIPT) and replayed by tests against the engine.
//
// One command a line; `#` starts a comment. Positions are client pixels of the
// canvas window (fractions allowed), pressures 0..1 of the device's range,
// picker values 0..255.
//   stroke <packets> x0,y0 x1,y1 x2,y2 pressure p0 p1 p2
//       <packets> packets along the quadratic curve from x0,y0 (through the
//       pull of x1,y1) to x2,y2, slow at both ends as a hand moves; the
//       pressure goes from p0 to p1 at the middle and on to p2; then a lift
//       at x2,y2.
//       `hold` after the pressures leaves the pen down at x2,y2 (no lift),
//       for a slow lift, a barrel button or more packets to follow.
//   pen <x> <y> <pressure>    one packet (pressure 0: the pen is up)
//   lift                      a packet with pressure 0 where the pen was
//   lift <packets>            a slow lift: the pressure falls evenly from the
//                             last packet's to 0 over <packets> packets there
//   hover <packets> x0,y0 x1,y1
//       the pen up and in proximity, moving evenly along the line (pressure 0)
//   proximity out             the pen leaves proximity (up, no button held)
//   proximity in <x> <y> [tip|eraser]
//       that end of the pen comes into proximity above x,y (pressure 0); the
//       packets that follow are that end's. A script starts with the tip in
//       proximity (or with this line), and packets need the pen in proximity.
//   button <1|2> <down|up>    the lower (1) or upper (2) barrel button is
//                             pressed or released where the pen is; packets
//                             carry the buttons held
//   drag <red|green|blue|alpha> <from> <to>
//       a left-button drag along that bar of the colour picker, from the
//       column of value <from> to the one of <to>
//   pick <x> <y>              a right click on the canvas (picks its colour)
//   wait <ms>                 a pause
// This file is portable C++: the driver double maps the steps to Wintab
// packets and mouse input, tools/xtablet/PenEvents to the evdev frames of a
// pen tablet.
#pragma once
#include <string>
#include <vector>

struct PenStep {
  enum Kind { kPacket, kWait, kBarPress, kBarMove, kBarRelease, kPick, kProximity, kButton };
  Kind kind;
  double x, y;       // kPacket, kPick, kProximity, kButton: client pixels (where the pen is)
  double pressure;   // kPacket, kButton: 0..1
  int bar;           // kBar*: 0 red, 1 green, 2 blue, 3 alpha (the picker's rows, top down)
  int value;         // kBar*: the bar's value under the mouse
  int milliseconds;  // kWait
  bool eraser;       // kPacket, kProximity, kButton: the eraser end, not the tip
  int buttons;       // kPacket, kButton: barrel buttons held after the step (bit 0 button 1, bit 1 button 2)
  int button;        // kButton: the barrel button that changed, 1 or 2
  bool pressed;      // kButton: pressed (else released)
  bool entering;     // kProximity: comes into proximity (else leaves)
};

// Parses a script; false with "line <n>: <reason>" in *error on the first
// fault.
bool ParsePenScript(const std::string& text, std::vector<PenStep>* steps, std::string* error);
// Reads and parses a file.
bool LoadPenScript(const char* path, std::vector<PenStep>* steps, std::string* error);

// Pressure in device units: the nearest of 0..axMax, at least 1 for any
// pressure above 0 (which would otherwise read as a lift).
unsigned PenPressureUnits(double pressure, long axMax);
