// NWindow with real windows and real messages: the shared class, binding,
// system menu and icons, double clicks, handlers, unbinding and the modal loop.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/NWindow.h"
#include "tests/framework/MessageSequence.h"
#include "tests/support/TestWindows.h"

namespace {

const char kClassName[] = "NWindow Class Name";
const char kObjectProp[] = "NWindow Prop Name";
const char kSubclassProp[] = "NWindow Subclass Prop Name";
const DWORD kMainStyle = 0xCA0000;  // caption, system menu, minimise box

using testwin::ExpectedMessage;
using testwin::Message;
using testwin::OkSequence;
using testwin::kMouseTraffic;
using testwin::kOptional;
using testwin::kParams;
using testwin::kWParam;

// Records every message it gets; `onMessage` may handle one (set handled).
class Recorder : public NWindow {
 public:
  ~Recorder() override { ++destroyed; }
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back({msg, wParam, lParam});
    if (onMessage) {
      bool handled = false;
      const LRESULT result = onMessage(msg, wParam, lParam, handled);
      if (handled) return result;
    }
    return NWindow::WindowProc(msg, wParam, lParam);
  }
  bool Open(DWORD exStyle = 0, DWORD style = kMainStyle, HWND parent = nullptr, int x = 40, int y = 40) {
    return Create(exStyle, "NWindow test", style, x, y, 300, 200, parent, nullptr, nullptr);
  }
  std::vector<UINT> Received(std::initializer_list<UINT> wanted) const {
    std::vector<UINT> result;
    for (const Message& m : log) {
      for (UINT w : wanted)
        if (m.msg == w) result.push_back(m.msg);
    }
    return result;
  }

  std::vector<Message> log;
  std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;
  static int destroyed;
};
int Recorder::destroyed = 0;

// A handler object: gets the messages of other objects' windows.
class Delegate : public NWindow {
 public:
  LRESULT DelegateProc(NWindow* target, UINT msg, WPARAM wParam, LPARAM lParam) override {
    targets.push_back(target);
    log.push_back({msg, wParam, lParam});
    return NWindow::DelegateProc(target, msg, wParam, lParam);
  }
  std::vector<NWindow*> targets;
  std::vector<Message> log;
};

LRESULT SendGetIcon(HWND window, WPARAM which) { return SendMessageA(window, WM_GETICON, which, 0); }

TEST(NWindowClass, IsRegisteredOnceWithDoubleClicksArrowAndNoBackground) {
  Recorder first, second;
  ASSERT_TRUE(first.Open());
  NWindow::RegisterWindowClass(nullptr);  // again: no effect
  ASSERT_TRUE(second.Open());

  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), kClassName, &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(info.lpfnWndProc, &NWindow::ClassWndProc);
  EXPECT_EQ(info.cbClsExtra, 0);
  EXPECT_EQ(info.cbWndExtra, 0);
  EXPECT_EQ(info.hbrBackground, nullptr);
  EXPECT_EQ(info.hIcon, nullptr);
  EXPECT_EQ(info.lpszMenuName, nullptr);
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));

  char name[64] = {};
  GetClassNameA(second.hwnd, name, sizeof name);
  EXPECT_STREQ(name, kClassName);
  DestroyWindow(first.hwnd);
  DestroyWindow(second.hwnd);
}

// What the object of a new, hidden window of the class gets while the window
// is made. Messages before WM_NCCREATE (WM_GETMINMAXINFO) go to
// DefWindowProcA; the first ones the object sees are the icons set while it
// is bound (Wine asks for each back), then WM_NCCREATE itself.
static const ExpectedMessage kCreation[] = {
    {WM_SETICON, kWParam, ICON_BIG},
    {WM_GETICON, kOptional},
    {WM_SETICON, kWParam, ICON_SMALL},
    {WM_GETICON, kOptional},
    {WM_NCCREATE},
    {WM_NCCALCSIZE},
    {WM_CREATE},
};

