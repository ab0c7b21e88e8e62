// Entry point of the canvas libraries, inkstone-canvas.dll and
// inkstone-canvas-disc.dll, which export the functions of PaintExports.cpp.
//
// The shared window class (of the colour picker) is registered under the
// library's own instance handle, not the host program's: a host may have a
// class of that name itself or load both libraries, and a class left behind
// by an unloaded library would send its windows' messages into freed code,
// also when the library is loaded again at another address. So the class
// lives exactly as long as the library, as does the thread-local slot of the
// subclass lookup cache.
#include <windows.h>

#include "framework/NWindow.h"
#include "framework/SCWin.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) NWindow::RegisterWindowClass(instance);
  // At process exit (reserved set) the system ends everything itself; a
  // library unloaded before then gives back what it took from the process,
  // or each reload would take it again.
  if (reason == DLL_PROCESS_DETACH && !reserved) {
    NWindow::UnregisterWindowClass();
    SCWin::ReleaseThreadCache();
  }
  return TRUE;
}
