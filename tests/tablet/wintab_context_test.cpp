// WinTab against the full tablet driver double, with real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "tests/tablet/wintab_test_support.h"

// The records as Wintab lays them out.
static_assert(sizeof(LOGCONTEXTA) == 172, "LOGCONTEXTA");
static_assert(offsetof(LOGCONTEXTA, lcOptions) == 40 && offsetof(LOGCONTEXTA, lcMsgBase) == 52, "LOGCONTEXTA");
static_assert(offsetof(LOGCONTEXTA, lcPktData) == 64 && offsetof(LOGCONTEXTA, lcBtnUpMask) == 80, "LOGCONTEXTA");
static_assert(offsetof(LOGCONTEXTA, lcInExtX) == 96 && offsetof(LOGCONTEXTA, lcOutExtY) == 124, "LOGCONTEXTA");
static_assert(offsetof(LOGCONTEXTA, lcSysMode) == 144 && offsetof(LOGCONTEXTA, lcSysExtY) == 160, "LOGCONTEXTA");
static_assert(sizeof(AXIS) == 16 && offsetof(AXIS, axMax) == 4, "AXIS");
static_assert(offsetof(WintabPacket, pkCursor) == sizeof(void*) + 16, "packet");
static_assert(offsetof(WintabPacket, pkX) == sizeof(void*) + 24, "packet");
static_assert(offsetof(WintabPacket, pkNormalPressure) == sizeof(void*) + 36, "packet");
static_assert(sizeof(WintabPacket) == (sizeof(void*) == 8 ? 64 : 60), "packet");

namespace {

const int kLeft = 100, kTop = 120, kWidth = 300, kHeight = 200;

class Wintab : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wintabDoubleBound);
    ASSERT_STREQ(wintabDouble.Variant(), "full");
    wintabDouble.Reset();
    screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }

  // Opens the window's context on the given device; the window's client area
  // starts at (kLeft, kTop).
  void Open(PenWindow& window, const WintabDoubleDevice& device) {
    wintabDouble.SetDevice(&device);
    ASSERT_EQ(window.ClientOrigin().x, kLeft);
    ASSERT_EQ(window.ClientOrigin().y, kTop);
    ASSERT_TRUE(window.tablet.Open(window.hwnd));
    context = window.tablet.context;
  }

  // Queues a packet at a client position of a PixelDevice and handles it (the
  // window at kLeft, kTop).
  void PenAt(int x, int y, UINT pressure, UINT cursor = 1, DWORD buttons = 0) {
    const WintabDoublePacket packet = WintabDoublePacketAt(kLeft + x, kTop + y, pressure, cursor, buttons);
    ASSERT_NE(wintabDouble.QueuePacket(nullptr, &packet), 0u);
    testwin::Pump();
  }

  // The calls since `from`, compactly, with the window and context by name.
  std::string Calls(const PenWindow& window, int from = 0) {
    std::string text;
    for (int i = from; i < wintabDouble.CallCount(); ++i) {
      WintabDoubleCall call;
      wintabDouble.GetCall(i, &call);
      text += text.empty() ? "" : " ";
      text += call.function;
      const int arguments = std::strcmp(call.function, "WTClose") == 0 ? 1
                            : std::strcmp(call.function, "WTEnable") == 0 ||
                                      std::strcmp(call.function, "WTQueueSizeSet") == 0
                                ? 2
                                : 3;
      for (int a = 0; a < arguments; ++a) {
        const ULONGLONG value = call.args[a];
        text += a ? "," : "(";
        if (a == 0 && value == reinterpret_cast<ULONG_PTR>(window.hwnd) && std::strcmp(call.function, "WTOpenA") == 0)
          text += "hwnd";
        else if (a == 0 && context && value == reinterpret_cast<ULONG_PTR>(context))
          text += "ctx";
        else
          text += std::to_string(static_cast<long long>(value));
      }
      text += ")";
    }
    return text;
  }

  int screenWidth = 0, screenHeight = 0;
  HCTX context = nullptr;  // the one Open opened last
};

