// A real program under test with the real tablet stack (scripts/real-tablet):
// Wine's own wintab32 traced, the emulated pen played through the X server's
// tablet driver.
#pragma once
#include <string>
#include <vector>

#include "ProgramUnderTest.h"
#include "StrokeChecks.h"
#include "WintabTrace.h"
#include "tools/wintab32/PenScript.h"

class RealTabletRun {
 public:
  // Starts <TestDirectory()>real-tablet\<program>.exe, with Wine tracing its
  // wintab32 into this program's standard error, and puts the pointer where
  // the steps bring the pen in (X gives a proximity change to the window the
  // pointer is over).
  bool Start(const char* name, const std::vector<PenStep>& script, std::string* error);
  // Plays the steps at `rate` packets a second; mouse steps go to onMouse.
  bool Play(double rate, void (*onMouse)(int step, void* context), void* context, std::string* error);
  // The trace so far.
  std::string Trace() const;
  // Waits until the program has seen the pen leave proximity `times` times:
  // only then may the mouse move, or the X server would move the pen too.
  bool WaitForPenOut(int times) const;
  // Closes the program; true when it ended.
  bool Close();

  // 1 plays the pen of the first tablet, 2 the stylus of the second.
  int tablet = 1;
  ProgramUnderTest program;
  POINT origin = {0, 0};  // of the canvas, on the screen
  std::vector<PenStep> steps;

 private:
  std::string stack_;
  std::string tracePath_;
  size_t traceStart_ = 0;
};

// The painting strokes of a script: runs of packets of the tip with pressure
// and no barrel button held.
std::vector<PenPath> ScriptStrokes(const std::vector<PenStep>& steps);
