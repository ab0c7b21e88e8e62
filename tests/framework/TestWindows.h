// Helpers for tests with real windows: message pumping, real mouse input
// through SendInput, and reading back what a window shows on screen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace testwin {

// Dispatches every message waiting for this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Pumps messages until done() holds or the time is up; returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Pumps messages for the given time.
inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

inline void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Puts the cursor on a screen point and lets the windows see the move.
inline void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  SendMouse(MOUSEEVENTF_MOVE);
  Pump();
}

inline POINT ToScreen(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  return point;
}

inline void LeftDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
inline void LeftUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

// A left click at a client point of the window, with the messages pumped.
inline void LeftClick(HWND window, int x, int y) {
  MoveMouse(ToScreen(window, x, y));
  LeftDown();
  LeftUp();
  Pump();
}

// What a rectangle of a window's client area shows, as 0x00RRGGBB per pixel.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t Rgb(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

inline uint32_t FromColorRef(COLORREF color) { return Rgb(GetRValue(color), GetGValue(color), GetBValue(color)); }

// The client area, or with `frame` the whole window, caption included.
inline Screenshot CaptureClient(HWND window, bool frame = false) {
  Screenshot shot;
  RECT area;
  if (frame) {
    GetWindowRect(window, &area);
    OffsetRect(&area, -area.left, -area.top);
  } else {
    GetClientRect(window, &area);
  }
  shot.width = area.right;
  shot.height = area.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HDC screen = frame ? GetWindowDC(window) : GetDC(window);
  GdiFlush();
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  ReleaseDC(window, screen);
  const uint32_t* source = static_cast<const uint32_t*>(bits);
  shot.pixels.assign(source, source + static_cast<size_t>(shot.width) * shot.height);
  for (uint32_t& pixel : shot.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return shot;
}

// The commands left in a window's system menu.
inline bool HasSystemCommand(HWND window, UINT command) {
  HMENU menu = GetSystemMenu(window, FALSE);
  return menu && GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

}  // namespace testwin
