#include "RealTablet.h"

#include <cstdlib>

#include "TestFiles.h"
#include "tools/xtablet/DeviceRanges.h"
#include "tools/xtablet/FifoWriter.h"

bool RealTabletRun::Start(const char* name, const std::vector<PenStep>& script, std::string* error) {
  const char* stack = std::getenv("INKSTONE_TABLET_STACK");
  if (!stack) return *error = "INKSTONE_TABLET_STACK is not set: run by scripts/real-tablet", false;
  stack_ = stack;
  steps = script;
  tracePath_ = WinePathOf(stack_ + "/stderr");
  traceStart_ = ReadFileText(tracePath_).size();
  if (!program.Start("real-tablet", name, {}, {"WINEDEBUG=+wintab32"}, false)) {
    return *error = std::string("cannot start ") + name + ": " + program.failure, false;
  }
  ClientToScreen(program.mainWindow, &origin);
  for (const PenStep& step : steps) {
    if (step.kind != PenStep::kProximity) continue;
    SetCursorPos(origin.x + static_cast<int>(step.x), origin.y + static_cast<int>(step.y));
    break;
  }
  Sleep(100);
  return true;
}

bool RealTabletRun::Play(double rate, void (*onMouse)(int, void*), void* context, std::string* error) {
  std::string fifo = ReadFileText(WinePathOf(stack_ + (tablet == 2 ? "/fifo2" : "/fifo")));
  fifo.erase(fifo.find_last_not_of("\r\n") + 1);
  FifoWriter writer;
  if (!writer.Open(fifo, error)) return false;
  const PenMapping mapping = {double(origin.x), double(origin.y), XTABLET_SCREEN_WIDTH, XTABLET_SCREEN_HEIGHT};
  if (!writer.Play(PenFrames(steps, mapping, rate), onMouse, context, nullptr)) {
    return *error = "the pen's frames could not be written", false;
  }
  // The program takes what is still on its way, and paints it.
  Sleep(300);
  WaitPainted(program.mainWindow);
  return true;
}

std::string RealTabletRun::Trace() const { return ReadFileText(tracePath_).substr(traceStart_); }

bool RealTabletRun::WaitForPenOut(int times) const {
  const DWORD start = GetTickCount();
  do {
    const std::string trace = Trace();
    int leavings = 0;
    // WT_PROXIMITY with the low word of lParam 0: the cursor left the context.
    for (size_t at = trace.find("Incoming Message 0x7ff5 "); at != std::string::npos;
         at = trace.find("Incoming Message 0x7ff5 ", at + 1)) {
      const size_t end = trace.find(')', at);
      if (end != std::string::npos && trace.compare(end - 4, 4, "0000") == 0) ++leavings;
    }
    if (leavings >= times) return true;
    Sleep(20);
  } while (GetTickCount() - start < 5000);
  return false;
}

bool RealTabletRun::Close() { return program.Close(); }

std::vector<PenPath> ScriptStrokes(const std::vector<PenStep>& steps) {
  std::vector<PenPath> strokes;
  bool inStroke = false;
  for (const PenStep& step : steps) {
    const bool paints = step.kind == PenStep::kPacket && step.pressure > 0 && !step.eraser && !step.buttons;
    if (paints && !inStroke) strokes.emplace_back();
    if (paints) strokes.back().push_back({step.x, step.y});
    if (step.kind == PenStep::kPacket) inStroke = paints;
  }
  return strokes;
}
