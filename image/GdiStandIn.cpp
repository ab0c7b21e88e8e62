#include "GdiStandIn.h"

#include <cstdlib>

struct StandInGdiObject {
  void* pixels;
  StandInDc* selectedInto;
};

struct StandInDc {
  HGDIOBJ selected;
  bool screen;
};

namespace {
// A new memory DC holds a 1 x 1 stock bitmap, as in GDI.
StandInGdiObject stockBitmap = {nullptr, nullptr};
int failDibSections = 0;
int dibSectionCalls = 0;
int liveBitmaps = 0;
int liveDcs = 0;
int heldScreenDcs = 0;

bool IsStock(HGDIOBJ object) { return object == &stockBitmap; }
}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
  ++dibSectionCalls;
  if (bits) *bits = nullptr;
  if (!info) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1 || h.biBitCount == 0) return nullptr;
  if (failDibSections > 0) {
    --failDibSections;
    return nullptr;
  }
  const uint64_t stride = ((uint64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  const uint64_t rows = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
  const uint64_t size = stride * rows;
  if (size > (uint64_t(1) << 31)) return nullptr;  // beyond what GDI would map
  void* pixels = std::calloc(size_t(size), 1);
  if (!pixels) return nullptr;
  HBITMAP bitmap = new StandInGdiObject{pixels, nullptr};
  ++liveBitmaps;
  if (bits) *bits = pixels;
  return bitmap;
}

HDC CreateCompatibleDC(HDC) {
  ++liveDcs;
  return new StandInDc{&stockBitmap, false};
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc || !object) return nullptr;
  if (!IsStock(object) && object->selectedInto && object->selectedInto != dc) return nullptr;
  HGDIOBJ previous = dc->selected;
  if (previous && !IsStock(previous)) previous->selectedInto = nullptr;
  dc->selected = object;
  if (!IsStock(object)) object->selectedInto = dc;
  return previous;
}

BOOL DeleteDC(HDC dc) {
  if (!dc || dc->screen) return 0;
  if (dc->selected && !IsStock(dc->selected)) dc->selected->selectedInto = nullptr;
  delete dc;
  --liveDcs;
  return 1;
}

BOOL DeleteObject(HGDIOBJ object) {
  // GDI refuses to delete a bitmap that is still selected into a DC.
  if (!object || IsStock(object) || object->selectedInto) return 0;
  std::free(object->pixels);
  delete object;
  --liveBitmaps;
  return 1;
}

HDC GetDC(HWND) {
  ++heldScreenDcs;
  return new StandInDc{&stockBitmap, true};
}

int ReleaseDC(HWND, HDC dc) {
  if (!dc || !dc->screen) return 0;
  delete dc;
  --heldScreenDcs;
  return 1;
}

int StretchDIBits(HDC dc, int, int, int, int, int, int, int, int srcH, const void* bits,
                  const BITMAPINFO* info, UINT, DWORD) {
  // Nothing to draw on; report the rows GDI would have drawn.
  return dc && bits && info ? (srcH < 0 ? -srcH : srcH) : 0;
}

namespace GdiStandIn {
void FailNextDibSections(int count) { failDibSections = count; }
int DibSectionCalls() { return dibSectionCalls; }
int LiveBitmaps() { return liveBitmaps; }
int LiveDcs() { return liveDcs; }
int HeldScreenDcs() { return heldScreenDcs; }
bool IsSelected(HBITMAP bitmap) { return bitmap && bitmap->selectedInto; }
}  // namespace GdiStandIn
