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

TEST(PenScript, RefusesFaultsNamingTheLine) {
  const char* faults[] = {
      "stroke 1 0,0 1,1 2,2 pressure 1 1 1", "stroke 5 0,0 1,1 pressure 1 1 1", "stroke 5 0,0 1,1 2,2 1 1 1",
      "stroke 5 0,0 1,1 2,2 pressure 1 1.5 1", "stroke 5 0;0 1,1 2,2 pressure 1 1 1", "pen 1 2", "pen 1 2 -0.1",
      "lift", "drag purple 0 10", "drag red 0 256", "pick 3", "wait -1", "wait 5 more", "scribble 1 2"};
  for (const char* fault : faults) {
    std::vector<PenStep> steps;
    std::string error;
    EXPECT_FALSE(ParsePenScript(std::string("wait 1\n") + fault + "\n", &steps, &error)) << fault;
    EXPECT_EQ(error.compare(0, 8, "line 2: "), 0) << fault << ": " << error;
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
