// One of the real programs started under test with the tablet driver double
// next to it, driven through the double's control window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TabletGeometry.h"
#include "ScreenCapture.h"

// The directory of this test program, with a trailing backslash.
std::string TestDirectory();

class ProgramUnderTest {
 public:
  ~ProgramUnderTest();

  // Starts <TestDirectory()><directory>\<program>.exe and waits for its main
  // window, the one captioned `caption`. With a tablet, also binds the
  // double's control window.
  bool Start(const std::string& directory, const std::string& program, const std::vector<std::string>& arguments = {},
             const std::vector<std::string>& environment = {}, bool expectTablet = true);
  // The geometry the program's tablet context works with.
  TabletGeometry Geometry() const;
  // Sends one packet through the driver and waits until the program has
  // handled it, painting included.
  bool Packet(DWORD pkX, DWORD pkY, UINT pressure, UINT cursor = 1, DWORD buttons = 0);
  bool Proximity(bool entering);
  // For the last handled packet: milliseconds from the driver's posting of its
  // packet message to the end of its handling in the program.
  double LastLatencyMs() const;
  // Closes the main window and waits for the end; true when it ended.
  bool Close();

  std::string caption = "Paint Test";
  ChildProcess process;
  HWND mainWindow = nullptr;
  HWND control = nullptr;
  HANDLE handled = nullptr;
};

// Waits until the top-left width x height pixels of the client area of
// `window` show those of `expected` (rows of rowWidth pixels, top row first,
// BGR); on timeout describes the first differences in `difference`.
bool ScreenShows(HWND window, const std::vector<uint8_t>& expected, int rowWidth, int width, int height,
                 DWORD timeoutMs, std::string* difference);

// Waits until the window has no part left to paint.
void WaitPainted(HWND window);

// Writes a capture as a 24-bit BMP file.
bool WriteBmp(const std::string& path, const Capture& capture);
