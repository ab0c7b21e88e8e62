// Sustained pen rates through the real stack: Wine's own wintab32, the X
// server and its tablet driver (scripts/real-tablet). For each program and
// rate, a long stroke with hover before and after; from Wine's trace, the
// packets Wine queued, those the program read, and those that left the queue
// unread: same-time companions (the button change Wine queues beside a
// touch-down or lift), proximity packets (which the program's proximity
// handling removes), and the rest. Goal: nothing but companions and
// proximity packets removed unread, at every rate up to 1000 a second. A run
// that cannot be played is reported and the next goes on; the benchmark fails
// only where a program is faulty.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchmarks/BuildFigures.h"
#include "tests/support/RealTablet.h"

namespace {
const char kScript[] =
    "proximity in 100 300\n"
    "hover 10 100,300 80,300\n"
    "stroke 200 80,300 300,100 520,300 pressure 0.3 1 0.3\n"
    "hover 10 520,300 540,300\n"
    "proximity out\n";

const int kRuns = 3;

struct Counts {
  int queued = 0, read = 0, companions = 0, proximity = 0, otherUnread = 0, lost = 0;
};

Counts Count(const WintabTrace& trace) {
  Counts counts;
  counts.queued = trace.queued;
  for (const TraceEvent& event : trace.events) {
    const TracedPacket& p = event.packet;
    if (event.kind == TraceEvent::kRead) ++counts.read;
    if (event.kind == TraceEvent::kLost) ++counts.lost;
    if (event.kind != TraceEvent::kRemovedUnread) continue;
    if (p.companion) ++counts.companions;
    else if (p.proximity) ++counts.proximity;
    else ++counts.otherUnread;
  }
  return counts;
}

// The script played into a fresh start of the program, kRuns times: plays
// into a program that has handled one before lose more packets unread. A
// program that ended by itself, or would not end when closed, is faulty.
std::vector<Counts> Measure(const char* program, double rate, std::string* error, bool* faulty) {
  std::vector<Counts> runs;
  std::vector<PenStep> steps;
  if (!ParsePenScript(kScript, &steps, error)) return runs;
  for (int i = 0; i < kRuns; ++i) {
    RealTabletRun run;
    if (!run.Start(program, steps, error) || !run.Play(rate, nullptr, nullptr, error)) {
      *faulty = *faulty || run.program.ended;
      continue;
    }
    if (!run.Close()) {
      *faulty = true;
      *error = "it did not end when closed";
      continue;
    }
    runs.push_back(Count(ParseWintabTrace(run.Trace())));
  }
  return runs;
}
}  // namespace

int main() {
  if (!std::getenv("INKSTONE_TABLET_STACK")) {
    std::printf("run by scripts/real-tablet\n");
    return 1;
  }
  std::printf("real_tablet.rate_bench: %s\n", BuildLabel());
  std::printf("Through Wine's own wintab32 and the X tablet driver, one stroke of 200 packets with hover, %d runs "
              "of each; packets removed unread beyond companions and proximity packets, and lost to a full queue, "
              "as median and worst:\n",
              kRuns);
  std::printf("%-14s %6s %7s %5s %11s %10s %12s %5s\n", "program", "rate/s", "queued", "read", "companions",
              "proximity", "other unread", "lost");
  bool metGoal = true, faulty = false;
  std::string summary;
  for (const char* program : {"inkstone", "inkstone-disc"}) {
    summary += std::string(summary.empty() ? "" : "; ") + program + " unread (median/worst)";
    for (double rate : {133.0, 200.0, 500.0, 1000.0}) {
      std::vector<int> unread, lost;
      std::string error;
      for (const Counts& c : Measure(program, rate, &error, &faulty)) {
        std::printf("%-14s %6.0f %7d %5d %11d %10d %12d %5d\n", program, rate, c.queued, c.read, c.companions,
                    c.proximity, c.otherUnread, c.lost);
        unread.push_back(c.otherUnread);
        lost.push_back(c.lost);
      }
      if (!error.empty()) std::printf("%-14s %6.0f: %s\n", program, rate, error.c_str());
      if (unread.empty()) continue;
      std::sort(unread.begin(), unread.end());
      std::sort(lost.begin(), lost.end());
      std::printf("%-14s %6.0f   other unread: median %d, worst %d; lost: median %d, worst %d\n", program, rate,
                  unread[unread.size() / 2], unread.back(), lost[lost.size() / 2], lost.back());
      char figures[64];
      std::snprintf(figures, sizeof figures, " %.0f/s %d/%d", rate, unread[unread.size() / 2], unread.back());
      summary += figures;
      metGoal = metGoal && unread.back() == 0 && lost.back() == 0;
    }
  }
  std::printf("Goal (nothing else removed unread or lost, at every rate): %s\n", metGoal ? "met" : "not met");
  PrintSummary("real tablet rates", summary);
  return faulty ? 1 : 0;
}
