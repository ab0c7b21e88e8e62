#include "tablet/PenPacket.h"

#include "tablet/PenMessages.h"

namespace {
double HoldWithinLimit(double screenPosition) {
  if (!(screenPosition >= -TabletMapping::kPositionLimit)) return -TabletMapping::kPositionLimit;
  if (screenPosition > TabletMapping::kPositionLimit) return TabletMapping::kPositionLimit;
  return screenPosition;
}
}  // namespace

// With the origin at 0 the sum is the scaled position itself, bit for bit.
double TabletMapping::ScreenX(uint32_t pkX) const {
  return HoldWithinLimit(screenLeft + static_cast<double>(pkX) * screenWidth / inExtX);
}

double TabletMapping::ScreenY(uint32_t pkY) const {
  return HoldWithinLimit(screenTop + static_cast<double>(pkY) * screenHeight / inExtY);
}

double TabletMapping::Pressure(uint32_t pkNormalPressure) const {
  const double pressure = static_cast<double>(pkNormalPressure) / pressureMax;
  return pressure > 1.0 ? 1.0 : pressure;
}

double PressureMaximum(long axMax) { return axMax > 0 ? static_cast<double>(axMax) : 1.0; }

double ClientPosition(double screen, int clientOfPixel) {
  const int whole = static_cast<int>(screen);
  return screen - (whole - clientOfPixel);
}

bool InsideClient(const PenSample& sample, int clientWidth, int clientHeight) {
  return sample.x >= 0 && sample.x < clientWidth && sample.y >= 0 && sample.y < clientHeight;
}

unsigned NextPenMessage(bool& penDown, double pressure, bool inside) {
  const bool touching = pressure > 0;
  unsigned message = UM_PENMOVE;
  if (!penDown && touching) message = inside ? UM_PENDOWN : 0;
  if (penDown && !touching) message = UM_PENUP;
  penDown = touching;
  return message;
}
