// The real program, started as a child process with the tablet driver double
// next to it, driven by pen packets, its screen read back and compared pixel
// for pixel with what the engine computes for the same packets.
//
// Built twice: for inkstone (soft dabs) and inkstone-disc (hard discs), each
// linked with its own dab implementation for the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/PickerScreen.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/ReferenceCanvas.h"
#include "tests/support/StrokeChecks.h"
#include "tests/support/TestWindows.h"
#include "tools/wintab32/PenScript.h"

#ifndef E2E_PROGRAM
#error "E2E_PROGRAM names the program under test"
#endif

namespace {
const char kProgram[] = E2E_PROGRAM;
const wchar_t kNoTabletText[] = L"Tablet\u30b3\u30f3\u30c6\u30ad\u30b9\u30c8\u304c\u751f\u6210\u3067\u304d\u307e\u305b\u3093.";

class EndToEnd : public ::testing::Test {
 protected:
  void StartWithTablet(const std::vector<std::string>& arguments = {},
                       const std::vector<std::string>& environment = {}, const char* directory = "e2e") {
    ASSERT_TRUE(program.Start(directory, kProgram, arguments, environment))
        << "the program did not start with its tablet: " << program.failure;
    geometry = program.Geometry();
    ASSERT_EQ(geometry.clientWidth, 600);
    ASSERT_EQ(geometry.clientHeight, 600);
  }

  // A packet at a client position, as the tablet would report it.
  void Pen(double x, double y, UINT pressure, ReferenceCanvas& reference, UINT cursor = 1, DWORD buttons = 0) {
    // A tablet reports positions on the screen only.
    ASSERT_GE(x + geometry.clientOrigin.x, 0);
    ASSERT_GE(y + geometry.clientOrigin.y, 0);
    ASSERT_LT(x + geometry.clientOrigin.x, geometry.screenWidth);
    ASSERT_LT(y + geometry.clientOrigin.y, geometry.screenHeight);
    const DWORD pkX = geometry.PacketX(x);
    const DWORD pkY = geometry.PacketY(y);
    ASSERT_TRUE(program.Packet(pkX, pkY, pressure, cursor, buttons));
    reference.Packet(pkX, pkY, pressure, cursor, buttons);
  }

  void ExpectScreen(const ReferenceCanvas& reference, const char* when) {
    ExpectShows(reference.Screen(), reference.Width(), reference.Height(), when);
  }

  // The reference draws by the program's own pen states; a test about them
  // states what the screen shows on its own as well.
  void ExpectShows(const std::vector<uint8_t>& pixels, int width, int height, const char* when) {
    std::string difference;
    EXPECT_TRUE(ScreenShows(program.mainWindow, pixels, width, height, &difference)) << when << ": " << difference;
  }

  void CloseCleanly(const std::string& expectedOutput = "") {
    ASSERT_TRUE(program.Close()) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.process.ExitCode(), 0u);
    EXPECT_EQ(program.process.Output(), expectedOutput);
  }

  ProgramUnderTest program;
  TabletGeometry geometry = {};
};

TEST_F(EndToEnd, StrokeWithVaryingPressureIsShownWhileDrawnAndKeptAfterLift) {
  StartWithTablet();
  ReferenceCanvas reference(geometry, 600, 600);
  ExpectScreen(reference, "at start, a white canvas");

  // Hovering in proximity sends moves without pressure: nothing is drawn.
  ASSERT_TRUE(program.Proximity(true));
  for (int i = 0; i < 5; ++i) Pen(120 + 30 * i, 150 + 7 * i, 0, reference);

  const int samples = 80;
  for (int i = 0; i < samples; ++i) {
    const double t = i / double(samples - 1);
    const double x = 90.3 + 420 * t;
    const double y = 300.6 + 120 * std::sin(t * 6.0);
    const UINT pressure = static_cast<UINT>(1 + 1022 * std::sin(t * 3.14159));
    Pen(x, y, pressure, reference);
    if (i == samples / 2) ExpectScreen(reference, "in the middle of the stroke");
  }
  ASSERT_TRUE(reference.StrokeActive());
  ExpectScreen(reference, "before the lift");
  Pen(510.3, 300.6 + 120 * std::sin(6.0), 0, reference);
  ASSERT_FALSE(reference.StrokeActive());
  ExpectScreen(reference, "after the lift");

  // For the README: the program with a stroke, the picker beside it.
  RECT frame, picker;
  GetWindowRect(program.mainWindow, &frame);
  HWND pickerWindow = program.process.FindWindowOf(nullptr, 1000);
  picker = frame;
  if (pickerWindow && pickerWindow != program.mainWindow) GetWindowRect(pickerWindow, &picker);
  WriteBmp(TestDirectory() + std::string(kProgram) + "-screenshot.bmp",
           CaptureScreen(frame.left, frame.top, picker.right - frame.left, frame.bottom - frame.top));
  CloseCleanly();
}

