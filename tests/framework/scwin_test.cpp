// SCWin with real windows: attaching, passing messages on, detaching at
// WM_NCDESTROY, and the arrangement of the program, a canvas in front of a
// window of the NWindow class.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/NWindow.h"
#include "framework/SCWin.h"
#include "tests/framework/MessageSequence.h"
#include "tests/support/TestWindows.h"

namespace {

const char kObjectProp[] = "SCWin Subclass Prop Name";
const UINT kPassedOn = WM_APP + 1;  // the target answers wParam + lParam
const UINT kConsumed = WM_APP + 2;  // the object answers 99 itself

using testwin::ExpectedMessage;
using testwin::Message;
using testwin::OkSequence;
using testwin::kMouseTraffic;
using testwin::kParams;

std::vector<Message> g_targetLog;
std::wstring g_targetText;

LRESULT CALLBACK TargetProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_targetLog.push_back({msg, wParam, lParam});
  if (msg == kPassedOn) return static_cast<LRESULT>(wParam + lParam);
  return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK TargetProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTEXT) g_targetText = reinterpret_cast<const wchar_t*>(lParam);
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A window that somebody else created, with its own procedure.
HWND MakeTarget() {
  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  info.lpfnWndProc = TargetProcA;
  info.hInstance = GetModuleHandleA(nullptr);
  info.lpszClassName = "SCWin test target";
  RegisterClassExA(&info);
  return CreateWindowExA(0, "SCWin test target", "target", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

HWND MakeUnicodeTarget() {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  info.lpfnWndProc = TargetProcW;
  info.hInstance = GetModuleHandleW(nullptr);
  info.lpszClassName = L"SCWin test unicode target";
  RegisterClassExW(&info);
  return CreateWindowExW(0, L"SCWin test unicode target", L"target", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

WNDPROC ProcOf(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

class Sub : public SCWin {
 public:
  ~Sub() override {
    ++destroyed;
    // Still inside the window's WM_NCDESTROY: the window exists.
    if (window && IsWindow(window)) {
      procAtDestruction = ProcOf(window);
      propAtDestruction = GetPropA(window, kObjectProp);
      foundAtDestruction = FindSCWin(window);
      hwndAtDestruction = hwnd;
      unicodeAtDestruction = IsWindowUnicode(window);
    }
  }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back({msg, wParam, lParam});
    if (msg == kConsumed) return 99;
    return SCWin::WindowProc(msg, wParam, lParam);
  }
  void OnAttach() override {
    ++attached;
    window = hwnd;
    foundInOnAttach = FindSCWin(hwnd);
    procInOnAttach = ProcOf(hwnd);
    resultInOnAttach = SendMessageA(hwnd, kPassedOn, 1, 2);
  }

  std::vector<Message> log;
  int attached = 0;
  HWND window = nullptr;
  SCWin* foundInOnAttach = nullptr;
  WNDPROC procInOnAttach = nullptr;
  LRESULT resultInOnAttach = 0;
  static int destroyed;
  static WNDPROC procAtDestruction;
  static HANDLE propAtDestruction;
  static SCWin* foundAtDestruction;
  static HWND hwndAtDestruction;
  static BOOL unicodeAtDestruction;
};
int Sub::destroyed = 0;
WNDPROC Sub::procAtDestruction = nullptr;
HANDLE Sub::propAtDestruction = nullptr;
SCWin* Sub::foundAtDestruction = nullptr;
HWND Sub::hwndAtDestruction = nullptr;
BOOL Sub::unicodeAtDestruction = FALSE;

TEST(SCWinAttach, ReplacesTheProcedureBeforeOnAttachRuns) {
  HWND target = MakeTarget();
  ASSERT_NE(target, nullptr);
  Sub sub;
  EXPECT_EQ(sub.prevProc, nullptr);
  EXPECT_EQ(sub.hwnd, nullptr);
  EXPECT_FALSE(sub.autoDelete);
  ASSERT_TRUE(sub.Attach(target));
  EXPECT_EQ(sub.hwnd, target);
  EXPECT_EQ(sub.prevProc, &TargetProcA);
  EXPECT_EQ(ProcOf(target), &SCWin::SubclassWndProc);
  EXPECT_EQ(GetPropA(target, kObjectProp), static_cast<HANDLE>(&sub));
  EXPECT_EQ(SCWin::FindSCWin(target), &sub);
  EXPECT_EQ(sub.attached, 1);
  EXPECT_EQ(sub.foundInOnAttach, &sub);
  EXPECT_EQ(sub.procInOnAttach, &SCWin::SubclassWndProc);
  // A message sent from OnAttach already went through the object.
  EXPECT_EQ(sub.resultInOnAttach, 3);
  ASSERT_FALSE(sub.log.empty());
  EXPECT_EQ(sub.log.front().msg, kPassedOn);
  DestroyWindow(target);
}

// A message the object passes on reaches the previous procedure as it was
// sent; one it consumes does not.
static const ExpectedMessage kAtThePreviousProcedure[] = {
    {kPassedOn, kParams, 5, 37},
};
static const ExpectedMessage kAtTheObject[] = {
    {kPassedOn, kParams, 5, 37},
    {kConsumed, kParams, 6, 38},
};

TEST(SCWinAttach, MessagesNotConsumedReachThePreviousProcedureUnchanged) {
  HWND target = MakeTarget();
  Sub sub;
  ASSERT_TRUE(sub.Attach(target));
  g_targetLog.clear();
  sub.log.clear();
  EXPECT_EQ(SendMessageA(target, kPassedOn, 5, 37), 42);
  EXPECT_EQ(SendMessageA(target, kConsumed, 6, 38), 99);
  EXPECT_TRUE(OkSequence(g_targetLog, kAtThePreviousProcedure, {}));
  EXPECT_TRUE(OkSequence(sub.log, kAtTheObject, {}));
  EXPECT_EQ(sub.CallPrevProc(kPassedOn, 20, 22), 42);
  DestroyWindow(target);
}

TEST(SCWinAttach, MessagesOfSeveralWindowsReachTheirOwnObjects) {
  HWND first = MakeTarget();
  HWND second = MakeTarget();
  Sub a, b;
  ASSERT_TRUE(a.Attach(first));
  ASSERT_TRUE(b.Attach(second));
  a.log.clear();
  b.log.clear();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(SendMessageA(first, kConsumed, 0, 0), 99);
    EXPECT_EQ(SendMessageA(second, kConsumed, 0, 0), 99);
    EXPECT_EQ(SendMessageA(second, kConsumed, 0, 0), 99);
  }
  EXPECT_EQ(a.log.size(), 3u);
  EXPECT_EQ(b.log.size(), 6u);
  // After the first window is gone, a new object on a new window is found,
  // not the detached one.
  DestroyWindow(first);
  HWND third = MakeTarget();
  Sub c;
  ASSERT_TRUE(c.Attach(third));
  c.log.clear();
  a.log.clear();
  EXPECT_EQ(SendMessageA(third, kConsumed, 0, 0), 99);
  EXPECT_EQ(c.log.size(), 1u);
  EXPECT_TRUE(a.log.empty());
  DestroyWindow(second);
  DestroyWindow(third);
}

TEST(SCWinAttach, RefusesHandlesThatAreNoWindows) {
  HWND gone = MakeTarget();
  DestroyWindow(gone);
  const HWND bogus[] = {nullptr, gone, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0123)), GetDesktopWindow()};
  for (HWND handle : bogus) {
    Sub sub;
    EXPECT_FALSE(sub.Attach(handle));
    EXPECT_EQ(sub.hwnd, nullptr);
    EXPECT_EQ(sub.attached, 0);
    EXPECT_EQ(SCWin::FindSCWin(handle), nullptr);
    EXPECT_EQ(sub.CallPrevProc(kPassedOn, 1, 2), 0);
  }
}

// One object per window and one window per object: a second object in front
// of the first would call itself as its previous procedure for ever.
TEST(SCWinAttach, RefusesASecondObjectAndASecondWindow) {
  HWND target = MakeTarget();
  HWND other = MakeTarget();
  Sub first, second;
  ASSERT_TRUE(first.Attach(target));
  EXPECT_FALSE(second.Attach(target));
  EXPECT_EQ(second.attached, 0);
  EXPECT_EQ(second.hwnd, nullptr);
  EXPECT_EQ(SCWin::FindSCWin(target), &first);
  EXPECT_EQ(SendMessageA(target, kPassedOn, 2, 3), 5);

  EXPECT_FALSE(first.Attach(other));
  EXPECT_EQ(first.hwnd, target);
  EXPECT_EQ(first.prevProc, &TargetProcA);
  EXPECT_EQ(SCWin::FindSCWin(other), nullptr);
  EXPECT_EQ(ProcOf(other), &TargetProcA);
  DestroyWindow(target);
  DestroyWindow(other);
}

TEST(SCWinAttach, ProcedureWithoutObjectAnswersZero) {
  HWND target = MakeTarget();
  g_targetLog.clear();
  EXPECT_EQ(SCWin::SubclassWndProc(target, kPassedOn, 5, 6), 0);
  EXPECT_TRUE(g_targetLog.empty());
  DestroyWindow(target);
}

TEST(SCWinDetach, NcDestroyRestoresTheProcedureAndDeletesOnce) {
  HWND target = MakeTarget();
  Sub* sub = new Sub;
  sub->autoDelete = true;
  ASSERT_TRUE(sub->Attach(target));
  const int before = Sub::destroyed;
  g_targetLog.clear();
  DestroyWindow(target);
  EXPECT_EQ(Sub::destroyed, before + 1);
  EXPECT_EQ(Sub::procAtDestruction, &TargetProcA);
  EXPECT_EQ(Sub::propAtDestruction, nullptr);
  EXPECT_EQ(Sub::foundAtDestruction, nullptr);
  EXPECT_EQ(Sub::hwndAtDestruction, nullptr);
  ASSERT_FALSE(g_targetLog.empty());
  EXPECT_EQ(g_targetLog.back().msg, static_cast<UINT>(WM_NCDESTROY));  // passed on first

  // Without autoDelete the object lives on, detached.
  HWND second = MakeTarget();
  Sub kept;
  ASSERT_TRUE(kept.Attach(second));
  DestroyWindow(second);
  EXPECT_EQ(Sub::destroyed, before + 1);
  EXPECT_EQ(kept.hwnd, nullptr);
  EXPECT_EQ(kept.CallPrevProc(kPassedOn, 1, 2), 0);
  EXPECT_EQ(kept.log.back().msg, static_cast<UINT>(WM_NCDESTROY));
}

// A window with a Unicode procedure keeps getting its messages in Unicode.
TEST(SCWinDetach, UnicodeWindowIsServedAndRestored) {
  HWND target = MakeUnicodeTarget();
  ASSERT_TRUE(IsWindowUnicode(target));
  Sub* sub = new Sub;
  sub->autoDelete = true;
  ASSERT_TRUE(sub->Attach(target));
  SetWindowTextA(target, "abc");
  EXPECT_EQ(g_targetText, L"abc");
  Sub::unicodeAtDestruction = FALSE;
  DestroyWindow(target);
  EXPECT_TRUE(Sub::unicodeAtDestruction);
}

// The program's arrangement: the canvas in front of a window of the NWindow
// class, which runs the modal loop.
struct Trace {
  std::vector<std::string> events;
};

class MainWindow : public NWindow {
 public:
  explicit MainWindow(Trace& t) : trace(t) {}
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NCDESTROY) trace.events.push_back("main WM_NCDESTROY");
    log.push_back({msg, wParam, lParam});
    if (msg == kConsumed) {
      DestroyWindow(hwnd);
      return 0;
    }
    return NWindow::WindowProc(msg, wParam, lParam);
  }
  Trace& trace;
  std::vector<Message> log;
};

