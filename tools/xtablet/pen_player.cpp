// pen_player <fifo> <script> [--rate N] [--origin X,Y] [--window TITLE] [--warp X,Y]
// Plays a pen script into the tablet stack's FIFO (scripts/tablet-stack) at
// N packets a second (default 200), for the canvas whose client origin is at
// screen X,Y (default 0,0). Under Wine, --window takes the origin from the
// top-level window with that title, and --warp first puts the pointer on that
// client position (X delivers a proximity change, and the first event after
// the pointer comes in, to the window the pointer was over); mouse steps are
// not played. Natively, --window takes the origin from the X11 program's
// canvas of that title on $DISPLAY, and the mouse steps are played there
// through XTest.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/xtablet/DeviceRanges.h"
#include "tools/xtablet/FifoWriter.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "tools/xtablet/XMouseSteps.h"
#endif

namespace {

int Usage() {
  std::fprintf(stderr, "usage: pen_player <fifo> <script> [--rate N] [--origin X,Y] [--window TITLE] [--warp X,Y]\n");
  return 2;
}

struct MousePlay {
  const std::vector<PenStep>* steps = nullptr;
  int skipped = 0;
#ifndef _WIN32
  Display* display = nullptr;
  XProgramWindows windows;
#endif
};

void PlayMouse(int step, void* context) {
  MousePlay& play = *static_cast<MousePlay*>(context);
#ifndef _WIN32
  if (play.display && PlayXMouseStep(play.display, play.windows, (*play.steps)[step])) return;
#endif
  (void)step;
  ++play.skipped;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  double rate = 200;
  MousePlay mouse;
  PenMapping mapping = {0, 0, XTABLET_SCREEN_WIDTH, XTABLET_SCREEN_HEIGHT};
  for (int i = 3; i < argc; i += 2) {
    if (i + 1 >= argc) return Usage();
    const char* value = argv[i + 1];
    if (!std::strcmp(argv[i], "--rate")) {
      rate = std::atof(value);
      if (!(rate > 0)) return Usage();
    } else if (!std::strcmp(argv[i], "--origin")) {
      if (std::sscanf(value, "%lf,%lf", &mapping.originX, &mapping.originY) != 2) return Usage();
#ifdef _WIN32
    } else if (!std::strcmp(argv[i], "--window")) {
      HWND window = FindWindowA(nullptr, value);
      POINT origin = {0, 0};
      if (!window || !ClientToScreen(window, &origin)) {
        std::fprintf(stderr, "pen_player: no window \"%s\"\n", value);
        return 1;
      }
      mapping.originX = origin.x;
      mapping.originY = origin.y;
    } else if (!std::strcmp(argv[i], "--warp")) {
      double x, y;
      if (std::sscanf(value, "%lf,%lf", &x, &y) != 2) return Usage();
      SetCursorPos(static_cast<int>(mapping.originX + x), static_cast<int>(mapping.originY + y));
      Sleep(100);
#else
    } else if (!std::strcmp(argv[i], "--window")) {
      // A program just started gets five seconds to show its windows.
      mouse.display = XOpenDisplay(nullptr);
      for (int tries = 0; mouse.display && !mouse.windows.Find(mouse.display) && tries < 100; ++tries) usleep(50000);
      if (!mouse.display || !mouse.windows.canvas || FindTitledWindow(mouse.display, value) != mouse.windows.canvas) {
        std::fprintf(stderr, "pen_player: no canvas \"%s\" with its picker on the display\n", value);
        return 1;
      }
      int x, y;
      WindowOrigin(mouse.display, mouse.windows.canvas, &x, &y);
      mapping.originX = x;
      mapping.originY = y;
#endif
    } else {
      return Usage();
    }
  }

  std::vector<PenStep> steps;
  std::string error;
  if (!LoadPenScript(argv[2], &steps, &error)) {
    std::fprintf(stderr, "pen_player: %s\n", error.c_str());
    return 1;
  }
  FifoWriter fifo;
  if (!fifo.Open(argv[1], &error)) {
    std::fprintf(stderr, "pen_player: %s\n", error.c_str());
    return 1;
  }
  const std::vector<PenFrame> frames = PenFrames(steps, mapping, rate);
  mouse.steps = &steps;
  FifoWriter::Stats stats;
  const bool played = fifo.Play(frames, PlayMouse, &mouse, &stats);
  std::printf("pen_player: %d frames written at %g a second, origin %g,%g, worst %.2f ms late%s\n",
              stats.framesWritten, rate, mapping.originX, mapping.originY, stats.worstLateSeconds * 1000,
              played ? "" : ", then a write failed");
  if (mouse.skipped) std::printf("pen_player: %d mouse steps not played\n", mouse.skipped);
  return played ? 0 : 1;
}
