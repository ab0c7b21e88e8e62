// The Win32 types and GDI calls that the image classes use: the real ones on
// Windows, a small stand-in elsewhere so that the pixel code builds and is
// tested natively.
#pragma once
#ifdef _WIN32
#include <windows.h>
#else
#include "GdiStandIn.h"
#endif
