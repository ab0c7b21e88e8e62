// A program that embeds the canvas in windows of its own, as other programs
// do, with the tablet driver double next to it. Built once per module that
// offers the canvas: the libraries inkstone-canvas.dll and
// inkstone-canvas-disc.dll, loaded with plain LoadLibrary, and the programs
// inkstone.exe and inkstone-disc.exe, loaded as modules (binding their imports,
// which the system leaves to the caller for a program). Each build is linked
// with the dab implementation of its module for the reference.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "inkstone.h"
#include "tests/support/JoinableThread.h"
#include "tests/support/ModuleImports.h"
#include "tests/support/PickerScreen.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/ReferenceCanvas.h"
#include "tests/support/TestWindows.h"
#include "tools/wintab32/WintabDoubleControl.h"

#ifndef EMBEDDED_MODULE
#error "EMBEDDED_MODULE names the module that offers the canvas"
#endif

namespace {
const char kModule[] = EMBEDDED_MODULE;
#ifdef EMBEDDED_PROGRAM
const bool kLibrary = false;
#else
const bool kLibrary = true;
#endif

HMODULE LoadCanvasModule() {
  const std::string path = TestDirectory() + kModule;
  return kLibrary ? LoadLibraryA(path.c_str()) : LoadProgramAsModule(path.c_str());
}

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const char kHostClass[] = "EmbeddingHost";
UINT lastHostMessage = 0;

LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 7) {
    lastHostMessage = msg;
    return 0x1234;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

class Embedding : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    module = LoadCanvasModule();
    ASSERT_NE(module, nullptr) << "cannot load " << kModule << ": " << GetLastError();
    BindExports();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
  }

  static void BindExports() {
    init = Export<Paint_InitProc>(module, "Paint_Init");
    load = Export<Paint_LoadProc>(module, "Paint_Load");
    save = Export<Paint_SaveProc>(module, "Paint_Save");
  }

  void SetUp() override {
    ASSERT_TRUE(init && load && save) << "the exports are missing";
  }

  // A top-level window with a client area of 400 x 300 at a fixed place.
  HWND MakeHost() {
    RECT frame = {0, 0, 400, 300};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, kHostClass, "Host", WS_OVERLAPPEDWINDOW, 20, 20, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
  }

  static HMODULE module;
  static Paint_InitProc init;
  static Paint_LoadProc load;
  static Paint_SaveProc save;
};
HMODULE Embedding::module;
Paint_InitProc Embedding::init;
Paint_LoadProc Embedding::load;
Paint_SaveProc Embedding::save;

// A stroke through the driver double on the host's 400 x 300 canvas shows
// exactly as the engine computes it.
void ExpectStrokeLands(HWND host) {
  WintabDoubleApi tablet;
  ASSERT_TRUE(tablet.Bind(GetModuleHandleA("wintab32.dll"))) << "the driver double is not loaded";
  ASSERT_EQ(tablet.GetOpenedWindow(), host);

  const TabletGeometry geometry = DoubleGeometry(host);
  ASSERT_EQ(geometry.clientWidth, 400);
  ASSERT_EQ(geometry.clientHeight, 300);
  ReferenceCanvas reference(geometry, 400, 300);
  for (int i = 0; i <= 40; ++i) {
    WintabDoublePacket packet = {};
    packet.x = geometry.PacketX(50 + 7.5 * i);
    packet.y = geometry.PacketY(60 + 4.25 * i);
    packet.normalPressure = i == 40 ? 0 : 300 + 15 * i;
    packet.cursor = 1;
    ASSERT_NE(tablet.QueuePacket(nullptr, &packet), 0u);
    testwin::PumpFor(5);
    reference.Packet(packet.x, packet.y, packet.normalPressure);
  }
  testwin::PumpFor(50);
  std::string difference;
  EXPECT_TRUE(ScreenShows(host, reference.Screen(), 400, 300, &difference)) << difference;

  // A second Paint_Init is refused and leaves the canvas as it is.
  EXPECT_EQ(Embedding::init(host), 0);
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  testwin::PumpFor(50);
  EXPECT_TRUE(ScreenShows(host, reference.Screen(), 400, 300, &difference)) << difference;
}