TEST_F(Wintab, BindsEveryFunctionWithoutPrinting) {
  EXPECT_TRUE(firstLoadResult);
  EXPECT_TRUE(secondLoadResult);
  EXPECT_EQ(bindingOutput, "");
  EXPECT_TRUE(wintabProcs.bound);
  EXPECT_TRUE(wintabProcs.WTClose && wintabProcs.WTInfoA && wintabProcs.WTOpenA && wintabProcs.WTPacket &&
              wintabProcs.WTPacketsGet && wintabProcs.WTEnable && wintabProcs.WTQueueSizeSet);
}

TEST_F(Wintab, ConstructedClosedAndIgnoresEveryMessage) {
  WinTab tablet;
  EXPECT_EQ(tablet.context, nullptr);
  EXPECT_EQ(tablet.sample.x, 0.0);
  EXPECT_EQ(tablet.sample.y, 0.0);
  EXPECT_EQ(tablet.sample.pressure, 0.0);
  EXPECT_FALSE(tablet.inProximity);
  EXPECT_FALSE(tablet.OnMessage(WT_PACKET, 1, 0));
  EXPECT_FALSE(tablet.OnMessage(WT_PROXIMITY, 0, 1));
  EXPECT_FALSE(tablet.OnMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480)));
  EXPECT_EQ(tablet.mapping.screenWidth, 0.0);
  EXPECT_EQ(wintabDouble.CallCount(), 0);
}

TEST_F(Wintab, OpensASystemContextDerivedFromTheDefaultOne) {
  WintabDoubleDevice device = PixelDevice();
  std::strcpy(device.name, "Pen Device Context");
  device.options = 0x0003;
  device.btnDnMask = 0x00FF00FF;
  device.btnUpMask = 0x00000003;
  device.inOrgX = 7;
  device.inOrgY = 9;
  device.inExtX = 30000;
  device.inExtY = 20000;
  device.pressureMax = 1023;
  wintabDouble.SetDevice(&device);
  LOGCONTEXTA expected = {};
  ASSERT_EQ(wintabProcs.WTInfoA(WTI_DEFSYSCTX, 0, &expected), sizeof(LOGCONTEXTA));
  wintabDouble.Reset();

  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  WinTab& tablet = window.tablet;
  EXPECT_EQ(tablet.window, window.hwnd);
  EXPECT_EQ(tablet.context, wintabDouble.OpenContext());
  EXPECT_EQ(tablet.mapping.pressureMax, 1023.0);
  EXPECT_EQ(tablet.mapping.inExtX, 30000.0);
  EXPECT_EQ(tablet.mapping.inExtY, 20000.0);
  EXPECT_EQ(tablet.mapping.screenWidth, screenWidth);
  EXPECT_EQ(tablet.mapping.screenHeight, screenHeight);
  EXPECT_FALSE(tablet.penDown);

  // Every field keeps the default's value except these.
  expected.lcOptions = 0x0003 | 0x8005;
  expected.lcMsgBase = 0x7FF0;
  expected.lcPktData = 0x1FFF;
  expected.lcPktMode = 0x0040;
  expected.lcMoveMask = 0x1FFF;
  expected.lcBtnUpMask = 0x00FF00FF;
  expected.lcOutOrgX = 0;
  expected.lcOutOrgY = 0;
  expected.lcOutExtX = 30000;
  expected.lcOutExtY = -20000;
  expected.lcSysOrgX = 0;
  expected.lcSysOrgY = 0;
  expected.lcSysExtX = screenWidth;
  expected.lcSysExtY = screenHeight;
  LOGCONTEXTA opened = {};
  ASSERT_TRUE(wintabDouble.GetOpenedContext(&opened, sizeof opened));
  EXPECT_STREQ(opened.lcName, "Pen Device Context");
  EXPECT_EQ(opened.lcInOrgX, 7);
  EXPECT_EQ(opened.lcInOrgY, 9);
  EXPECT_EQ(opened.lcOptions, 0x8007u);
  EXPECT_EQ(opened.lcOutExtY, -20000);
  EXPECT_EQ(std::memcmp(&opened, &expected, sizeof opened), 0);
  EXPECT_EQ(wintabDouble.GetOpenedWindow(), window.hwnd);

  EXPECT_EQ(Calls(window), "WTInfoA(0,0,0) WTInfoA(100,15,1) WTInfoA(4,0,1) WTOpenA(hwnd,1,1) WTQueueSizeSet(ctx,128)");
  EXPECT_EQ(wintabDouble.QueueLimit(nullptr), 128);
  EXPECT_TRUE(wintabDouble.IsEnabled(nullptr));
}

