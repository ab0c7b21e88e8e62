#include "ProgramUnderTest.h"

#include "tools/wintab32/WintabDoubleControl.h"

ProgramUnderTest::~ProgramUnderTest() {
  if (handled) CloseHandle(handled);
}

bool ProgramUnderTest::Start(const std::string& directory, const std::string& program,
                             const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                             bool expectTablet) {
  const std::string path = TestDirectory() + directory + "\\" + program + ".exe";
  if (!process.Start(path, arguments, environment)) return false;
  mainWindow = process.FindWindowOf(caption.c_str(), 20000);
  if (!mainWindow) return false;
  WaitPainted(mainWindow);
  if (!expectTablet) return true;
  const DWORD start = GetTickCount();
  while (!(control = WintabDoubleFindControl(process.Id())) && GetTickCount() - start < 5000) Sleep(5);
  handled = WintabDoubleOpenHandledSemaphore(process.Id());
  return control && handled;
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
