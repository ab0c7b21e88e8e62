// The canvas in this process, on a window of its own, with the tablet driver
// double: the stroke states, colour picking, loading and minimising, checked
// against the engine's reference and the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inkstone.h"
#include "app/PaintWin.h"
#include "tests/support/ReferenceCanvas.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWindows.h"
#include "tools/wintab32/WintabDoubleControl.h"

namespace {
const char kHostClass[] = "CanvasTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, msg, wParam, lParam);
}

class Canvas : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    RECT frame = {0, 0, 600, 600};
    AdjustWindowRect(&frame, 0xCA0000, FALSE);
    host = CreateWindowExA(0, kHostClass, "Canvas", 0xCA0000, 10, 10, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    ShowWindow(host, SW_SHOW);
    ASSERT_EQ(Paint_Init(host), 1);
    canvas = dynamic_cast<PaintWin*>(SCWin::FindSCWin(host));
    ASSERT_NE(canvas, nullptr);
    ASSERT_TRUE(tablet.Bind(GetModuleHandleA("wintab32.dll")));
    UpdateWindow(host);
    testwin::Pump();
    geometry = DoubleGeometry(host);
    ASSERT_EQ(geometry.clientWidth, 600);
    ASSERT_EQ(geometry.clientHeight, 600);
  }

  void TearDown() override {
    if (IsWindow(host)) DestroyWindow(host);
    testwin::Pump();
  }

  void Pen(double x, double y, UINT pressure, ReferenceCanvas& reference, UINT cursor = 1, DWORD buttons = 0) {
    WintabDoublePacket packet = {};
    packet.x = geometry.PacketX(x);
    packet.y = geometry.PacketY(y);
    packet.normalPressure = pressure;
    packet.cursor = cursor;
    packet.buttons = buttons;
    ASSERT_NE(tablet.QueuePacket(nullptr, &packet), 0u);
    testwin::Pump();
    reference.Packet(packet.x, packet.y, pressure, cursor, buttons);
  }

  void Stroke(double x0, double y0, double x1, double y1, int packets, ReferenceCanvas& reference) {
    for (int i = 0; i < packets; ++i) {
      const double t = i / double(packets - 1);
      Pen(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, 300 + 600 * i / packets, reference);
    }
    Pen(x1, y1, 0, reference);
  }

  // The canvas image itself, top row first.
  std::vector<uint8_t> CanvasPixels() const { return TopRowFirst(*canvas->canvasImage); }

  void ExpectShown(const ReferenceCanvas& reference, const char* when) {
    std::string difference;
    EXPECT_TRUE(ScreenShows(host, reference.Screen(), reference.Width(), reference.Height(), &difference))
        << when << ": " << difference;
  }

  HWND host = nullptr;
  PaintWin* canvas = nullptr;
  WintabDoubleApi tablet = {};
  TabletGeometry geometry = {};
};

TEST_F(Canvas, ColourChosenDuringAStrokeTakesEffectWithTheNext) {
  ReferenceCanvas reference(geometry, 600, 600);
  canvas->colorPicker.color = {40, 90, 200, 180};
  reference.SetColor({40, 90, 200, 180});
  for (int i = 0; i < 20; ++i) {
    if (i == 10) canvas->colorPicker.color = {250, 10, 10, 60};  // mid-stroke
    Pen(100 + 10 * i, 100 + 3 * i, 800, reference);
  }
  Pen(300, 160, 0, reference);
  EXPECT_EQ(CanvasPixels(), reference.Screen()) << "the first stroke keeps its colour";
  reference.SetColor({250, 10, 10, 60});
  Stroke(100, 300, 400, 320, 20, reference);
  EXPECT_EQ(CanvasPixels(), reference.Screen()) << "the next stroke takes the new colour";
  ExpectShown(reference, "after both strokes");
}

