// The mouse steps of a pen script (PenScript.h), picker drags and picks, as
// real mouse input through XTest on the X11 programs' windows, found by their
// titles. The native player and the X11 programs' tests play them alike, as
// the Windows ones play them with SendInput (tools/wintab32/MouseSteps.h).
#pragma once
#include <X11/Xlib.h>

#include <string>

#include "tools/wintab32/PenScript.h"

// A mapped top-level window with that title (_NET_WM_NAME or WM_NAME), or 0.
Window FindTitledWindow(Display* display, const std::string& utf8Title);
// The position of a window's top-left corner on the root window.
void WindowOrigin(Display* display, Window window, int* x, int* y);
// The canvas ("Paint Test") and its picker ("色選択").
struct XProgramWindows {
  Window canvas = 0;
  Window picker = 0;
  bool Find(Display* display);  // true when both are there
};
// A bar press, move or release on the picker, or a right click on the canvas;
// false when the window is missing or the server has no XTest.
bool PlayXMouseStep(Display* display, const XProgramWindows& windows, const PenStep& step);
