// Shared by the WinTab tests: a real window with a WinTab on it that records
// the pen messages it receives, the test double's control functions, and the
// standard output of the first binding of the library.
#pragma once
#include <windows.h>

#include <vector>

#include "tablet/PenMessages.h"
#include "tablet/WinTab.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWindows.h"
#include "tools/wintab32/WintabDoubleControl.h"

// The double's control functions; bound when the library is the double.
extern WintabDoubleApi wintabDouble;
extern bool wintabDoubleBound;
// What the process printed while it bound the library (LoadWintab twice).
extern std::string bindingOutput;
extern bool firstLoadResult;
extern bool secondLoadResult;

struct PenEvent {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  PenSample sample;
  unsigned cursor;
  unsigned button;
  bool penDown;
  bool duringOnMessage;  // sent from inside WinTab::OnMessage
};

struct TabletMessage {
  UINT message;
  bool consumed;
};

// A borderless top-level window whose client area starts at (x, y) on the
// screen; its procedure offers every message to the WinTab first, as the
// canvas does.
class PenWindow {
 public:
  PenWindow(int x, int y, int width, int height);
  ~PenWindow();
  PenWindow(const PenWindow&) = delete;
  PenWindow& operator=(const PenWindow&) = delete;

  POINT ClientOrigin() const;

  HWND hwnd;
  WinTab tablet;
  std::vector<PenEvent> events;
  std::vector<TabletMessage> tabletMessages;  // WT_PACKET and WT_PROXIMITY
  std::vector<UINT> passedOn;                 // not consumed by OnMessage
  bool closeOnPenDown;                        // the pen handling closes the context

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  int onMessageDepth;
};

// A device whose tablet counts are screen pixels (input extent = virtual
// screen size), so that pkX and pkY name screen pixels exactly.
WintabDoubleDevice PixelDevice();

// Makes GetSystemMetrics report another virtual screen to this program (the
// tablet context included) while it lives, by replacing the program's import
// of the function: a monitor left of or above the primary one without one.
class FakeVirtualScreen {
 public:
  FakeVirtualScreen(int left, int top, int width, int height);
  ~FakeVirtualScreen();
  FakeVirtualScreen(const FakeVirtualScreen&) = delete;
  FakeVirtualScreen& operator=(const FakeVirtualScreen&) = delete;
  void Set(int left, int top, int width, int height);
  bool Installed() const { return slot_ != nullptr; }

 private:
  void** slot_;
  void* original_;
};
