// Strokes on a busy machine, through the real stack (scripts/real-tablet):
// eight strokes at 200 packets a second into each program while two
// CPU-bound processes, started and ended here, keep both cores busy. For each
// stroke, how much of its path the screen shows painted and how many pixels
// of ink lie away from every stroke; from Wine's trace, the packets lost to a
// full queue and those removed unread beyond companions and proximity
// packets. A stall the queue cannot hold loses the packets that arrive
// meanwhile: the middle of a stroke, its lift or the next touch-down.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/BuildFigures.h"
#include "tests/support/RealTablet.h"

namespace {
const int kStrokes = 8;
const int kRuns = 1;

std::string Script() {
  std::string script;
  for (int k = 0; k < kStrokes; ++k) {
    const int y = 60 + 65 * k;
    char lines[256];
    std::snprintf(lines, sizeof lines,
                  "proximity in 80 %d\nhover 4 80,%d 100,%d\n"
                  "stroke 100 100,%d 300,%d 500,%d pressure 0.4 1 0.4\nproximity out\nwait 30\n",
                  y, y, y, y, y - 30, y);
    script += lines;
  }
  return script;
}

struct Result {
  double worstCoverage = 1;  // of the strokes' paths, the least painted
  int strokesBroken = 0;     // painted along less than 95 % of their path
  int stray = 0;
  int lost = 0;
  int otherUnread = 0;
};

bool Run(const char* program, Result* result, std::string* error, bool* faulty) {
  std::vector<PenStep> steps;
  RealTabletRun run;
  if (!ParsePenScript(Script(), &steps, error) || !run.Start(program, steps, error) ||
      !run.Play(200, nullptr, nullptr, error)) {
    *faulty = *faulty || run.program.ended;
    return false;
  }
  const Capture screen = CaptureClient(run.program.mainWindow);
  if (!run.Close()) {
    *faulty = true;
    return *error = "it did not end when closed", false;
  }
  std::vector<PenPath> brushPaths;
  for (const PenPath& stroke : ScriptStrokes(steps)) {
    brushPaths.push_back(MovingAverage(stroke, 10));
    int painted = 0;
    for (const PathPoint& point : brushPaths.back()) painted += InkAround(screen, point, 2) > 0;
    const double coverage = painted / double(brushPaths.back().size());
    if (coverage < result->worstCoverage) result->worstCoverage = coverage;
    if (coverage < 0.95) ++result->strokesBroken;
  }
  result->stray = InkAwayFromPaths(screen, brushPaths, 3);
  for (const TraceEvent& event : ParseWintabTrace(run.Trace()).events) {
    if (event.kind == TraceEvent::kLost) ++result->lost;
    if (event.kind == TraceEvent::kRemovedUnread && !event.packet.companion && !event.packet.proximity)
      ++result->otherUnread;
  }
  return true;
}

void Hog() {
  volatile unsigned long spin = 0;
  for (;;) ++spin;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--hog") == 0) Hog();
  if (!std::getenv("INKSTONE_TABLET_STACK")) {
    std::printf("run by scripts/real-tablet\n");
    return 1;
  }
  std::printf("real_tablet.load_bench: %s\n", BuildLabel());
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  ChildProcess hogs[2];
  for (ChildProcess& hog : hogs) {
    if (!hog.Start(self, {"--hog"})) std::printf("a CPU-bound process could not be started\n");
  }
  std::printf("%d strokes at 200 packets/s with 2 CPU-bound processes beside (ids %lu, %lu), %d run(s) each:\n", kStrokes,
              hogs[0].Id(), hogs[1].Id(), kRuns);
  std::printf("%-14s %4s %14s %15s %6s %5s %12s\n", "program", "run", "least painted", "broken strokes", "stray",
              "lost", "other unread");
  bool faulty = false;
  std::string summary;
  for (const char* program : {"inkstone", "inkstone-disc"}) {
    int broken = 0, stray = 0, lost = 0;
    for (int i = 0; i < kRuns; ++i) {
      Result r;
      std::string error;
      if (!Run(program, &r, &error, &faulty)) {
        std::printf("%-14s %4d %s\n", program, i + 1, error.c_str());
        continue;
      }
      std::printf("%-14s %4d %13.0f%% %15d %6d %5d %12d\n", program, i + 1, 100 * r.worstCoverage, r.strokesBroken,
                  r.stray, r.lost, r.otherUnread);
      broken += r.strokesBroken;
      stray += r.stray;
      lost += r.lost;
    }
    char figures[128];
    std::snprintf(figures, sizeof figures, "%s%s %d broken strokes, %d stray pixels, %d lost", summary.empty() ? "" : "; ",
                  program, broken, stray, lost);
    summary += figures;
  }
  for (ChildProcess& hog : hogs) hog.Kill();
  PrintSummary("real tablet under load", summary);
  return faulty ? 1 : 0;
}
