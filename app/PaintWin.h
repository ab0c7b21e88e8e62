// The canvas: attached by subclassing to a window, it owns the canvas image,
// the back buffer, the stroke buffer, the colour picker, the tablet context and
// the pen filter. Pen messages become smoothed segments drawn into the stroke
// buffer, shown at once over the canvas and merged into it at pen-up.
#pragma once
#include <memory>

#include "app/ColorWin.h"
#include "app/PenStroke.h"
#include "framework/SCWin.h"
#include "image/dib24.h"
#include "tablet/WinTab.h"

class PaintWin : public SCWin {
 public:
  PaintWin();
  ~PaintWin() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnAttach() override;

  // Reads a BMP file as the new canvas; false leaves everything as it was.
  bool LoadCanvas(const char* path);
  // Blends the stroke into target over rect clipped to the stroke buffer, or
  // over the stroke's whole dirty rectangle when rect is null.
  void CompositeStroke(dib24& target, const RECT* rect);

  std::unique_ptr<dib24> canvasImage;
  dib24 backBuffer;
  // The stroke in progress: its buffer, smoothing filter and latched colour.
  PenStroke stroke;
  ColorWin colorPicker;
  WinTab tabletContext;

 private:
  void Paint();
  void EraseBackground(HDC dc);
  void PickColor(LPARAM lParam);
  void PenDown();
  void SegmentStep();
  void Commit();
  void Repaint(const RECT* rect);
};
