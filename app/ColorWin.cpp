#include "app/ColorWin.h"

#include "app/JapaneseText.h"
#include "app/PickerBars.h"

namespace {

// Mouse coordinates are signed: a drag with the capture goes beyond the window.
int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

}  // namespace

ColorWin::ColorWin() : dragBar(0), color{0, 0, 0, 255} {}

ColorWin::~ColorWin() {
  autoDelete = false;  // being destroyed already
  if (hwnd) DestroyWindow(hwnd);
}

// Each message goes to a member of the picker's own. The canvas's WindowProc
// has the same form, paint and erase included; the two share no handling.
LRESULT ColorWin::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      for (dib24& bar : bars) bar.Create(kBarWidth, kBarHeight);
      dragBar = 0;
      SetShiftJisCaption(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName);
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      dragBar = HitBar(MouseX(lParam), MouseY(lParam));
      SetDraggedValue(MouseX(lParam));
      return 0;
    case WM_MOUSEMOVE:
      SetDraggedValue(MouseX(lParam));
      return 0;
    case WM_LBUTTONUP:
      SetDraggedValue(MouseX(lParam));
      dragBar = 0;
      ReleaseCapture();
      return 0;
    case WM_CLOSE:
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void ColorWin::SetDraggedValue(int x) {
  if (dragBar == 0) return;
  PickerBars::SetDraggedValue(color, dragBar, x);
  RefreshBars();
}

// The four bars are always made together, at one size.
int ColorWin::HitBar(int x, int y) { return PickerBars::HitBar(x, y, bars[0].width, bars[0].height); }

void ColorWin::RefreshBars() {
  // Each bar is written over its own size: 256 x 24 once the window exists,
  // but 1 x 1 (or empty) before, and never beyond its pixel memory.
  PickerBars::FillBars(bars, color);
  // Without a window there is nothing to repaint (and InvalidateRect with no
  // window would repaint every window).
  if (!hwnd) return;
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

void ColorWin::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  for (int k = 0; k < 4; ++k) bars[k].Draw(dc, kBarLeft, kBarTop[k], bars[k].width, bars[k].height, 0, 0);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
  const int values[4] = {color.red, color.green, color.blue, color.alpha};
  for (int k = 0; k < 4; ++k) {
    MoveToEx(dc, values[k] + kBarLeft, kBarTop[k], nullptr);
    LineTo(dc, values[k] + kBarLeft, kBarTop[k] + bars[k].height);
  }
  SelectObject(dc, oldPen);
  EndPaint(hwnd, &paint);
}

void ColorWin::EraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
}
