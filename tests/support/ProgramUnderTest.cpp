#include "ProgramUnderTest.h"

#include <cstdio>

#include "tools/wintab32/WintabDoubleControl.h"

ProgramUnderTest::~ProgramUnderTest() {
  if (handled) CloseHandle(handled);
}

bool ProgramUnderTest::Start(const std::string& directory, const std::string& program,
                             const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                             bool expectTablet) {
  const DWORD kWindowMs = 60000, kControlMs = 20000;
  const std::string path = TestDirectory() + directory + "\\" + program + ".exe";
  const DWORD start = GetTickCount();
  // The step that gave up, after how long since the start, and whether the
  // program was gone by then.
  auto gaveUp = [&](const char* step) {
    ended = WaitForSingleObject(process.Handle(), 0) == WAIT_OBJECT_0;
    char after[64];
    std::snprintf(after, sizeof after, " after %.1f s%s", (GetTickCount() - start) / 1000.0,
                  ended ? " (the program had ended)" : "");
    failure = step + std::string(after);
    return false;
  };
  failure.clear();
  ended = false;
  if (!process.Start(path, arguments, environment)) return gaveUp("the process could not be created");
  mainWindow = process.FindWindowOf(caption.c_str(), kWindowMs);
  if (!mainWindow) {
    // A program that found no tablet driver shows its notice before its window.
    const bool notice = expectTablet && process.FindWindowOf("Info", 0);
    return gaveUp(("no window \"" + caption + "\"" +
                   (notice ? " (it shows its notice of no tablet: is the driver double loaded, wintab32=n?)" : ""))
                      .c_str());
  }
  WaitPainted(mainWindow);
  if (!expectTablet) return true;
  const DWORD waitedFor = GetTickCount();
  while (!(control = WintabDoubleFindControl(process.Id())) && GetTickCount() - waitedFor < kControlMs) {
    if (WaitForSingleObject(process.Handle(), 0) == WAIT_OBJECT_0) break;
    Sleep(5);
  }
  if (!control) {
    return gaveUp(process.FindWindowOf("Info", 0) ? "no control window of the driver double (the program shows its "
                                                     "notice of no tablet)"
                                                   : "no control window of the driver double");
  }
  handled = WintabDoubleOpenHandledSemaphore(process.Id());
  if (!handled) return gaveUp("no handled semaphore of the driver double");
  return true;
}

bool ProgramUnderTest::Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor, DWORD buttons) {
  if (!WintabDoubleSendPacket(control, WintabDoublePacketAt(pkX, pkY, pressure, cursor, buttons))) return false;
  return WaitForSingleObject(handled, 10000) == WAIT_OBJECT_0;
}

bool ProgramUnderTest::Proximity(bool entering) { return WintabDoubleSendProximity(control, entering, true); }

double ProgramUnderTest::LastLatencyMs() const {
  return WintabDoubleSend(control, WINTAB_DOUBLE_CMD_LAST_LATENCY, nullptr, 0) / 1e6;
}

bool ProgramUnderTest::Close() {
  PostMessageA(mainWindow, WM_CLOSE, 0, 0);
  return process.Wait(10000);
}
