/*
 * inkstone canvas: gives a window of the calling process a pressure-sensitive
 * paint canvas, painted with the pen of a tablet whose driver offers Wintab.
 *
 * The functions are exported by name (no decoration) from the libraries
 * inkstone-canvas.dll (soft dabs, added up) and inkstone-canvas-disc.dll (hard
 * anti-aliased discs, maximum), and from the programs inkstone.exe and
 * inkstone-disc.exe. They have C linkage and the cdecl calling convention, on
 * 32-bit and 64-bit Windows alike.
 *
 * Call them on the thread that owns the window, and keep dispatching that
 * thread's messages as usual: pen input arrives as window messages. A canvas
 * lives until its window is destroyed. Destroy every window that has a canvas
 * before unloading the library.
 *
 * Linked through the import library, or loaded at run time:
 *
 *   HMODULE library = LoadLibraryA("inkstone-canvas.dll");
 *   Paint_InitProc init = (Paint_InitProc)GetProcAddress(library, "Paint_Init");
 */
#ifndef INKSTONE_H
#define INKSTONE_H

#include <windows.h>

/* The libraries define INKSTONE_EXPORTS when they are built. */
#if defined(INKSTONE_EXPORTS)
#define INKSTONE_API __declspec(dllexport)
#else
#define INKSTONE_API __declspec(dllimport)
#endif
#define INKSTONE_CALL __cdecl

#ifdef __cplusplus
extern "C" {
#endif

/* Attaches a canvas to the window by subclassing it: the client area becomes
 * a white canvas of its size at this moment, a colour picker opens against the
 * window's right edge, and the tablet is opened on the window. 1 on success;
 * 0 for a handle that is no window, a window of another thread or process,
 * or a window that already has a canvas (which is left untouched). */
INKSTONE_API int INKSTONE_CALL Paint_Init(HWND window);

/* Loads an uncompressed BMP file (1, 4, 8 or 24 bits per pixel) as the
 * window's canvas, shown from its top-left corner. 1 on success; 0 when the
 * window has no canvas, belongs to another thread or process, or the file
 * cannot be read or is too large to paint on (the canvas is then
 * unchanged). */
INKSTONE_API int INKSTONE_CALL Paint_Load(HWND window, const char* path);

/* Saving is not supported: always 0. */
INKSTONE_API int INKSTONE_CALL Paint_Save(HWND window);

/* The same functions, for GetProcAddress. */
typedef int(INKSTONE_CALL* Paint_InitProc)(HWND window);
typedef int(INKSTONE_CALL* Paint_LoadProc)(HWND window, const char* path);
typedef int(INKSTONE_CALL* Paint_SaveProc)(HWND window);

#ifdef __cplusplus
}
#endif

#endif /* INKSTONE_H */
