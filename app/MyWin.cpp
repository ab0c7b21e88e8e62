#include "app/MyWin.h"

#include "inkstone.h"

namespace {
int argumentCount = 0;
char** argumentVector = nullptr;
}  // namespace

void MyWin::SetArguments(int argc, char** argv) {
  argumentCount = argc;
  argumentVector = argv;
}

LRESULT MyWin::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    Paint_Init(hwnd);
    if (argumentCount > 1) Paint_Load(hwnd, argumentVector[1]);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
