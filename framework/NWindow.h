// Base of every window the program creates: one shared window class, the
// object bound to its window through the property "NWindow Prop Name", every
// message routed to a virtual handler, and a modal message loop.
#pragma once
#include <windows.h>

class NWindow {
 public:
  // Neither program gives a window a `handler` or sets the property "NWindow
  // Subclass Prop Name". DelegateProc, CallPrevProc and SubclassRecord are the
  // framework's interface for code built on it (one object serving the
  // windows of others; a procedure recorded by code that subclasses a window
  // of the class), and the tests use them. They stay, and so do the slots of
  // the virtual operations, whose order every derived class's layout shares.

  // The record that "NWindow Subclass Prop Name" points to: the procedure to
  // call is its second pointer-sized field.
  struct SubclassRecord {
    void* owner;
    WNDPROC prevProc;
  };

  NWindow();
  // Does not destroy the window; a window still bound is unbound.
  virtual ~NWindow();
  // The object's own message handler. Base: DefWindowProcA.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Handles a message of target's window on behalf of target, when target has
  // this object as its handler. Base: DefWindowProcA.
  virtual LRESULT DelegateProc(NWindow* target, UINT msg, WPARAM wParam, LPARAM lParam);
  // Calls the procedure recorded under "NWindow Subclass Prop Name", or 0.
  virtual LRESULT CallPrevProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  NWindow(const NWindow&) = delete;
  NWindow& operator=(const NWindow&) = delete;

  // Registers the shared class, unless this module did already, under the
  // given instance handle (null: the program's own module).
  static void RegisterWindowClass(HINSTANCE instance);
  // Unregisters it once no window of it is left: a library that registered
  // it does so before it is unloaded.
  static void UnregisterWindowClass();
  // Creates the window with this object as its creation parameter; true when
  // the object is bound to a window when creation returns.
  bool Create(DWORD exStyle, const char* caption, DWORD style, int x, int y, int width, int height, HWND parent,
              HMENU menu, NWindow* handler);
  // Runs the message loop until the window is gone, or until a WM_QUIT, which
  // is then posted again. The parent is disabled meanwhile and enabled again
  // afterwards unless it was disabled already. Returns modalResult.
  int DoModal();
  static LRESULT CALLBACK ClassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  bool autoDelete;
  bool inModal;
  int modalResult;
  NWindow* handler;
  HWND hwnd;
};
