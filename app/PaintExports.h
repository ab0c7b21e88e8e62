// The functions both programs export by name, with which any window of the
// calling process gets a canvas. C linkage, default (cdecl) calling convention.
#pragma once
#include <windows.h>

#ifdef INKSTONE_EXPORTS
#define PAINT_API __declspec(dllexport)
#else
#define PAINT_API
#endif

extern "C" {
// Attaches a canvas to the window: 1 on success; 0 for a handle that is no
// window, a window of another thread or process, or a window that already has
// a canvas (which is left untouched).
PAINT_API int Paint_Init(HWND window);
// Loads a BMP file as the window's canvas: 1 on success, 0 when the window has
// no canvas, belongs to another thread or process, or the file cannot be read
// (the canvas is then unchanged).
PAINT_API int Paint_Load(HWND window, const char* path);
// Saving is not supported: always 0.
PAINT_API int Paint_Save(HWND window);
}
