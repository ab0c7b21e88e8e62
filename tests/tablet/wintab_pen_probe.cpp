// A small program for the cross-process tests of the tablet driver double: a
// window with a WinTab on it that prints every pen message it receives.
// Output lines: "open <0|1>"; for each pen message "<DOWN|MOVE|UP> x y
// pressure cursor button" (x, y, pressure with 17 significant digits);
// "closed" at the end. The window's class is "WintabPenProbe", its title the
// process id. Without a context it prints "open 0" and ends.
#include <windows.h>

#include <cstdio>

#include "tablet/PenMessages.h"
#include "tablet/WinTab.h"

namespace {

WinTab* tablet;

const char* PenMessageName(UINT message) {
  switch (message) {
    case UM_PENDOWN:
      return "DOWN";
    case UM_PENMOVE:
      return "MOVE";
    case UM_PENUP:
      return "UP";
    default:
      return nullptr;
  }
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (tablet && tablet->OnMessage(message, wParam, lParam)) return 0;
  if (const char* name = PenMessageName(message)) {
    std::printf("%s %.17g %.17g %.17g %u %u\n", name, tablet->sample.x, tablet->sample.y, tablet->sample.pressure,
                tablet->cursor, tablet->button);
    std::fflush(stdout);
    return 0;
  }
  if (message == WM_DESTROY) {
    tablet->Close();
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ProbeProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "WintabPenProbe";
  RegisterClassA(&windowClass);
  char title[16];
  std::snprintf(title, sizeof title, "%lu", GetCurrentProcessId());
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_POPUP | WS_VISIBLE, 200, 150, 320, 240,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  WinTab context;
  tablet = &context;
  const bool open = context.Open(window);
  std::printf("open %d\n", open ? 1 : 0);
  std::fflush(stdout);
  if (!open) {
    DestroyWindow(window);
    return 0;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  tablet = nullptr;
  std::printf("closed\n");
  return 0;
}
