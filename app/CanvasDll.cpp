// Entry point of the canvas libraries, inkstone-canvas.dll and
// inkstone-canvas-disc.dll, which export the functions of PaintExports.cpp.
//
// The shared window class (of the colour picker) is registered under the
// library's own instance handle, not the host program's: a host may have a
// class of that name itself or load both libraries, and a class left behind
// by an unloaded library would send its windows' messages into freed code,
// also when the library is loaded again at another address. So the class
// lives exactly as long as the library.
#include <windows.h>

#include "framework/NWindow.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) NWindow::RegisterWindowClass(instance);
  // At process exit (reserved set) the system ends everything itself.
  if (reason == DLL_PROCESS_DETACH && !reserved) NWindow::UnregisterWindowClass();
  return TRUE;
}
