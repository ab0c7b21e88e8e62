#include "tools/xtablet/PenEvents.h"

#include <cmath>

#include "tools/xtablet/DeviceRanges.h"

namespace {

// The kernel's input codes (linux/input-event-codes.h), which the X driver reads.
const uint16_t EV_SYN = 0x00, EV_KEY = 0x01, EV_ABS = 0x03;
const uint16_t SYN_REPORT = 0;
const uint16_t ABS_X = 0x00, ABS_Y = 0x01, ABS_PRESSURE = 0x18;
const uint16_t BTN_TOOL_PEN = 0x140, BTN_TOOL_RUBBER = 0x141, BTN_TOUCH = 0x14a, BTN_STYLUS = 0x14b,
               BTN_STYLUS2 = 0x14c;
const double kMouseSeconds = 0.010;

int32_t Units(double pixel, int screenSize, int maxUnits) {
  if (screenSize <= 0) return 0;
  const double units = std::round(pixel * maxUnits / screenSize);
  return static_cast<int32_t>(units < 0 ? 0 : units > maxUnits ? maxUnits : units);
}

uint16_t Tool(bool eraser) { return eraser ? BTN_TOOL_RUBBER : BTN_TOOL_PEN; }

// The pen as the frames so far left it.
struct Pen {
  bool inProximity = false;
  bool eraser = false;
  bool touching = false;
};

class Frames {
 public:
  Frames(const PenMapping& mapping, double interval) : mapping(mapping), interval(interval) {}

  void Packet(const PenStep& step) {
    const int32_t pressure = static_cast<int32_t>(PenPressureUnits(step.pressure, XTABLET_MAX_PRESSURE));
    if (!pen.inProximity && pressure > 0) {
      PenStep entry = step;
      entry.pressure = 0;
      Packet(entry);
    }
    Begin();
    if (!pen.inProximity) Key(Tool(step.eraser), 1);
    pen.inProximity = true;
    pen.eraser = step.eraser;
    Position(step.x, step.y);
    Add(EV_ABS, ABS_PRESSURE, pressure);
    if ((pressure > 0) != pen.touching) Key(BTN_TOUCH, pressure > 0);
    pen.touching = pressure > 0;
    End();
  }

  void Proximity(const PenStep& step) {
    Begin();
    if (step.entering) {
      Key(Tool(step.eraser), 1);
      Position(step.x, step.y);
      Add(EV_ABS, ABS_PRESSURE, 0);
      pen.eraser = step.eraser;
    } else {
      if (pen.touching) Key(BTN_TOUCH, 0);
      Key(Tool(pen.eraser), 0);
    }
    pen.inProximity = step.entering;
    pen.touching = false;
    End();
  }

  void Button(const PenStep& step) {
    Begin();
    Key(step.button == 1 ? BTN_STYLUS : BTN_STYLUS2, step.pressed);
    End();
  }

  void Mark(int index) {
    PenFrame frame = {at, {}, index};
    frames.push_back(frame);
    at += kMouseSeconds;
  }

  void Wait(int milliseconds) { at += milliseconds / 1000.0; }

  std::vector<PenFrame> frames;

 private:
  void Begin() { frames.push_back(PenFrame{at, {}, -1}); }
  void End() {
    Add(EV_SYN, SYN_REPORT, 0);
    at += interval;
  }
  void Add(uint16_t type, uint16_t code, int32_t value) { frames.back().events.push_back(EvdevEvent{type, code, value}); }
  void Key(uint16_t code, bool down) { Add(EV_KEY, code, down ? 1 : 0); }
  void Position(double x, double y) {
    Add(EV_ABS, ABS_X, DeviceX(x, mapping));
    Add(EV_ABS, ABS_Y, DeviceY(y, mapping));
  }

  PenMapping mapping;
  double interval;
  double at = 0;
  Pen pen;
};

void PutLittleEndian(std::vector<unsigned char>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

int32_t DeviceX(double clientX, const PenMapping& mapping) {
  return Units(mapping.originX + clientX, mapping.screenWidth, XTABLET_MAX_X);
}

int32_t DeviceY(double clientY, const PenMapping& mapping) {
  return Units(mapping.originY + clientY, mapping.screenHeight, XTABLET_MAX_Y);
}

std::vector<PenFrame> PenFrames(const std::vector<PenStep>& steps, const PenMapping& mapping, double rate) {
  Frames frames(mapping, 1.0 / rate);
  for (size_t i = 0; i < steps.size(); ++i) {
    const PenStep& step = steps[i];
    switch (step.kind) {
      case PenStep::kPacket: frames.Packet(step); break;
      case PenStep::kProximity: frames.Proximity(step); break;
      case PenStep::kButton: frames.Button(step); break;
      case PenStep::kWait: frames.Wait(step.milliseconds); break;
      default: frames.Mark(static_cast<int>(i)); break;
    }
  }
  return frames.frames;
}

std::vector<unsigned char> EvdevRecords(const PenFrame& frame) {
  std::vector<unsigned char> out;
  const uint64_t microseconds = static_cast<uint64_t>(std::llround(frame.at * 1e6));
  for (const EvdevEvent& event : frame.events) {
    PutLittleEndian(out, microseconds / 1000000, 8);
    PutLittleEndian(out, microseconds % 1000000, 8);
    PutLittleEndian(out, event.type, 2);
    PutLittleEndian(out, event.code, 2);
    PutLittleEndian(out, static_cast<uint32_t>(event.value), 4);
  }
  return out;
}