class Canvas : public SCWin {
 public:
  Canvas(Trace& t, NWindow& m) : trace(t), main(m) { autoDelete = true; }
  ~Canvas() override {
    trace.events.push_back(main.hwnd ? "canvas deleted, main bound" : "canvas deleted, main unbound");
  }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NCDESTROY) trace.events.push_back("canvas WM_NCDESTROY");
    log.push_back({msg, wParam, lParam});
    return CallPrevProc(msg, wParam, lParam);
  }
  Trace& trace;
  NWindow& main;
  std::vector<Message> log;
};

// A quick second right click on the canvas. The canvas passes the double
// click on; the class procedure behind it sends the button-down to the
// window's current procedure, the canvas, which passes that on as well, and
// then hands the double click to the main window.
static const ExpectedMessage kRightDoubleClickAtCanvas[] = {
    {WM_RBUTTONDOWN}, {WM_RBUTTONUP}, {WM_RBUTTONDBLCLK}, {WM_RBUTTONDOWN}, {WM_RBUTTONUP},
};
static const ExpectedMessage kRightDoubleClickAtMain[] = {
    {WM_RBUTTONDOWN}, {WM_RBUTTONUP}, {WM_RBUTTONDOWN}, {WM_RBUTTONDBLCLK}, {WM_RBUTTONUP},
};

