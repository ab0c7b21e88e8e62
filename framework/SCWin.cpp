#include "framework/SCWin.h"

namespace {
const char kObjectProp[] = "SCWin Subclass Prop Name";

// Each module that holds this code has one of its own.
const char kThisModule = 0;

// The subclass procedure runs for every message of the window, and on some
// systems (Wine) a property lookup is a round trip to a server. So each thread
// remembers the object it dispatched to last; the object's own hwnd confirms
// that it still serves that window. A detached or deleted object is forgotten.
volatile LONG cacheSlot = 0;  // thread-local storage index + 1; 0 while none

DWORD CacheSlot() {
  const LONG slot = cacheSlot;
  if (slot) return static_cast<DWORD>(slot - 1);
  const DWORD index = TlsAlloc();
  if (index == TLS_OUT_OF_INDEXES) return index;
  const LONG previous = InterlockedCompareExchange(&cacheSlot, static_cast<LONG>(index + 1), 0);
  if (!previous) return index;
  TlsFree(index);  // another thread was first
  return static_cast<DWORD>(previous - 1);
}

SCWin* CachedObject(HWND window) {
  const DWORD slot = CacheSlot();
  if (slot == TLS_OUT_OF_INDEXES) return nullptr;
  SCWin* cached = static_cast<SCWin*>(TlsGetValue(slot));
  return cached && cached->hwnd == window ? cached : nullptr;
}

void Remember(SCWin* object) {
  const DWORD slot = CacheSlot();
  if (slot != TLS_OUT_OF_INDEXES) TlsSetValue(slot, object);
}

void Forget(SCWin* object) {
  const LONG slot = cacheSlot;
  if (slot && TlsGetValue(static_cast<DWORD>(slot - 1)) == object) TlsSetValue(static_cast<DWORD>(slot - 1), nullptr);
}
}  // namespace

SCWin::SCWin() : autoDelete(false), prevProc(nullptr), hwnd(nullptr), maker(&kThisModule) {}

SCWin::~SCWin() { Forget(this); }

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

bool SCWin::MadeByThisModule() const { return maker == &kThisModule; }

void SCWin::ReleaseThreadCache() {
  const LONG slot = InterlockedExchange(&cacheSlot, 0);
  if (slot) TlsFree(static_cast<DWORD>(slot - 1));
}

LRESULT CALLBACK SCWin::SubclassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  SCWin* object = CachedObject(window);
  if (!object) {
    object = FindSCWin(window);
    if (!object) return 0;
    Remember(object);
  }
  const LRESULT result = object->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    object->hwnd = nullptr;
    Forget(object);
    RemovePropA(window, kObjectProp);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->prevProc));
    if (object->autoDelete) delete object;
  }
  return result;
}
