// What the colour picker should show, for tests that read it off the screen.
#pragma once
#include <cstdint>

#include "brush/StrokeColor.h"

// The pixel (blue, green, red) at column col (0..255) and row (0..23) of bar
// 0 red, 1 green, 2 blue or 3 alpha for the colour c, its marker included.
inline void PickerPixel(const StrokeColor& c, int bar, int col, int row, int bgr[3]) {
  const int values[4] = {c.red, c.green, c.blue, c.alpha};
  int b, g, r;
  switch (bar) {
    case 0: b = c.blue, g = c.green, r = col; break;
    case 1: b = c.blue, g = col, r = c.red; break;
    case 2: b = col, g = c.green, r = c.red; break;
    default: {
      const int grey = 160 + 95 * (((col / 8) + (row / 8)) % 2);
      b = (col * c.blue + (255 - col) * grey) / 255;
      g = (col * c.green + (255 - col) * grey) / 255;
      r = (col * c.red + (255 - col) * grey) / 255;
    }
  }
  if (col == values[bar]) b = g = r = 255;  // the value marker
  bgr[0] = b, bgr[1] = g, bgr[2] = r;
}
