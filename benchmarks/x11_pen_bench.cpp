// x11_pen_bench: the X11 programs and the 64-bit Windows programs under Wine
// (its own wintab32) on the same real tablet stack (scripts/tablet-stack),
// one after another in one run. Pen latency: from the moment the player
// writes a frame into the driver's FIFO to the moment the X server reports
// that frame's pixels drawn on the program's window (XDamageRecorder, the
// same for both front ends), over one long stroke; for the X11 programs also
// as the program itself logs it (INKSTONE_PAINT_LOG), a check on the
// recorder's own delay. Sustained rate: frames written and events painted
// for one stroke at 133 to 2000 frames a second. Figures are printed, goals
// judged met or not, never asserted.
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "benchmarks/XDamageRecorder.h"
#include "tests/x11/XTestRun.h"
#include "tools/xtablet/DeviceRanges.h"
#include "tools/xtablet/FifoWriter.h"

namespace {

const char kWine[] = "/usr/lib/wine/wine64";

std::string StackFile(const std::string& stack, const char* name) {
  std::ifstream file(stack + "/" + name);
  std::string line;
  std::getline(file, line);
  return line;
}

struct Program {
  std::string name, path;
  bool wine;
};

struct Played {
  std::vector<double> writtenAt;  // seconds, CLOCK_MONOTONIC
  std::vector<bool> paints;       // the frame presses: its event draws
  std::vector<double> damageAt;   // the recorder's, during the play and after
  std::vector<double> motionAt;   // the pen's motion events as the recorder read them
  std::vector<double> loggedAt;   // the X11 program's own paint log
  int motionFrames() const { return int(writtenAt.size()) - 1; }  // all but proximity out
};

bool Play(const std::string& stack, const Program& program, const std::string& script, double rate,
          Played& played) {
  std::vector<PenStep> steps;
  std::string error;
  if (!ParsePenScript(script.c_str(), &steps, &error)) return std::fprintf(stderr, "%s\n", error.c_str()), false;
  const std::string name = StackFile(stack, "display");
  Display* display = XOpenDisplay(name.c_str());
  if (!display) return false;
  const std::string log = stack + "/paint-" + program.name + ".log";
  std::remove(log.c_str());
  XProgramRun run;
  bool ok = program.wine ? run.Start(display, name, kWine, {program.path},
                                     {"WINEPREFIX=" + std::string(INKSTONE_WINE_DIR) + "/wineprefix",
                                      "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="})
                         : run.Start(display, name, program.path, {}, {"INKSTONE_PAINT_LOG=" + log});
  XDamageRecorder recorder;
  ok = ok && recorder.Start(name, run.windows.canvas);
  FifoWriter fifo;
  FifoWriter::Stats stats = {};
  ok = ok && fifo.Open(StackFile(stack, "fifo"), &error);
  // Under Wine the titled window holds the frame Wine draws around the
  // canvas, and the drawing goes straight into it: the stroke lands a
  // border and a caption up and left, still on the canvas.
  const PenMapping mapping = {double(run.originX), double(run.originY), XTABLET_SCREEN_WIDTH, XTABLET_SCREEN_HEIGHT};
  const std::vector<PenFrame> frames = PenFrames(steps, mapping, rate);
  ok = ok && fifo.Play(frames, nullptr, nullptr, &stats);
  usleep(300000);
  recorder.Stop();
  ok = run.Close() && ok;  // the log is complete once the program has ended
  XCloseDisplay(display);
  played.writtenAt = stats.writtenAt;
  for (const PenFrame& frame : frames) {
    bool presses = false;
    for (const EvdevEvent& e : frame.events) presses |= e.type == EV_ABS && e.code == ABS_PRESSURE && e.value > 0;
    played.paints.push_back(presses);
  }
  const double start = played.writtenAt.empty() ? 0 : played.writtenAt.front();
  for (const DamageSeen& damage : recorder.seen) {
    if (damage.at >= start) played.damageAt.push_back(damage.at);
  }
  for (double at : recorder.motionAt) {
    if (at >= start) played.motionAt.push_back(at);
  }
  std::ifstream times(log);
  for (long long ns; times >> ns;) played.loggedAt.push_back(ns * 1e-9);
  return ok && played.paints.size() == played.writtenAt.size();
}

// Each pressing frame is matched to the first time in `seen` (damage, or
// motion events) after the frame was written and before the next one was:
// the drawing of that frame's event, or its delivery. A frame with nothing
// in that span is unmatched: it came later, with a later frame's, or never.
// Milliseconds.
std::vector<double> Latencies(const Played& played, const std::vector<double>& seen, int* unmatched) {
  std::vector<double> ms;
  *unmatched = 0;
  for (size_t i = 0; i < played.writtenAt.size(); ++i) {
    if (!played.paints[i]) continue;
    const double next = i + 1 < played.writtenAt.size() ? played.writtenAt[i + 1] : 1e300;
    auto at = std::lower_bound(seen.begin(), seen.end(), played.writtenAt[i]);
    if (at == seen.end() || *at >= next) ++*unmatched;
    else ms.push_back((*at - played.writtenAt[i]) * 1e3);
  }
  return ms;
}

struct Figures {
  double mean = 0, median = 0, p99 = 0, worst = 0;
};

Figures Summarise(std::vector<double> ms) {
  Figures f;
  if (ms.empty()) return f;
  for (double m : ms) f.mean += m / ms.size();
  std::sort(ms.begin(), ms.end());
  f.median = ms[ms.size() / 2];
  f.p99 = ms[ms.size() * 99 / 100];
  f.worst = ms.back();
  return f;
}

// One stroke across the canvas, every frame at a new position or pressure:
// each frame is one motion event, but for the proximity-out frame.
std::string Stroke(int frames) {
  return "proximity in 40 300\nstroke " + std::to_string(frames) +
         " 40,300 300,60 560,300 pressure 0.3 1 0.3\nproximity out\n";
}

const char* Judged(bool met) { return met ? "met" : "not met"; }

}  // namespace

