#include "app/ColorWin.h"

#include "app/JapaneseText.h"

namespace {

// Mouse coordinates are signed: a drag with the capture goes beyond the window.
int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// Pixel (c, r) of bar k (0 red, 1 green, 2 blue): the colour with that
// channel at c. Of the alpha bar (3): the colour at opacity c over a
// checkerboard of 8 x 8 cells, 160 and 255.
void SetBarPixel(unsigned char* pixel, int k, int c, int r, const StrokeColor& color) {
  int blue = color.blue, green = color.green, red = color.red;
  if (k == 0) red = c;
  if (k == 1) green = c;
  if (k == 2) blue = c;
  if (k == 3) {
    const int grey = 160 + 95 * ((c / 8 + r / 8) % 2);
    blue = (c * blue + (255 - c) * grey) / 255;
    green = (c * green + (255 - c) * grey) / 255;
    red = (c * red + (255 - c) * grey) / 255;
  }
  pixel[0] = static_cast<unsigned char>(blue);
  pixel[1] = static_cast<unsigned char>(green);
  pixel[2] = static_cast<unsigned char>(red);
}

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
  int value = x - kBarLeft;
  if (value < 0) value = 0;
  if (value > 255) value = 255;
  switch (dragBar) {
    case 1: color.red = value; break;
    case 2: color.green = value; break;
    case 3: color.blue = value; break;
    case 4: color.alpha = value; break;
  }
  RefreshBars();
}

int ColorWin::HitBar(int x, int y) {
  if (x < kBarLeft) return 0;
  for (int k = 0; k < 4; ++k) {
    if (x < bars[k].width + kBarLeft && kBarTop[k] <= y && y < kBarTop[k] + bars[k].height) return k + 1;
  }
  return 0;
}

void ColorWin::RefreshBars() {
  // Each bar is written over its own size: 256 x 24 once the window exists,
  // but 1 x 1 (or empty) before, and never beyond its pixel memory.
  for (int k = 0; k < 4; ++k) {
    for (int r = 0; r < bars[k].height; ++r) {
      unsigned char* pixel = bars[k].Row(r);
      for (int c = 0; c < bars[k].width; ++c, pixel += 3) SetBarPixel(pixel, k, c, r, color);
    }
  }
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
