// How a tablet packet becomes a pen sample and a pen message, apart from
// Wintab and windows. The tablet context runs it for every packet; the pen
// stream fuzzer runs the same functions without a driver or a window.
#pragma once
#include <cstdint>

#include "PenSample.h"

// The whole tablet maps onto the whole virtual screen, which starts at its own
// origin: negative when a monitor stands left of or above the primary one.
struct TabletMapping {
  double screenLeft;    // SM_XVIRTUALSCREEN, pixels
  double screenTop;     // SM_YVIRTUALSCREEN
  double screenWidth;   // SM_CXVIRTUALSCREEN
  double screenHeight;  // SM_CYVIRTUALSCREEN
  double inExtX;        // tablet counts
  double inExtY;
  double pressureMax;

  // Screen position of a packet's counts, with the fraction of a pixel. Held
  // within kPositionLimit of the origin: only a faulty packet lies that far
  // off, and held it stays finite for the brush and within int for the
  // window functions.
  double ScreenX(uint32_t pkX) const;
  double ScreenY(uint32_t pkY) const;
  // Pressure 0..1; more than the device's maximum is full pressure.
  double Pressure(uint32_t pkNormalPressure) const;

  static constexpr double kPositionLimit = 1e6;
};

// The pressure maximum of a device: its axis maximum, or 1 for a device
// without a usable one (no pressure axis leaves axMax 0; or a negative one),
// so that any pressure above 0 counts as full pressure.
double PressureMaximum(long axMax);

// A screen position in client pixels, keeping its fraction: `clientOfPixel` is
// the client coordinate of the whole screen pixel that `screen` truncates to.
double ClientPosition(double screen, int clientOfPixel);

// 0 <= x < width and 0 <= y < height.
bool InsideClient(const PenSample& sample, int clientWidth, int clientHeight);

// The pen-state table: the message a packet sends from the pen state before
// it, whether it touches (pressure above 0) and whether it lies in the client
// area; 0 for none (a touch-down outside). `penDown` becomes touching, also
// when nothing is sent.
unsigned NextPenMessage(bool& penDown, double pressure, bool inside);
