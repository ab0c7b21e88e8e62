// The double driven from another process, as end-to-end tests drive a real
// program: device settings from the environment, packets through the control
// window, the handled semaphore, and the call log file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "tests/tablet/wintab_test_support.h"

namespace {

// The probe's window: client area at (200, 150), 320 x 240.
const int kProbeLeft = 200, kProbeTop = 150;

class CrossProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    logPath = TestDirectory() + "cross-log.txt";
    DeleteFileA(logPath.c_str());
    ASSERT_TRUE(probe.Start(TestDirectory() + "wintab_pen_probe.exe", {},
                            {"WINTAB_DOUBLE_LOG=" + logPath,
                             "WINTAB_DOUBLE_INEXT_X=" + std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN)),
                             "WINTAB_DOUBLE_INEXT_Y=" + std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN)),
                             "WINTAB_DOUBLE_AXMAX=0x3E8", "WINTAB_DOUBLE_OPTIONS=0x0010"}));
    for (int i = 0; i < 500 && !control; ++i) {
      control = WintabDoubleFindControl(probe.Id());
      if (!control) Sleep(20);
    }
    ASSERT_NE(control, nullptr) << "the probe opened no context: " << probe.Output();
    handled = WintabDoubleOpenHandledSemaphore(probe.Id());
    ASSERT_NE(handled, nullptr);
  }

  void TearDown() override {
    if (handled) CloseHandle(handled);
    if (HWND window = ProbeWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
    probe.Wait(10000);  // ended at last by the ChildProcess
  }

  HWND ProbeWindow() {
    char title[16];
    std::snprintf(title, sizeof title, "%lu", probe.Id());
    return FindWindowA("WintabPenProbe", title);
  }

  // Sends a packet at a client position of the probe and waits until the
  // probe has handled it.
  UINT PenAt(double clientX, double clientY, UINT pressure) {
    const WintabDoublePacket packet =
        WintabDoublePacketAt(static_cast<DWORD>(kProbeLeft + clientX), static_cast<DWORD>(kProbeTop + clientY), pressure);
    const UINT serial = WintabDoubleSendPacket(control, packet);
    EXPECT_NE(serial, 0u);
    EXPECT_EQ(WaitForSingleObject(handled, 10000), WAIT_OBJECT_0);
    return serial;
  }

  // The probe's standard output is in text mode: lines end in CR LF.
  std::string Output() {
    std::string text = probe.Output();
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
  }

  std::string logPath;
  ChildProcess probe;
  HWND control = nullptr;
  HANDLE handled = nullptr;
};

TEST_F(CrossProcess, PacketsReachTheProgramAndAreReportedHandled) {
  ASSERT_TRUE(WintabDoubleSendProximity(control, true, true));
  // The program handles WT_PROXIMITY by removing one queued packet: a packet
  // queued before it got there would be lost. Its call shows in the log.
  for (int i = 0; i < 250 && ReadFileText(logPath).find("WTPacketsGet") == std::string::npos; ++i) Sleep(20);
  const UINT hover = PenAt(10, 20, 0);
  EXPECT_EQ(static_cast<UINT>(WintabDoubleSend(control, WINTAB_DOUBLE_CMD_LAST_HANDLED, nullptr, 0)), hover);
  // Everything the packet caused is done when the semaphore is released.
  EXPECT_EQ(Output(), "open 1\nMOVE 10 20 0 1 0\n");
  PenAt(30, 40, 500);
  PenAt(31, 42, 1000);
  const UINT up = PenAt(31, 42, 0);
  EXPECT_EQ(static_cast<UINT>(WintabDoubleSend(control, WINTAB_DOUBLE_CMD_LAST_HANDLED, nullptr, 0)), up);
  EXPECT_EQ(WintabDoubleSend(control, WINTAB_DOUBLE_CMD_QUEUE_COUNT, nullptr, 0), 0);
  EXPECT_EQ(Output(),
            "open 1\nMOVE 10 20 0 1 0\nDOWN 30 40 0.5 1 0\nMOVE 31 42 1 1 0\nUP 31 42 0 1 0\n");

  PostMessageA(ProbeWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(probe.Wait(10000));
  EXPECT_EQ(probe.ExitCode(), 0u);
  EXPECT_EQ(WintabDoubleFindControl(probe.Id()), nullptr);

  // The log file: the program's calls as they happened.
  std::istringstream log(ReadFileText(logPath));
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "WTInfoA 0 0 null = 172");
  EXPECT_EQ(lines[1], "WTInfoA 100 15 ptr = 16");
  EXPECT_EQ(lines[2], "WTInfoA 4 0 ptr = 172");
  EXPECT_EQ(lines[3].rfind("WTOpenA 0x", 0), 0u) << lines[3];
  const std::string context = lines[3].substr(lines[3].rfind(' ') + 1);
  auto has = [&](const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
  };
  EXPECT_TRUE(has("context lcOptions 0x8015"));
  EXPECT_TRUE(has("context lcPktData 0x1FFF"));
  EXPECT_TRUE(has("context lcOutExtY -" + std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN))));
  EXPECT_TRUE(has("WTQueueSizeSet " + context + " 128 = 1"));
  EXPECT_TRUE(has("WTPacketsGet " + context + " 1 null = 0"));
  EXPECT_EQ(lines[lines.size() - 2], "WTEnable " + context + " 0 = 1");
  EXPECT_EQ(lines.back(), "WTClose " + context + " = 1");
}

}  // namespace