void ExpectPickerBeside(HWND host, HWND picker) {
  ASSERT_NE(picker, nullptr) << "no colour picker";
  EXPECT_TRUE(IsWindowVisible(picker));
  RECT hostFrame, pickerFrame;
  GetWindowRect(host, &hostFrame);
  GetWindowRect(picker, &pickerFrame);
  EXPECT_EQ(pickerFrame.left, hostFrame.right);
  EXPECT_EQ(pickerFrame.top, hostFrame.top);
  std::string difference;
  EXPECT_TRUE(PickerShows(picker, {0, 0, 0, 255}, &difference)) << "the picker does not show black: " << difference;
}

TEST_F(Embedding, HostWindowBecomesACanvasThatPaintsWithThePen) {
  HWND host = MakeHost();
  ASSERT_EQ(init(host), 1);
  HWND picker = FindOwnedWindow(host);
  ExpectPickerBeside(host, picker);

  // Messages the canvas does not handle still reach the host's procedure.
  EXPECT_EQ(SendMessageA(host, WM_USER + 7, 0, 0), 0x1234);
  EXPECT_EQ(lastHostMessage, static_cast<UINT>(WM_USER + 7));

  ExpectStrokeLands(host);
  EXPECT_EQ(save(host), 0);
  DestroyWindow(host);
  EXPECT_FALSE(IsWindow(picker)) << "the picker outlived its canvas";
  WintabDoubleApi tablet;
  ASSERT_TRUE(tablet.Bind(GetModuleHandleA("wintab32.dll")));
  EXPECT_EQ(tablet.OpenCount(), 0) << "the tablet context was not closed";
}

// A 2 x 2 picture: white, red / green, blue (top row first, BGR).
const std::vector<uint8_t> kTwoByTwo = {255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};

std::string WriteTwoByTwo() {
  Capture picture;
  picture.width = picture.height = 2;
  picture.bgr = kTwoByTwo;
  const std::string path = TestDirectory() + "embedding-2x2.bmp";
  return WriteBmp(path, picture) ? path : "";
}

TEST_F(Embedding, LoadReplacesTheCanvasOnlyWithAReadableFile) {
  HWND host = MakeHost();
  ASSERT_EQ(init(host), 1);
  const std::string path = WriteTwoByTwo();
  ASSERT_FALSE(path.empty());

  EXPECT_EQ(load(host, (TestDirectory() + "missing.bmp").c_str()), 0);
  EXPECT_EQ(load(host, nullptr), 0);
  std::vector<uint8_t> white(400 * 300 * 3, 255);
  std::string difference;
  EXPECT_TRUE(ScreenShows(host, white, 400, 300, &difference)) << difference;

  EXPECT_EQ(load(host, path.c_str()), 1);
  testwin::PumpFor(50);
  EXPECT_TRUE(ScreenShows(host, kTwoByTwo, 2, 2, &difference)) << difference;

  HWND plain = CreateWindowExA(0, kHostClass, "Plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(load(plain, path.c_str()), 0) << "a window without a canvas";
  EXPECT_EQ(save(plain), 0);
  DestroyWindow(plain);
  DestroyWindow(host);
}

TEST_F(Embedding, HandlesThatAreNoWindowsAreRefused) {
  HWND bogus = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7ffe1234));
  ASSERT_FALSE(IsWindow(bogus));
  EXPECT_EQ(init(bogus), 0);
  EXPECT_EQ(init(nullptr), 0);
  EXPECT_EQ(load(bogus, "x.bmp"), 0);
  EXPECT_EQ(load(nullptr, "x.bmp"), 0);
  EXPECT_EQ(save(bogus), 0);
  EXPECT_EQ(save(nullptr), 0);
}

TEST_F(Embedding, CanvasOnAChildWindowGoesWithIt) {
  HWND host = MakeHost();
  HWND child = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, host, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_EQ(init(child), 1);
  HWND picker = FindOwnedWindow(host);
  ASSERT_NE(picker, nullptr) << "the picker is owned by the child's top-level window";
  DestroyWindow(child);
  EXPECT_FALSE(IsWindow(picker)) << "the picker outlived its canvas";
  EXPECT_TRUE(IsWindow(host));
  DestroyWindow(host);
}