// Wine's own wintab32 reports buttons as absolute bits, the tip as 0x2, and
// pairs each touch-down and each lift with a packet of the same time, which
// the program removes unread: it reads the touch-down without the tip bit and
// the lift with it. Every lift still ends its stroke, also one with a barrel
// button pressed on the way, so the hover to the next stroke draws nothing
// and the strokes stay apart.
TEST_F(EndToEnd, EveryLiftEndsItsStrokeWithButtonsReportedAsWineDoes) {
  StartWithTablet({}, {}, "e2e-wine-buttons");
  ReferenceCanvas reference(geometry, 600, 600);
  const DWORD kTip = 0x2, kBarrel = 0x4;
  std::vector<PenPath> strokes;
  auto stroke = [&](double x0, double y0, double x1, double y1, DWORD barrelFromHalfway) {
    strokes.push_back({{x0, y0}, {x1, y1}});
    for (int i = 0; i <= 20; ++i) {
      const DWORD buttons = (i ? kTip : 0) | (i >= 10 ? barrelFromHalfway : 0);
      Pen(x0 + (x1 - x0) * i / 20, y0 + (y1 - y0) * i / 20, 900, reference, 1, buttons);
    }
    Pen(x1, y1, 0, reference, 1, kTip | barrelFromHalfway);
  };
  auto hover = [&](double x0, double y0, double x1, double y1) {
    for (int i = 1; i <= 10; ++i) Pen(x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10, 0, reference);
  };
  stroke(100, 100, 250, 140, 0);
  hover(250, 140, 400, 300);
  stroke(400, 300, 500, 360, kBarrel);
  hover(500, 360, 150, 450);
  ExpectScreen(reference, "after two strokes");
  EXPECT_EQ(InkAwayFromPaths(CaptureClient(program.mainWindow), strokes, 4), 0) << "ink off the strokes";
  CloseCleanly();
}

TEST_F(EndToEnd, TapLeavesOneDab) {
  StartWithTablet();
  ReferenceCanvas reference(geometry, 600, 600);
  Pen(300.5, 250.25, 700, reference);
  Pen(300.5, 250.25, 700, reference);
  Pen(300.5, 250.25, 0, reference);
  ExpectScreen(reference, "after the tap");
  CloseCleanly();
}

TEST_F(EndToEnd, StrokeLeavingTheWindowDrawsOnlyInside) {
  StartWithTablet();
  ReferenceCanvas reference(geometry, 600, 600);
  // Out through the right edge and the bottom edge, and back in.
  for (int i = 0; i <= 40; ++i) Pen(540 + 4.0 * i, 400 + 1.5 * i, 900, reference);  // to x = 700
  for (int i = 0; i <= 30; ++i) Pen(700 - 5.0 * i, 460 + 6.0 * i, 600, reference);   // to y = 640
  for (int i = 0; i <= 20; ++i) Pen(550 - 2.0 * i, 640 - 5.0 * i, 600, reference);   // back in
  Pen(510, 540, 0, reference);
  ExpectScreen(reference, "after a stroke through the right and bottom edges");
  const std::vector<uint8_t> before = reference.Screen();
  // A touch-down outside starts no stroke; its lift commits nothing new.
  for (int i = 0; i <= 10; ++i) Pen(620 + i, 100 - 3.0 * i, 800, reference);
  for (int i = 0; i <= 15; ++i) Pen(580 - 10 * i, 80, 800, reference);  // well inside
  Pen(430, 80, 0, reference);
  ExpectShows(before, 600, 600, "after a stroke that began outside");
  CloseCleanly();
}