TEST(NWindowBinding, BindsAtNcCreateAndRoutesEveryLaterMessage) {
  Recorder window;
  HWND boundAtNcCreate = nullptr;
  HANDLE propAtNcCreate = nullptr;
  window.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_NCCREATE) {
      boundAtNcCreate = window.hwnd;
      propAtNcCreate = GetPropA(window.hwnd, kObjectProp);
    }
    return 0;
  };
  ASSERT_TRUE(window.Open());
  EXPECT_TRUE(OkSequence(window.log, kCreation, {}));
  EXPECT_NE(boundAtNcCreate, nullptr);
  EXPECT_EQ(propAtNcCreate, static_cast<HANDLE>(&window));
  EXPECT_EQ(FindWindowA(kClassName, "NWindow test"), window.hwnd);
  EXPECT_EQ(GetPropA(window.hwnd, kObjectProp), static_cast<HANDLE>(&window));

  window.log.clear();
  EXPECT_EQ(SendMessageA(window.hwnd, WM_APP + 5, 11, 22), 0);
  ASSERT_EQ(window.log.size(), 1u);
  EXPECT_EQ(window.log[0].wParam, 11u);
  EXPECT_EQ(window.log[0].lParam, 22);
  DestroyWindow(window.hwnd);
}

TEST(NWindowBinding, CreateReportsFailureAndWindowsWithoutObjectUseDefaultProcedure) {
  Recorder refusesNcCreate;
  refusesNcCreate.onMessage = [](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = msg == WM_NCCREATE;
    return FALSE;
  };
  EXPECT_FALSE(refusesNcCreate.Open());
  EXPECT_EQ(refusesNcCreate.hwnd, nullptr);

  Recorder refusesCreate;
  refusesCreate.onMessage = [](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = msg == WM_CREATE;
    return -1;
  };
  EXPECT_FALSE(refusesCreate.Open());
  EXPECT_EQ(refusesCreate.hwnd, nullptr);
  EXPECT_EQ(refusesCreate.Received({WM_NCDESTROY}).size(), 1u);

  // A window of the class made by somebody else, without an object.
  HWND plain = CreateWindowExA(0, kClassName, "plain", kMainStyle, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GetPropA(plain, kObjectProp), nullptr);
  char text[16] = {};
  GetWindowTextA(plain, text, sizeof text);
  EXPECT_STREQ(text, "plain");
  SendMessageA(plain, WM_LBUTTONDBLCLK, 0, 0);
  DestroyWindow(plain);
}

TEST(NWindowSystemMenu, LosesMinimizeMaximizeAndSizeOnlyWithoutThickFrame) {
  Recorder fixed, sizable;
  ASSERT_TRUE(fixed.Open(0, kMainStyle));
  ASSERT_TRUE(sizable.Open(0, WS_OVERLAPPEDWINDOW));
  EXPECT_FALSE(testwin::HasSystemCommand(fixed.hwnd, SC_MINIMIZE));
  EXPECT_FALSE(testwin::HasSystemCommand(fixed.hwnd, SC_MAXIMIZE));
  EXPECT_FALSE(testwin::HasSystemCommand(fixed.hwnd, SC_SIZE));
  EXPECT_TRUE(testwin::HasSystemCommand(fixed.hwnd, SC_MOVE));
  EXPECT_TRUE(testwin::HasSystemCommand(fixed.hwnd, SC_CLOSE));
  EXPECT_TRUE(testwin::HasSystemCommand(sizable.hwnd, SC_MINIMIZE));
  EXPECT_TRUE(testwin::HasSystemCommand(sizable.hwnd, SC_MAXIMIZE));
  EXPECT_TRUE(testwin::HasSystemCommand(sizable.hwnd, SC_SIZE));
  EXPECT_TRUE(testwin::HasSystemCommand(sizable.hwnd, SC_CLOSE));
  DestroyWindow(fixed.hwnd);
  DestroyWindow(sizable.hwnd);
}

TEST(NWindowIcon, ProgramIconAsBigAndSmallExceptForToolAndDialogFrames) {
  // This test program carries an icon named IDR_MAINFRAME.
  HICON programIcon = LoadIconA(GetModuleHandleA(nullptr), "IDR_MAINFRAME");
  ASSERT_NE(programIcon, nullptr);
  Recorder plain, tool, dialogFrame;
  ASSERT_TRUE(plain.Open());
  ASSERT_TRUE(tool.Open(WS_EX_TOOLWINDOW));
  ASSERT_TRUE(dialogFrame.Open(WS_EX_DLGMODALFRAME));
  EXPECT_EQ(SendGetIcon(plain.hwnd, ICON_BIG), reinterpret_cast<LRESULT>(programIcon));
  EXPECT_EQ(SendGetIcon(plain.hwnd, ICON_SMALL), reinterpret_cast<LRESULT>(programIcon));
  EXPECT_EQ(SendGetIcon(tool.hwnd, ICON_BIG), 0);
  EXPECT_EQ(SendGetIcon(tool.hwnd, ICON_SMALL), 0);
  EXPECT_EQ(SendGetIcon(dialogFrame.hwnd, ICON_BIG), 0);
  EXPECT_EQ(SendGetIcon(dialogFrame.hwnd, ICON_SMALL), 0);
  // The icons were set while the object was bound, so it saw them go by.
  EXPECT_EQ(plain.Received({WM_SETICON}).size(), 2u);
  EXPECT_EQ(tool.Received({WM_SETICON}).size(), 0u);
  DestroyWindow(plain.hwnd);
  DestroyWindow(tool.hwnd);
  DestroyWindow(dialogFrame.hwnd);
}

