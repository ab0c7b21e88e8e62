// The mouse steps of a pen script (PenScript.h), picker drags and picks, as
// real mouse input on a canvas window of any process. The double's script
// player and the tests of the real tablet stack play them alike.
#pragma once
#include <windows.h>

#include "tools/wintab32/PenScript.h"

// The colour picker: the visible window owned by the canvas's top-level window.
HWND FindPicker(HWND canvas);
// A bar press, move or release on the canvas's picker (false without one),
// or a right click on the canvas.
bool PlayMouseStep(const PenStep& step, HWND canvas);
