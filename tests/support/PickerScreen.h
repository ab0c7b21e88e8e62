// What the colour picker should show for a colour, modelled from what the
// user sees: bar k's column c shows the value c of its channel in the colour
// (for the opacity bar: the colour at opacity c over a checkerboard of 8 x 8
// cells, the top-left one dark grey 160, the others alternately white), a
// white line marks each value, and the rest is the button face. Only the
// bars' places come from the picker's layout.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "brush/StrokeColor.h"

inline uint32_t Rgb(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

// Pixel (column, row) of bar 0 red, 1 green, 2 blue or 3 opacity, without
// the marker, as 0xRRGGBB.
uint32_t PickerBarPixel(int bar, int column, int row, const StrokeColor& color);
// The whole client area of width x height pixels, top row first, BGR.
std::vector<uint8_t> PickerClient(const StrokeColor& color, int width, int height);
// Waits up to 5 seconds until the picker window shows the colour; on timeout
// describes the first differences in `difference`.
bool PickerShows(HWND picker, const StrokeColor& color, std::string* difference);
// The window that `owner` owns (the picker of a canvas), or null.
HWND FindOwnedWindow(HWND owner);
