#include "framework/SCWin.h"

namespace {
const char kObjectProp[] = "SCWin Subclass Prop Name";
}

SCWin::SCWin() : autoDelete(false), prevProc(nullptr), hwnd(nullptr) {}

SCWin::~SCWin() {}

LRESULT SCWin::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) { return CallPrevProc(msg, wParam, lParam); }

void SCWin::OnAttach() {}

bool SCWin::Attach(HWND window) {
  // One object serves one window.
  if (hwnd) return false;
  prevProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  if (!prevProc) return false;
  // The property holds one object: a second one in front of the first would
  // find itself as its own previous procedure and recurse forever.
  if (FindSCWin(window)) return false;
  SetPropA(window, kObjectProp, this);
  if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassWndProc))) {
    RemovePropA(window, kObjectProp);
    return false;
  }
  hwnd = window;
  OnAttach();
  return true;
}

LRESULT SCWin::CallPrevProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return hwnd ? CallWindowProcA(prevProc, hwnd, msg, wParam, lParam) : 0;
}

SCWin* SCWin::FindSCWin(HWND window) { return static_cast<SCWin*>(GetPropA(window, kObjectProp)); }

LRESULT CALLBACK SCWin::SubclassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  SCWin* object = FindSCWin(window);
  if (!object) return 0;
  const LRESULT result = object->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    object->hwnd = nullptr;
    RemovePropA(window, kObjectProp);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->prevProc));
    if (object->autoDelete) delete object;
  }
  return result;
}
