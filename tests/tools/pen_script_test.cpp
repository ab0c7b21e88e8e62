// The pen script parser: what each command expands to, and the faults it
// refuses with their line.
#include <gtest/gtest.h>

#include "tools/wintab32/PenScript.h"

namespace {

TEST(PenScript, ExpandsEveryCommandIntoSteps) {
  std::vector<PenStep> steps;
  std::string error;
  ASSERT_TRUE(ParsePenScript("# a comment\n"
                             "stroke 3 10,20 30,60 50,20 pressure 0.2 1 0.4  # a curve\n"
                             "\n"
                             "pen 5.5 6 0.75\n"
                             "lift\n"
                             "drag green 0 20\n"
                             "pick 7 8\n"
                             "wait 250\n",
                             &steps, &error))
      << error;
  ASSERT_EQ(steps.size(), 12u);
  // The stroke: its ends, the curve's middle with the middle pressure, a lift.
  const double expected[4][3] = {{10, 20, 0.2}, {30, 40, 1}, {50, 20, 0.4}, {50, 20, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(steps[i].kind, PenStep::kPacket);
    EXPECT_DOUBLE_EQ(steps[i].x, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(steps[i].y, expected[i][1]) << i;
    EXPECT_DOUBLE_EQ(steps[i].pressure, expected[i][2]) << i;
  }
  EXPECT_EQ(steps[4].kind, PenStep::kPacket);
  EXPECT_DOUBLE_EQ(steps[4].x, 5.5);
  EXPECT_DOUBLE_EQ(steps[4].pressure, 0.75);
  EXPECT_EQ(steps[5].kind, PenStep::kPacket);  // the lift where the pen was
  EXPECT_DOUBLE_EQ(steps[5].x, 5.5);
  EXPECT_DOUBLE_EQ(steps[5].pressure, 0);
  // The drag: press at its start, moves, release at its end, on bar 1.
  const PenStep::Kind kinds[4] = {PenStep::kBarPress, PenStep::kBarMove, PenStep::kBarMove, PenStep::kBarRelease};
  const int values[4] = {0, 8, 16, 20};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(steps[6 + i].kind, kinds[i]) << i;
    EXPECT_EQ(steps[6 + i].bar, 1);
    EXPECT_EQ(steps[6 + i].value, values[i]) << i;
  }
  EXPECT_EQ(steps[10].kind, PenStep::kPick);
  EXPECT_DOUBLE_EQ(steps[10].y, 8);
  EXPECT_EQ(steps[11].kind, PenStep::kWait);
  EXPECT_EQ(steps[11].milliseconds, 250);
}

TEST(PenScript, ExpandsWhatAHandDoes) {
  std::vector<PenStep> steps;
  std::string error;
  ASSERT_TRUE(ParsePenScript("hover 3 10,10 30,20\n"
                             "stroke 2 30,20 40,20 50,20 pressure 0.5 0.5 0.8 hold\n"
                             "button 1 down\n"
                             "lift 4\n"
                             "button 1 up\n"
                             "proximity out\n"
                             "proximity in 70 80 eraser\n"
                             "pen 70 80 0.5\n"
                             "lift\n",
                             &steps, &error))
      << error;
  ASSERT_EQ(steps.size(), 15u);
  // Hover and the held stroke (no lift): x, y, pressure, barrel buttons held.
  const double packets[][4] = {{10, 10, 0, 0},   {20, 15, 0, 0},   {30, 20, 0, 0},  {30, 20, 0.5, 0}, {50, 20, 0.8, 0},
                               {}, {50, 20, 0.6, 1}, {50, 20, 0.4, 1}, {50, 20, 0.2, 1}, {50, 20, 0, 1}};
  for (int i = 0; i < 10; ++i) {
    if (i == 5) continue;
    EXPECT_EQ(steps[i].kind, PenStep::kPacket) << i;
    EXPECT_DOUBLE_EQ(steps[i].x, packets[i][0]) << i;
    EXPECT_DOUBLE_EQ(steps[i].y, packets[i][1]) << i;
    EXPECT_NEAR(steps[i].pressure, packets[i][2], 1e-12) << i;
    EXPECT_EQ(steps[i].buttons, packets[i][3]) << i;
    EXPECT_FALSE(steps[i].eraser) << i;
  }
  // The barrel button, pressed where the pen is and released.
  EXPECT_EQ(steps[5].kind, PenStep::kButton);
  EXPECT_EQ(steps[5].button, 1);
  EXPECT_TRUE(steps[5].pressed);
  EXPECT_DOUBLE_EQ(steps[5].x, 50);
  EXPECT_DOUBLE_EQ(steps[5].pressure, 0.8);
  EXPECT_EQ(steps[10].kind, PenStep::kButton);
  EXPECT_FALSE(steps[10].pressed);
  EXPECT_EQ(steps[10].buttons, 0);
  // Out of proximity, and back with the eraser end, whose packets say so.
  EXPECT_EQ(steps[11].kind, PenStep::kProximity);
  EXPECT_FALSE(steps[11].entering);
  EXPECT_DOUBLE_EQ(steps[11].x, 50);
  EXPECT_EQ(steps[12].kind, PenStep::kProximity);
  EXPECT_TRUE(steps[12].entering);
  EXPECT_TRUE(steps[12].eraser);
  EXPECT_DOUBLE_EQ(steps[12].y, 80);
  for (int i = 13; i < 15; ++i) {
    EXPECT_EQ(steps[i].kind, PenStep::kPacket);
    EXPECT_TRUE(steps[i].eraser);
  }
  EXPECT_DOUBLE_EQ(steps[14].pressure, 0);
}

TEST(PenScript, RefusesFaultsNamingTheLine) {
  const char* faults[] = {
      "stroke 1 0,0 1,1 2,2 pressure 1 1 1", "stroke 5 0,0 1,1 pressure 1 1 1", "stroke 5 0,0 1,1 2,2 1 1 1",
      "stroke 5 0,0 1,1 2,2 pressure 1 1.5 1", "stroke 5 0;0 1,1 2,2 pressure 1 1 1", "pen 1 2", "pen 1 2 -0.1",
      "lift", "drag purple 0 10", "drag red 0 256", "pick 3", "wait -1", "wait 5 more", "scribble 1 2",
      "stroke 5 0,0 1,1 2,2 pressure 1 1 1 hols", "hover 1 0,0 1,1", "hover 3 0,0", "proximity in 1",
      "proximity in 1 2 nib", "proximity up", "button 3 down", "button 1 up", "button 2"};
  for (const char* fault : faults) {
    std::vector<PenStep> steps;
    std::string error;
    EXPECT_FALSE(ParsePenScript(std::string("wait 1\n") + fault + "\n", &steps, &error)) << fault;
    EXPECT_EQ(error.compare(0, 8, "line 2: "), 0) << fault << ": " << error;
  }
  // Faults of the pen's state: the line that breaks it is named.
  const char* states[] = {"pen 1 1 0.5\nhover 2 0,0 1,1", "pen 1 1 0.5\nproximity out",
                          "button 2 down\nproximity out", "proximity out\npen 1 1 0.5",
                          "proximity out\nproximity out", "pen 1 1 0\nproximity in 1 1", "pen 1 1 0\nlift 2", "pen 1 1 0.5\nlift 0",
                          "pen 1 1 0.5\nlift 2x"};
  std::vector<PenStep> started;
  EXPECT_TRUE(ParsePenScript("proximity in 1 2 eraser\npen 1 2 0.5\n", &started, nullptr));  // where the pen starts
  for (const char* state : states) {
    std::vector<PenStep> steps;
    std::string error;
    EXPECT_FALSE(ParsePenScript(state, &steps, &error)) << state;
    EXPECT_EQ(error.compare(0, 8, "line 2: "), 0) << state << ": " << error;
  }
  std::vector<PenStep> steps;
  std::string error;
  EXPECT_FALSE(LoadPenScript("no-such-script.pen", &steps, &error));
  EXPECT_NE(error.find("no-such-script.pen"), std::string::npos);
}

TEST(PenScript, PressureInDeviceUnits) {
  EXPECT_EQ(PenPressureUnits(0, 1023), 0u);
  EXPECT_EQ(PenPressureUnits(0.0001, 1023), 1u);  // pressed, however lightly
  EXPECT_EQ(PenPressureUnits(0.5, 1023), 512u);
  EXPECT_EQ(PenPressureUnits(1, 1023), 1023u);
  EXPECT_EQ(PenPressureUnits(1, 0), 0u);
}

}  // namespace
