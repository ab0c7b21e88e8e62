#include "TabletGeometry.h"

#include <cmath>

DWORD TabletGeometry::PacketX(double clientX) const {
  return static_cast<DWORD>(std::lround((clientX + clientOrigin.x) * inExtX / screenWidth));
}

DWORD TabletGeometry::PacketY(double clientY) const {
  return static_cast<DWORD>(std::lround((clientY + clientOrigin.y) * inExtY / screenHeight));
}

PenSample TabletGeometry::Sample(DWORD pkX, DWORD pkY, UINT pressure) const {
  const double fx = pkX * screenWidth / inExtX;
  const double fy = pkY * screenHeight / inExtY;
  const int sx = static_cast<int>(fx);
  const int sy = static_cast<int>(fy);
  const int cx = sx - clientOrigin.x;
  const int cy = sy - clientOrigin.y;
  return {fx - (sx - cx), fy - (sy - cy), pressure / pressureMax};
}