// A quick pair of clicks of each button at (37, 41), as the object gets it:
// the second press arrives as a button-down, sent by the class procedure with
// the double click's parameters, and then as the double click itself.
const LPARAM kClickPoint = MAKELPARAM(37, 41);
static const ExpectedMessage kLeftDoubleClick[] = {
    {WM_LBUTTONDOWN, kParams, MK_LBUTTON, kClickPoint},   {WM_LBUTTONUP, kParams, 0, kClickPoint},
    {WM_LBUTTONDOWN, kParams, MK_LBUTTON, kClickPoint},   {WM_LBUTTONDBLCLK, kParams, MK_LBUTTON, kClickPoint},
    {WM_LBUTTONUP, kParams, 0, kClickPoint},
};
static const ExpectedMessage kRightDoubleClick[] = {
    {WM_RBUTTONDOWN, kParams, MK_RBUTTON, kClickPoint},   {WM_RBUTTONUP, kParams, 0, kClickPoint},
    {WM_RBUTTONDOWN, kParams, MK_RBUTTON, kClickPoint},   {WM_RBUTTONDBLCLK, kParams, MK_RBUTTON, kClickPoint},
    {WM_RBUTTONUP, kParams, 0, kClickPoint},
};
static const ExpectedMessage kMiddleDoubleClick[] = {
    {WM_MBUTTONDOWN, kParams, MK_MBUTTON, kClickPoint},   {WM_MBUTTONUP, kParams, 0, kClickPoint},
    {WM_MBUTTONDOWN, kParams, MK_MBUTTON, kClickPoint},   {WM_MBUTTONDBLCLK, kParams, MK_MBUTTON, kClickPoint},
    {WM_MBUTTONUP, kParams, 0, kClickPoint},
};

TEST(NWindowDoubleClick, SecondPressArrivesAsButtonDownThenDoubleClick) {
  struct Button {
    DWORD downFlag, upFlag;
    UINT up;
    const ExpectedMessage (&sequence)[5];
  };
  const Button buttons[] = {
      {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONUP, kLeftDoubleClick},
      {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONUP, kRightDoubleClick},
      {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, WM_MBUTTONUP, kMiddleDoubleClick},
  };
  Recorder window;
  ASSERT_TRUE(window.Open(0, kMainStyle, nullptr, 200, 200));
  ShowWindow(window.hwnd, SW_SHOW);
  UpdateWindow(window.hwnd);
  testwin::Pump();
  for (const Button& b : buttons) {
    testwin::MoveMouse(testwin::ToScreen(window.hwnd, 37, 41));
    // Far apart in time from the previous button's clicks.
    testwin::PumpFor(50);
    window.log.clear();
    testwin::SendMouse(b.downFlag);
    testwin::SendMouse(b.upFlag);
    testwin::SendMouse(b.downFlag);
    testwin::SendMouse(b.upFlag);
    ASSERT_TRUE(testwin::PumpUntil([&] { return window.Received({b.up}).size() == 2; }));
    EXPECT_TRUE(OkSequence(window.log, b.sequence, kMouseTraffic));
  }
  DestroyWindow(window.hwnd);
  testwin::Pump();
}

// What a handler gets for a window it handles: its creation, a double click
// sent to it (turned into a press first) and its destruction.
const LPARAM kHandledPoint = MAKELPARAM(3, 4);
static const ExpectedMessage kHandledWindow[] = {
    {WM_SETICON, kWParam, ICON_BIG},
    {WM_SETICON, kWParam, ICON_SMALL},
    {WM_NCCREATE},
    {WM_CREATE},
    {WM_LBUTTONDOWN, kParams, MK_LBUTTON, kHandledPoint},
    {WM_LBUTTONDBLCLK, kParams, MK_LBUTTON, kHandledPoint},
    {WM_DESTROY},
    {WM_NCDESTROY},
};

// What else it gets: the icons asked back, and the frame's size.
static const std::vector<UINT> kHandledAside = {WM_GETICON, WM_NCCALCSIZE};

