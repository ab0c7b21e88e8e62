#include <windows.h>

#include "app/MyWin.h"

int main(int argc, char** argv) {
  MyWin::SetArguments(argc, argv);
  MyWin window;
  const DWORD style = 0xCA0000;  // WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, fixed size
  RECT frame = {0, 0, 600, 600};
  AdjustWindowRect(&frame, style, FALSE);
  window.Create(0, "Paint Test", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                frame.bottom - frame.top, nullptr, nullptr, nullptr);
  ShowWindow(window.hwnd, SW_SHOW);
  UpdateWindow(window.hwnd);
  window.DoModal();
  return 0;
}
