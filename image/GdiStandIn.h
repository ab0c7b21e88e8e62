// Stand-in for the few Win32 types and GDI calls the image classes make, for
// native builds on other systems. A DIB section is zero-filled heap memory with
// the layout GDI gives it (rows bottom-up, each a multiple of 4 bytes); device
// contexts only remember the object selected into them.
#pragma once
#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int BOOL;
typedef void* HANDLE;
typedef struct StandInGdiObject* HGDIOBJ;
typedef HGDIOBJ HBITMAP;
typedef struct StandInDc* HDC;
typedef struct StandInWindow* HWND;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

const DWORD BI_RGB = 0;
const UINT DIB_RGB_COLORS = 0;
const DWORD SRCCOPY = 0x00CC0020;

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

// Test controls of the stand-in.
namespace GdiStandIn {
// The next `count` calls of CreateDIBSection fail as if memory were exhausted.
void FailNextDibSections(int count);
// Calls of CreateDIBSection so far, failed ones included.
int DibSectionCalls();
// Objects created and not yet deleted: DIB sections, memory DCs, screen DCs.
int LiveBitmaps();
int LiveDcs();
int HeldScreenDcs();
// Whether the bitmap is currently selected into some DC.
bool IsSelected(HBITMAP bitmap);
}  // namespace GdiStandIn
