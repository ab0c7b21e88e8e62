// Reads pixels back from the screen, as the user sees them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;  // top row first, 3 bytes a pixel, no padding

  const uint8_t* At(int x, int y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The screen rectangle (x, y, width, height) in screen coordinates.
Capture CaptureScreen(int x, int y, int width, int height);
// The client area of a window, of this process or another one.
Capture CaptureClient(HWND window);
