// The X11 programs under test: started on a display as a user starts them,
// found by their windows' titles, read back with XGetImage, and watched by a
// recorder, a second X client that selects the same XInput 2 motion on the
// canvas and the root window, so that the test knows what the program read.
#pragma once
#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tablet/PenSample.h"
#include "tools/xtablet/XMouseSteps.h"

class XProgramRun {
 public:
  ~XProgramRun() { Kill(); }
  // Starts the program with DISPLAY set (and `environment`, NAME=value
  // each) and waits (5 s at most) for its canvas and picker.
  bool Start(Display* display, const std::string& displayName, const std::string& program,
             const std::vector<std::string>& args, const std::vector<std::string>& environment = {});
  // Whether the process is still running.
  bool Running();
  // Closes the canvas as a window manager does; true when the program ended.
  bool Close();
  void Kill();

  XProgramWindows windows;
  int originX = 0, originY = 0;  // of the canvas on the root window

 private:
  Display* display_ = nullptr;
  pid_t pid_ = -1;
};

// One pen event as the recorder saw it: the canvas pixels, the pressure
// 0..1, and the buttons as Wine reports them (0x2 the tip, 0x4 and 0x8 the
// barrel buttons).
struct RecordedPen {
  PenSample sample;
  unsigned cursor;  // 1 the tip, 2 the eraser (the X tablet driver's "eraser" device)
  unsigned buttons;
};

class XPenRecorder {
 public:
  // Selects the pens' motion on the canvas and the root window.
  bool Start(Display* display, Window canvas, int canvasX, int canvasY);
  // Reads what has arrived (after a round trip to the server).
  void Drain();
  std::vector<RecordedPen> events;

 private:
  Display* display_ = nullptr;
  Window canvas_ = 0;
  int canvasX_ = 0, canvasY_ = 0;
  int opcode_ = 0;
  std::vector<int> pens_, erasers_;
};

// What a window manager sends when the user closes a window.
void SendClose(Display* display, Window window);
// A window's pixels, top row first, 3 bytes a pixel (blue, green, red).
std::vector<uint8_t> CaptureWindow(Display* display, Window window, int width, int height);
// Writes a capture as a 24-bit BMP, for a look when a test fails.
void WriteCaptureBmp(const std::string& path, const std::vector<uint8_t>& bgr, int width, int height);
// The build's X11 program of that name (build/native/x11/<name>).
std::string X11Program(const char* name);
