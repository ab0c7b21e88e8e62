#include "framework/NWindow.h"

namespace {

const char kClassName[] = "NWindow Class Name";
const char kObjectProp[] = "NWindow Prop Name";
const char kSubclassProp[] = "NWindow Subclass Prop Name";

// Process-wide: the class is registered once, and every window of it is
// created with the same instance handle.
bool g_registered = false;
HINSTANCE g_instance = nullptr;

// A window of fixed size offers neither sizing, maximising nor minimising in
// its system menu, whatever boxes its style asks for.
void TrimSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) return;
  RemoveMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
  RemoveMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  RemoveMenu(menu, SC_SIZE, MF_BYCOMMAND);
}

void SetProgramIcon(HWND window) {
  HICON icon = LoadIconA(g_instance, "IDR_MAINFRAME");
  if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Bind(HWND window, const CREATESTRUCTA& create) {
  NWindow* object = static_cast<NWindow*>(create.lpCreateParams);
  object->hwnd = window;
  SetPropA(window, kObjectProp, object);
  if (!(create.style & WS_THICKFRAME)) TrimSystemMenu(window);
  if (!(create.dwExStyle & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW))) SetProgramIcon(window);
}

UINT ButtonDownFor(UINT doubleClick) {
  switch (doubleClick) {
    case WM_LBUTTONDBLCLK: return WM_LBUTTONDOWN;
    case WM_RBUTTONDBLCLK: return WM_RBUTTONDOWN;
    case WM_MBUTTONDBLCLK: return WM_MBUTTONDOWN;
    default: return 0;
  }
}

}  // namespace

NWindow::NWindow() : autoDelete(false), inModal(false), modalResult(0), handler(nullptr), hwnd(nullptr) {}

// Normally the window is gone by now. If it is not, unbind it so that its
// messages go to DefWindowProcA instead of to a destroyed object.
NWindow::~NWindow() {
  if (hwnd && GetPropA(hwnd, kObjectProp) == this) RemovePropA(hwnd, kObjectProp);
}

LRESULT NWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return hwnd ? DefWindowProcA(hwnd, msg, wParam, lParam) : 0;
}

LRESULT NWindow::DelegateProc(NWindow* target, UINT msg, WPARAM wParam, LPARAM lParam) {
  return target && target->hwnd ? DefWindowProcA(target->hwnd, msg, wParam, lParam) : 0;
}

LRESULT NWindow::CallPrevProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const SubclassRecord* record = static_cast<const SubclassRecord*>(GetPropA(window, kSubclassProp));
  if (!record || !record->prevProc) return 0;
  return CallWindowProcA(record->prevProc, window, msg, wParam, lParam);
}

void NWindow::RegisterWindowClass(HINSTANCE instance) {
  if (g_registered) return;
  if (!instance) instance = GetModuleHandleA(nullptr);
  g_instance = instance;

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = ClassWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);
  g_registered = true;
}

void NWindow::UnregisterWindowClass() {
  if (g_registered && UnregisterClassA(kClassName, g_instance)) g_registered = false;
}

bool NWindow::Create(DWORD exStyle, const char* caption, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, NWindow* handlerObject) {
  RegisterWindowClass(nullptr);
  handler = handlerObject;
  CreateWindowExA(exStyle, kClassName, caption, style, x, y, width, height, parent, menu, g_instance, this);
  return hwnd != nullptr;
}

int NWindow::DoModal() {
  if (!hwnd) return 0;
  inModal = true;
  modalResult = 0;
  HWND parent = GetParent(hwnd);
  // EnableWindow reports whether the parent was disabled already; only a
  // parent that this loop disabled is enabled again when it ends.
  const bool disabledParent = parent && !EnableWindow(parent, FALSE);

  bool quit = false;
  WPARAM quitCode = 0;
  while (hwnd) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        break;
      }
      if (!IsDialogMessageA(hwnd, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    } else if (hwnd) {
      WaitMessage();
    }
  }

  inModal = false;
  if (disabledParent && IsWindow(parent)) EnableWindow(parent, TRUE);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  const int result = modalResult;
  // An auto-deleting object whose window went while the loop ran was kept
  // alive for the loop (see ClassWndProc); it ends here.
  if (!hwnd && !quit && autoDelete) delete this;
  return result;
}

LRESULT CALLBACK NWindow::ClassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  NWindow* object = static_cast<NWindow*>(GetPropA(window, kObjectProp));
  if (msg == WM_NCCREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    // A window of the class made without an object stays unbound.
    if (!object && create && create->lpCreateParams) {
      Bind(window, *create);
      object = static_cast<NWindow*>(create->lpCreateParams);
    }
  }

  // With CS_DBLCLKS the second press of a quick pair arrives only as a double
  // click. Handlers here act on presses (a picker bar, the canvas's colour
  // pick), so the press is sent first, to the window's current procedure so
  // that an object subclassing the window gets it too; the double click
  // follows for whoever wants it.
  const UINT buttonDown = ButtonDownFor(msg);
  if (buttonDown) SendMessageA(window, buttonDown, wParam, lParam);

  LRESULT result;
  if (object && object->handler) {
    result = object->handler->DelegateProc(object, msg, wParam, lParam);
  } else if (object) {
    result = object->WindowProc(msg, wParam, lParam);
  } else {
    result = DefWindowProcA(window, msg, wParam, lParam);
  }

  if (msg == WM_NCDESTROY && object) {
    object->hwnd = nullptr;
    RemovePropA(window, kObjectProp);
    // DoModal still reads the object after the window is gone: it deletes an
    // auto-deleting object itself once its loop has ended.
    if (object->autoDelete && !object->inModal) delete object;
  }
  return result;
}
