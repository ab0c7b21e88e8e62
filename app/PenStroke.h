// The canvas's handling of the pen, apart from its window: the start of a
// stroke, each smoothed segment with the rectangle it may have changed, and
// the commit into the canvas image. It works on the canvas's own members,
// which it is given by reference, so that the canvas and the pen stream
// fuzzer run the same code on the same kind of state.
#pragma once
#include "brush/BrushBuff.h"
#include "brush/DirtyRect.h"
#include "brush/StrokeColor.h"
#include "image/dib24.h"
#include "tablet/AxisFilter.h"
#include "tablet/PenSample.h"

// The stroke colour latched at pen-down, each channel 0..1.
struct LatchedColor {
  float blue;
  float green;
  float red;
  float alpha;
};

class PenStroke {
 public:
  PenStroke(bool& strokeActive, double& prevX, double& prevY, double& prevPressure, BrushBuff& strokeBuffer,
            AxisFilter& penFilter, double brushSize, LatchedColor& latched);

  // Only the stylus tip (cursor 1) with no button pressed draws.
  static bool Accepted(unsigned cursor, unsigned button);

  // An accepted pen-down: the filter filled with the sample, the stroke's
  // start taken from it, the first dab freed from the spacing test and the
  // current colour latched. The segment step follows.
  void Start(const PenSample& sample, const StrokeColor& current);
  // While a stroke is active: the sample smoothed and the segment from the
  // previous smoothed point drawn into the stroke buffer. True when it may
  // have changed pixels; `changed` then holds all of them (within the stroke's
  // dirty rectangle), and only it needs painting again.
  bool Segment(const PenSample& sample, RECT& changed);
  // Blends the stroke into the canvas image (when there is one) over its dirty
  // rectangle and empties the stroke buffer; the stroke ends.
  void Commit(dib24* canvasImage);

 private:
  bool& strokeActive;
  double& prevX;
  double& prevY;
  double& prevPressure;
  BrushBuff& strokeBuffer;
  AxisFilter& penFilter;
  const double brushSize;
  LatchedColor& latched;
};
