// The stroke in progress and the canvas's handling of the pen, apart from its
// window: the start of a stroke, each smoothed segment with the rectangle it
// may have changed, and the commit into the canvas image. It owns everything a
// stroke needs between pen messages, so the canvas, the engine's reference in
// the tests and the pen stream fuzzer all run this one type.
#pragma once
#include <memory>

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
  PenStroke();
  virtual ~PenStroke() = default;
  PenStroke(const PenStroke&) = delete;
  PenStroke& operator=(const PenStroke&) = delete;

  // Idle, with the filter's histories made; the stroke buffer keeps its size.
  void Reset();

  // Only a stylus tip (cursor 1, 4, 7, ...) with no barrel button starts a
  // stroke; pucks and erasers never do. Its
  // buttons come as the context asks, relative: the number of the button whose
  // state changed (0, the tip) and the change (TBN_NONE 0, TBN_UP, TBN_DOWN).
  // A driver that ignores that (Wine's wintab32) reports the mask of the
  // buttons held with no change, the tip as bit 1: the tip alone is accepted
  // too, or a stroke whose touch-down packet went unread would never start.
  static bool Accepted(unsigned cursor, unsigned button, unsigned change);

  // An accepted pen-down: the filter filled with the sample, the stroke's
  // start taken from it, the first dab freed from the spacing test and the
  // current colour latched. The segment step follows.
  void Start(const PenSample& sample, const StrokeColor& current);
  // While a stroke is active: the sample smoothed and the segment from the
  // previous smoothed point drawn into the stroke buffer. True when it may
  // have changed pixels; `changed` then holds all of them (within the stroke's
  // dirty rectangle), and only it needs painting again.
  bool Segment(const PenSample& sample, RECT& changed);
  // Whether a lift, after its segment step, commits. Every lift ends the
  // stroke in progress, whatever the packet says of cursor and buttons: a lift
  // that shows a barrel button pressed on the way, or the tip as a held button
  // (Wine's wintab32), would otherwise leave it open, the hover that follows
  // would draw, and the next stroke would run on from it. An idle lift commits
  // (the empty buffer) only for the accepted pen.
  bool EndsAtLift(unsigned cursor, unsigned button, unsigned change) const;
  // Blends the stroke into the canvas image (when there is one) over its dirty
  // rectangle and empties the stroke buffer; the stroke ends.
  void Commit(dib24* canvasImage);
  // Reads a BMP file as the new canvas image, with an emptied stroke buffer
  // of its size; false leaves both as they were.
  bool LoadCanvas(const char* path, std::unique_ptr<dib24>& canvasImage);

  bool strokeActive;
  // Start of the next segment: the smoothed sample of the previous step.
  double prevX;
  double prevY;
  double prevPressure;
  BrushBuff strokeBuffer;
  double brushSize;
  AxisFilter penFilter;
  LatchedColor latchedColor;
};
