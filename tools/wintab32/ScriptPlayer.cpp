// Plays $WINTAB_DOUBLE_SCRIPT (a pen script, PenScript.h) in the program that
// opened a context: packets at a pen's pace into the context opened last,
// proximity changes as WT_PROXIMITY, and picker drags and picks as real mouse
// input. Cursor 1 is the tip, 2 the eraser; buttons are reported relative (the
// changed button's number with TBN_DOWN or TBN_UP, else 0). A timer on the
// control window's thread (the program's own) drives it; each packet waits
// until the program has handled the one before it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/wintab32/DoubleState.h"
#include "tools/wintab32/MouseSteps.h"
#include "tools/wintab32/PenScript.h"

using namespace wintab_double;

namespace {

const UINT_PTR kTimerId = 0x5C41;
const UINT kTickMs = 5;
const int kPacketMs = 5;   // a pen reports about 200 packets a second
const int kMouseMs = 10;   // mouse moves of a drag
const UINT kTipCursor = 1, kEraserCursor = 2;
const WORD TBN_UP = 1, TBN_DOWN = 2;

std::vector<PenStep> steps;
size_t next;
bool playing;
DWORD dueAt;      // tick count at which the next step is due
UINT waitingFor;  // serial number of the packet queued and not yet handled
std::string fault;  // a step that could not be played

// Creates the file named by WINTAB_DOUBLE_SCRIPT_DONE, holding the reason
// when the script could not be played.
void Finish(const std::string& problem) {
  const char* done = std::getenv("WINTAB_DOUBLE_SCRIPT_DONE");
  if (!done || !*done) return;
  if (FILE* file = std::fopen(done, "wb")) {
    if (!problem.empty()) std::fprintf(file, "%s\n", problem.c_str());
    std::fclose(file);
  }
}

// Queues a packet where the step puts the pen; the serial number, 0 for none.
UINT QueueAt(const PenStep& step, DWORD buttons, Context& context) {
  const WintabDoubleDevice device = CurrentDevice();
  const LogContext& d = context.description;
  POINT origin = {0, 0};
  ClientToScreen(context.window, &origin);
  WintabDoublePacket packet = {};
  if (d.lcSysExtX > 0 && d.lcSysExtY > 0) {
    packet.x = static_cast<DWORD>(std::lround((step.x + origin.x - d.lcSysOrgX) * device.inExtX / d.lcSysExtX));
    packet.y = static_cast<DWORD>(std::lround((step.y + origin.y - d.lcSysOrgY) * device.inExtY / d.lcSysExtY));
  }
  packet.normalPressure = PenPressureUnits(step.pressure, device.pressureMax);
  packet.cursor = step.eraser ? kEraserCursor : kTipCursor;
  packet.buttons = buttons;
  return QueuePacket(&context, packet);
}

// Plays one step. Packets: the serial number queued, 0 for none. Other steps:
// 0 when the program must run before the next step.
UINT Play(const PenStep& step, Context& context) {
  switch (step.kind) {
    case PenStep::kPacket:
      return QueueAt(step, 0, context);
    case PenStep::kButton:
      return QueueAt(step, MAKELONG(step.button, step.pressed ? TBN_DOWN : TBN_UP), context);
    case PenStep::kProximity:
      if (!PostProximity(&context, step.entering, TRUE)) fault = "no proximity message for this context";
      return 0;
    case PenStep::kBarPress:
    case PenStep::kBarMove:
    case PenStep::kBarRelease:
    case PenStep::kPick:
      if (!PlayMouseStep(step, context.window)) fault = "no colour picker for a drag";
      return 0;
    case PenStep::kWait:
      return 1;
  }
  return 0;
}

int Duration(const PenStep& step) {
  switch (step.kind) {
    case PenStep::kPacket:
    case PenStep::kButton:
    case PenStep::kProximity: return kPacketMs;
    case PenStep::kWait: return step.milliseconds;
    default: return kMouseMs;
  }
}

// Plays the steps that are due. A packet is queued only once the one before it
// has been handled, as a pen's packets come one by one: a program may flush
// what is queued behind the packet it reads.
void Advance() {
  if (!playing || waitingFor) return;
  Context* context = ContextOrLastOpened(nullptr);
  if (!context) {
    playing = false;
    KillTimer(ControlWindow(), kTimerId);
    Finish("the context was closed before the script ended");
    return;
  }
  const DWORD now = GetTickCount();
  if (static_cast<LONG>(now - dueAt) > 50) dueAt = now;  // late ticks do not make the rest hurry
  while (next < steps.size() && static_cast<LONG>(now - dueAt) >= 0) {
    const PenStep& step = steps[next++];
    dueAt += Duration(step);
    if (step.kind == PenStep::kPacket || step.kind == PenStep::kButton) {
      waitingFor = Play(step, *context);
      if (waitingFor) return;
    } else if (!Play(step, *context)) {
      return;  // mouse input: handled before the next timer message
    }
  }
}

void CALLBACK Tick(HWND window, UINT, UINT_PTR id, DWORD) {
  // Timer messages come after posted and input messages: when everything is
  // played, it has been handled too.
  if (playing && !waitingFor && next == steps.size()) {
    playing = false;
    KillTimer(window, id);
    Finish(fault);
    return;
  }
  Advance();
}

}  // namespace

namespace wintab_double {

void StartScript() {
  static bool started;
  const char* path = std::getenv("WINTAB_DOUBLE_SCRIPT");
  if (started || !path || !*path || !ControlWindow()) return;
  started = true;
  std::string problem;
  if (!LoadPenScript(path, &steps, &problem)) return Finish(problem);
  next = 0;
  playing = true;
  dueAt = GetTickCount() + 200;  // the program first shows its windows
  SetTimer(ControlWindow(), kTimerId, kTickMs, Tick);
}

void ScriptPacketHandled(UINT serial) {
  if (!waitingFor || serial != waitingFor) return;
  waitingFor = 0;
  Advance();
}

}  // namespace wintab_double
