// One of the real programs started under test with the tablet driver double
// next to it, driven through the double's control window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TabletGeometry.h"
#include "TestFiles.h"

class ProgramUnderTest {
 public:
  ~ProgramUnderTest();

  // Starts <TestDirectory()><directory>\<program>.exe and waits for its main
  // window, the one captioned `caption`. With a tablet, also binds the
  // double's control window. A first start in a new Wine prefix can take
  // many seconds. On false, `failure` says which step gave up and after how
  // long, and `ended` whether the program itself ended meanwhile.
  bool Start(const std::string& directory, const std::string& program, const std::vector<std::string>& arguments = {},
             const std::vector<std::string>& environment = {}, bool expectTablet = true);
  // The geometry the program's tablet context works with.
  TabletGeometry Geometry() const { return DoubleGeometry(mainWindow); }
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
  std::string failure;
  bool ended = false;
  ChildProcess process;
  HWND mainWindow = nullptr;
  HWND control = nullptr;
  HANDLE handled = nullptr;
};