// A program held up while 60 packets of a stroke arrive: the queue holds
// them all, and as each message reads its packet and removes the next one
// unread, the stroke is drawn from every second packet, still whole.
TEST_F(Canvas, AStallOfSixtyPacketsLosesNoneToAFullQueue) {
  ReferenceCanvas reference(geometry, 600, 600);
  for (int i = 0; i < 60; ++i) {
    WintabDoublePacket packet = {};
    packet.x = geometry.PacketX(100 + 6 * i);
    packet.y = geometry.PacketY(200 + 2 * i);
    packet.normalPressure = 700;
    packet.cursor = 1;
    ASSERT_NE(tablet.QueuePacket(nullptr, &packet), 0u) << "packet " << i << " lost to a full queue";
    if (i % 2 == 0) reference.Packet(packet.x, packet.y, packet.normalPressure, 1, 0);
  }
  testwin::Pump();
  EXPECT_EQ(tablet.QueueCount(nullptr), 0);
  Pen(454, 318, 0, reference);
  EXPECT_EQ(CanvasPixels(), reference.Screen());
  ExpectShown(reference, "after the stall");
}

TEST_F(Canvas, StrokeStates) {
  ReferenceCanvas reference(geometry, 600, 600);
  // A lift while idle commits the empty stroke: nothing changes.
  Pen(200, 200, 0, reference);
  Pen(200, 200, 500, reference, 2);  // eraser: not accepted
  Pen(210, 200, 500, reference, 2);
  EXPECT_FALSE(canvas->stroke.strokeActive);
  Pen(220, 200, 0, reference, 2);
  // A second touch-down within a stroke (cursor 1 after a lift of the eraser
  // is a new stroke); a pen-down again while stroking keeps earlier dabs.
  Pen(100, 400, 700, reference);
  EXPECT_TRUE(canvas->stroke.strokeActive);
  Pen(130, 400, 700, reference);
  Pen(160, 410, 700, reference);
  Pen(160, 410, 0, reference);
  EXPECT_FALSE(canvas->stroke.strokeActive);
  EXPECT_EQ(CanvasPixels(), reference.Screen());
  // The stroke buffer is empty after the commit.
  EXPECT_GE(canvas->stroke.strokeBuffer.dirty.left, canvas->stroke.strokeBuffer.dirty.right);
  ExpectShown(reference, "after the strokes");
}

// Each segment repaints what its dabs can reach, which the larger end's
// pressure decides: after a light run, a full-pressure packet 0.2 pixels on
// lays dabs three pixels across at once, and the screen shows all of them
// right after that packet, before any other.
TEST_F(Canvas, RisingPressureIsShownAtOnce) {
  ReferenceCanvas reference(geometry, 600, 600);
  for (const double y : {100.9, 200.6, 300.75, 400.9}) {
    for (int i = 0; i < 12; ++i) Pen(100.3 + i, y, 1, reference);
    Pen(111.5, y, 1023, reference);
    ExpectShown(reference, "right after the full-pressure packet");
    Pen(111.5, y, 0, reference);
  }
}

TEST_F(Canvas, RightClickPicksFromTheCanvasImageOnly) {
  dib24& image = *canvas->canvasImage;
  unsigned char* topLeft = image.Row(0);
  topLeft[0] = 11, topLeft[1] = 22, topLeft[2] = 33;
  unsigned char* last = image.Row(599) + 3 * 599;
  last[0] = 44, last[1] = 55, last[2] = 66;
  canvas->colorPicker.color.alpha = 77;

  SendMessageA(host, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(0, 0));
  EXPECT_EQ(canvas->colorPicker.color.blue, 11);
  EXPECT_EQ(canvas->colorPicker.color.green, 22);
  EXPECT_EQ(canvas->colorPicker.color.red, 33);
  EXPECT_EQ(canvas->colorPicker.color.alpha, 77) << "the opacity is not picked";
  SendMessageA(host, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(599, 599));
  EXPECT_EQ(canvas->colorPicker.color.red, 66);
  for (LPARAM outside : {MAKELPARAM(600, 10), MAKELPARAM(10, 600), MAKELPARAM(-1, 10), MAKELPARAM(10, -1)}) {
    SendMessageA(host, WM_RBUTTONDOWN, MK_RBUTTON, outside);
    EXPECT_EQ(canvas->colorPicker.color.red, 66);
  }
  // A stroke not yet committed is never picked.
  ReferenceCanvas reference(geometry, 600, 600);
  Pen(300, 300, 1000, reference);
  Pen(301, 300, 1000, reference);
  SendMessageA(host, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 300));
  EXPECT_EQ(canvas->colorPicker.color.red, 255);
  EXPECT_EQ(canvas->colorPicker.color.blue, 255);
}

