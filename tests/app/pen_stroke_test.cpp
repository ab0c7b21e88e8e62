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

// Wine's wintab32 reports buttons as the mask held, the tip as bit 1, and
// the program may read a touch-down or a lift by its packet that shows the
// tip held: such a stroke starts and ends all the same. A barrel button held
// starts none, nor does a puck or an eraser of any tablet (cursors come in
// threes: puck, pen, eraser). The next stroke starts afresh, its first dab drawn wherever it
// lies, also at (0, 0) where the last dab of no stroke is taken to be.
TEST_F(PenStrokeTest, StrokesStartAndEndWithTheTipReportedHeld) {
  ASSERT_TRUE(canvas.Create(16, 16));
  const unsigned kBarrelBit = 0x4, kTbnDown = 2;
  EXPECT_FALSE(PenStroke::Accepted(kStylus, kTipBit | kBarrelBit, 0));
  EXPECT_FALSE(PenStroke::Accepted(kStylus, kTipBit, kTbnDown)) << "relative: button 2 went down";
  for (const unsigned notPen : {0u, 2u, 3u, 5u, 6u, 8u}) EXPECT_FALSE(PenStroke::Accepted(notPen, 0, 0)) << notPen;
  for (const unsigned pen : {4u, 7u, 301u}) EXPECT_TRUE(PenStroke::Accepted(pen, 0, 0)) << pen;
  ASSERT_TRUE(PenStroke::Accepted(kStylus, kTipBit, 0));

  pen.Start({5, 5, 1}, kInk);
  EXPECT_TRUE(Step(5, 5, 1));
  EXPECT_TRUE(Step(7, 5, 0));
  ASSERT_TRUE(pen.EndsAtLift(2, kTipBit | kBarrelBit, 0)) << "a lift ends the stroke, whatever it reports";
  pen.Commit(&canvas);
  EXPECT_FALSE(pen.strokeActive);
  EXPECT_EQ(pen.strokeBuffer.dirty.right, 0) << "the committed stroke left the buffer";
  EXPECT_FALSE(pen.EndsAtLift(2, 0, 0)) << "an idle lift of the eraser commits nothing";

  pen.Start({0, 0, 1}, kInk);
  EXPECT_TRUE(pen.strokeBuffer.firstDab);
  EXPECT_TRUE(Step(0, 0, 1));
  EXPECT_GT(CoverageAt(0, 0), 0.0f) << "the second stroke's first dab at (0, 0)";
}

}  // namespace