#ifndef EMBEDDED_PROGRAM
// The library's windows are of a class of its own, registered under its own
// instance handle: a class of the host with the same name stays the host's.
TEST_F(Embedding, AHostClassOfTheSameNameStaysTheHosts) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "NWindow Class Name";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND own = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  HWND host = MakeHost();
  ASSERT_EQ(init(host), 1);
  ExpectPickerBeside(host, FindOwnedWindow(host));
  EXPECT_EQ(SendMessageA(own, WM_USER + 7, 0, 0), 0x1234);
  DestroyWindow(host);
  DestroyWindow(own);
  UnregisterClassA(wc.lpszClassName, GetModuleHandleA(nullptr));
}

// A library unloaded takes its window class with it; loaded again, at another
// address, it works as before. A class left behind would send the new
// windows' messages to where the old library was.
TEST_F(Embedding, UnloadedAndLoadedAgainElsewhereTheLibraryStillWorks) {
  HWND host = MakeHost();
  ASSERT_EQ(init(host), 1);
  DestroyWindow(host);

  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const IMAGE_NT_HEADERS* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
  void* const oldPlace = module;
  const SIZE_T size = nt->OptionalHeader.SizeOfImage;
  ASSERT_TRUE(FreeLibrary(module));
  module = nullptr;
  ASSERT_EQ(GetModuleHandleA(kModule), nullptr) << "the library is still loaded";
  WNDCLASSEXA left = {};
  left.cbSize = sizeof left;
  EXPECT_FALSE(GetClassInfoExA(static_cast<HINSTANCE>(oldPlace), "NWindow Class Name", &left))
      << "the window class outlived the library";

  // Hold the old place so that the library has to go elsewhere.
  void* hold = VirtualAlloc(oldPlace, size, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_EQ(hold, oldPlace) << "cannot hold the library's old place";
  module = LoadCanvasModule();
  VirtualFree(hold, 0, MEM_RELEASE);
  ASSERT_NE(module, nullptr);
  ASSERT_NE(static_cast<void*>(module), oldPlace);
  BindExports();
  ASSERT_TRUE(init && load && save);

  host = MakeHost();
  ASSERT_EQ(init(host), 1);
  ExpectPickerBeside(host, FindOwnedWindow(host));
  ExpectStrokeLands(host);
  DestroyWindow(host);
}

void ExpectTabletClosed() {
  WintabDoubleApi tablet;
  ASSERT_TRUE(tablet.Bind(GetModuleHandleA("wintab32.dll")));
  EXPECT_EQ(tablet.OpenCount(), 0) << "a canvas was not torn down";
}

// Both libraries in one host: each takes only the canvases it made. A picture
// loaded by the other library's code would stay in the canvas and break its
// teardown once that library is gone. The other library is unloaded first
// here; the build for the other library unloads them in the other order.
TEST_F(Embedding, EachOfTwoLibrariesTakesOnlyItsOwnCanvases) {
  const bool soft = std::strcmp(kModule, "inkstone-canvas.dll") == 0;
  HMODULE other = LoadLibraryA((TestDirectory() + (soft ? "inkstone-canvas-disc.dll" : "inkstone-canvas.dll")).c_str());
  ASSERT_NE(other, nullptr);
  const Paint_InitProc otherInit = Export<Paint_InitProc>(other, "Paint_Init");
  const Paint_LoadProc otherLoad = Export<Paint_LoadProc>(other, "Paint_Load");
  const std::string path = WriteTwoByTwo();
  HWND ours = MakeHost(), theirs = MakeHost();
  ASSERT_EQ(init(ours), 1);
  ASSERT_EQ(otherInit(theirs), 1);
  EXPECT_EQ(load(ours, path.c_str()), 1);
  EXPECT_EQ(otherLoad(ours, path.c_str()), 0);
  EXPECT_EQ(load(theirs, path.c_str()), 0);
  EXPECT_EQ(otherInit(ours), 0);
  EXPECT_EQ(init(theirs), 0);

  DestroyWindow(theirs);
  ASSERT_TRUE(FreeLibrary(other));
  DestroyWindow(ours);
  EXPECT_FALSE(IsWindow(ours));
  ExpectTabletClosed();
  HWND next = MakeHost();
  EXPECT_EQ(init(next), 1);
  EXPECT_EQ(load(next, path.c_str()), 1);
  DestroyWindow(next);
  ExpectTabletClosed();
}

DWORD LowestFreeTlsIndex() {
  const DWORD index = TlsAlloc();
  TlsFree(index);
  return index;
}

// The library's window lookup cache takes a thread-local slot; each unload
// must give it back, or every reload uses up one more.
TEST_F(Embedding, ReloadingTheLibraryUsesUpNoThreadLocalSlots) {
  const auto reload = [this] {
    ASSERT_TRUE(FreeLibrary(module));
    module = LoadCanvasModule();
    ASSERT_NE(module, nullptr);
    BindExports();
    HWND host = MakeHost();
    ASSERT_EQ(init(host), 1);
    DestroyWindow(host);
  };
  reload();  // whatever loading takes once for good
  const DWORD lowest = LowestFreeTlsIndex();
  for (int i = 0; i < 3; ++i) reload();
  EXPECT_EQ(LowestFreeTlsIndex(), lowest);
}
#endif

// The canvas of a second instance of the program: its window's property holds
// a pointer into that process, which no export may follow.
TEST_F(Embedding, WindowsOfAnotherProcessAreRefused) {
  const std::string path = WriteTwoByTwo();
  ChildProcess other;
  ASSERT_TRUE(other.Start(TestDirectory() + "inkstone.exe", {}));
  HWND main = other.FindWindowOf("Paint Test", 20000);
  ASSERT_NE(main, nullptr);
  ASSERT_NE(GetPropA(main, "SCWin Subclass Prop Name"), nullptr) << "the other program has a canvas";
  EXPECT_EQ(load(main, path.c_str()), 0);
  EXPECT_EQ(save(main), 0);
  EXPECT_EQ(init(main), 0);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(other.Wait(10000));
  EXPECT_EQ(other.ExitCode(), 0u);
}

// A window of another thread of this process, which pumps its messages: its
// canvas is painted there without locks, so only that thread may attach or
// load one.
const UINT kAttachHere = WM_APP + 1, kLoadHere = WM_APP + 2, kDestroyHere = WM_APP + 3;

LRESULT CALLBACK WorkerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kAttachHere: return reinterpret_cast<Paint_InitProc>(wParam)(window);
    case kLoadHere: return reinterpret_cast<Paint_LoadProc>(wParam)(window, reinterpret_cast<const char*>(lParam));
    case kDestroyHere: DestroyWindow(window); PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, msg, wParam, lParam);
  }
}

