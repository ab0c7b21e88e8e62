// The blend of a stroke into a 24-bit image: per pixel and channel
// v = (1 - c) * d + c * s in double, c the stroke's coverage, s its colour,
// d the image byte; v truncated toward zero and clamped to 0..255.
// The canvas uses it for the live view (into the back buffer) and for the
// commit at pen-up (into the canvas image), so both give the same bytes.
#pragma once
#include "brush/DirtyRect.h"
#include "image/dib24.h"
#include "image/dib32.h"

// Blends over `rect` (clipped to the stroke buffer), or over the whole `dirty`
// rectangle when `rect` is null. `surface` holds the stroke colour (bottom-up,
// 4 bytes a pixel) and `coverage` one float a pixel, rows top-down, both of
// the stroke buffer's size, which is the surface's. Pixels whose coverage is 0
// or NaN are not written. Nothing is read or written outside the stroke buffer
// or the target, whatever the rectangles say.
void CompositeStroke(dib24& target, const dib32& surface, const float* coverage, const DirtyRect& dirty,
                     const RECT* rect);
