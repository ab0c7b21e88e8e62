#include "PickerScreen.h"

#include "ScreenCapture.h"
#include "app/ColorWin.h"

uint32_t PickerBarPixel(int bar, int column, int row, const StrokeColor& color) {
  switch (bar) {
    case 0: return Rgb(column, color.green, color.blue);
    case 1: return Rgb(color.red, column, color.blue);
    case 2: return Rgb(color.red, color.green, column);
    default: {
      const int grey = (((column >> 3) ^ (row >> 3)) & 1) ? 255 : 160;
      auto over = [&](int channel) { return (channel * column + grey * (255 - column)) / 255; };
      return Rgb(over(color.red), over(color.green), over(color.blue));
    }
  }
}

std::vector<uint8_t> PickerClient(const StrokeColor& color, int width, int height) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(width) * height * 3);
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {GetBValue(face), GetGValue(face), GetRValue(face)});
  const int values[4] = {color.red, color.green, color.blue, color.alpha};
  for (int bar = 0; bar < 4; ++bar) {
    for (int row = 0; row < ColorWin::kBarHeight && ColorWin::kBarTop[bar] + row < height; ++row) {
      for (int column = 0; column < ColorWin::kBarWidth && ColorWin::kBarLeft + column < width; ++column) {
        const uint32_t rgb = column == values[bar] ? 0xFFFFFF : PickerBarPixel(bar, column, row, color);
        uint8_t* p = &pixels[(static_cast<size_t>(ColorWin::kBarTop[bar] + row) * width + ColorWin::kBarLeft + column) * 3];
        p[0] = rgb & 0xFF, p[1] = (rgb >> 8) & 0xFF, p[2] = rgb >> 16;
      }
    }
  }
  return pixels;
}

bool PickerShows(HWND picker, const StrokeColor& color, std::string* difference) {
  RECT client = {};
  GetClientRect(picker, &client);
  return ScreenShows(picker, PickerClient(color, client.right, client.bottom), client.right, client.bottom, difference);
}

HWND FindOwnedWindow(HWND owner) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindow(w, GW_OWNER) == owner) return w;
  }
  return nullptr;
}