// A window made by a thread of its own that pumps its messages until the
// window goes.
class WorkerWindow {
 public:
  WorkerWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WorkerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "EmbeddingWorker";
    RegisterClassA(&wc);
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread.Start([this, made] {
      hwnd = CreateWindowExA(0, "EmbeddingWorker", "Worker", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      SetEvent(made);
      MSG msg;
      while (hwnd && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    });
    WaitForSingleObject(made, INFINITE);
    CloseHandle(made);
  }
  ~WorkerWindow() {
    if (hwnd) SendMessageA(hwnd, kDestroyHere, 0, 0);
    thread.Join();
  }
  HWND hwnd = nullptr;
  JoinableThread thread;
};

TEST_F(Embedding, WindowsOfAnotherThreadAreRefused) {
  WorkerWindow worker;
  HWND window = worker.hwnd;
  ASSERT_NE(window, nullptr);
  const LONG_PTR procedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
  EXPECT_EQ(init(window), 0);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), procedure) << "the window was subclassed";
  EXPECT_EQ(FindOwnedWindow(window), nullptr) << "a picker was made";
  EXPECT_EQ(GetPropA(window, "SCWin Subclass Prop Name"), nullptr);

  // Its own thread gives it a canvas; this thread still may not load into it.
  ASSERT_EQ(SendMessageA(window, kAttachHere, reinterpret_cast<WPARAM>(init), 0), 1);
  const std::string path = WriteTwoByTwo();
  EXPECT_EQ(load(window, path.c_str()), 0);
  EXPECT_EQ(save(window), 0);
  EXPECT_EQ(SendMessageA(window, kLoadHere, reinterpret_cast<WPARAM>(load), reinterpret_cast<LPARAM>(path.c_str())), 1);
}
}  // namespace