// A driver that holds fewer packets is asked for half as many each time,
// down to 32; one that refuses even that keeps its own queue.
TEST_F(Wintab, AsksForSmallerQueuesUntilOneIsAccepted) {
  const struct {
    const char* largest;
    const char* calls;
    int limit;
  } drivers[] = {{"64", "WTQueueSizeSet(ctx,128) WTQueueSizeSet(ctx,64)", 64},
                 {"0", "WTQueueSizeSet(ctx,128) WTQueueSizeSet(ctx,64) WTQueueSizeSet(ctx,32)", 8}};
  for (const auto& driver : drivers) {
    SetEnvironmentVariableA("WINTAB_DOUBLE_QUEUE_MAX", driver.largest);
    wintabDouble.Reset();
    PenWindow window(kLeft, kTop, kWidth, kHeight);
    Open(window, PixelDevice());
    SetEnvironmentVariableA("WINTAB_DOUBLE_QUEUE_MAX", nullptr);
    const std::string calls = Calls(window);
    EXPECT_EQ(calls.substr(calls.find("WTQueueSizeSet")), driver.calls) << driver.largest;
    EXPECT_EQ(wintabDouble.QueueLimit(nullptr), driver.limit) << driver.largest;
  }
}

TEST_F(Wintab, KeepsTheFractionOfAPixel) {
  // A virtual screen 800 x 600 pixels wide; tablet 500 x 400 counts.
  WintabDoubleDevice device = PixelDevice();
  device.inExtX = 500;
  device.inExtY = 400;
  device.pressureMax = 1023;
  PenWindow window(kLeft, kTop, 400, kHeight);
  Open(window, device);
  window.tablet.mapping.screenWidth = 800;
  window.tablet.mapping.screenHeight = 600;

  const WintabDoublePacket packet = WintabDoublePacketAt(251, 201, 512, 1, MAKELONG(2, 2));
  ASSERT_NE(wintabDouble.QueuePacket(nullptr, &packet), 0u);
  testwin::Pump();
  ASSERT_EQ(window.events.size(), 1u);
  const PenEvent& down = window.events[0];
  EXPECT_EQ(down.message, UM_PENDOWN);
  EXPECT_EQ(down.sample.x, 401.6 - 100);  // fx = 251 x 800 / 500
  EXPECT_NEAR(down.sample.x, 301.6, 1e-12);
  EXPECT_EQ(down.sample.y, 301.5 - 120);  // fy = 201 x 600 / 400
  EXPECT_EQ(down.sample.pressure, 512.0 / 1023.0);
  EXPECT_EQ(down.cursor, 1u);
  EXPECT_EQ(down.button, 2u);  // the low word; TBN_DOWN in the high word is not kept
  EXPECT_TRUE(down.penDown);
  EXPECT_EQ(window.tablet.sample.x, down.sample.x);
}

