// The stroke's own rules, without a window: how strokes start and end.
#include <gtest/gtest.h>

#include "app/PenStroke.h"

namespace {

const StrokeColor kInk = {0, 0, 0, 255};
const unsigned kStylus = 1;
const unsigned kTipBit = 0x2;  // the tip as an absolute button bit, as Wine reports it

class PenStrokeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pen.Reset();
    pen.strokeBuffer.PrepareTip();
    ASSERT_TRUE(pen.strokeBuffer.Resize(16, 16));
  }
  bool Step(double x, double y, double pressure) {
    RECT changed;
    return pen.Segment({x, y, pressure}, changed);
  }
  float CoverageAt(int x, int y) const { return pen.strokeBuffer.coverage[y * 16 + x]; }

  PenStroke pen;
  dib24 canvas;
};

// A lift ends the stroke in progress even when the packet still reports the
// tip as pressed; the next stroke starts afresh, its first dab drawn wherever
// it lies, also at (0, 0) where the last dab of no stroke is taken to be.
TEST_F(PenStrokeTest, EveryLiftEndsTheStrokeAndTheNextStartsAfresh) {
  ASSERT_TRUE(canvas.Create(16, 16));
  EXPECT_FALSE(pen.EndsAtLift(kStylus, kTipBit)) << "an idle lift of a pressed tip commits nothing";
  EXPECT_TRUE(pen.EndsAtLift(kStylus, 0));

  pen.Start({5, 5, 1}, kInk);
  EXPECT_TRUE(Step(5, 5, 1));
  EXPECT_TRUE(Step(7, 5, 0));
  ASSERT_TRUE(pen.EndsAtLift(kStylus, kTipBit));
  pen.Commit(&canvas);
  EXPECT_FALSE(pen.strokeActive);
  EXPECT_EQ(pen.strokeBuffer.dirty.right, 0) << "the committed stroke left the buffer";

  pen.Start({0, 0, 1}, kInk);
  EXPECT_TRUE(pen.strokeBuffer.firstDab);
  EXPECT_TRUE(Step(0, 0, 1));
  EXPECT_GT(CoverageAt(0, 0), 0.0f) << "the second stroke's first dab at (0, 0)";
}

}  // namespace
