// Reads pixels back from the screen, as the user sees them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
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

// Waits up to 5 seconds until the client area of `window` shows the picture
// (width x height, top row first, BGR) where the two overlap, pumping this
// thread's messages meanwhile; on timeout describes the first differences
// in `difference`.
bool ScreenShows(HWND window, const std::vector<uint8_t>& picture, int width, int height, std::string* difference);

// Waits until the window has no part left to paint.
void WaitPainted(HWND window);
