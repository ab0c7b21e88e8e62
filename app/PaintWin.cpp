#include "app/PaintWin.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/CompositeStroke.h"
#include "app/FixedWindowStyle.h"
#include "app/JapaneseText.h"
#include "app/PickerBars.h"
#include "tablet/PenMessages.h"

namespace {
const int kPickerClientWidth = 280;
const int kPickerClientHeight = 140;
}  // namespace

PaintWin::PaintWin() {}

// The canvas image is freed first, then the members in reverse order of
// declaration; declared before them, it would otherwise go last.
PaintWin::~PaintWin() { canvasImage.reset(); }

void PaintWin::OnAttach() {
  stroke.Reset();
  stroke.strokeBuffer.PrepareTip();

  RECT client;
  GetClientRect(hwnd, &client);
  canvasImage.reset(new dib24);
  if (canvasImage->Create(client.right - client.left, client.bottom - client.top)) {
    std::memset(canvasImage->bits, 255, static_cast<size_t>(canvasImage->stride) * canvasImage->height);
  }
  stroke.strokeBuffer.Resize(canvasImage->width, canvasImage->height);

  if (!colorPicker.hwnd) {
    RECT frame = {0, 0, kPickerClientWidth, kPickerClientHeight};
    AdjustWindowRect(&frame, kFixedWindowStyle, FALSE);
    RECT owner;
    GetWindowRect(hwnd, &owner);
    colorPicker.Create(WS_EX_TOOLWINDOW, kColorPickerCaption, kFixedWindowStyle, owner.right, owner.top,
                       frame.right - frame.left, frame.bottom - frame.top, hwnd, nullptr, nullptr);
  }
  ShowWindow(colorPicker.hwnd, SW_SHOW);
  colorPicker.RefreshBars();

  if (!tabletContext.Open(hwnd)) ShiftJisMessageBox(hwnd, kTabletContextErrorText, "Info", MB_ICONINFORMATION);

  // A window that was already on screen (a canvas given to another program's
  // window) shows the canvas at once.
  InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT PaintWin::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (tabletContext.OnMessage(msg, wParam, lParam)) return 0;
  switch (msg) {
    case WM_SIZE:
      backBuffer.Create(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_RBUTTONDOWN:
      PickColor(lParam);
      return 0;
    case UM_PENDOWN:
      PenDown();
      return 0;
    case UM_PENMOVE:
      SegmentStep();
      return 0;
    case UM_PENUP:
      SegmentStep();
      if (stroke.EndsAtLift(tabletContext.cursor, tabletContext.button, tabletContext.buttonChange)) Commit();
      return 0;
    default:
      return CallPrevProc(msg, wParam, lParam);
  }
}

void PaintWin::Paint() {
  // Here the back buffer takes the window's outer size, while WM_SIZE gives it
  // the client size; both are meant. The outer rectangle holds the client area
  // whatever borders the window has (a canvas may sit on any window), so every
  // paint rectangle fits; WM_SIZE of a minimised window (0 x 0) frees the
  // memory while nothing is shown. The buffer is made anew only when the size
  // differs, so once after each WM_SIZE.
  RECT frame;
  GetWindowRect(hwnd, &frame);
  const int frameWidth = frame.right - frame.left;
  const int frameHeight = frame.bottom - frame.top;
  if (backBuffer.width != frameWidth || backBuffer.height != frameHeight) backBuffer.Create(frameWidth, frameHeight);

  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& r = ps.rcPaint;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (canvasImage) {
    BitBlt(backBuffer.dc, r.left, r.top, w, h, canvasImage->dc, r.left, r.top, SRCCOPY);
    CompositeStroke(backBuffer, &r);
  }
  BitBlt(dc, r.left, r.top, w, h, backBuffer.dc, r.left, r.top, SRCCOPY);
  EndPaint(hwnd, &ps);
}

void PaintWin::EraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void PaintWin::CompositeStroke(dib24& target, const RECT* rect) {
  const BrushBuff& buffer = stroke.strokeBuffer;
  ::CompositeStroke(target, buffer.surface, buffer.coverage.get(), buffer.dirty, rect);
}

void PaintWin::PickColor(LPARAM lParam) {
  if (!canvasImage) return;
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  if (PickerBars::PickColor(*canvasImage, x, y, colorPicker.color)) colorPicker.RefreshBars();
}

void PaintWin::PenDown() {
  if (PenStroke::Accepted(tabletContext.cursor, tabletContext.button, tabletContext.buttonChange)) {
    stroke.Start(tabletContext.sample, colorPicker.color);
  }
  SegmentStep();
}

void PaintWin::SegmentStep() {
  RECT changed;
  if (stroke.Segment(tabletContext.sample, changed)) Repaint(&changed);
}

void PaintWin::Commit() {
  stroke.Commit(canvasImage.get());
  Repaint(nullptr);
}

void PaintWin::Repaint(const RECT* rect) {
  if (!hwnd) return;
  InvalidateRect(hwnd, rect, FALSE);
  UpdateWindow(hwnd);
}

bool PaintWin::LoadCanvas(const char* path) {
  if (!stroke.LoadCanvas(path, canvasImage)) return false;
  Repaint(nullptr);
  return true;
}