// A monitor left of or above the primary one: the virtual screen starts at a
// negative coordinate, and the tablet maps onto it from there. The driver is
// told the same screen for the system cursor.
TEST_F(Wintab, MapsOntoTheVirtualScreenFromItsOrigin) {
  struct Layout {
    int left, top, width, height;
  } layouts[] = {{-1920, 0, 3200, 1080}, {0, -900, 1280, 1924}, {-1920, -900, 3200, 1924}};
  for (const Layout& l : layouts) {
    FakeVirtualScreen fake(l.left, l.top, l.width, l.height);
    ASSERT_TRUE(fake.Installed());
    WintabDoubleDevice device = PixelDevice();
    device.inExtX = 5 * l.width;  // five counts a pixel across, four down
    device.inExtY = 4 * l.height;
    PenWindow window(kLeft, kTop, kWidth, kHeight);
    Open(window, device);
    LOGCONTEXTA opened = {};
    ASSERT_TRUE(wintabDouble.GetOpenedContext(&opened, sizeof opened));
    EXPECT_EQ(opened.lcSysOrgX, l.left);
    EXPECT_EQ(opened.lcSysOrgY, l.top);
    EXPECT_EQ(opened.lcSysExtX, l.width);
    EXPECT_EQ(opened.lcSysExtY, l.height);

    // Client (10.6, 20.25): counted from the virtual screen's top-left corner.
    const DWORD pkX = 5 * (kLeft + 10 - l.left) + 3;
    const DWORD pkY = 4 * (kTop + 20 - l.top) + 1;
    const WintabDoublePacket packet = WintabDoublePacketAt(pkX, pkY, 500);
    ASSERT_NE(wintabDouble.QueuePacket(nullptr, &packet), 0u);
    testwin::Pump();
    ASSERT_EQ(window.events.size(), 1u) << l.left << "," << l.top;
    EXPECT_EQ(window.events[0].message, UM_PENDOWN);
    const PenSample& sample = window.events[0].sample;
    EXPECT_EQ(sample.x, l.left + pkX * double(l.width) / device.inExtX - kLeft);
    EXPECT_EQ(sample.y, l.top + pkY * double(l.height) / device.inExtY - kTop);
    EXPECT_NEAR(sample.x, 10.6, 1e-9);
    EXPECT_NEAR(sample.y, 20.25, 1e-9);
  }
}

TEST_F(Wintab, DisplayChangeReadsTheOriginAgain) {
  FakeVirtualScreen fake(0, 0, 1000, 800);
  ASSERT_TRUE(fake.Installed());
  WintabDoubleDevice device = PixelDevice();
  ASSERT_EQ(device.inExtX, 1000);
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  fake.Set(-1000, -400, 2000, 1200);  // a second monitor joins left of and above the first
  SendMessageA(window.hwnd, WM_DISPLAYCHANGE, 24, MAKELPARAM(2000, 1200));
  EXPECT_EQ(window.tablet.mapping.screenLeft, -1000.0);
  EXPECT_EQ(window.tablet.mapping.screenTop, -400.0);
  const WintabDoublePacket packet = WintabDoublePacketAt(559, 416, 0);  // 2 and 1.5 pixels a count
  wintabDouble.QueuePacket(nullptr, &packet);
  testwin::Pump();
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.events[0].sample.x, -1000 + 1118.0 - kLeft);
  EXPECT_EQ(window.events[0].sample.y, -400 + 624.0 - kTop);
}

TEST_F(Wintab, EdgesOfTheClientArea) {
  struct Case {
    int x, y;
    bool inside;
  } cases[] = {{0, 0, true},           {kWidth - 1, kHeight - 1, true}, {kWidth, 10, false},
               {10, kHeight, false},   {-1, 10, false},                 {10, -1, false}};
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  for (const Case& c : cases) {
    window.events.clear();
    PenAt(c.x, c.y, 100);
    PenAt(c.x, c.y, 0);
    ASSERT_EQ(window.events.size(), c.inside ? 2u : 1u) << c.x << "," << c.y;
    if (c.inside) {
      EXPECT_EQ(window.events[0].message, UM_PENDOWN);
      EXPECT_EQ(window.events[0].sample.x, c.x);
      EXPECT_EQ(window.events[0].sample.y, c.y);
    }
    EXPECT_EQ(window.events.back().message, UM_PENUP) << c.x << "," << c.y;
  }
}