TEST(NWindowHandler, HandlerGetsEveryMessageWithTheBoundObjectAsTarget) {
  Delegate handler;
  Recorder window;
  ASSERT_TRUE(window.Create(0, "handled", kMainStyle, 0, 0, 200, 100, nullptr, nullptr, &handler));
  EXPECT_EQ(window.handler, &handler);
  SendMessageA(window.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, kHandledPoint);
  HWND hwnd = window.hwnd;
  DestroyWindow(hwnd);
  EXPECT_TRUE(window.log.empty());
  for (NWindow* target : handler.targets) EXPECT_EQ(target, &window);
  EXPECT_TRUE(OkSequence(handler.log, kHandledWindow, kHandledAside));
  EXPECT_EQ(handler.log.front().msg, static_cast<UINT>(WM_SETICON));
  EXPECT_EQ(handler.log.back().msg, static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(window.hwnd, nullptr);
  EXPECT_EQ(handler.hwnd, nullptr);
}

// Observes a window from in front of its procedure, after the procedure has
// handled WM_NCDESTROY.
struct NcDestroyWatch {
  static WNDPROC classProc;
  static bool propGone;
  static int destroyedAfter;
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(classProc, window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      propGone = GetPropA(window, kObjectProp) == nullptr;
      destroyedAfter = Recorder::destroyed;
    }
    return result;
  }
  static void Install(HWND window) {
    classProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
};
WNDPROC NcDestroyWatch::classProc = nullptr;
bool NcDestroyWatch::propGone = false;
int NcDestroyWatch::destroyedAfter = 0;

TEST(NWindowUnbinding, NcDestroyUnbindsAndDeletesOnlyAutoDeleteObjects) {
  Recorder kept;
  ASSERT_TRUE(kept.Open());
  NcDestroyWatch::Install(kept.hwnd);
  const int before = Recorder::destroyed;
  DestroyWindow(kept.hwnd);
  EXPECT_TRUE(NcDestroyWatch::propGone);
  EXPECT_EQ(kept.hwnd, nullptr);
  EXPECT_EQ(NcDestroyWatch::destroyedAfter, before);
  EXPECT_EQ(kept.log.back().msg, static_cast<UINT>(WM_NCDESTROY));

  Recorder* owned = new Recorder;
  owned->autoDelete = true;
  ASSERT_TRUE(owned->Open());
  HWND hwnd = owned->hwnd;
  NcDestroyWatch::Install(hwnd);
  NcDestroyWatch::propGone = false;
  DestroyWindow(hwnd);
  EXPECT_TRUE(NcDestroyWatch::propGone);
  EXPECT_EQ(NcDestroyWatch::destroyedAfter, before + 1);  // the derived destructor ran, once
  EXPECT_EQ(Recorder::destroyed, before + 1);
}

TEST(NWindowUnbinding, DestroyingTheObjectFirstLeavesTheWindowToTheDefaultProcedure) {
  Recorder* object = new Recorder;
  ASSERT_TRUE(object->Open());
  HWND hwnd = object->hwnd;
  delete object;
  EXPECT_EQ(GetPropA(hwnd, kObjectProp), nullptr);
  EXPECT_EQ(SendMessageA(hwnd, WM_APP, 1, 2), 0);
  EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(NWindowCallPrevProc, CallsTheRecordedProcedureOrGivesZero) {
  Recorder window;
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(window.CallPrevProc(window.hwnd, WM_APP, 1, 2), 0);

  static HWND seenWindow;
  static Message seen;
  struct Previous {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
      seenWindow = hwnd;
      seen = {msg, wParam, lParam};
      return 0x5eed;
    }
  };
  NWindow::SubclassRecord record = {&window, &Previous::Proc};
  SetPropA(window.hwnd, kSubclassProp, &record);
  EXPECT_EQ(window.CallPrevProc(window.hwnd, WM_APP + 9, 33, 44), 0x5eed);
  EXPECT_EQ(seenWindow, window.hwnd);
  EXPECT_EQ(seen.msg, static_cast<UINT>(WM_APP + 9));
  EXPECT_EQ(seen.wParam, 33u);
  EXPECT_EQ(seen.lParam, 44);
  RemovePropA(window.hwnd, kSubclassProp);
  DestroyWindow(window.hwnd);
}

class NWindowModal : public ::testing::Test {
 protected:
  // Runs `during` from inside the loop (at a posted message), then the loop.
  int RunModal(Recorder& window, std::function<void()> during) {
    window.onMessage = [&window, during](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
      if (msg != WM_APP + 1) return 0;
      handled = true;
      EXPECT_TRUE(window.inModal);
      during();
      return 0;
    };
    PostMessageA(window.hwnd, WM_APP + 1, 0, 0);
    return window.DoModal();
  }
};

TEST_F(NWindowModal, DestroyingTheWindowEndsTheLoop) {
  Recorder window;
  ASSERT_TRUE(window.Open());
  window.modalResult = 99;  // DoModal starts from 0
  EXPECT_EQ(RunModal(window, [&] { DestroyWindow(window.hwnd); }), 0);
  EXPECT_FALSE(window.inModal);
  EXPECT_EQ(window.hwnd, nullptr);

  Recorder second;
  ASSERT_TRUE(second.Open());
  EXPECT_EQ(RunModal(second,
                     [&] {
                       second.modalResult = 7;
                       DestroyWindow(second.hwnd);
                     }),
            7);
}

TEST_F(NWindowModal, QuitEndsTheLoopWithTheWindowAliveAndIsPostedAgain) {
  Recorder window;
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(RunModal(window, [] { PostQuitMessage(42); }), 0);
  EXPECT_FALSE(window.inModal);
  EXPECT_TRUE(IsWindow(window.hwnd));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u);
  DestroyWindow(window.hwnd);
}

