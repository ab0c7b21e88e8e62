// The program's main window: at creation it becomes a canvas and loads the
// picture named on the command line.
#pragma once
#include "framework/NWindow.h"

class MyWin : public NWindow {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // The command line as main received it; read at WM_CREATE.
  static void SetArguments(int argc, char** argv);
};
