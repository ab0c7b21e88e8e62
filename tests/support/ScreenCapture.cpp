#include "ScreenCapture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "TestWindows.h"

Capture CaptureScreen(int x, int y, int width, int height) {
  Capture capture;
  if (width <= 0 || height <= 0) return capture;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return capture;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
  GdiFlush();
  capture.width = width;
  capture.height = height;
  capture.bgr.resize(static_cast<size_t>(width) * height * 3);
  const uint8_t* source = static_cast<const uint8_t*>(bits);
  for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) std::memcpy(&capture.bgr[i * 3], source + i * 4, 3);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return capture;
}

Capture CaptureClient(HWND window) {
  RECT client;
  if (!GetClientRect(window, &client)) return Capture();
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  return CaptureScreen(origin.x, origin.y, client.right, client.bottom);
}

bool ScreenShows(HWND window, const std::vector<uint8_t>& picture, int width, int height, std::string* difference) {
  const DWORD start = GetTickCount();
  for (;;) {
    const Capture screen = CaptureClient(window);
    const int w = std::min(width, screen.width), h = std::min(height, screen.height);
    int differences = 0;
    std::string report;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint8_t* seen = screen.At(x, y);
        const uint8_t* want = &picture[(static_cast<size_t>(y) * width + x) * 3];
        if (std::memcmp(seen, want, 3) != 0 && ++differences <= 8) {
          char line[128];
          std::snprintf(line, sizeof line, "(%d, %d): screen %d %d %d, expected %d %d %d\n", x, y, seen[0], seen[1],
                        seen[2], want[0], want[1], want[2]);
          report += line;
        }
      }
    }
    if (differences == 0 && w > 0 && h > 0) return true;
    if (GetTickCount() - start > 5000) {
      if (difference) {
        char head[128];
        std::snprintf(head, sizeof head, "%d pixels differ (compared %d x %d of %d x %d)\n", differences, w, h, width,
                      height);
        *difference = head + report;
      }
      return false;
    }
    testwin::PumpFor(20);  // the window may belong to this thread
  }
}

void WaitPainted(HWND window) {
  const DWORD start = GetTickCount();
  while (GetUpdateRect(window, nullptr, FALSE) && GetTickCount() - start < 5000) Sleep(5);
}
