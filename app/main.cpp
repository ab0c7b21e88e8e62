#include <windows.h>

#include "app/FixedWindowStyle.h"
#include "app/MyWin.h"

int main(int argc, char** argv) {
  MyWin::SetArguments(argc, argv);
  MyWin window;
  RECT frame = {0, 0, 600, 600};
  AdjustWindowRect(&frame, kFixedWindowStyle, FALSE);
  window.Create(0, "Paint Test", kFixedWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                frame.bottom - frame.top, nullptr, nullptr, nullptr);
  ShowWindow(window.hwnd, SW_SHOW);
  UpdateWindow(window.hwnd);
  window.DoModal();
  return 0;
}
