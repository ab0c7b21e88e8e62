#include "tests/tablet/wintab_test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

WintabDoubleApi wintabDouble;
bool wintabDoubleBound;
std::string bindingOutput;
bool firstLoadResult;
bool secondLoadResult;

namespace {

const char kWindowClass[] = "WinTab Test Window";

// Binds the library before any test, with standard output captured in a
// file, so the tests can check what binding printed and that it prints only
// once.
class BindingEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string path = TestDirectory() + "binding-output.txt";
    std::fflush(stdout);
    const int saved = _dup(1);
    const int file = _open(path.c_str(), _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    _dup2(file, 1);
    firstLoadResult = LoadWintab();
    secondLoadResult = LoadWintab();
    std::fflush(stdout);
    _dup2(saved, 1);
    _close(saved);
    _close(file);
    bindingOutput = ReadFileText(path);
    wintabDoubleBound = wintabDouble.Bind(GetModuleHandleA("wintab32.dll"));
  }
};

::testing::Environment* const bindingEnvironment = ::testing::AddGlobalTestEnvironment(new BindingEnvironment);

}  // namespace

PenWindow::PenWindow(int x, int y, int width, int height)
    : hwnd(nullptr), closeOnPenDown(false), onMessageDepth(0) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&windowClass);  // fails harmlessly once registered
  hwnd = CreateWindowExA(0, kWindowClass, "WinTab test", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                         windowClass.hInstance, this);
  testwin::Pump();
}

PenWindow::~PenWindow() {
  tablet.Close();
  DestroyWindow(hwnd);
  testwin::Pump();
}

POINT PenWindow::ClientOrigin() const {
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  return origin;
}

LRESULT CALLBACK PenWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<PenWindow*>(create->lpCreateParams)->hwnd = window;
  }
  auto* self = reinterpret_cast<PenWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT PenWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  ++onMessageDepth;
  const bool consumed = tablet.OnMessage(message, wParam, lParam);
  --onMessageDepth;
  if (message == WT_PACKET || message == WT_PROXIMITY) tabletMessages.push_back({message, consumed});
  if (consumed) return 0;
  passedOn.push_back(message);
  if (message == UM_PENDOWN || message == UM_PENMOVE || message == UM_PENUP) {
    events.push_back({message, wParam, lParam, tablet.sample, tablet.cursor, tablet.button, tablet.penDown,
                      onMessageDepth > 0});
    if (message == UM_PENDOWN && closeOnPenDown) tablet.Close();
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}


WintabDoubleDevice PixelDevice() {
  WintabDoubleDevice device;
  wintabDouble.SetDevice(nullptr);
  wintabDouble.GetDevice(&device);
  device.inExtX = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  device.inExtY = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return device;
}

namespace {
int fakeScreen[4];  // left, top, width, height
int(WINAPI* realSystemMetrics)(int);

int WINAPI FakeSystemMetrics(int index) {
  switch (index) {
    case SM_XVIRTUALSCREEN: return fakeScreen[0];
    case SM_YVIRTUALSCREEN: return fakeScreen[1];
    case SM_CXVIRTUALSCREEN: return fakeScreen[2];
    case SM_CYVIRTUALSCREEN: return fakeScreen[3];
    default: return realSystemMetrics(index);
  }
}

// The program's import slot that holds `function`, or null.
void** ImportSlot(void* function) {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const IMAGE_NT_HEADERS* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress && import->Name; ++import) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk); slot->u1.Function; ++slot) {
      if (slot->u1.Function == reinterpret_cast<ULONG_PTR>(function)) return reinterpret_cast<void**>(&slot->u1.Function);
    }
  }
  return nullptr;
}

void Write(void** slot, void* value) {
  DWORD protection;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}
}  // namespace

FakeVirtualScreen::FakeVirtualScreen(int left, int top, int width, int height)
    : slot_(nullptr), original_(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetrics"))) {
  Set(left, top, width, height);
  realSystemMetrics = reinterpret_cast<int(WINAPI*)(int)>(original_);
  slot_ = ImportSlot(original_);
  if (slot_) Write(slot_, reinterpret_cast<void*>(FakeSystemMetrics));
}

FakeVirtualScreen::~FakeVirtualScreen() {
  if (slot_) Write(slot_, original_);
}

void FakeVirtualScreen::Set(int left, int top, int width, int height) {
  fakeScreen[0] = left;
  fakeScreen[1] = top;
  fakeScreen[2] = width;
  fakeScreen[3] = height;
}