TEST_F(Canvas, MinimisedWindowKeepsTheStrokeAndShowsItWhole) {
  ReferenceCanvas reference(geometry, 600, 600);
  Pen(100, 100, 600, reference);
  Pen(150, 120, 600, reference);
  const TabletGeometry restored = geometry;
  ShowWindow(host, SW_MINIMIZE);
  testwin::Pump();
  EXPECT_EQ(canvas->backBuffer.bits, nullptr) << "a 0 x 0 back buffer while minimised";
  // The pen maps onto wherever the minimised window's client origin now is.
  geometry.clientOrigin = {0, 0};
  ClientToScreen(host, &geometry.clientOrigin);
  geometry.clientWidth = geometry.clientHeight = 0;
  reference.SetGeometry(geometry);
  for (int i = 0; i < 20; ++i) {
    const double x = 150 + 10 * i, y = 120 + 5 * i;
    if (x + geometry.clientOrigin.x < 0 || y + geometry.clientOrigin.y < 0 ||
        y + geometry.clientOrigin.y >= geometry.screenHeight || x + geometry.clientOrigin.x >= geometry.screenWidth)
      continue;  // off the screen
    Pen(x, y, 600, reference);
  }
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pen(0, 0, 0, reference);  // the commit while minimised
  ShowWindow(host, SW_RESTORE);
  geometry = restored;
  UpdateWindow(host);
  testwin::Pump();
  EXPECT_EQ(CanvasPixels(), reference.Screen());
  ExpectShown(reference, "after restoring");
}

TEST_F(Canvas, LoadDuringAStrokeEmptiesItAndTheStrokeGoesOnOnTheNewCanvas) {
  // A 700 x 650 picture: larger than the window, so only its top-left part shows.
  const std::string path = TestDirectory() + "canvas-load.bmp";
  ASSERT_TRUE(WriteBmp(path, 700, 650, [](int x, int y, uint8_t* p) {
    const size_t first = (static_cast<size_t>(y) * 700 + x) * 3;  // the byte's number, top row first
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((first + c) * 7 % 251);
  }));
  dib24 loaded;
  ASSERT_TRUE(ReadBmpFile(path, loaded));

  ReferenceCanvas reference(geometry, 600, 600);
  Pen(100, 100, 900, reference);
  Pen(140, 100, 900, reference);
  ASSERT_EQ(Paint_Load(host, path.c_str()), 1);
  reference.Load(loaded);
  EXPECT_TRUE(canvas->stroke.strokeActive);
  EXPECT_EQ(canvas->stroke.strokeBuffer.surface.width, 700);
  for (int i = 0; i < 30; ++i) Pen(140 + 15 * i, 100 + 16 * i, 900, reference);  // to (575, 564)
  Pen(575, 564, 0, reference);
  EXPECT_EQ(CanvasPixels(), reference.Screen());
  ExpectShown(reference, "the top-left part of the larger canvas");
  EXPECT_EQ(Paint_Load(host, (TestDirectory() + "missing.bmp").c_str()), 0);
  EXPECT_EQ(canvas->canvasImage->width, 700);
}

// A valid picture whose canvas and stroke buffer cannot both be had (a 32-bit
// process runs out of address space; a 64-bit one refuses a stroke buffer
// beyond 2 GB) is refused as a whole: the old canvas and the stroke in
// progress stay, and painting goes on.
TEST_F(Canvas, PictureWhoseStrokeBufferCannotBeHadIsRefusedAndPaintingGoesOn) {
  const std::string path = TestDirectory() + "canvas-too-large.bmp";
  ASSERT_TRUE(WriteBlackOneBitBmp(path, 24000, 24000));  // 72 MB; 1.7 GB as a canvas
  ReferenceCanvas reference(geometry, 600, 600);
  Pen(100, 100, 900, reference);
  Pen(140, 110, 900, reference);
  const int loaded = Paint_Load(host, path.c_str());
  std::remove(path.c_str());
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(canvas->canvasImage->width, 600);
  EXPECT_EQ(canvas->stroke.strokeBuffer.surface.width, 600);
  EXPECT_TRUE(canvas->stroke.strokeActive);
  for (int i = 0; i < 20; ++i) Pen(140 + 12 * i, 110 + 9 * i, 900, reference);
  Pen(380, 290, 0, reference);
  EXPECT_EQ(CanvasPixels(), reference.Screen());
  ExpectShown(reference, "after the refused picture");
}
}  // namespace