TEST_F(Wintab, HalfPixelsJustInsideTheFarEdges) {
  WintabDoubleDevice device = PixelDevice();
  device.inExtX = 2 * screenWidth;  // two counts a pixel
  device.inExtY = 2 * screenHeight;
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  const WintabDoublePacket packet = WintabDoublePacketAt(2 * (kLeft + kWidth) - 1, 2 * (kTop + kHeight) - 1, 5);
  wintabDouble.QueuePacket(nullptr, &packet);
  testwin::Pump();
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.events[0].message, UM_PENDOWN);
  EXPECT_EQ(window.events[0].sample.x, kWidth - 0.5);
  EXPECT_EQ(window.events[0].sample.y, kHeight - 0.5);
}

TEST_F(Wintab, PenStateFollowsPressure) {
  WintabDoubleDevice device = PixelDevice();
  device.pressureMax = 1000;
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  struct Step {
    int x, y;
    UINT pressure;
    UINT expected;  // 0: no pen message
    bool penDownAfter;
  } steps[] = {
      {10, 10, 0, UM_PENMOVE, false},                // hovering inside
      {kWidth + 50, -30, 0, UM_PENMOVE, false},      // hovering outside
      {20, 30, 1, UM_PENDOWN, true},                 // the smallest pressure touches
      {25, 35, 300, UM_PENMOVE, true},               //
      {kWidth + 5, 40, 400, UM_PENMOVE, true},       // the stroke leaves the window
      {kWidth + 9, 41, 0, UM_PENUP, false},          // lifted outside
      {50, 50, 0, UM_PENMOVE, false},                //
      {-20, 60, 700, 0, true},                       // touch-down outside: nothing
      {5, 60, 800, UM_PENMOVE, true},                // no UM_PENDOWN came first
      {6, 61, 0, UM_PENUP, false},                   //
      {7, 62, 0, UM_PENMOVE, false},                 // pressure exactly 0 does not touch
  };
  for (const Step& step : steps) {
    const size_t before = window.events.size();
    const size_t messagesBefore = window.tabletMessages.size();
    PenAt(step.x, step.y, step.pressure);
    ASSERT_EQ(window.tabletMessages.size(), messagesBefore + 1);
    EXPECT_TRUE(window.tabletMessages.back().consumed) << "consumed even when nothing is sent";
    EXPECT_EQ(window.tablet.penDown, step.penDownAfter);
    if (!step.expected) {
      EXPECT_EQ(window.events.size(), before) << step.x << "," << step.y;
      continue;
    }
    ASSERT_EQ(window.events.size(), before + 1) << step.x << "," << step.y;
    const PenEvent& event = window.events.back();
    EXPECT_EQ(event.message, step.expected) << step.x << "," << step.y;
    EXPECT_EQ(event.sample.x, step.x);
    EXPECT_EQ(event.sample.y, step.y);
    EXPECT_EQ(event.sample.pressure, step.pressure / 1000.0);
    EXPECT_EQ(event.penDown, step.penDownAfter) << "stored before the message is sent";
    EXPECT_TRUE(event.duringOnMessage) << "sent synchronously";
    EXPECT_EQ(event.wParam, 0u);
    EXPECT_EQ(event.lParam, 0);
  }
  EXPECT_EQ(wintabDouble.QueueCount(nullptr), 0);
}