TEST_F(NWindowModal, DisablesTheParentWhileRunningAndEnablesItAgain) {
  Recorder parent;
  ASSERT_TRUE(parent.Open());
  Recorder modal;
  ASSERT_TRUE(modal.Open(0, WS_POPUP | WS_CAPTION, parent.hwnd));
  ASSERT_EQ(GetParent(modal.hwnd), parent.hwnd);
  bool enabledDuring = true;
  RunModal(modal, [&] {
    enabledDuring = IsWindowEnabled(parent.hwnd);
    DestroyWindow(modal.hwnd);
  });
  EXPECT_FALSE(enabledDuring);
  EXPECT_TRUE(IsWindowEnabled(parent.hwnd));

  // A parent that somebody else had disabled stays disabled.
  Recorder nested;
  ASSERT_TRUE(nested.Open(0, WS_POPUP | WS_CAPTION, parent.hwnd));
  EnableWindow(parent.hwnd, FALSE);
  RunModal(nested, [&] { DestroyWindow(nested.hwnd); });
  EXPECT_FALSE(IsWindowEnabled(parent.hwnd));
  DestroyWindow(parent.hwnd);
}

TEST_F(NWindowModal, UnboundObjectReturnsAtOnce) {
  Recorder unbound;
  unbound.modalResult = 5;
  EXPECT_EQ(unbound.DoModal(), 0);
  EXPECT_FALSE(unbound.inModal);
  EXPECT_EQ(unbound.modalResult, 5);
}

TEST_F(NWindowModal, AutoDeleteObjectOutlivesItsWindowUntilTheLoopEnds) {
  Recorder* window = new Recorder;
  window->autoDelete = true;
  ASSERT_TRUE(window->Open());
  const int before = Recorder::destroyed;
  int destroyedInside = -1;
  EXPECT_EQ(RunModal(*window,
                     [&] {
                       window->modalResult = 3;
                       DestroyWindow(window->hwnd);
                       destroyedInside = Recorder::destroyed;
                     }),
            3);
  EXPECT_EQ(destroyedInside, before);
  EXPECT_EQ(Recorder::destroyed, before + 1);
}

TEST_F(NWindowModal, DialogKeysMoveTheFocusAndOtherWindowsAreServed) {
  Recorder window, other;
  ASSERT_TRUE(window.Open());
  ASSERT_TRUE(other.Open());
  ShowWindow(window.hwnd, SW_SHOW);
  HWND first = CreateWindowExA(0, "BUTTON", "one", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20, window.hwnd,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND second = CreateWindowExA(0, "BUTTON", "two", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 60, 0, 50, 20, window.hwnd,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(window.hwnd);
  SetFocus(first);
  ASSERT_EQ(GetFocus(), first);
  PostMessageA(first, WM_KEYDOWN, VK_TAB, 1);
  PostMessageA(other.hwnd, WM_APP + 3, 0, 0);
  HWND focus = nullptr;
  RunModal(window, [&] {
    focus = GetFocus();
    DestroyWindow(window.hwnd);
  });
  EXPECT_EQ(focus, second);
  EXPECT_EQ(other.Received({WM_APP + 3}).size(), 1u);
  DestroyWindow(other.hwnd);
}

}  // namespace
