#pragma once
#include <cstdint>

// A stroke colour: each channel 0..255; alpha scales the amount of every dab.
struct StrokeColor {
  int32_t blue;
  int32_t green;
  int32_t red;
  int32_t alpha;
};
