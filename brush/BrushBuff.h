// The stroke being drawn, apart from the canvas: per pixel the stroke colour
// and accumulated alpha (in a dib32) and a coverage 0..1 (rows top-down), and
// the rectangle touched so far. Pen segments are walked into spaced dabs.
//
// The dab body (LayDab), the way deposits combine (Combine) and what the dab
// needs prepared (PrepareTip) are the only things that differ between the
// programs: each is linked with one dab implementation, SoftDab.cpp (the
// masked tip, added up) or DiscDab.cpp (the hard disc, largest contribution
// kept).
#pragma once
#include <memory>

#include "image/dib32.h"
#include "Brush.h"
#include "DirtyRect.h"
#include "StrokeColor.h"

class BrushBuff {
 public:
  BrushBuff();
  // As every class here that owns something: a virtual destructor, and no
  // copies, which would free the surface and the coverage map twice.
  virtual ~BrushBuff();
  BrushBuff(const BrushBuff&) = delete;
  BrushBuff& operator=(const BrushBuff&) = delete;

  // A cleared buffer of that size (0 x 0 for a size of 0 or less); true when
  // it was made. When the surface or the coverage map cannot be made, the
  // buffer and what it holds stay as they were, and the result is false.
  bool Resize(int width, int height);
  void Clear();
  void ResetDirty();
  // Prepares what the linked dab draws with, once before the first stroke: the
  // soft dab's tip masks (brush.BuildLevels); the hard disc needs nothing.
  void PrepareTip();
  // Lays dabs from (x0, y0, p0) to (x1, y1, p1); size is the diameter at full
  // pressure. A segment with a value that is not a finite number, or a
  // coordinate beyond SegmentWalk::kMaxCoordinate, is ignored.
  void DrawSegment(double x0, double y0, double x1, double y1, double p0, double p1, double size,
                   const StrokeColor& color);
  // One dab candidate, subject to the spacing test; dropped without effect
  // when a value or the diameter is not a finite number.
  void DrawDab(double x, double y, double pressure, double size, const StrokeColor& color);
  // Adds one dab's share to one pixel; pixels outside the buffer are skipped.
  // Alpha stays within 0..255 and coverage within 0..1 whatever the amount.
  void Deposit(int col, int row, const StrokeColor& color, int amount);

  bool firstDab;
  double lastX;
  double lastY;
  dib32 surface;
  std::unique_ptr<float[]> coverage;
  Brush brush;
  DirtyRect dirty;

 private:
  // The pixels of a dab's bounding box that lie inside the buffer, bounds
  // included.
  struct PixelBox {
    int left, top, right, bottom;
  };
  // The box of columns floor(x - half) .. ceil(x + half) - 1 and rows likewise,
  // clipped to the buffer; false when nothing of it is inside. Pixels outside
  // would be skipped by Deposit one by one; clipping first keeps the work of a
  // dab bounded by the buffer whatever its size and place.
  bool DabBox(double x, double y, double half, PixelBox& box) const;

  // Defined by the linked dab implementation: the body of a dab that passed
  // the spacing test, and how a deposit combines with what a pixel holds.
  void LayDab(double x, double y, double diameter, double spacing, const StrokeColor& color);
  static void Combine(unsigned char& alpha, float& coverage, int amount);
};
