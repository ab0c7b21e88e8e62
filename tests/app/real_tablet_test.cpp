// The real program with Wine's own wintab32 (no double): a real X server whose
// X tablet driver reads an emulated pen (scripts/real-tablet). The pen plays
// scripts at a pen's rates; the screen must show every stroke along its path,
// nothing away from the strokes, and pressure; and, fed with the packets the
// program read (Wine's trace), the engine must give the screen exactly.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/RealTablet.h"
#include "tests/support/RealTabletScenarios.h"
#include "tests/support/ReferenceCanvas.h"
#include "tests/support/StrokeChecks.h"
#include "tools/wintab32/MouseSteps.h"
#include "tools/xtablet/DeviceRanges.h"

#ifndef REAL_TABLET_PROGRAM
#error "REAL_TABLET_PROGRAM names the program under test"
#endif

namespace {

// Where the pen went in proximity: each stay a polyline of its packets.
std::vector<PenPath> ScriptPenPaths(const std::vector<PenStep>& steps) {
  std::vector<PenPath> paths(1);
  for (const PenStep& step : steps) {
    if (step.kind == PenStep::kProximity && !paths.back().empty()) paths.emplace_back();
    if (step.kind == PenStep::kPacket || step.kind == PenStep::kButton) paths.back().push_back({step.x, step.y});
  }
  return paths;
}

// A stroke as the program received it: the samples of the packets it read,
// from a touch-down of the tip without a barrel button through the lift.
struct ReadStroke {
  PenPath samples;
  std::vector<double> pressures;
};

std::vector<ReadStroke> ReadStrokes(const WintabTrace& trace, const TabletGeometry& geometry) {
  const unsigned kTipBit = 0x2;  // Wine reports the tip as a pressed button
  std::vector<ReadStroke> strokes;
  bool inStroke = false;
  for (const TraceEvent& event : trace.events) {
    if (event.kind != TraceEvent::kRead) continue;
    const TracedPacket& p = event.packet;
    const PenSample sample = geometry.Sample(p.x, p.y, p.pressure);
    const bool paints = sample.pressure > 0 && p.cursor % 3 == 1 && (p.buttons & ~kTipBit) == 0;
    if (paints && !inStroke) strokes.emplace_back();
    if (paints || inStroke) {  // the lift ends the stroke where it happens
      strokes.back().samples.push_back({sample.x, sample.y});
      strokes.back().pressures.push_back(sample.pressure);
    }
    inStroke = paints;
  }
  return strokes;
}

// The pixel with the most ink within `radius` pixels of a point.
const uint8_t* InkiestAround(const Capture& capture, PathPoint point, int radius) {
  const uint8_t* inkiest = capture.At(static_cast<int>(point.x), static_cast<int>(point.y));
  for (int y = static_cast<int>(point.y) - radius; y <= static_cast<int>(point.y) + radius; ++y) {
    for (int x = static_cast<int>(point.x) - radius; x <= static_cast<int>(point.x) + radius; ++x) {
      const uint8_t* p = capture.At(x, y);
      if (p[0] + p[1] + p[2] < inkiest[0] + inkiest[1] + inkiest[2]) inkiest = p;
    }
  }
  return inkiest;
}

// What the test does at a mouse step of the script, while the pen is played.
struct Player {
  RealTabletRun* run = nullptr;
  StrokeColor color = {0, 0, 0, 255};
  // Colours set on the picker, with the length of the trace at that moment.
  std::vector<std::pair<size_t, StrokeColor>> colours;
  bool pickerFound = true;
  bool penLeft = true;
  // Where the mouse took the pointer, on the canvas's client coordinates: the
  // X server reports the pen's device there too, as a hover packet.
  std::vector<PenPath> pointer;
};

void RememberPointer(Player& player, HWND canvas) {
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(canvas, &point);
  player.pointer.push_back({{double(point.x), double(point.y)}});
}

void PlayMouse(int index, void* context) {
  Player& player = *static_cast<Player*>(context);
  const RealTabletRun& run = *player.run;
  const std::vector<PenStep>& steps = run.steps;
  const HWND canvas = run.program.mainWindow;
  const PenStep& step = steps[index];
  if (step.kind == PenStep::kBarPress || step.kind == PenStep::kPick) {
    int leavings = 0;
    for (int i = 0; i < index; ++i) leavings += steps[i].kind == PenStep::kProximity && !steps[i].entering;
    player.penLeft = run.WaitForPenOut(leavings) && player.penLeft;
  }
  player.pickerFound = PlayMouseStep(step, canvas) && player.pickerFound;
  Sleep(5);
  RememberPointer(player, canvas);
  if (step.kind != PenStep::kBarRelease) return;
  // The program takes the drag before the pen comes again: a pen packet,
  // posted, would go before the mouse's input.
  WaitForInputIdle(run.program.process.Handle(), 2000);
  int32_t* channels[4] = {&player.color.red, &player.color.green, &player.color.blue, &player.color.alpha};
  *channels[step.bar] = step.value;
  player.colours.push_back({run.Trace().size(), player.color});
  // The pointer back where the pen comes in next: X gives a proximity change
  // to the window the pointer was over.
  for (size_t next = index + 1; next < steps.size(); ++next) {
    const PenStep& coming = steps[next];
    if (coming.kind != PenStep::kProximity) continue;
    POINT point = {static_cast<LONG>(coming.x), static_cast<LONG>(coming.y)};
    ClientToScreen(canvas, &point);
    SetCursorPos(point.x, point.y);
    RememberPointer(player, canvas);
    break;
  }
}

class RealTablet : public ::testing::TestWithParam<Scenario> {
 protected:
  void TearDown() override;
  std::string trace;
};

TEST_P(RealTablet, StrokesLandWhereThePenWent) {
  const Scenario& scenario = GetParam();
  std::vector<PenStep> steps;
  std::string error;
  ASSERT_TRUE(ParsePenScript(scenario.script, &steps, &error)) << error;
  RealTabletRun run;
  run.tablet = scenario.tablet;
  ASSERT_TRUE(run.Start(REAL_TABLET_PROGRAM, steps, &error)) << error;
  Player player;
  player.run = &run;
  ASSERT_TRUE(run.Play(scenario.rate, PlayMouse, &player, &error)) << error;
  EXPECT_TRUE(player.pickerFound);
  EXPECT_TRUE(player.penLeft) << "the program did not see the pen leave before the mouse moved";
  const Capture screen = CaptureClient(run.program.mainWindow);
  ASSERT_TRUE(run.Close());
  // Kept for a look when something fails.
  WriteBmp(TestDirectory() + "real-tablet\\" + scenario.name + "-" REAL_TABLET_PROGRAM ".bmp", screen);

  // Exactly, from the packets the program read.
  trace = run.Trace();
  const WintabTrace read = ParseWintabTrace(trace);
  // Beside the screen, for the X11 program's test of the same scenario: the
  // packets read, removed unread and lost.
  std::ofstream(TestDirectory() + "real-tablet\\" + scenario.name + "-" REAL_TABLET_PROGRAM ".txt")
      << read.Count(TraceEvent::kRead) << " " << read.Count(TraceEvent::kRemovedUnread) << " "
      << read.Count(TraceEvent::kLost) << "\n";
  ASSERT_EQ(read.inExtX, XTABLET_MAX_X);
  ASSERT_EQ(read.inExtY, XTABLET_MAX_Y);
  ASSERT_GT(read.Count(TraceEvent::kRead), 0);
  // Wine reports the mouse moving the pointer as the last pen's hover; what
  // presses is the second tablet's stylus.
  for (const TraceEvent& event : read.events) {
    if (scenario.tablet == 2 && event.kind == TraceEvent::kRead && event.packet.pressure > 0) {
      ASSERT_EQ(event.packet.cursor, 4u) << "the second tablet's stylus";
    }
  }
  TabletGeometry geometry = {XTABLET_SCREEN_WIDTH, XTABLET_SCREEN_HEIGHT, XTABLET_MAX_X, XTABLET_MAX_Y,
                             XTABLET_MAX_PRESSURE, run.origin, 600, 600};
  ReferenceCanvas reference(geometry, 600, 600);
  size_t colour = 0;
  for (const TraceEvent& event : read.events) {
    for (; colour < player.colours.size() && player.colours[colour].first <= event.offset; ++colour) {
      reference.SetColor(player.colours[colour].second);
    }
    const TracedPacket& p = event.packet;
    if (event.kind == TraceEvent::kRead) reference.Packet(p.x, p.y, p.pressure, p.cursor, p.buttons);
  }
  EXPECT_EQ(screen.bgr, reference.Screen()) << "the screen differs from the engine fed with the packets read";

  // Judged from the pen's samples alone: each sample read lies where the pen
  // went; the brush, smoothed over ten samples, leaves ink along its way where
  // the pressure is enough to show, and none away from it.
  std::vector<PenPath> penPaths = ScriptPenPaths(steps);
  penPaths.insert(penPaths.end(), player.pointer.begin(), player.pointer.end());
  for (const TraceEvent& event : read.events) {
    if (event.kind != TraceEvent::kRead) continue;
    const PenSample sample = geometry.Sample(event.packet.x, event.packet.y, event.packet.pressure);
    EXPECT_LT(DistanceToPaths({sample.x, sample.y}, penPaths), 0.5)
        << "a packet off the pen's path, at " << sample.x << "," << sample.y << " serial " << event.packet.serial
        << " cursor " << event.packet.cursor << " buttons " << event.packet.buttons << " pressure " << sample.pressure
        << " proximity " << event.packet.proximity;
  }
  const std::vector<PenPath> scriptStrokes = ScriptStrokes(steps);
  const std::vector<ReadStroke> strokes = ReadStrokes(read, geometry);
  ASSERT_EQ(strokes.size(), scriptStrokes.size()) << "a stroke was lost or split";
  std::vector<PenPath> brushPaths;
  for (const ReadStroke& stroke : strokes) {
    brushPaths.push_back(MovingAverage(stroke.samples, 10));
    for (size_t i = 0; i < stroke.samples.size(); ++i) {
      if (stroke.pressures[i] < 0.25) continue;
      EXPECT_GT(InkAround(screen, brushPaths.back()[i], 2), 0) << "no ink where the brush went, sample " << i;
    }
  }
  EXPECT_EQ(InkAwayFromPaths(screen, brushPaths, 3), 0) << "ink away from the strokes";
  if (scenario.script == kStrokes) {
    // The first stroke rises from light to full pressure and falls again.
    const ReadStroke& stroke = strokes[0];
    size_t light = 0, full = 0;
    for (size_t i = 0; i < stroke.pressures.size(); ++i) {
      if (stroke.pressures[i] > stroke.pressures[full]) full = i;
      if (!light && stroke.pressures[i] >= 0.2) light = i;
    }
    EXPECT_GT(InkAround(screen, brushPaths[0][full], 3), 2 * InkAround(screen, brushPaths[0][light], 3))
        << "full pressure draws more than light pressure";
  }
  if (!player.colours.empty()) {
    const uint8_t* first = InkiestAround(screen, {250, 180}, 3);  // the middles of the strokes
    const uint8_t* second = InkiestAround(screen, {250, 280}, 3);
    EXPECT_TRUE(first[0] == first[1] && first[1] == first[2] && first[0] < 128) << "the first stroke keeps its black";
    EXPECT_TRUE(second[2] > 128 && second[1] < 64) << "the second stroke is red";
  }
}

// A failing run leaves its trace beside its screen.
void RealTablet::TearDown() {
  if (!HasFailure() || trace.empty()) return;
  std::ofstream(TestDirectory() + "real-tablet\\" + GetParam().name + "-" REAL_TABLET_PROGRAM ".trace") << trace;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RealTablet, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

}  // namespace
