// The X11 programs on a plain Xvfb, which has no tablet: each says so in a
// notice window the user can see, and runs on; the picker's drags and the
// right-click pick still work, and only closing the canvas ends the program.
// GoogleTest before the X headers, whose None is a macro.
#include <gtest/gtest.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/PickerBars.h"
#include "tests/x11/XTestRun.h"

namespace {

// A private Xvfb, on a display number of its own (from 400: servers of other
// sessions may hold the low ones' abstract sockets); the display's name is
// empty when it cannot start.
class Xvfb {
 public:
  Xvfb() {
    for (int n = 400; n < 500 && name.empty(); ++n) {
      const std::string display = ":" + std::to_string(n);
      if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
      pid_ = fork();
      if (pid_ == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset", nullptr);
        _exit(127);
      }
      for (int tries = 0; tries < 100 && name.empty() && waitpid(pid_, nullptr, WNOHANG) == 0; ++tries) {
        usleep(50000);
        if (Display* probe = XOpenDisplay(display.c_str())) {
          XCloseDisplay(probe);
          name = display;
        }
      }
      if (name.empty()) Stop();
    }
  }
  ~Xvfb() { Stop(); }
  std::string name;

 private:
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  pid_t pid_ = -1;
};

const uint8_t* PixelAt(const std::vector<uint8_t>& bgr, int width, int x, int y) {
  return &bgr[(static_cast<size_t>(y) * width + x) * 3];
}

void Click(Display* display, Window window, int x, int y, unsigned button, bool press, bool release) {
  int left, top;
  WindowOrigin(display, window, &left, &top);
  XTestFakeMotionEvent(display, -1, left + x, top + y, CurrentTime);
  if (press) XTestFakeButtonEvent(display, button, True, CurrentTime);
  if (release) XTestFakeButtonEvent(display, button, False, CurrentTime);
  XSync(display, False);
  usleep(50000);
}

class X11NoTablet : public ::testing::TestWithParam<const char*> {};

TEST_P(X11NoTablet, NoticeShownAndPickerAndPickStillWork) {
  Xvfb server;
  if (server.name.empty()) GTEST_SKIP() << "Xvfb does not start";
  Display* display = XOpenDisplay(server.name.c_str());
  ASSERT_TRUE(display);
  // A picture in one colour: blue 30, green 200, red 10.
  std::vector<uint8_t> picture(200 * 100 * 3);
  for (size_t i = 0; i < picture.size(); i += 3) picture[i] = 30, picture[i + 1] = 200, picture[i + 2] = 10;
  const std::string path = std::string("no-tablet-") + GetParam() + ".bmp";
  WriteCaptureBmp(path, picture, 200, 100);

  XProgramRun program;
  ASSERT_TRUE(program.Start(display, server.name, X11Program(GetParam()), {path}));
  Window notice = 0;
  for (int tries = 0; tries < 40 && !notice; ++tries, usleep(50000)) notice = FindTitledWindow(display, "Info");
  ASSERT_TRUE(notice) << "no notice window";
  XWindowAttributes size;
  XGetWindowAttributes(display, notice, &size);
  const std::vector<uint8_t> text = CaptureWindow(display, notice, size.width, size.height);
  size_t dark = 0;
  for (size_t i = 0; i < text.size(); i += 3) dark += text[i] < 128 && text[i + 1] < 128 && text[i + 2] < 128;
  EXPECT_GT(dark, 100u) << "the notice shows no text";
  EXPECT_TRUE(program.Running());

  // The pick takes the picture's colour (away from the notice): column 5 of
  // the red bar shows its blue and green.
  const Window picker = program.windows.picker;
  Click(display, program.windows.canvas, 20, 20, 3, true, true);
  const int red = PickerBars::kBarTop[0] + 12, green = PickerBars::kBarTop[1] + 12, blue = PickerBars::kBarTop[2] + 12;
  std::vector<uint8_t> bars = CaptureWindow(display, picker, 280, 140);
  const uint8_t* p = PixelAt(bars, 280, PickerBars::kBarLeft + 5, red);
  EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{30, 200, 5})) << "the red bar after the pick";
  // A drag along the green bar, ending beyond the window, sets green to 255.
  Click(display, picker, PickerBars::kBarLeft + 20, green, 1, true, false);
  Click(display, picker, PickerBars::kBarLeft + 100, green + 40, 1, false, false);
  Click(display, picker, 400, green + 40, 1, false, true);
  bars = CaptureWindow(display, picker, 280, 140);
  p = PixelAt(bars, 280, PickerBars::kBarLeft + 5, blue);
  EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{5, 255, 10})) << "the blue bar after the drag";

  // Closing the picker leaves it; closing the canvas ends the program.
  SendClose(display, picker);
  usleep(100000);
  EXPECT_TRUE(program.Running()) << "closing the picker ended the program";
  EXPECT_TRUE(program.Close());
  XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(Programs, X11NoTablet, ::testing::Values("inkstone", "inkstone-disc"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param) == "inkstone" ? "Soft" : "Disc";
                         });

}  // namespace