TEST_F(Wintab, CursorAndButtonOfTheLastPacket) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  PenAt(10, 10, 0, 2, MAKELONG(5, 1));
  PenAt(11, 10, 0, 7, 0x0000FFFF);
  ASSERT_EQ(window.events.size(), 2u);
  EXPECT_EQ(window.events[0].cursor, 2u);
  EXPECT_EQ(window.events[0].button, 5u);
  EXPECT_EQ(window.events[1].cursor, 7u);
  EXPECT_EQ(window.events[1].button, 0xFFFFu);
  EXPECT_EQ(window.tablet.cursor, 7u);
}

TEST_F(Wintab, ProximityIsConsumedAndDropsOneQueuedPacket) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  WintabDoublePacket quiet = WintabDoublePacketAt(kLeft + 1, kTop + 1, 0);
  quiet.flags = WINTAB_DOUBLE_NO_POST;
  wintabDouble.QueuePacket(nullptr, &quiet);
  wintabDouble.QueuePacket(nullptr, &quiet);

  ASSERT_TRUE(wintabDouble.PostProximity(nullptr, TRUE, TRUE));
  testwin::Pump();
  EXPECT_TRUE(window.tablet.inProximity);
  EXPECT_EQ(wintabDouble.QueueCount(nullptr), 1);
  wintabDouble.PostProximity(nullptr, FALSE, TRUE);  // low word 0: leaving
  testwin::Pump();
  EXPECT_FALSE(window.tablet.inProximity);
  EXPECT_EQ(wintabDouble.QueueCount(nullptr), 0);
  wintabDouble.PostProximity(nullptr, TRUE, FALSE);
  testwin::Pump();
  EXPECT_TRUE(window.tablet.inProximity);
  ASSERT_EQ(window.tabletMessages.size(), 3u);
  for (const TabletMessage& m : window.tabletMessages) {
    EXPECT_EQ(m.message, WT_PROXIMITY);
    EXPECT_TRUE(m.consumed);
  }
  EXPECT_TRUE(window.events.empty());
}

TEST_F(Wintab, TwoQueuedPacketsGiveOnePenMessage) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  const WintabDoublePacket first = WintabDoublePacketAt(kLeft + 10, kTop + 20, 50);
  const WintabDoublePacket second = WintabDoublePacketAt(kLeft + 11, kTop + 21, 60);
  wintabDouble.QueuePacket(nullptr, &first);
  wintabDouble.QueuePacket(nullptr, &second);
  testwin::Pump();
  ASSERT_EQ(window.tabletMessages.size(), 2u);
  EXPECT_TRUE(window.tabletMessages[0].consumed);
  EXPECT_FALSE(window.tabletMessages[1].consumed) << "its packet was removed with the first";
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.events[0].message, UM_PENDOWN);
  EXPECT_EQ(window.events[0].sample.x, 10.0);
  EXPECT_EQ(window.tablet.sample.x, 10.0);
  EXPECT_EQ(wintabDouble.QueueCount(nullptr), 0);
  EXPECT_EQ(std::count(window.passedOn.begin(), window.passedOn.end(), WT_PACKET), 1);
}

TEST_F(Wintab, PacketNoLongerQueuedChangesNothing) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  PenAt(30, 40, 200);
  WintabDoublePacket waiting = WintabDoublePacketAt(kLeft + 99, kTop + 99, 0);
  waiting.flags = WINTAB_DOUBLE_NO_POST;
  const UINT serial = wintabDouble.QueuePacket(nullptr, &waiting);
  const int calls = wintabDouble.CallCount();
  WinTab& tablet = window.tablet;
  EXPECT_FALSE(tablet.OnMessage(WT_PACKET, serial - 1, reinterpret_cast<LPARAM>(tablet.context)));
  EXPECT_EQ(Calls(window, calls), "WTPacket(ctx," + std::to_string(serial - 1) + ",1)");
  EXPECT_EQ(wintabDouble.QueueCount(nullptr), 1);
  EXPECT_EQ(tablet.sample.x, 30.0);
  EXPECT_EQ(tablet.sample.y, 40.0);
  EXPECT_TRUE(tablet.penDown);
  EXPECT_EQ(window.events.size(), 1u);
}

