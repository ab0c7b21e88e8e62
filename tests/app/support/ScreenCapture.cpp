#include "ScreenCapture.h"

#include <cstring>

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
