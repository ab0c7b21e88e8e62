#include "tools/wintab32/PenScript.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

const char* const kBarNames[4] = {"red", "green", "blue", "alpha"};
const int kDragValuesPerMove = 8;  // a mouse move every few columns, as a hand drags
const int kMaxPackets = 100000;

PenStep Step(PenStep::Kind kind) {
  PenStep step = {};
  step.kind = kind;
  return step;
}

// Where the pen is and what is held, as the script's lines leave it.
struct PenState {
  bool penDown = false;
  bool inProximity = true;
  bool moved = false;  // a pen step came: a first `proximity in` may still say where the pen starts
  bool eraser = false;
  int buttons = 0;
  double lastX = 0, lastY = 0, lastPressure = 0;
};

PenStep Packet(const PenState& pen, double x, double y, double pressure) {
  PenStep step = Step(PenStep::kPacket);
  step.x = x;
  step.y = y;
  step.pressure = pressure;
  step.eraser = pen.eraser;
  step.buttons = pen.buttons;
  return step;
}

// Appends a packet and keeps the pen's state.
void Put(std::vector<PenStep>* steps, PenState* pen, double x, double y, double pressure) {
  steps->push_back(Packet(*pen, x, y, pressure));
  pen->penDown = pressure > 0;
  pen->lastX = x;
  pen->lastY = y;
  pen->lastPressure = pressure;
}

bool ReadPoint(std::istringstream& in, double* x, double* y) {
  std::string word;
  if (!(in >> word)) return false;
  char comma = 0, rest = 0;
  return std::sscanf(word.c_str(), "%lf%c%lf%c", x, &comma, y, &rest) == 3 && comma == ',' && std::isfinite(*x) &&
         std::isfinite(*y);
}

bool ReadPressure(std::istringstream& in, double* pressure) {
  return (in >> *pressure) && *pressure >= 0 && *pressure <= 1;
}

bool ReadValue(std::istringstream& in, int* value) { return (in >> *value) && *value >= 0 && *value <= 255; }

bool ReadPackets(std::istringstream& in, int least, int* packets) {
  return (in >> *packets) && *packets >= least && *packets <= kMaxPackets;
}

bool ReadPosition(std::istringstream& in, double* x, double* y) {
  return (in >> *x >> *y) && std::isfinite(*x) && std::isfinite(*y);
}

// The pen-state commands: hover, proximity, button. False with a reason.
bool ParsePenState(const std::string& command, std::istringstream& in, std::vector<PenStep>* steps, PenState* pen,
                   std::string* reason) {
  if (command == "hover") {
    int packets = 0;
    double x[2], y[2];
    if (!ReadPackets(in, 2, &packets)) return *reason = "hover needs 2 or more packets", false;
    for (int i = 0; i < 2; ++i)
      if (!ReadPoint(in, &x[i], &y[i])) return *reason = "hover needs two points x,y", false;
    if (!pen->inProximity) return *reason = "hover out of proximity: `proximity in` first", false;
    if (pen->penDown) return *reason = "hover with the pen down", false;
    for (int i = 0; i < packets; ++i) {
      const double t = i / double(packets - 1);
      Put(steps, pen, x[0] + (x[1] - x[0]) * t, y[0] + (y[1] - y[0]) * t, 0);
    }
  } else if (command == "proximity") {
    std::string direction, end;
    PenStep step = Step(PenStep::kProximity);
    in >> direction;
    if (direction == "in") {
      if (!ReadPosition(in, &step.x, &step.y)) return *reason = "proximity in needs x y", false;
      if ((in >> end) && end != "tip" && end != "eraser") return *reason = "proximity in takes tip or eraser", false;
      if (pen->inProximity && pen->moved) return *reason = "proximity in while in proximity", false;
      step.entering = true;
      step.eraser = end == "eraser";
      pen->inProximity = true;
      pen->eraser = step.eraser;
      pen->lastX = step.x;
      pen->lastY = step.y;
      pen->lastPressure = 0;
    } else if (direction == "out") {
      if (!pen->inProximity) return *reason = "proximity out while out of proximity", false;
      if (pen->penDown || pen->buttons) return *reason = "proximity out with the pen down or a button held", false;
      step.x = pen->lastX;
      step.y = pen->lastY;
      step.eraser = pen->eraser;
      pen->inProximity = false;
    } else {
      return *reason = "proximity needs in or out", false;
    }
    steps->push_back(step);
  } else {  // button
    PenStep step = Step(PenStep::kButton);
    std::string state;
    if (!(in >> step.button) || step.button < 1 || step.button > 2 || !(in >> state) ||
        (state != "down" && state != "up"))
      return *reason = "button needs 1 or 2 and down or up", false;
    if (!pen->inProximity) return *reason = "button out of proximity", false;
    step.pressed = state == "down";
    const int bit = 1 << (step.button - 1);
    if (((pen->buttons & bit) != 0) == step.pressed) return *reason = "button " + state + " twice", false;
    pen->buttons ^= bit;
    step.x = pen->lastX;
    step.y = pen->lastY;
    step.pressure = pen->lastPressure;
    step.eraser = pen->eraser;
    step.buttons = pen->buttons;
    steps->push_back(step);
  }
  return true;
}