int main() {
  const char* stackDir = std::getenv("INKSTONE_TABLET_STACK");
  if (!stackDir) return std::printf("INKSTONE_TABLET_STACK is not set\n"), 1;
  const std::string stack = stackDir;
  const std::string unavailable = StackFile(stack, "unavailable");
  if (!unavailable.empty()) return std::printf("SKIPPED: the real tablet stack is unavailable: %s\n", unavailable.c_str()), 77;

  std::vector<Program> programs = {{"inkstone", X11Program("inkstone"), false},
                                   {"inkstone-disc", X11Program("inkstone-disc"), false}};
  // The Windows programs of the win64 build beside this one, in a Wine
  // prefix of this build's own on the stack's display.
  const std::string windows = INKSTONE_WIN64_PROGRAMS;
  std::string wineMissing;
  if (access(kWine, X_OK) != 0) wineMissing = std::string(kWine) + " is not installed";
  for (const char* exe : {"inkstone.exe", "inkstone-disc.exe"}) {
    if (wineMissing.empty() && access((windows + "/" + exe).c_str(), R_OK) != 0) {
      wineMissing = windows + "/" + exe + " is missing (the win64 build was not built)";
    }
  }
  const std::string wineSession = std::string("INKSTONE_WINE_BUILD=" INKSTONE_WINE_DIR " INKSTONE_WINE_DISPLAY=") +
                                  StackFile(stack, "display") + " " INKSTONE_SOURCE_DIR "/scripts/wine-session";
  if (wineMissing.empty() && std::system((wineSession + " ensure").c_str()) != 0) {
    wineMissing = "the Wine prefix " INKSTONE_WINE_DIR "/wineprefix could not be made";
  }
  if (wineMissing.empty()) {
    // One wineserver for all the starts, ended at the close.
    std::system("WINEPREFIX=" INKSTONE_WINE_DIR "/wineprefix /usr/lib/wine/wineserver -p");
    programs.push_back({"inkstone.exe", windows + "/inkstone.exe", true});
    programs.push_back({"inkstone-disc.exe", windows + "/inkstone-disc.exe", true});
  } else {
    std::printf("The Wine part is skipped: %s. Measuring the X11 programs alone.\n\n", wineMissing.c_str());
  }

  std::printf("Pen latency, frame written to its pixels drawn at the X server (XDamage, read by a second client), "
              "1000 frames of one stroke at 200 a second; beside it the X server's own share, the frame's motion "
              "event delivered to that client, and the X11 programs' own paint log:\n");
  std::printf("%-18s %7s %9s %9s %9s %9s %9s %7s %9s %9s\n", "program", "matched", "unmatched", "mean", "median",
              "99th", "worst", "damage", "delivery", "log mean");
  std::vector<Figures> latency(programs.size()), delivery(programs.size());
  const std::string latencyScript = Stroke(1000);
  for (size_t p = 0; p < programs.size(); ++p) {
    Played played;
    if (!Play(stack, programs[p], latencyScript, 200, played)) {
      std::printf("%-18s could not be played\n", programs[p].name.c_str());
      continue;
    }
    int unmatched, undelivered;
    const std::vector<double> ms = Latencies(played, played.damageAt, &unmatched);
    latency[p] = Summarise(ms);
    delivery[p] = Summarise(Latencies(played, played.motionAt, &undelivered));
    const Figures& f = latency[p];
    std::printf("%-18s %7zu %9d %6.3f ms %6.3f ms %6.3f ms %6.3f ms %7zu %6.3f ms", programs[p].name.c_str(),
                ms.size(), unmatched, f.mean, f.median, f.p99, f.worst, played.damageAt.size(), delivery[p].mean);
    if (programs[p].wine) {
      std::printf(" %9s\n", "-");
    } else if (int(played.loggedAt.size()) != played.motionFrames()) {
      std::printf("  %zu logged for %d events: not one to one\n", played.loggedAt.size(), played.motionFrames());
    } else {
      std::vector<double> logged;
      for (size_t i = 0; i < played.loggedAt.size(); ++i) logged.push_back((played.loggedAt[i] - played.writtenAt[i]) * 1e3);
      std::printf(" %6.3f ms\n", Summarise(logged).mean);
    }
  }

  std::printf("\nSustained rate, one stroke of 200 frames with proximity in and out (written: frames; painted: "
              "events the X11 program logged as painted; damage: rectangles the X server reported drawn, the only "
              "count for Wine, whose one put may carry the drawing of several packets):\n%-6s", "rate");
  for (const Program& program : programs) std::printf(" %24s", (program.name + (program.wine ? " w/damage" : " w/painted/damage")).c_str());
  std::printf("\n");
  const std::string rateScript = Stroke(200);
  bool nativeKept = true;
  for (double rate : {133.0, 200.0, 500.0, 1000.0, 2000.0}) {
    std::printf("%-6g", rate);
    for (const Program& program : programs) {
      Played played;
      const bool ok = Play(stack, program, rateScript, rate, played);
      char cell[64];
      if (program.wine) {
        std::snprintf(cell, sizeof cell, "%zu / %zu", played.writtenAt.size(), played.damageAt.size());
      } else {
        std::snprintf(cell, sizeof cell, "%zu / %zu / %zu", played.writtenAt.size(), played.loggedAt.size(),
                      played.damageAt.size());
        nativeKept = nativeKept && ok && int(played.loggedAt.size()) == played.motionFrames();
      }
      std::printf(" %24s%s", cell, ok ? "" : " (failed)");
    }
    std::printf("\n");
  }
  if (wineMissing.empty()) std::system("WINEPREFIX=" INKSTONE_WINE_DIR "/wineprefix /usr/lib/wine/wineserver -k");

  std::printf("\n");
  bool fast = true, steady = true, ahead = wineMissing.empty();
  for (size_t p = 0; p < 2; ++p) {
    fast = fast && latency[p].worst > 0 && latency[p].mean < 0.2;
    steady = steady && latency[p].worst > 0 && latency[p].p99 < 1;
    if (wineMissing.empty()) {
      const double ratio = latency[p].mean > 0 ? latency[p + 2].mean / latency[p].mean : 0;
      std::printf("Wine / X11, mean latency: %s %.3f ms / %s %.3f ms = %.1fx\n", programs[p + 2].name.c_str(),
                  latency[p + 2].mean, programs[p].name.c_str(), latency[p].mean, ratio);
      // Beyond the X server's delivery of the event: the front end's own time.
      const double own = latency[p].mean - delivery[p].mean, wineOwn = latency[p + 2].mean - delivery[p + 2].mean;
      if (delivery[p].mean > 0 && delivery[p + 2].mean > 0) {
        std::printf("  beyond the X server's delivery: %.3f ms / %.3f ms = %.1fx\n", wineOwn, own,
                    own > 0 ? wineOwn / own : 0);
      }
      ahead = ahead && ratio >= 5;
    }
  }
  std::printf("Goal, X11 mean latency under 0.2 ms: %s\n", Judged(fast));
  std::printf("Goal, X11 99th percentile under 1 ms: %s\n", Judged(steady));
  std::printf("Goal, X11 mean at least 5x lower than Wine's in the same run: %s\n",
              wineMissing.empty() ? Judged(ahead) : "not judged (no Wine part)");
  std::printf("Goal, nothing dropped by the X11 programs at any rate: %s\n", Judged(nativeKept));
  return 0;
}
