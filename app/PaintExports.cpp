#include "inkstone.h"

#include <new>

#include "app/PaintWin.h"

int Paint_Init(HWND window) {
  // The canvas runs on the thread that owns its window; that also refuses a
  // handle that is no window.
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return 0;
  // One canvas per window: the window's subclass property holds one object.
  if (SCWin::FindSCWin(window)) return 0;
  PaintWin* canvas = new (std::nothrow) PaintWin;
  if (!canvas) return 0;
  canvas->autoDelete = true;
  if (canvas->Attach(window)) return 1;
  delete canvas;
  return 0;
}

int Paint_Load(HWND window, const char* path) {
  PaintWin* canvas = dynamic_cast<PaintWin*>(SCWin::FindSCWin(window));
  if (!canvas) return 0;
  return canvas->LoadCanvas(path) ? 1 : 0;
}

int Paint_Save(HWND) { return 0; }
