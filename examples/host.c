/*
 * A program with a window of its own that embeds the inkstone canvas: the
 * window becomes a canvas, and the BMP file named on the command line, if
 * any, is loaded into it. Linked with an import library of the canvas, in the
 * folder of the release package:
 *
 *   i686-w64-mingw32-gcc examples/host.c -Iinclude lib/libinkstone-canvas.dll.a -o host.exe
 *
 * and started with inkstone-canvas.dll next to it (soft dabs; link with
 * libinkstone-canvas-disc.dll.a for hard discs).
 */
#include <stdio.h>
#include <windows.h>

#include "inkstone.h"

static LRESULT CALLBACK HostWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

int main(int argc, char** argv) {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  WNDCLASSA windowClass = {0};
  RECT frame = {0, 0, 640, 480};
  HWND window;
  MSG msg;

  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  windowClass.lpszClassName = "inkstone example host";
  if (!RegisterClassA(&windowClass)) return 1;

  /* The canvas takes the client area's size when it is attached. */
  AdjustWindowRect(&frame, style, FALSE);
  window = CreateWindowA(windowClass.lpszClassName, "Canvas Host", style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, NULL, NULL, windowClass.hInstance, NULL);
  if (!window) return 1;
  if (!Paint_Init(window)) {
    fprintf(stderr, "host: the window did not become a canvas\n");
    return 1;
  }
  if (argc > 1 && !Paint_Load(window, argv[1])) fprintf(stderr, "host: cannot load %s\n", argv[1]);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
