// The colour picker's bars and the colour pick, apart from any window: the
// layout of the four bars, their pixels, which bar a point hits, the value a
// drag sets, and the colour a right click takes from the canvas. The Windows
// picker and the X11 one draw and drag with these alone.
#pragma once
#include "brush/StrokeColor.h"
#include "image/dib24.h"

namespace PickerBars {
// Client layout: every bar starts at column 10; bar k (1..4) at kBarTop[k - 1].
inline constexpr int kBarLeft = 10;
inline constexpr int kBarTop[4] = {10, 42, 74, 106};
inline constexpr int kBarWidth = 256;
inline constexpr int kBarHeight = 24;

// Pixel (c, r) of bar k (0 red, 1 green, 2 blue): the colour with that
// channel at c. Of the alpha bar (3): the colour at opacity c over a
// checkerboard of 8 x 8 cells, 160 and 255. Bytes blue, green, red.
void SetBarPixel(unsigned char* pixel, int k, int c, int r, const StrokeColor& color);
// Writes the four bars (red, green, blue, alpha) over their own size, which
// may be anything, 1 x 1 or empty before the window exists included.
void FillBars(dib24 (&bars)[4], const StrokeColor& color);
// The bar (1 red, 2 green, 3 blue, 4 alpha) under a client point, 0 for
// none, for bars of the given size.
int HitBar(int x, int y, int barWidth, int barHeight);
// A drag on bar `bar` (1..4; 0 sets nothing) at client column x sets that
// channel to x - 10, held within 0..255.
void SetDraggedValue(StrokeColor& color, int bar, int x);
// The right click: blue, green and red of the canvas pixel (x, y) become the
// colour's; its alpha stays. False, and nothing changed, outside the image.
bool PickColor(const dib24& canvas, int x, int y, StrokeColor& color);
}  // namespace PickerBars