TEST_F(Wintab, DisplayChangeReadsTheScreenAgainAndIsPassedOn) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  window.tablet.mapping.screenWidth = 800;
  window.tablet.mapping.screenHeight = 600;
  window.passedOn.clear();
  SendMessageA(window.hwnd, WM_DISPLAYCHANGE, 24, MAKELPARAM(screenWidth, screenHeight));
  EXPECT_EQ(window.passedOn, std::vector<UINT>{WM_DISPLAYCHANGE});
  EXPECT_EQ(window.tablet.mapping.screenWidth, screenWidth);
  EXPECT_EQ(window.tablet.mapping.screenHeight, screenHeight);
  PenAt(17, 19, 0);
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.events[0].sample.x, 17.0);
  EXPECT_EQ(window.events[0].sample.y, 19.0);
}

TEST_F(Wintab, PositionsAndPressureAreUnsigned) {
  WintabDoubleDevice device = PixelDevice();
  device.inExtX = 0x7FFFFFFF;
  device.inExtY = 0x7FFFFFFF;
  device.pressureMax = 0x7FFFFFFF;
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  window.tablet.mapping.screenWidth = 200;
  window.tablet.mapping.screenHeight = 300;
  const WintabDoublePacket packet = WintabDoublePacketAt(0x80000000u, 0x80000000u, 0x80000000u);
  wintabDouble.QueuePacket(nullptr, &packet);
  testwin::Pump();
  ASSERT_EQ(window.events.size(), 1u);
  const double fx = 2147483648.0 * 200 / 2147483647.0;
  const double fy = 2147483648.0 * 300 / 2147483647.0;
  EXPECT_EQ(window.events[0].message, UM_PENDOWN);
  EXPECT_EQ(window.events[0].sample.x, fx - kLeft);
  EXPECT_EQ(window.events[0].sample.y, fy - kTop);
  EXPECT_EQ(window.events[0].sample.pressure, 1.0) << "held at the device's maximum";
}

TEST_F(Wintab, AbsurdPositionsStayFiniteAndInRange) {
  WintabDoubleDevice device = PixelDevice();
  device.inExtX = 1;
  device.inExtY = 1;
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, device);
  const WintabDoublePacket distant = WintabDoublePacketAt(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu);
  wintabDouble.QueuePacket(nullptr, &distant);
  testwin::Pump();
  const PenSample& sample = window.tablet.sample;
  EXPECT_EQ(sample.x, 1e6 - kLeft);
  EXPECT_EQ(sample.y, 1e6 - kTop);
  EXPECT_EQ(sample.pressure, 1.0);
  EXPECT_TRUE(window.tablet.penDown);
  EXPECT_TRUE(window.events.empty()) << "a touch-down far outside sends nothing";
  const WintabDoublePacket origin = WintabDoublePacketAt(0, 0, 0);
  wintabDouble.QueuePacket(nullptr, &origin);
  testwin::Pump();
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.events[0].message, UM_PENUP);
  EXPECT_EQ(window.events[0].sample.x, -kLeft);
  EXPECT_EQ(window.events[0].sample.y, -kTop);
}

TEST_F(Wintab, DeviceWithoutUsablePressureMaximum) {
  struct Case {
    BOOL hasAxis;
    LONG axMax;
  } cases[] = {{FALSE, 1023}, {TRUE, 0}, {TRUE, -5}};
  for (const Case& c : cases) {
    WintabDoubleDevice device = PixelDevice();
    device.hasPressureAxis = c.hasAxis;
    device.pressureMax = c.axMax;
    PenWindow window(kLeft, kTop, kWidth, kHeight);
    Open(window, device);
    EXPECT_EQ(window.tablet.mapping.pressureMax, 1.0);
    PenAt(10, 10, 0);
    PenAt(11, 10, 7);
    PenAt(12, 10, 1);
    ASSERT_EQ(window.events.size(), 3u);
    EXPECT_EQ(window.events[0].message, UM_PENMOVE);
    EXPECT_EQ(window.events[0].sample.pressure, 0.0);
    EXPECT_EQ(window.events[1].message, UM_PENDOWN);
    EXPECT_EQ(window.events[1].sample.pressure, 1.0) << "any pressure is full pressure";
    EXPECT_EQ(window.events[2].sample.pressure, 1.0);
  }
}

