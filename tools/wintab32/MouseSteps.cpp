#include "tools/wintab32/MouseSteps.h"

#include <cmath>

#include "app/ColorWin.h"

namespace {

struct PickerSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM lParam) {
  PickerSearch* search = reinterpret_cast<PickerSearch*>(lParam);
  if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Absolute mouse coordinates of a pixel of the primary screen: the smallest
// that map back onto that pixel (pixel = coordinate * width / 65536).
LONG Absolute(LONG pixel, int size) { return static_cast<LONG>((pixel * 65536LL + size - 1) / size); }

void SendMouse(HWND window, int x, int y, DWORD buttons) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  INPUT inputs[5] = {};
  int count = 0;
  inputs[count].type = INPUT_MOUSE;
  inputs[count].mi.dx = Absolute(point.x, GetSystemMetrics(SM_CXSCREEN));
  inputs[count].mi.dy = Absolute(point.y, GetSystemMetrics(SM_CYSCREEN));
  inputs[count++].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (DWORD flag : {DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP), DWORD(MOUSEEVENTF_RIGHTDOWN),
                     DWORD(MOUSEEVENTF_RIGHTUP)}) {
    if (!(buttons & flag)) continue;
    inputs[count].type = INPUT_MOUSE;
    inputs[count++].mi.dwFlags = flag;
  }
  SendInput(count, inputs, sizeof(INPUT));
}

}  // namespace

HWND FindPicker(HWND canvas) {
  PickerSearch search = {GetAncestor(canvas, GA_ROOT), nullptr};
  EnumThreadWindows(GetWindowThreadProcessId(canvas, nullptr), FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool PlayMouseStep(const PenStep& step, HWND canvas) {
  if (step.kind == PenStep::kPick) {
    SendMouse(canvas, static_cast<int>(std::floor(step.x)), static_cast<int>(std::floor(step.y)),
              MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP);
    return true;
  }
  HWND picker = FindPicker(canvas);
  if (!picker) return false;
  const DWORD buttons = step.kind == PenStep::kBarPress     ? MOUSEEVENTF_LEFTDOWN
                        : step.kind == PenStep::kBarRelease ? MOUSEEVENTF_LEFTUP
                                                            : 0;
  SendMouse(picker, ColorWin::kBarLeft + step.value, ColorWin::kBarTop[step.bar] + ColorWin::kBarHeight / 2, buttons);
  return true;
}
