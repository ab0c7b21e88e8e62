// What the image classes share about the DIB section they own.
#pragma once
#include "Win32Gdi.h"

// Selects the DC's original object back, deletes the DC and then the bitmap
// (GDI refuses to delete a bitmap still selected), and clears the handles.
inline void DeleteDibSection(HDC& dc, HGDIOBJ& oldObject, HBITMAP& bitmap) {
  if (dc) {
    if (oldObject) SelectObject(dc, oldObject);
    DeleteDC(dc);
  }
  if (bitmap) DeleteObject(bitmap);
  dc = nullptr;
  oldObject = nullptr;
  bitmap = nullptr;
}
