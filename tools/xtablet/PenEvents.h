// The real-stack player's first half: a parsed pen script (PenScript.h) as
// timed evdev frames of a pen tablet, for the X tablet driver to read from
// the stack's FIFO (scripts/tablet-stack). Portable C++.
//
// A packet step becomes one frame: the tool key when the pen comes into
// proximity, BTN_TOUCH when it touches or lifts, ABS_X, ABS_Y, ABS_PRESSURE,
// SYN_REPORT. A proximity step is a frame with the tool key (entering at
// pressure 0), a button step one with BTN_STYLUS or BTN_STYLUS2. A pen always
// comes into proximity at pressure 0: where the pen is brought in by a packet
// that presses, a frame at pressure 0 goes first (the X driver takes the
// pressure at entry for a worn pen's rest pressure). Each frame takes one
// packet interval; waits take their time; mouse steps (picker drags, picks)
// are marks for the caller to play, 10 ms each.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/wintab32/PenScript.h"

struct EvdevEvent {
  uint16_t type;
  uint16_t code;
  int32_t value;
};

struct PenFrame {
  double at;                       // seconds from the start of the play
  std::vector<EvdevEvent> events;  // ends with SYN_REPORT; empty for a mark
  int mouseStep;                   // the index of a mouse step to play, else -1
};

// Where the canvas is: the screen position of its client origin, and the
// screen the tablet maps onto.
struct PenMapping {
  double originX, originY;
  int screenWidth, screenHeight;
};

// Device units of a client position, rounded and kept within the tablet.
int32_t DeviceX(double clientX, const PenMapping& mapping);
int32_t DeviceY(double clientY, const PenMapping& mapping);

// The frames of a script at `rate` packets a second (rate > 0).
std::vector<PenFrame> PenFrames(const std::vector<PenStep>& steps, const PenMapping& mapping, double rate);

// One frame as the kernel writes it on x86_64: `struct input_event`, 24
// bytes each (16-byte timeval with the frame's time, u16 type, u16 code, s32
// value), little-endian.
const int kEvdevRecordSize = 24;
std::vector<unsigned char> EvdevRecords(const PenFrame& frame);
