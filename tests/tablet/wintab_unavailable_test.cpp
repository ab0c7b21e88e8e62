// WinTab when the library is missing, incomplete, without service, or
// refusing the context. Each suite runs in its own directory next to the
// matching variant of the tablet driver double (or none).
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tablet/wintab_test_support.h"

namespace {

const char kMissingEnable[] = "Debug : cannot ritrieve proc address : WTEnable\n";
const char kMissingOpen[] = "Debug : cannot ritrieve proc address : WTOpenA\n";

struct Probe {
  std::string output;
  DWORD exitCode = 1;
};

// Runs the probe program of this directory until it ends.
Probe RunProbe() {
  Probe probe;
  ChildProcess process;
  if (!process.Start(TestDirectory() + "wintab_pen_probe.exe", {}) || !process.Wait(20000)) return probe;
  probe.exitCode = process.ExitCode();
  probe.output = process.Output();
  // Its standard output is in text mode: lines end in CR LF.
  probe.output.erase(std::remove(probe.output.begin(), probe.output.end(), '\r'), probe.output.end());
  return probe;
}

std::string CallNames() {
  std::string names;
  for (int i = 0; i < wintabDouble.CallCount(); ++i) {
    WintabDoubleCall call;
    wintabDouble.GetCall(i, &call);
    names += (names.empty() ? "" : " ") + std::string(call.function);
  }
  return names;
}

void ExpectClosedAndIgnoring(WinTab& tablet) {
  EXPECT_EQ(tablet.context, nullptr);
  const double width = tablet.mapping.screenWidth;
  EXPECT_FALSE(tablet.OnMessage(WT_PACKET, 1, 0));
  EXPECT_FALSE(tablet.OnMessage(WT_PROXIMITY, 0, 1));
  EXPECT_FALSE(tablet.OnMessage(WM_DISPLAYCHANGE, 32, 0));
  EXPECT_EQ(tablet.mapping.screenWidth, width);
}

TEST(MissingEnable, PrintsOnceAndTheContextIsNotAvailable) {
  ASSERT_TRUE(wintabDoubleBound);
  ASSERT_STREQ(wintabDouble.Variant(), "no-wtenable");
  EXPECT_EQ(bindingOutput, kMissingEnable) << "one line, for the first binding only";
  EXPECT_TRUE(firstLoadResult);
  EXPECT_TRUE(secondLoadResult);
  EXPECT_EQ(wintabProcs.WTEnable, nullptr);
  EXPECT_NE(wintabProcs.WTOpenA, nullptr);
  EXPECT_NE(wintabProcs.WTQueueSizeSet, nullptr);

  wintabDouble.Reset();
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd)) << "Close could not disable a context";
  EXPECT_EQ(wintabDouble.CallCount(), 0) << "nothing is called: " << CallNames();
  ExpectClosedAndIgnoring(window.tablet);
}

TEST(MissingEnable, ProgramPrintsTheLineOnItsStandardOutput) {
  const Probe probe = RunProbe();
  EXPECT_EQ(probe.output, std::string(kMissingEnable) + "open 0\n");
  EXPECT_EQ(probe.exitCode, 0u);
}

TEST(MissingOpen, PrintsItsLineAndOpenFails) {
  ASSERT_TRUE(wintabDoubleBound);
  ASSERT_STREQ(wintabDouble.Variant(), "no-wtopena");
  EXPECT_EQ(bindingOutput, kMissingOpen);
  EXPECT_FALSE(firstLoadResult);
  EXPECT_FALSE(secondLoadResult);
  EXPECT_TRUE(wintabProcs.bound);
  wintabDouble.Reset();
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd));
  EXPECT_EQ(wintabDouble.CallCount(), 0) << CallNames();
  ExpectClosedAndIgnoring(window.tablet);
}

TEST(MissingOpen, ProgramPrintsTheLineOnItsStandardOutput) {
  const Probe probe = RunProbe();
  EXPECT_EQ(probe.output, std::string(kMissingOpen) + "open 0\n");
}

TEST(NoService, OpenAsksOnceAndFails) {
  ASSERT_TRUE(wintabDoubleBound);
  ASSERT_STREQ(wintabDouble.Variant(), "no-service");
  EXPECT_EQ(bindingOutput, "");
  EXPECT_TRUE(firstLoadResult);
  wintabDouble.Reset();
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd));
  EXPECT_EQ(CallNames(), "WTInfoA");
  WintabDoubleCall call;
  ASSERT_TRUE(wintabDouble.GetCall(0, &call));
  EXPECT_EQ(call.args[0], 0u);
  EXPECT_EQ(call.args[1], 0u);
  EXPECT_EQ(call.args[2], 0u);
  EXPECT_EQ(call.result, 0u);
  ExpectClosedAndIgnoring(window.tablet);
}

TEST(OpenRefused, KeepsTheValuesReadAndStaysClosed) {
  ASSERT_TRUE(wintabDoubleBound);
  ASSERT_STREQ(wintabDouble.Variant(), "open-fails");
  EXPECT_EQ(bindingOutput, "");
  wintabDouble.Reset();
  WintabDoubleDevice device;
  wintabDouble.GetDevice(&device);
  device.pressureMax = 2047;
  device.inExtX = 12345;
  device.inExtY = 6789;
  wintabDouble.SetDevice(&device);
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd));
  EXPECT_EQ(CallNames(), "WTInfoA WTInfoA WTInfoA WTOpenA") << "no queue size without a context";
  EXPECT_EQ(window.tablet.mapping.pressureMax, 2047.0);
  EXPECT_EQ(window.tablet.mapping.inExtX, 12345.0);
  EXPECT_EQ(window.tablet.mapping.inExtY, 6789.0);
  EXPECT_EQ(window.tablet.mapping.screenWidth, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  LOGCONTEXTA refused = {};
  ASSERT_TRUE(wintabDouble.GetOpenedContext(&refused, sizeof refused));
  EXPECT_EQ(refused.lcOutExtY, -6789);
  EXPECT_EQ(refused.lcPktData, 0x1FFFu);
  ExpectClosedAndIgnoring(window.tablet);
}

TEST(NoLibrary, OpenFailsSilently) {
  EXPECT_EQ(GetModuleHandleA("wintab32.dll"), nullptr);
  EXPECT_EQ(bindingOutput, "");
  EXPECT_FALSE(firstLoadResult);
  EXPECT_FALSE(secondLoadResult);
  EXPECT_FALSE(wintabProcs.bound);
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd));
  ExpectClosedAndIgnoring(window.tablet);
  EXPECT_EQ(window.tablet.mapping.screenWidth, 0.0) << "WM_DISPLAYCHANGE leaves it alone";
}

TEST(WineBuiltin, BindsButReportsNoService) {
  ASSERT_NE(GetModuleHandleA("wintab32.dll"), nullptr);
  EXPECT_FALSE(wintabDoubleBound) << "the system's library, not the double";
  EXPECT_EQ(bindingOutput, "") << "it has all seven functions";
  EXPECT_TRUE(firstLoadResult);
  PenWindow window(100, 120, 300, 200);
  EXPECT_FALSE(window.tablet.Open(window.hwnd));
  ExpectClosedAndIgnoring(window.tablet);
}

}  // namespace