// Parses one command line (comment removed); false with a reason.
bool ParseLine(const std::string& line, std::vector<PenStep>* steps, PenState* pen, std::string* reason) {
  std::istringstream in(line);
  std::string command;
  if (!(in >> command)) return true;  // blank
  const bool makesPackets = command == "stroke" || command == "pen" || command == "lift";
  if (makesPackets && !pen->inProximity) return *reason = command + " out of proximity: `proximity in` first", false;
  if (command == "stroke") {
    int packets = 0;
    double x[3], y[3], p[3];
    std::string word;
    if (!(in >> packets) || packets < 2 || packets > kMaxPackets) return *reason = "stroke needs 2 or more packets", false;
    for (int i = 0; i < 3; ++i)
      if (!ReadPoint(in, &x[i], &y[i])) return *reason = "stroke needs three points x,y", false;
    if (!(in >> word) || word != "pressure") return *reason = "stroke needs `pressure p0 p1 p2`", false;
    for (int i = 0; i < 3; ++i)
      if (!ReadPressure(in, &p[i])) return *reason = "pressures are 0..1", false;
    std::string tail;
    const bool hold = (in >> tail) && tail == "hold";
    if (!tail.empty() && !hold) return *reason = "unexpected `" + tail + "`", false;
    for (int i = 0; i < packets; ++i) {
      const double t = i / double(packets - 1);
      // Along the curve as a hand moves: slow at both ends, so that a
      // smoothing program's line reaches the end before the lift.
      const double s = t * t * t * (t * (t * 6 - 15) + 10);
      const double u = 1 - s;
      const double px = u * u * x[0] + 2 * u * s * x[1] + s * s * x[2];
      const double py = u * u * y[0] + 2 * u * s * y[1] + s * s * y[2];
      const double pressure = t < 0.5 ? p[0] + (p[1] - p[0]) * (2 * t) : p[1] + (p[2] - p[1]) * (2 * t - 1);
      Put(steps, pen, px, py, pressure);
    }
    if (!hold) Put(steps, pen, x[2], y[2], 0);
  } else if (command == "pen") {
    double x, y, pressure;
    if (!ReadPosition(in, &x, &y) || !ReadPressure(in, &pressure))
      return *reason = "pen needs x y pressure (0..1)", false;
    Put(steps, pen, x, y, pressure);
  } else if (command == "lift") {
    int count = 1;
    std::string word;
    if (in >> word) {
      std::istringstream number(word);
      if (!(number >> count) || !number.eof() || count < 1 || count > kMaxPackets)
        return *reason = "lift takes a number of packets", false;
    }
    if (!pen->penDown) return *reason = "lift without the pen down", false;
    const double from = pen->lastPressure;
    for (int i = 1; i <= count; ++i) Put(steps, pen, pen->lastX, pen->lastY, from * (count - i) / count);
  } else if (command == "hover" || command == "proximity" || command == "button") {
    if (!ParsePenState(command, in, steps, pen, reason)) return false;
  } else if (command == "drag") {
    std::string name;
    int from, to, bar = -1;
    in >> name;
    for (int k = 0; k < 4; ++k)
      if (name == kBarNames[k]) bar = k;
    if (bar < 0) return *reason = "drag needs a bar: red, green, blue or alpha", false;
    if (!ReadValue(in, &from) || !ReadValue(in, &to)) return *reason = "drag needs values 0..255", false;
    PenStep step = Step(PenStep::kBarPress);
    step.bar = bar;
    step.value = from;
    steps->push_back(step);
    const int direction = to > from ? 1 : -1;
    for (int v = from + direction * kDragValuesPerMove; v != to && (v - to) * direction < 0;
         v += direction * kDragValuesPerMove) {
      step.kind = PenStep::kBarMove;
      step.value = v;
      steps->push_back(step);
    }
    step.kind = PenStep::kBarRelease;
    step.value = to;
    steps->push_back(step);
  } else if (command == "pick") {
    PenStep step = Step(PenStep::kPick);
    if (!(in >> step.x >> step.y) || !std::isfinite(step.x) || !std::isfinite(step.y))
      return *reason = "pick needs x y", false;
    steps->push_back(step);
  } else if (command == "wait") {
    PenStep step = Step(PenStep::kWait);
    if (!(in >> step.milliseconds) || step.milliseconds < 0 || step.milliseconds > 60000)
      return *reason = "wait needs milliseconds (0..60000)", false;
    steps->push_back(step);
  } else {
    return *reason = "unknown command `" + command + "`", false;
  }
  std::string extra;
  if (in >> extra) return *reason = "unexpected `" + extra + "`", false;
  if (makesPackets || command == "hover" || command == "proximity" || command == "button") pen->moved = true;
  return true;
}

}  // namespace

bool ParsePenScript(const std::string& text, std::vector<PenStep>* steps, std::string* error) {
  steps->clear();
  std::istringstream lines(text);
  std::string line, reason;
  PenState pen;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    if (!ParseLine(line, steps, &pen, &reason)) {
      if (error) *error = "line " + std::to_string(number) + ": " + reason;
      return false;
    }
  }
  return true;
}

bool LoadPenScript(const char* path, std::vector<PenStep>* steps, std::string* error) {
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    if (error) *error = std::string("cannot read ") + path;
    return false;
  }
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  std::fclose(file);
  return ParsePenScript(text, steps, error);
}

unsigned PenPressureUnits(double pressure, long axMax) {
  if (pressure <= 0 || axMax <= 0) return 0;
  const long units = std::lround(pressure * axMax);
  return units < 1 ? 1u : static_cast<unsigned>(units);
}
