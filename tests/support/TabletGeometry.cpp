#include "TabletGeometry.h"

#include <algorithm>
#include <cmath>

DWORD TabletGeometry::PacketX(double clientX) const {
  return static_cast<DWORD>(std::lround((clientX + clientOrigin.x) * inExtX / screenWidth));
}

DWORD TabletGeometry::PacketY(double clientY) const {
  return static_cast<DWORD>(std::lround((clientY + clientOrigin.y) * inExtY / screenHeight));
}

PenSample TabletGeometry::Sample(DWORD pkX, DWORD pkY, UINT pressure) const {
  // A packet beyond a million pixels is held there (only a faulty one, or the
  // counts of a position left of or above the screen wrapped around).
  const double fx = std::min(std::max(pkX * screenWidth / inExtX, -1e6), 1e6);
  const double fy = std::min(std::max(pkY * screenHeight / inExtY, -1e6), 1e6);
  const int sx = static_cast<int>(fx);
  const int sy = static_cast<int>(fy);
  const int cx = sx - clientOrigin.x;
  const int cy = sy - clientOrigin.y;
  // Pressure beyond the device's maximum is full pressure, as in the program.
  const double p = pressure / pressureMax;
  return {fx - (sx - cx), fy - (sy - cy), p > 1.0 ? 1.0 : p};
}

#ifdef _WIN32
TabletGeometry DoubleGeometry(HWND window) {
  TabletGeometry geometry;
  geometry.screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  geometry.screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  geometry.inExtX = 40000;
  geometry.inExtY = 25000;
  geometry.pressureMax = 1023;
  geometry.clientOrigin = {0, 0};
  ClientToScreen(window, &geometry.clientOrigin);
  RECT client;
  GetClientRect(window, &client);
  geometry.clientWidth = client.right;
  geometry.clientHeight = client.bottom;
  return geometry;
}
#endif
