// Programs that show the canvas, started as a user would, with the tablet
// driver double next to them: the example host, a window of its own given the
// canvas by the library through its header and import library, and, with
// HOSTED_PROGRAM, the paint program. Each must show its canvas, and a stroke
// through the driver must land exactly where the engine puts it.
//
// HOSTED_DIRECTORY is the folder, under this test's, that holds them: a folder
// of the build, or the unpacked release package (with the host built there
// from the package's own source, header and import library).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/ProgramUnderTest.h"
#include "tests/support/ReferenceCanvas.h"

#ifndef HOSTED_DIRECTORY
#error "HOSTED_DIRECTORY names the folder of the programs under test"
#endif

namespace {
const char kDirectory[] = HOSTED_DIRECTORY;

class HostedCanvas : public ::testing::Test {
 protected:
  void Start(const std::string& name, const char* caption, int width, int height,
             const std::vector<std::string>& arguments = {}) {
    program.caption = caption;
    ASSERT_TRUE(program.Start(kDirectory, name, arguments)) << name << " did not start with its tablet";
    geometry = program.Geometry();
    ASSERT_EQ(geometry.clientWidth, width);
    ASSERT_EQ(geometry.clientHeight, height);
  }

  // A stroke of rising and falling pressure inside the top-left 300 x 180.
  void Stroke(ReferenceCanvas& reference) {
    const int samples = 60;
    for (int i = 0; i <= samples; ++i) {
      const double t = i / double(samples);
      const UINT pressure = i == samples ? 0 : static_cast<UINT>(1 + 1022 * std::sin(t * 3.14159));
      const DWORD pkX = geometry.PacketX(20.3 + 270 * t);
      const DWORD pkY = geometry.PacketY(90.6 + 70 * std::sin(t * 5.0));
      ASSERT_TRUE(program.Packet(pkX, pkY, pressure));
      reference.Packet(pkX, pkY, pressure);
    }
    ASSERT_FALSE(reference.StrokeActive());
  }

  void ExpectScreen(const ReferenceCanvas& reference, const char* when) {
    std::string difference;
    EXPECT_TRUE(ScreenShows(program.mainWindow, reference.Screen(), reference.Width(), reference.Height(), &difference))
        << when << ": " << difference;
  }

  void CloseCleanly() {
    ASSERT_TRUE(program.Close()) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.process.ExitCode(), 0u);
    EXPECT_EQ(program.process.Output(), "");
  }

  ProgramUnderTest program;
  TabletGeometry geometry = {};
};

// A 24-bit picture of 320 x 200 in colour ramps, written as a file and read
// back into `image` for the reference.
bool WritePicture(const std::string& path, dib24& image) {
  const bool written = WriteBmp(path, 320, 200, [](int x, int y, uint8_t* p) {
    p[0] = static_cast<uint8_t>(255 - y);
    p[1] = static_cast<uint8_t>(x * 3 / 4);
    p[2] = static_cast<uint8_t>(x < 160 ? 220 : 40);
  });
  return written && ReadBmpFile(path, image);
}

TEST_F(HostedCanvas, ExampleHostShowsThePictureAndAStrokeLandsOnIt) {
  const std::string path = TestDirectory() + "hosted-picture.bmp";
  dib24 picture;
  ASSERT_TRUE(WritePicture(path, picture));
  Start("host", "Canvas Host", 640, 480, {path});
  ReferenceCanvas reference(geometry, 640, 480);
  reference.Load(picture);
  ExpectScreen(reference, "with the picture loaded");
  Stroke(reference);
  ExpectScreen(reference, "after a stroke");
  CloseCleanly();
}

#ifdef HOSTED_PROGRAM
TEST_F(HostedCanvas, ProgramShowsItsCanvasAndAStrokeLandsOnIt) {
  Start("inkstone", "Paint Test", 600, 600);
  ReferenceCanvas reference(geometry, 600, 600);
  ExpectScreen(reference, "at start, a white canvas");
  Stroke(reference);
  ExpectScreen(reference, "after a stroke");
  CloseCleanly();
}
#endif
}  // namespace
