// How the program's tablet context maps packets to client pixels, for tests
// that send packets and need to know where they land.
#pragma once
#include "image/Win32Gdi.h"

#include "tablet/PenSample.h"

// The tablet as the program sees it: how packets map to client pixels.
struct TabletGeometry {
  double screenWidth;   // virtual screen, pixels
  double screenHeight;
  double inExtX;        // tablet counts
  double inExtY;
  double pressureMax;
  POINT clientOrigin;   // of the canvas window, screen pixels
  int clientWidth;
  int clientHeight;

  // The packet coordinates nearest to a client position.
  DWORD PacketX(double clientX) const;
  DWORD PacketY(double clientY) const;
  // The sample the program computes for a packet.
  PenSample Sample(DWORD pkX, DWORD pkY, UINT pressure) const;
};

#ifdef _WIN32
// The tablet driver double's default device over the client area of a window.
TabletGeometry DoubleGeometry(HWND window);
#endif
