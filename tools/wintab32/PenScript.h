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
//   pen <x> <y> <pressure>    one packet (pressure 0: the pen is up)
//   lift                      a packet with pressure 0 where the pen was
//   drag <red|green|blue|alpha> <from> <to>
//       a left-button drag along that bar of the colour picker, from the
//       column of value <from> to the one of <to>
//   pick <x> <y>              a right click on the canvas (picks its colour)
//   wait <ms>                 a pause
// This file is portable C++: the Windows side maps the steps to packets and
// mouse input.
#pragma once
#include <string>
#include <vector>

struct PenStep {
  enum Kind { kPacket, kWait, kBarPress, kBarMove, kBarRelease, kPick };
  Kind kind;
  double x, y;       // kPacket, kPick: client pixels
  double pressure;   // kPacket: 0..1
  int bar;           // kBar*: 0 red, 1 green, 2 blue, 3 alpha (the picker's rows, top down)
  int value;         // kBar*: the bar's value under the mouse
  int milliseconds;  // kWait
};

// Parses a script; false with "line <n>: <reason>" in *error on the first
// fault.
bool ParsePenScript(const std::string& text, std::vector<PenStep>* steps, std::string* error);
// Reads and parses a file.
bool LoadPenScript(const char* path, std::vector<PenStep>* steps, std::string* error);

// Pressure in device units: the nearest of 0..axMax, at least 1 for any
// pressure above 0 (which would otherwise read as a lift).
unsigned PenPressureUnits(double pressure, long axMax);