TEST_F(EndToEnd, OnlyTheStylusTipPaints) {
  StartWithTablet();
  ReferenceCanvas reference(geometry, 600, 600);
  const std::vector<uint8_t> white = reference.Screen();
  // Cursors come in threes per tablet: erasers (2, 5) and pucks (3, 6) start
  // no stroke, nor does a barrel button press.
  for (const UINT cursor : {2u, 3u, 5u, 6u}) {
    for (int i = 0; i < 10; ++i) Pen(200 + 5 * i, 100 + 20 * cursor, 800, reference, cursor);
    Pen(250, 100 + 20 * cursor, 0, reference, cursor);
  }
  for (int i = 0; i < 10; ++i) Pen(200 + 5 * i, 260, 800, reference, 1, 1);
  Pen(250, 260, 0, reference, 1, 1);
  ExpectShows(white, 600, 600, "after eraser, puck and button strokes");
  // The pens of the first, second and third tablet paint.
  for (const UINT cursor : {1u, 4u, 7u}) {
    for (int i = 0; i < 10; ++i) Pen(200 + 5 * i, 300 + 20 * cursor, 800, reference, cursor);
    Pen(250, 300 + 20 * cursor, 0, reference, cursor);
    EXPECT_NE(reference.Screen(), white) << "cursor " << cursor;
    ExpectScreen(reference, "after a stylus stroke");
  }
  CloseCleanly();
}

// A 24-bit picture in four colour blocks, smaller than the window.
std::string WritePicture(int width, int height) {
  const std::string path = TestDirectory() + "e2e-picture.bmp";
  WriteBmp(path, width, height, [&](int x, int y, uint8_t* p) {
    p[0] = x >= width / 2 ? 200 : 30;      // blue
    p[1] = y >= height / 2 ? 150 : 60;     // green
    p[2] = static_cast<uint8_t>(x % 256);  // red
  });
  return path;
}

// The picker, the window the main window owns, shows the colour.
void ExpectPickerShows(HWND mainWindow, const StrokeColor& color) {
  HWND picker = FindOwnedWindow(mainWindow);
  ASSERT_NE(picker, nullptr) << "no picker window owned by the main window";
  std::string difference;
  EXPECT_TRUE(PickerShows(picker, color, &difference))
      << "the picker does not show the colour " << color.red << "," << color.green << "," << color.blue << ","
      << color.alpha << ":\n" << difference;
}

TEST_F(EndToEnd, CommandLinePictureBecomesTheCanvasAndRightClickPicksItsColour) {
  const std::string path = WritePicture(301, 257);
  StartWithTablet({path, "ignored-second-argument.bmp"});
  ReferenceCanvas reference(geometry, 600, 600);
  dib24 picture;
  ASSERT_TRUE(ReadBmpFile(path, picture));
  reference.Load(picture);
  ExpectScreen(reference, "with the picture loaded");

  ExpectPickerShows(program.mainWindow, {0, 0, 0, 255});

  // Pick at (200, 180): red 200, green 150, blue 30; the alpha stays.
  PostMessageA(program.mainWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 180));
  PostMessageA(program.mainWindow, WM_RBUTTONUP, 0, MAKELPARAM(200, 180));
  const StrokeColor picked = {200, 150, 200, 255};
  ExpectPickerShows(program.mainWindow, picked);
  // Outside the picture (but inside the window) nothing is picked.
  PostMessageA(program.mainWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(400, 400));
  ExpectPickerShows(program.mainWindow, picked);

  // The next stroke paints in the picked colour, over the loaded picture.
  reference.SetColor(picked);
  for (int i = 0; i < 30; ++i) Pen(20 + 4.5 * i, 40 + 3.3 * i, 500 + 10 * i, reference);
  Pen(150, 140, 0, reference);
  ExpectScreen(reference, "after a stroke in the picked colour");
  CloseCleanly();
}