TEST_F(Wintab, DefaultContextWithoutInputExtentIsNotAvailable) {
  for (int axis = 0; axis < 2; ++axis) {
    WintabDoubleDevice device = PixelDevice();
    (axis ? device.inExtY : device.inExtX) = 0;
    wintabDouble.SetDevice(&device);
    PenWindow window(kLeft, kTop, kWidth, kHeight);
    EXPECT_FALSE(window.tablet.Open(window.hwnd));
    EXPECT_EQ(window.tablet.context, nullptr);
    EXPECT_EQ(wintabDouble.OpenCount(), 0);
    EXPECT_EQ(Calls(window), "WTInfoA(0,0,0) WTInfoA(100,15,1) WTInfoA(4,0,1)") << "no context is opened";
    EXPECT_FALSE(window.tablet.OnMessage(WT_PACKET, 1, 0));
    wintabDouble.Reset();
  }
}

TEST_F(Wintab, CloseDisablesThenClosesOnce) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  WinTab& tablet = window.tablet;
  int calls = wintabDouble.CallCount();
  tablet.Enable(false);
  EXPECT_FALSE(wintabDouble.IsEnabled(nullptr));
  tablet.Enable(true);
  EXPECT_TRUE(wintabDouble.IsEnabled(nullptr));
  EXPECT_EQ(Calls(window, calls), "WTEnable(ctx,0) WTEnable(ctx,1)");
  calls = wintabDouble.CallCount();
  tablet.Close();
  EXPECT_EQ(Calls(window, calls), "WTEnable(ctx,0) WTClose(ctx)");
  EXPECT_EQ(tablet.context, nullptr);
  EXPECT_EQ(wintabDouble.OpenCount(), 0);
  calls = wintabDouble.CallCount();
  tablet.Close();
  tablet.Enable(true);
  EXPECT_FALSE(tablet.OnMessage(WT_PACKET, 1, 0));
  EXPECT_FALSE(tablet.OnMessage(WT_PROXIMITY, 0, 1));
  EXPECT_EQ(wintabDouble.CallCount(), calls);
}

TEST_F(Wintab, DestructionClosesTheContext) {
  {
    PenWindow window(kLeft, kTop, kWidth, kHeight);
    WinTab tablet;
    wintabDouble.SetDevice(nullptr);
    ASSERT_TRUE(tablet.Open(window.hwnd));
    EXPECT_EQ(wintabDouble.OpenCount(), 1);
  }
  EXPECT_EQ(wintabDouble.OpenCount(), 0);
}

TEST_F(Wintab, OpeningAgainReplacesTheContext) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  HCTX first = window.tablet.context;
  ASSERT_TRUE(window.tablet.Open(window.hwnd));
  EXPECT_NE(window.tablet.context, first);
  EXPECT_EQ(wintabDouble.OpenCount(), 1);
}

TEST_F(Wintab, PenHandlingMayCloseTheContext) {
  PenWindow window(kLeft, kTop, kWidth, kHeight);
  Open(window, PixelDevice());
  window.closeOnPenDown = true;
  const int calls = wintabDouble.CallCount();
  PenAt(5, 5, 9);
  ASSERT_EQ(window.events.size(), 1u);
  EXPECT_EQ(window.tablet.context, nullptr);
  const std::string made = Calls(window, calls);
  EXPECT_EQ(made.find("WTPacketsGet"), std::string::npos) << made;
  EXPECT_TRUE(window.tabletMessages.back().consumed);
}

}  // namespace
