#include "ProgramUnderTest.h"

#include <cstdio>
#include <cstring>

#include "tools/wintab32/WintabDoubleControl.h"

std::string TestDirectory() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path);
  return directory.substr(0, directory.find_last_of("\\/") + 1);
}

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

TabletGeometry ProgramUnderTest::Geometry() const {
  TabletGeometry geometry;
  geometry.screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  geometry.screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  geometry.inExtX = 40000;  // the double's default device
  geometry.inExtY = 25000;
  geometry.pressureMax = 1023;
  geometry.clientOrigin = {0, 0};
  ClientToScreen(mainWindow, &geometry.clientOrigin);
  RECT client;
  GetClientRect(mainWindow, &client);
  geometry.clientWidth = client.right;
  geometry.clientHeight = client.bottom;
  return geometry;
}

bool ProgramUnderTest::Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor, DWORD buttons) {
  WintabDoublePacket packet = {};
  packet.x = pkX;
  packet.y = pkY;
  packet.normalPressure = pressure;
  packet.cursor = cursor;
  packet.buttons = buttons;
  if (!WintabDoubleSendPacket(control, packet)) return false;
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

void WaitPainted(HWND window) {
  const DWORD start = GetTickCount();
  while (GetUpdateRect(window, nullptr, FALSE) && GetTickCount() - start < 5000) Sleep(5);
}

bool ScreenShows(HWND window, const std::vector<uint8_t>& expected, int rowWidth, int width, int height,
                 DWORD timeoutMs, std::string* difference) {
  const DWORD start = GetTickCount();
  for (;;) {
    const Capture screen = CaptureClient(window);
    const int w = width < screen.width ? width : screen.width;
    const int h = height < screen.height ? height : screen.height;
    int differences = 0;
    std::string report;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint8_t* seen = screen.At(x, y);
        const uint8_t* want = &expected[(static_cast<size_t>(y) * rowWidth + x) * 3];
        if (seen[0] != want[0] || seen[1] != want[1] || seen[2] != want[2]) {
          if (++differences <= 8) {
            char line[128];
            std::snprintf(line, sizeof line, "(%d, %d): screen %d %d %d, expected %d %d %d\n", x, y, seen[0], seen[1],
                          seen[2], want[0], want[1], want[2]);
            report += line;
          }
        }
      }
    }
    if (differences == 0 && w == width && h == height) return true;  // the whole region was on screen
    if (GetTickCount() - start > timeoutMs) {
      if (difference) {
        char head[128];
        std::snprintf(head, sizeof head, "%d pixels differ (compared %d x %d of %d x %d)\n", differences, w, h, width,
                      height);
        *difference = head + report;
      }
      return false;
    }
    PumpFor(20);  // the window may belong to this thread
  }
}

bool WriteBmp(const std::string& path, const Capture& capture) {
  const int stride = (capture.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * capture.height;
  info.biSize = sizeof info;
  info.biWidth = capture.width;
  info.biHeight = capture.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::vector<uint8_t> row(stride, 0);
  for (int y = capture.height - 1; y >= 0; --y) {
    std::memcpy(row.data(), capture.At(0, y), static_cast<size_t>(capture.width) * 3);
    std::fwrite(row.data(), 1, stride, out);
  }
  return std::fclose(out) == 0;
}
