// The real-stack player's frames: what a pen script becomes as evdev input,
// when, and as which bytes.
#include <gtest/gtest.h>

#include <cstdio>

#include "tools/xtablet/PenEvents.h"

namespace {

// A frame as text: K<key code in hex>=v, A<axis>=v, S for the report, M<step>
// for a mouse mark.
std::string Text(const PenFrame& frame) {
  if (frame.events.empty()) return "M" + std::to_string(frame.mouseStep);
  std::string text;
  char item[32];
  for (const EvdevEvent& e : frame.events) {
    if (e.type == 0) std::snprintf(item, sizeof item, "S");
    else std::snprintf(item, sizeof item, "%c%x=%d ", e.type == 1 ? 'K' : 'A', e.code, e.value);
    text += item;
  }
  return text;
}

std::vector<PenFrame> Frames(const char* script, PenMapping mapping, double rate) {
  std::vector<PenStep> steps;
  std::string error;
  EXPECT_TRUE(ParsePenScript(script, &steps, &error)) << error;
  return PenFrames(steps, mapping, rate);
}

const PenMapping kScreen = {0, 0, 1024, 768};

TEST(PenEvents, FramesOfWhatAHandDoes) {
  const std::vector<PenFrame> frames = Frames(
      "hover 2 0,0 1,0\n"
      "stroke 2 1,0 1,0 2,0 pressure 0.5 0.5 1 hold\n"
      "button 2 down\n"
      "lift\n"
      "button 2 up\n"
      "proximity out\n"
      "proximity in 3 4 eraser\n"
      "wait 100\n"
      "pick 1 1\n"
      "pen 3 4 0.25\n",
      kScreen, 100);
  const char* expected[] = {
      "K140=1 A0=0 A1=0 A18=0 S",  // the tip comes into proximity
      "A0=8 A1=0 A18=0 S",
      "A0=8 A1=0 A18=32768 K14a=1 S",  // touches
      "A0=16 A1=0 A18=65536 S",
      "K14c=1 S",  // the upper barrel button
      "A0=16 A1=0 A18=0 K14a=0 S",
      "K14c=0 S",
      "K140=0 S",
      "K141=1 A0=24 A1=32 A18=0 S",  // the eraser comes in
      "M10",  // the pick, step 10, after the wait
      "A0=24 A1=32 A18=16384 K14a=1 S"};
  const double at[] = {0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.19, 0.20};
  ASSERT_EQ(frames.size(), 11u);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(Text(frames[i]), expected[i]) << i;
    EXPECT_NEAR(frames[i].at, at[i], 1e-9) << i;
  }
}

TEST(PenEvents, APenComesInAtRest) {
  // A first packet that presses is brought in one packet earlier, unpressed.
  const std::vector<PenFrame> frames = Frames("pen 5 5 1\n", kScreen, 200);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(Text(frames[0]), "K140=1 A0=40 A1=40 A18=0 S");
  EXPECT_EQ(Text(frames[1]), "A0=40 A1=40 A18=65536 K14a=1 S");
  EXPECT_NEAR(frames[1].at, 0.005, 1e-12);
}

TEST(PenEvents, ClientPixelsInDeviceUnits) {
  const PenMapping canvas = {100, 50, 1024, 768};
  // 8191 units across 1024 pixels, 6143 down 768.
  EXPECT_EQ(DeviceX(12.34, canvas), 899);  // 112.34 pixels: 898.63 units
  EXPECT_EQ(DeviceY(0.05, canvas), 400);   // 50.05 pixels: 400.34 units
  EXPECT_EQ(DeviceX(1024 - 100, canvas), 8191);
  EXPECT_EQ(DeviceX(-200, canvas), 0);  // kept on the tablet
  EXPECT_EQ(DeviceY(5000, canvas), 6143);
}

TEST(PenEvents, RecordsInTheKernelLayout) {
  PenFrame frame = {2.5, {{3, 0x18, 70000}, {0, 0, 0}}, -1};
  const std::vector<unsigned char> bytes = EvdevRecords(frame);
  ASSERT_EQ(bytes.size(), 48u);
  const unsigned char first[24] = {2, 0, 0, 0, 0, 0, 0, 0, 0x20, 0xa1, 0x07, 0, 0, 0, 0, 0,  // 2 s, 500000 us
                                   3, 0, 0x18, 0, 0x70, 0x11, 0x01, 0};                       // EV_ABS, code, 70000
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 24), std::vector<unsigned char>(first, first + 24));
  EXPECT_EQ(bytes[40], 0);  // SYN_REPORT
}

}  // namespace
