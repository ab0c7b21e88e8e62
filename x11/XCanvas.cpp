#include "x11/XCanvas.h"

#include <time.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/CompositeStroke.h"
#include "app/PickerBars.h"
#include "tablet/PenMessages.h"
#include "tablet/PenPacket.h"
#include "x11/XWindowText.h"

namespace {
const char kNoTabletText[] = "Tablet\xe3\x82\xb3\xe3\x83\xb3\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88\xe3\x81\x8c"
                             "\xe7\x94\x9f\xe6\x88\x90\xe3\x81\xa7\xe3\x81\x8d\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93.";
}  // namespace

XCanvas::~XCanvas() {
  if (paintLog_) std::fclose(paintLog_);
}

bool XCanvas::Create(Display* display) {
  display_ = display;
  const int screen = DefaultScreen(display);
  root_ = RootWindow(display, screen);
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.event_mask = ExposureMask | StructureNotifyMask;  // the right click comes through XInput 2
  window_ = XCreateWindow(display, root_, 0, 0, kWidth, kHeight, 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWEventMask, &attributes);
  if (!window_) return false;
  SetWindowTitle(display, window_, "Paint Test");
  SetFixedSize(display, window_, 0, 0, kWidth, kHeight);
  AcceptClose(display, window_);
  gc_ = XCreateGC(display, window_, 0, nullptr);

  stroke_.Reset();
  stroke_.strokeBuffer.PrepareTip();
  canvasImage_.reset(new dib24);
  if (canvasImage_->Create(kWidth, kHeight)) {
    std::memset(canvasImage_->bits, 255, static_cast<size_t>(canvasImage_->stride) * canvasImage_->height);
  }
  stroke_.strokeBuffer.Resize(canvasImage_->width, canvasImage_->height);
  backBuffer_.Create(kWidth, kHeight);
  if (!screen_.Create(display, kWidth, kHeight)) return false;
  if (const char* log = std::getenv("INKSTONE_PAINT_LOG")) paintLog_ = std::fopen(log, "w");

  XMapWindow(display, window_);
  picker_.Create(display, window_, kWidth, 0);

  // Devices that come or go (a tablet plugged in) are listed again.
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XIEventMask hierarchy = {XIAllDevices, static_cast<int>(sizeof bits), bits};
  const bool xinput = pens_.Open(display);
  if (xinput) {
    XISetMask(bits, XI_HierarchyChanged);
    XISelectEvents(display, root_, &hierarchy, 1);
  }
  if (!xinput || !pens_.Select(window_, root_)) {
    std::fprintf(stderr, "%s\n", kNoTabletText);
    notice_.Show(display, window_, "Info", kNoTabletText);
  }
  UpdateOrigin();
  return true;
}

bool XCanvas::LoadCanvas(const char* path) {
  if (!stroke_.LoadCanvas(path, canvasImage_)) return false;
  PaintAll();
  return true;
}

bool XCanvas::Handle(XEvent& event) {
  if (event.type == GenericEvent && event.xcookie.extension == pens_.opcode) {
    if (!XGetEventData(display_, &event.xcookie)) return true;
    const XIDeviceEvent& device = *static_cast<XIDeviceEvent*>(event.xcookie.data);
    PenEvent pen;
    if (event.xcookie.evtype == XI_HierarchyChanged) {
      pens_.Select(window_, root_);
    } else if (event.xcookie.evtype == XI_ButtonPress) {
      if (device.detail == Button3 && device.event == window_) {
        PickColor(static_cast<int>(std::floor(device.event_x)), static_cast<int>(std::floor(device.event_y)));
      }
    } else if (pens_.Read(device, window_, originX_, originY_, pen)) {
      OnPen(pen);
    }
    XFreeEventData(display_, &event.xcookie);
    return true;
  }
  if (screen_.TakeCompletion(event) || picker_.TakeCompletion(event)) return true;
  if (picker_.Handle(event) || notice_.Handle(event)) return true;
  if (event.xany.window != window_) return true;
  switch (event.type) {
    case Expose:
      Paint(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
            event.xexpose.y + event.xexpose.height);
      break;
    case ConfigureNotify:
      UpdateOrigin();
      break;
    case ClientMessage:
      if (IsClose(display_, event)) return false;
      break;
  }
  return true;
}

// As the Windows canvas wires its tablet context's pen messages.
void XCanvas::OnPen(const PenEvent& pen) {
  const unsigned kTip = 0x2;
  const unsigned button = pen.buttons & ~kTip;  // a barrel button held
  const bool inside = InsideClient(pen.sample, kWidth, kHeight);
  const unsigned message = NextPenMessage(penDown_, pen.sample.pressure, inside);
  if (message == UM_PENDOWN && PenStroke::Accepted(pen.cursor, button, 0)) stroke_.Start(pen.sample, picker_.color);
  RECT changed;
  if (message && stroke_.Segment(pen.sample, changed)) Paint(changed.left, changed.top, changed.right, changed.bottom);
  if (message == UM_PENUP && stroke_.EndsAtLift(pen.cursor, button, 0)) {
    stroke_.Commit(canvasImage_.get());
    PaintAll();
  }
  NotePainted();
}

void XCanvas::PickColor(int x, int y) {
  if (canvasImage_ && PickerBars::PickColor(*canvasImage_, x, y, picker_.color)) picker_.RefreshBars();
}

void XCanvas::Paint(int left, int top, int right, int bottom) {
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > kWidth) right = kWidth;
  if (bottom > kHeight) bottom = kHeight;
  if (left >= right || top >= bottom) return;
  // Beyond a smaller loaded picture the window is black, as its background.
  for (int y = top; y < bottom; ++y) {
    unsigned char* to = backBuffer_.Row(y) + 3 * left;
    std::memset(to, 0, 3 * static_cast<size_t>(right - left));
    if (!canvasImage_ || y >= canvasImage_->height || left >= canvasImage_->width) continue;
    const int end = right < canvasImage_->width ? right : canvasImage_->width;
    std::memcpy(to, canvasImage_->Row(y) + 3 * left, 3 * static_cast<size_t>(end - left));
  }
  const RECT rect = {left, top, right, bottom};
  const BrushBuff& buffer = stroke_.strokeBuffer;
  CompositeStroke(backBuffer_, buffer.surface, buffer.coverage.get(), buffer.dirty, &rect);
  screen_.Put(window_, gc_, backBuffer_, left, top, right, bottom);
}

void XCanvas::UpdateOrigin() {
  Window child;
  XTranslateCoordinates(display_, window_, root_, 0, 0, &originX_, &originY_, &child);
}

void XCanvas::NotePainted() {
  if (!paintLog_) return;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(paintLog_, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}
