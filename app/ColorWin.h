// The colour picker: a small tool window with four 256-pixel bars for red,
// green, blue and alpha. Column 10 + v of a bar shows the value v, a white line
// marks the current value, and dragging with the left button along a bar sets
// it. The canvas reads `color` at pen-down and writes the colour it picks.
#pragma once
#include <windows.h>

#include "app/PickerBars.h"
#include "brush/StrokeColor.h"
#include "framework/NWindow.h"
#include "image/dib24.h"

class ColorWin : public NWindow {
 public:
  // Client layout: every bar starts at column 10; bar k (1..4) at kBarTop[k - 1].
  static constexpr int kBarLeft = PickerBars::kBarLeft;
  static constexpr int kBarTop[4] = {PickerBars::kBarTop[0], PickerBars::kBarTop[1], PickerBars::kBarTop[2],
                                     PickerBars::kBarTop[3]};
  static constexpr int kBarWidth = PickerBars::kBarWidth;
  static constexpr int kBarHeight = PickerBars::kBarHeight;

  ColorWin();
  // Should the window outlive the object (a canvas on a child window whose
  // picker is owned by the top-level window), it is destroyed with it.
  ~ColorWin() override;
  // Takes the caption as Shift-JIS text; WM_CLOSE does not close the window.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Rebuilds the four bars from `color` and repaints the window at once.
  void RefreshBars();
  // The bar (1 red, 2 green, 3 blue, 4 alpha) under a client point, 0 for none.
  int HitBar(int x, int y);

  dib24 bars[4];  // red, green, blue, alpha
  int dragBar;    // the bar the left button is dragging, 0 for none
  StrokeColor color;

 private:
  void SetDraggedValue(int x);
  void Paint();
  void EraseBackground(HDC dc);
};
