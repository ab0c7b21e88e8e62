#pragma once
#include "image/Win32Gdi.h"

// The pixels a stroke has touched, right and bottom exclusive. A Win32 RECT, so
// that it goes to InvalidateRect as it is. Empty is (width, height, 0, 0) of
// the buffer it belongs to; every touched pixel widens it.
using DirtyRect = RECT;
