#pragma once

// One pen position in client pixels (with the fraction of a pixel) and its
// pressure 0..1.
struct PenSample {
  double x;
  double y;
  double pressure;
};