TEST(SCWinOverNWindow, DoubleClicksPassTheCanvasAndDestructionEndsTheLoopInOrder) {
  Trace trace;
  MainWindow main(trace);
  ASSERT_TRUE(main.Create(0, "Main", 0xCA0000, 150, 150, 300, 200, nullptr, nullptr, nullptr));
  Canvas* canvas = new Canvas(trace, main);
  ASSERT_TRUE(canvas->Attach(main.hwnd));
  ShowWindow(main.hwnd, SW_SHOW);
  UpdateWindow(main.hwnd);

  testwin::MoveMouse(testwin::ToScreen(main.hwnd, 20, 30));
  testwin::PumpFor(30);
  canvas->log.clear();
  main.log.clear();
  for (int i = 0; i < 2; ++i) {
    testwin::SendMouse(MOUSEEVENTF_RIGHTDOWN);
    testwin::SendMouse(MOUSEEVENTF_RIGHTUP);
  }
  ASSERT_TRUE(testwin::PumpUntil([&] { return testwin::Count(canvas->log, WM_RBUTTONUP) == 2; }));
  EXPECT_TRUE(OkSequence(canvas->log, kRightDoubleClickAtCanvas, kMouseTraffic));
  EXPECT_TRUE(OkSequence(main.log, kRightDoubleClickAtMain, kMouseTraffic));

  PostMessageA(main.hwnd, kConsumed, 0, 0);
  EXPECT_EQ(main.DoModal(), 0);
  EXPECT_EQ(main.hwnd, nullptr);
  const std::vector<std::string> order = {"canvas WM_NCDESTROY", "main WM_NCDESTROY", "canvas deleted, main unbound"};
  EXPECT_EQ(trace.events, order);
}

// This program has no IDR_MAINFRAME icon: windows get the system's one.
TEST(SCWinOverNWindow, WithoutProgramIconWindowsGetTheApplicationIcon) {
  Trace trace;
  MainWindow main(trace);
  ASSERT_TRUE(main.Create(0, "Main", 0xCA0000, 0, 0, 300, 200, nullptr, nullptr, nullptr));
  const LRESULT application = reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_APPLICATION));
  EXPECT_EQ(SendMessageA(main.hwnd, WM_GETICON, ICON_BIG, 0), application);
  EXPECT_EQ(SendMessageA(main.hwnd, WM_GETICON, ICON_SMALL, 0), application);
  DestroyWindow(main.hwnd);
}

}  // namespace
