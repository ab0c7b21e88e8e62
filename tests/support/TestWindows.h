// Helpers for tests with real windows: message pumping and real mouse input
// through SendInput.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
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
    if (GetTickCount() - start >= timeoutMs) return false;
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

// The commands left in a window's system menu.
inline bool HasSystemCommand(HWND window, UINT command) {
  HMENU menu = GetSystemMenu(window, FALSE);
  return menu && GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

// The texts of a window's children (a message box's, say), in Unicode.
inline std::vector<std::wstring> ChildTexts(HWND window) {
  struct Collect {
    // A WINAPI callback: stdcall on 32-bit Windows, which a lambda cannot be.
    static BOOL CALLBACK Child(HWND child, LPARAM texts) {
      wchar_t text[256] = L"";
      GetWindowTextW(child, text, 256);
      reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
      return TRUE;
    }
  };
  std::vector<std::wstring> texts;
  EnumChildWindows(window, Collect::Child, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

}  // namespace testwin
