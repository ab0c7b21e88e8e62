// Attaches an object to a window created by somebody else by replacing the
// window's procedure; what the object does not consume goes on to the previous
// procedure. The object is found again through "SCWin Subclass Prop Name".
#pragma once
#include <windows.h>

class SCWin {
 public:
  SCWin();
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called once, right after the object has been attached.
  virtual void OnAttach();
  virtual ~SCWin();

  SCWin(const SCWin&) = delete;
  SCWin& operator=(const SCWin&) = delete;

  // Puts SubclassWndProc in front of the window's procedure and calls
  // OnAttach. False, with nothing attached, for a handle that is no window (or
  // whose procedure cannot be replaced), for a window that has an object
  // attached already, and for an object that is attached already.
  bool Attach(HWND window);
  LRESULT CallPrevProc(UINT msg, WPARAM wParam, LPARAM lParam);
  static SCWin* FindSCWin(HWND window);
  // True for an object constructed by the code of this module (the program or
  // library that holds this copy of the class). The window property is seen
  // by every module of the process, and a run-time type check that compares
  // type names takes another module's class of the same name for this one.
  bool MadeByThisModule() const;
  // Gives back the thread-local slot of the window lookup cache, for a library
  // that is being unloaded (its windows must be gone by then).
  static void ReleaseThreadCache();
  static LRESULT CALLBACK SubclassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  bool autoDelete;
  WNDPROC prevProc;
  HWND hwnd;

 private:
  const void* maker;  // an address in the module whose code constructed the object
};
