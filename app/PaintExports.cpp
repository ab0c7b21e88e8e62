#include "inkstone.h"

#include <new>

#include "app/PaintWin.h"

namespace {
// A canvas runs on the thread that owns its window, and only that thread may
// reach it: another thread's canvas is painted by that thread without locks,
// and the property of another process's window holds a pointer into that
// process. A handle that is no window has no thread and is refused as well.
bool OnThisThread(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }
}  // namespace

int Paint_Init(HWND window) {
  if (!OnThisThread(window)) return 0;
  // One canvas per window: the window's subclass property holds one object,
  // whichever module made it.
  if (SCWin::FindSCWin(window)) return 0;
  PaintWin* canvas = new (std::nothrow) PaintWin;
  if (!canvas) return 0;
  canvas->autoDelete = true;
  if (canvas->Attach(window)) return 1;
  delete canvas;
  return 0;
}

int Paint_Load(HWND window, const char* path) {
  // The property is read only for a window of this thread.
  if (!OnThisThread(window)) return 0;
  // Only a canvas of this module: another module's (the other library's, say)
  // would keep a picture whose code leaves with that module.
  SCWin* object = SCWin::FindSCWin(window);
  if (!object || !object->MadeByThisModule()) return 0;
  PaintWin* canvas = dynamic_cast<PaintWin*>(object);
  if (!canvas) return 0;
  return canvas->LoadCanvas(path) ? 1 : 0;
}

// Nothing is saved, so no window's property is ever read here.
int Paint_Save(HWND) { return 0; }
