// A program that embeds the canvas in a window of its own, as other programs
// do: it loads inkstone.exe as a module (binding its imports, which the system
// leaves to the caller for a program) and calls its exported functions, with
// the tablet driver double next to it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/ModuleImports.h"
#include "support/ProgramUnderTest.h"
#include "support/ReferenceCanvas.h"
#include "tools/wintab32/WintabDoubleControl.h"

namespace {
typedef int (*PaintInitProc)(HWND);
typedef int (*PaintLoadProc)(HWND, const char*);
typedef int (*PaintSaveProc)(HWND);

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
 protected:
  static void SetUpTestSuite() {
    module = LoadProgramAsModule((TestDirectory() + "inkstone.exe").c_str());
    ASSERT_NE(module, nullptr) << "cannot load inkstone.exe as a module: " << GetLastError();
    init = reinterpret_cast<PaintInitProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, "Paint_Init")));
    load = reinterpret_cast<PaintLoadProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, "Paint_Load")));
    save = reinterpret_cast<PaintSaveProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, "Paint_Save")));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
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
  static PaintInitProc init;
  static PaintLoadProc load;
  static PaintSaveProc save;
};
HMODULE Embedding::module;
PaintInitProc Embedding::init;
PaintLoadProc Embedding::load;
PaintSaveProc Embedding::save;

HWND OwnedWindow(HWND owner) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindow(w, GW_OWNER) == owner) return w;
  }
  return nullptr;
}

TEST_F(Embedding, HostWindowBecomesACanvasThatPaintsWithThePen) {
  HWND host = MakeHost();
  ASSERT_EQ(init(host), 1);
  HWND picker = OwnedWindow(host);
  ASSERT_NE(picker, nullptr) << "no colour picker";
  EXPECT_TRUE(IsWindowVisible(picker));
  RECT hostFrame, pickerFrame;
  GetWindowRect(host, &hostFrame);
  GetWindowRect(picker, &pickerFrame);
  EXPECT_EQ(pickerFrame.left, hostFrame.right);
  EXPECT_EQ(pickerFrame.top, hostFrame.top);

  // Messages the canvas does not handle still reach the host's procedure.
  EXPECT_EQ(SendMessageA(host, WM_USER + 7, 0, 0), 0x1234);
  EXPECT_EQ(lastHostMessage, static_cast<UINT>(WM_USER + 7));

  WintabDoubleApi tablet;
  ASSERT_TRUE(tablet.Bind(GetModuleHandleA("wintab32.dll"))) << "the driver double is not loaded";
  ASSERT_EQ(tablet.GetOpenedWindow(), host);

  TabletGeometry geometry = {};
  geometry.screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  geometry.screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  geometry.inExtX = 40000;
  geometry.inExtY = 25000;
  geometry.pressureMax = 1023;
  ClientToScreen(host, &geometry.clientOrigin);
  geometry.clientWidth = 400;
  geometry.clientHeight = 300;
  ReferenceCanvas reference(geometry, 400, 300);
  for (int i = 0; i <= 40; ++i) {
    WintabDoublePacket packet = {};
    packet.x = geometry.PacketX(50 + 7.5 * i);
    packet.y = geometry.PacketY(60 + 4.25 * i);
    packet.normalPressure = i == 40 ? 0 : 300 + 15 * i;
    packet.cursor = 1;
    ASSERT_NE(tablet.QueuePacket(nullptr, &packet), 0u);
    PumpFor(5);
    reference.Packet(packet.x, packet.y, packet.normalPressure);
  }
  PumpFor(50);
  std::string difference;
  EXPECT_TRUE(ScreenShows(host, reference.Screen(), 400, 400, 300, 5000, &difference)) << difference;

  // A second Paint_Init is refused and leaves the canvas as it is.
  EXPECT_EQ(init(host), 0);
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpFor(50);
  EXPECT_TRUE(ScreenShows(host, reference.Screen(), 400, 400, 300, 5000, &difference)) << difference;

  EXPECT_EQ(save(host), 0);
  DestroyWindow(host);
  EXPECT_FALSE(IsWindow(picker)) << "the picker outlived its canvas";
  EXPECT_EQ(tablet.OpenCount(), 0) << "the tablet context was not closed";
}

// A 2 x 2 picture: white, red / green, blue (top row first).
std::string WriteTwoByTwo() {
  const unsigned char bmp[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,  // info header
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 255, 0, 255, 0, 0, 0, 0,        // bottom row: green, blue, padding
      255, 255, 255, 0, 0, 255, 0, 0};   // top row: white, red, padding
  const std::string path = TestDirectory() + "embedding-2x2.bmp";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return "";
  std::fwrite(bmp, 1, sizeof bmp, file);
  std::fclose(file);
  return path;
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
  EXPECT_TRUE(ScreenShows(host, white, 400, 400, 300, 5000, &difference)) << difference;

  EXPECT_EQ(load(host, path.c_str()), 1);
  PumpFor(50);
  const std::vector<uint8_t> picture = {255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
  EXPECT_TRUE(ScreenShows(host, picture, 2, 2, 2, 5000, &difference)) << difference;

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
  HWND picker = OwnedWindow(host);
  ASSERT_NE(picker, nullptr) << "the picker is owned by the child's top-level window";
  DestroyWindow(child);
  EXPECT_FALSE(IsWindow(picker)) << "the picker outlived its canvas";
  EXPECT_TRUE(IsWindow(host));
  DestroyWindow(host);
}
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
    case kAttachHere: return reinterpret_cast<PaintInitProc>(wParam)(window);
    case kLoadHere: return reinterpret_cast<PaintLoadProc>(wParam)(window, reinterpret_cast<const char*>(lParam));
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
    thread = std::thread([this, made] {
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
    thread.join();
  }
  HWND hwnd = nullptr;
  std::thread thread;
};

TEST_F(Embedding, WindowsOfAnotherThreadAreRefused) {
  WorkerWindow worker;
  HWND window = worker.hwnd;
  ASSERT_NE(window, nullptr);
  const LONG_PTR procedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
  EXPECT_EQ(init(window), 0);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), procedure) << "the window was subclassed";
  EXPECT_EQ(OwnedWindow(window), nullptr) << "a picker was made";
  EXPECT_EQ(GetPropA(window, "SCWin Subclass Prop Name"), nullptr);

  // Its own thread gives it a canvas; this thread still may not load into it.
  ASSERT_EQ(SendMessageA(window, kAttachHere, reinterpret_cast<WPARAM>(init), 0), 1);
  const std::string path = WriteTwoByTwo();
  EXPECT_EQ(load(window, path.c_str()), 0);
  EXPECT_EQ(save(window), 0);
  EXPECT_EQ(SendMessageA(window, kLoadHere, reinterpret_cast<WPARAM>(load), reinterpret_cast<LPARAM>(path.c_str())), 1);
}
}  // namespace