// The demo drawing, played inside the program by the driver double (packets,
// and real mouse drags on the picker and a right-click pick), against the
// engine fed the same script.
TEST_F(EndToEnd, DemoScriptDrawsWhatTheEngineDraws) {
  const std::string script = TestDirectory() + "e2e\\demo.pen";
  const std::string done = TestDirectory() + std::string(kProgram) + "-demo-done";
  DeleteFileA(done.c_str());
  std::vector<PenStep> steps;
  std::string error;
  ASSERT_TRUE(LoadPenScript(script.c_str(), &steps, &error)) << error;
  StartWithTablet({}, {"WINTAB_DOUBLE_SCRIPT=" + script, "WINTAB_DOUBLE_SCRIPT_DONE=" + done});

  ReferenceCanvas reference(geometry, 600, 600);
  StrokeColor color = {0, 0, 0, 255};
  reference.SetColor(color);
  int drags = 0, picks = 0;
  for (const PenStep& step : steps) {
    if (step.kind == PenStep::kPacket || step.kind == PenStep::kButton) {
      // The double reports the eraser as cursor 2 and a barrel button's change relatively.
      const WORD kTbnUp = 1, kTbnDown = 2;
      const DWORD buttons = step.kind == PenStep::kButton ? MAKELONG(step.button, step.pressed ? kTbnDown : kTbnUp) : 0;
      reference.Packet(geometry.PacketX(step.x), geometry.PacketY(step.y),
                       PenPressureUnits(step.pressure, static_cast<long>(geometry.pressureMax)), step.eraser ? 2 : 1,
                       buttons);
    } else if (step.kind == PenStep::kBarRelease) {
      int32_t* channels[4] = {&color.red, &color.green, &color.blue, &color.alpha};
      *channels[step.bar] = step.value;
      reference.SetColor(color);
      ++drags;
    } else if (step.kind == PenStep::kPick) {
      const dib24& canvas = reference.Canvas();
      const int x = static_cast<int>(std::floor(step.x)), y = static_cast<int>(std::floor(step.y));
      ASSERT_TRUE(x >= 0 && y >= 0 && x < canvas.width && y < canvas.height) << "the demo picks inside the canvas";
      const uint8_t* pixel = canvas.Row(y) + 3 * x;
      color = {pixel[0], pixel[1], pixel[2], color.alpha};
      EXPECT_FALSE(color.blue == 255 && color.green == 255 && color.red == 255) << "the pick misses the paint";
      reference.SetColor(color);
      ++picks;
    }
  }
  ASSERT_FALSE(reference.StrokeActive()) << "the demo ends with the pen up";
  ASSERT_GT(drags, 0);
  ASSERT_GT(picks, 0);

  const DWORD start = GetTickCount();
  while (GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 60000) Sleep(50);
  FILE* file = std::fopen(done.c_str(), "rb");
  ASSERT_NE(file, nullptr) << "the double did not finish the script";
  char problem[256] = "";
  const size_t length = std::fread(problem, 1, sizeof problem - 1, file);
  std::fclose(file);
  EXPECT_EQ(length, 0u) << problem;

  ExpectScreen(reference, "after the demo");
  ExpectPickerShows(program.mainWindow, color);
  CloseCleanly();
}

TEST_F(EndToEnd, UnreadablePictureLeavesTheWhiteCanvas) {
  StartWithTablet({TestDirectory() + "no-such-picture.bmp"});
  ReferenceCanvas reference(geometry, 600, 600);
  ExpectScreen(reference, "with an unreadable file named");
  CloseCleanly();
}

// The message box of a program without a tablet, or null.
HWND FindNoTabletBox(const ChildProcess& process) { return process.FindWindowOf("Info", 20000); }

void DismissAndExpectWhiteCanvas(ChildProcess& process, HWND box) {
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  HWND main = process.FindWindowOf("Paint Test", 20000);
  ASSERT_NE(main, nullptr) << "no main window after the message box";
  WaitPainted(main);
  std::vector<uint8_t> white(600 * 600 * 3, 255);
  std::string difference;
  EXPECT_TRUE(ScreenShows(main, white, 600, 600, &difference)) << difference;
  // It still repaints: cover and uncover part of it.
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(ScreenShows(main, white, 600, 600, &difference)) << "after a repaint: " << difference;
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(process.Wait(10000));
}

TEST_F(EndToEnd, WithoutATabletTheProgramSaysSoAndRunsOn) {
  // Wine's own wintab32 finds no tablet service here.
  ChildProcess& process = program.process;
  ASSERT_TRUE(process.Start(TestDirectory() + "e2e-no-tablet\\" + kProgram + ".exe", {},
                            {"WINEDLLOVERRIDES=mscoree,mshtml="}));
  HWND box = FindNoTabletBox(process);
  ASSERT_NE(box, nullptr) << "no message box";
  const std::vector<std::wstring> texts = testwin::ChildTexts(box);
  EXPECT_NE(std::find(texts.begin(), texts.end(), kNoTabletText), texts.end()) << "the message box lacks the text";
  DismissAndExpectWhiteCanvas(process, box);
  EXPECT_EQ(process.ExitCode(), 0u);
  EXPECT_EQ(process.Output(), "");
}

TEST_F(EndToEnd, MissingDriverFunctionIsReportedOnStandardOutput) {
  ChildProcess& process = program.process;
  ASSERT_TRUE(process.Start(TestDirectory() + "e2e-no-wtenable\\" + kProgram + ".exe", {}));
  HWND box = FindNoTabletBox(process);
  ASSERT_NE(box, nullptr) << "no message box";
  DismissAndExpectWhiteCanvas(process, box);
  EXPECT_EQ(process.ExitCode(), 0u);
  EXPECT_EQ(process.Output(), "Debug : cannot ritrieve proc address : WTEnable\r\n");
}
}  // namespace
