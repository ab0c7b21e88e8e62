// x11_pen_bench: the X11 programs on the real tablet stack (scripts/
// tablet-stack). Pen latency: from the moment the player writes a frame into
// the driver's FIFO to the moment the program has handed that event's pixels
// to the X server (it logs the time when INKSTONE_PAINT_LOG names a file),
// over one long stroke. Sustained rate: frames written and events painted for
// one stroke at 133 to 2000 frames a second. Figures are printed, never
// judged.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/x11/XTestRun.h"
#include "tools/xtablet/DeviceRanges.h"
#include "tools/xtablet/FifoWriter.h"

namespace {

std::string StackFile(const std::string& stack, const char* name) {
  std::ifstream file(stack + "/" + name);
  std::string line;
  std::getline(file, line);
  return line;
}

struct Played {
  int written = 0;
  std::vector<double> writtenAt;  // seconds, CLOCK_MONOTONIC
  std::vector<double> paintedAt;
};

bool Play(const std::string& stack, const char* program, const char* script, double rate, Played& played) {
  std::vector<PenStep> steps;
  std::string error;
  if (!ParsePenScript(script, &steps, &error)) return std::fprintf(stderr, "%s\n", error.c_str()), false;
  const std::string name = StackFile(stack, "display");
  Display* display = XOpenDisplay(name.c_str());
  if (!display) return false;
  const std::string log = stack + "/paint-" + program + ".log";
  XProgramRun run;
  bool ok = run.Start(display, name, X11Program(program), {}, {"INKSTONE_PAINT_LOG=" + log});
  FifoWriter fifo;
  FifoWriter::Stats stats;
  ok = ok && fifo.Open(StackFile(stack, "fifo"), &error);
  const PenMapping mapping = {double(run.originX), double(run.originY), XTABLET_SCREEN_WIDTH, XTABLET_SCREEN_HEIGHT};
  ok = ok && fifo.Play(PenFrames(steps, mapping, rate), nullptr, nullptr, &stats);
  usleep(300000);
  ok = run.Close() && ok;  // the log is complete once the program has ended
  XCloseDisplay(display);
  played.written = stats.framesWritten;
  played.writtenAt = stats.writtenAt;
  std::ifstream times(log);
  for (long long ns; times >> ns;) played.paintedAt.push_back(ns * 1e-9);
  return ok;
}

// One stroke across the canvas, every frame at a new position or pressure:
// each frame is one motion event, but for the proximity-out frame.
std::string Stroke(int frames) {
  return "proximity in 40 300\nstroke " + std::to_string(frames) +
         " 40,300 300,60 560,300 pressure 0.3 1 0.3\nproximity out\n";
}

}  // namespace

int main() {
  const char* stackDir = std::getenv("INKSTONE_TABLET_STACK");
  if (!stackDir) return std::printf("INKSTONE_TABLET_STACK is not set\n"), 1;
  const std::string stack = stackDir;
  const std::string unavailable = StackFile(stack, "unavailable");
  if (!unavailable.empty()) return std::printf("SKIPPED: the real tablet stack is unavailable: %s\n", unavailable.c_str()), 77;
  const char* programs[] = {"inkstone", "inkstone-disc"};

  std::printf("Pen latency, frame written to pixels at the X server, 1000 frames of one stroke at 200 a second:\n");
  std::printf("%-14s %8s %8s %8s %8s %8s\n", "program", "events", "mean", "median", "99th", "worst");
  const std::string latencyScript = Stroke(1000);
  for (const char* program : programs) {
    Played played;
    if (!Play(stack, program, latencyScript.c_str(), 200, played)) {
      std::printf("%-14s could not be played\n", program);
      continue;
    }
    // The proximity-out frame moves nothing: no motion event.
    if (!played.writtenAt.empty()) played.writtenAt.pop_back();
    if (played.paintedAt.size() != played.writtenAt.size()) {
      std::printf("%-14s %zu events painted for %zu frames written: not matched one to one\n", program,
                  played.paintedAt.size(), played.writtenAt.size());
      continue;
    }
    std::vector<double> ms;
    for (size_t i = 0; i < played.writtenAt.size(); ++i) ms.push_back((played.paintedAt[i] - played.writtenAt[i]) * 1e3);
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    if (ms.front() < 0) std::printf("%-14s an event painted before its frame was written: not matched\n", program);
    std::printf("%-14s %8zu %6.3f ms %6.3f ms %6.3f ms %6.3f ms\n", program, ms.size(), sum / ms.size(),
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
  }

  std::printf("\nSustained rate, one stroke of 200 frames with proximity in and out (203 frames, 202 of them motion):\n");
  std::printf("%-8s", "rate");
  for (const char* program : programs) std::printf(" %14s written/painted", program);
  std::printf("\n");
  const std::string rateScript = Stroke(200);
  for (double rate : {133.0, 200.0, 500.0, 1000.0, 2000.0}) {
    std::printf("%-8g", rate);
    for (const char* program : programs) {
      Played played;
      const bool ok = Play(stack, program, rateScript.c_str(), rate, played);
      std::printf(" %14d / %-14zu%s", played.written, played.paintedAt.size(), ok ? "" : " (failed)");
    }
    std::printf("\n");
  }
  return 0;
}
