#include "app/PickerBars.h"

namespace PickerBars {

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

void FillBars(dib24 (&bars)[4], const StrokeColor& color) {
  for (int k = 0; k < 4; ++k) {
    for (int r = 0; r < bars[k].height; ++r) {
      unsigned char* pixel = bars[k].Row(r);
      for (int c = 0; c < bars[k].width; ++c, pixel += 3) SetBarPixel(pixel, k, c, r, color);
    }
  }
}

int HitBar(int x, int y, int barWidth, int barHeight) {
  if (x < kBarLeft) return 0;
  for (int k = 0; k < 4; ++k) {
    if (x < barWidth + kBarLeft && kBarTop[k] <= y && y < kBarTop[k] + barHeight) return k + 1;
  }
  return 0;
}

void SetDraggedValue(StrokeColor& color, int bar, int x) {
  int value = x - kBarLeft;
  if (value < 0) value = 0;
  if (value > 255) value = 255;
  switch (bar) {
    case 1: color.red = value; break;
    case 2: color.green = value; break;
    case 3: color.blue = value; break;
    case 4: color.alpha = value; break;
  }
}

bool PickColor(const dib24& canvas, int x, int y, StrokeColor& color) {
  if (x < 0 || x >= canvas.width || y < 0 || y >= canvas.height) return false;
  const unsigned char* pixel = canvas.Row(y) + 3 * x;
  color.blue = pixel[0];
  color.green = pixel[1];
  color.red = pixel[2];
  return true;
}

}  // namespace PickerBars
