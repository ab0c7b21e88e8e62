// libFuzzer target for the pen path from a tablet packet to the pixels on the
// screen. Arbitrary bytes become a screen and tablet geometry and a stream of
// events: packets near the pen's last place or anywhere at all, with any
// pressure, cursor and buttons; lost packets; colour changes; display changes;
// loaded canvases; windows moved, minimised and restored. They run through the
// code the canvas runs (the packet mapping and pen-state table of PenPacket,
// the pen handling of PenStroke with the filter, the stroke buffer and the
// compositing), wired as the tablet context and the canvas window wire them.
//
// Checked after every event: the dirty rectangle lies within the stroke
// buffer and holds every touched pixel; each segment changes only pixels in
// the rectangle it reports for repainting; its walk is bounded; a commit
// changes the canvas only within the dirty rectangle and empties the stroke
// buffer; and the screen, repainted only where the canvas repaints, shows
// exactly the canvas with the stroke over it. ASan and UBSan watch every
// access and computation.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/CompositeStroke.h"
#include "app/PenStroke.h"
#include "brush/SegmentWalk.h"
#include "tablet/PenMessages.h"
#include "tablet/PenPacket.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pen_stream_fuzz: %s\n", what);
    std::abort();
  }
}

// The input read from the front; zeros once it runs out.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return size_ == 0; }
  uint32_t U8() {
    if (!size_) return 0;
    --size_;
    return *data_++;
  }
  uint32_t U16() { return U8() | U8() << 8; }
  uint32_t U32() { return U16() | U16() << 16; }
  int S8() { return static_cast<int8_t>(U8()); }
  int S16() { return static_cast<int16_t>(U16()); }

 private:
  const uint8_t* data_;
  size_t size_;
};

const int kMaxSide = 96;  // canvases and client areas: small, so that every check stays cheap
const double kBrushSize = 3.0;

// Pixels of the stroke buffer (colour bytes and coverage) for comparison.
struct StrokePixels {
  std::vector<uint8_t> bytes;
  std::vector<float> coverage;
  explicit StrokePixels(const BrushBuff& b) {
    const dib32& s = b.surface;
    if (s.bits) bytes.assign(s.bits, s.bits + static_cast<size_t>(s.stride) * s.height);
    if (b.coverage) coverage.assign(b.coverage.get(), b.coverage.get() + static_cast<size_t>(s.width) * s.height);
  }
  bool Same(const BrushBuff& b, int col, int row) const {
    const dib32& s = b.surface;
    const size_t at = static_cast<size_t>(s.height - 1 - row) * s.stride + 4 * col;
    const size_t cell = static_cast<size_t>(row) * s.width + col;
    return std::memcmp(&bytes[at], s.bits + at, 4) == 0 &&
           std::memcmp(&coverage[cell], &b.coverage[cell], sizeof(float)) == 0;
  }
};

bool Inside(const RECT& r, int col, int row) { return col >= r.left && col < r.right && row >= r.top && row < r.bottom; }

unsigned char* Pixel(const dib24& image, int x, int y) {
  return image.bits + static_cast<size_t>(image.height - 1 - y) * image.stride + 3 * x;
}

// The masks take a while to build: once per process, copied into each run.
const Brush& Masks() {
  static Brush* masks = [] {
    Brush* b = new Brush;
    b->BuildLevels();
    return b;
  }();
  return *masks;
}

// The tablet context and the canvas window, without a driver or a window.
class PenPath {
 public:
  explicit PenPath(Input& in) : in_(in) {
    const Brush& masks = Masks();
    strokeBuffer.brush.baseSize = masks.baseSize;
    strokeBuffer.brush.oversampling = masks.oversampling;
    for (int n = 384, k = 0; n > 0; n /= 2, ++k) {
      strokeBuffer.brush.levels.emplace_back(new int16_t[n * n]);
      std::memcpy(strokeBuffer.brush.levels.back().get(), masks.levels[k].get(), sizeof(int16_t) * n * n);
    }
    inExtX = Extent(40000);
    inExtY = Extent(25000);
    pressureMax = PressureMaximum(static_cast<int32_t>(1023 ^ in_.U32()));
    ReadScreen();
    clientLeft = 100 ^ in_.S16();
    clientTop = 120 ^ in_.S16();
    clientWidth = (64 + in_.U8()) % (kMaxSide + 1);
    clientHeight = (48 + in_.U8()) % (kMaxSide + 1);
    // Attaching: a white canvas of the client size, the stroke buffer of its size.
    canvasImage.reset(new dib24);
    canvasImage->Create(clientWidth, clientHeight);
    if (canvasImage->bits) std::memset(canvasImage->bits, 255, static_cast<size_t>(canvasImage->stride) * canvasImage->height);
    strokeBuffer.Resize(canvasImage->width, canvasImage->height);
    pen.Reset();
    penX = clientWidth / 2.0;
    penY = clientHeight / 2.0;
    Resized();
  }

  void Run() {
    // Each segment's walk is bounded; far-off packets can still make each
    // walk long, so an input ends after a few such walks and the fuzzer's
    // time limit is left for real hangs.
    while (!in_.Empty() && walked < 4 * SegmentWalk::kMaxCandidates) {
      const uint32_t op = in_.U8() % 16;
      if (op < 10) {
        NearPacket();
      } else if (op == 10) {
        const uint32_t x = in_.U32(), y = in_.U32(), pressure = in_.U32(), cursor = in_.U8();
        Packet(x, y, pressure, cursor, in_.U32());
      } else if (op == 11) {
        // Proximity: the tablet context removes one queued packet unread.
        in_.U8();
        lost = true;
      } else if (op == 12) {
        color = {static_cast<int32_t>(in_.U8()), static_cast<int32_t>(in_.U8()), static_cast<int32_t>(in_.U8()),
                 static_cast<int32_t>(in_.U8())};
      } else if (op == 13) {
        ReadScreen();  // WM_DISPLAYCHANGE
      } else if (op == 14) {
        Load(in_.U8() % (kMaxSide + 1), in_.U8() % (kMaxSide + 1));
      } else {
        clientLeft += in_.S8() * 37;
        clientTop += in_.S8() * 37;
        const uint32_t size = in_.U8();
        if (size & 1) {  // minimised, or restored to a size of its own
          clientWidth = (size >> 1) % (kMaxSide + 1);
          clientHeight = (size >> 2) % (kMaxSide + 1);
        }
        Resized();
      }
      CheckScreen();
    }
  }

 private:
  void ReadScreen() {
    mapping.screenLeft = in_.S16();
    mapping.screenTop = in_.S16();
    mapping.screenWidth = 1280 ^ in_.U16();
    mapping.screenHeight = 1024 ^ in_.U16();
    mapping.inExtX = inExtX;
    mapping.inExtY = inExtY;
    mapping.pressureMax = pressureMax;
  }

  double Extent(uint32_t usual) {
    const uint32_t extent = (usual ^ in_.U32()) & 0x7FFFFFFF;  // the context is only opened for extents above 0
    return extent ? extent : 1;
  }

  // The counts of a tablet position nearest to a client position.
  uint32_t Counts(double client, int clientOrigin, double screenStart, double screenExtent, double inExt) const {
    const double counts = screenExtent > 0 ? (client + clientOrigin - screenStart) * inExt / screenExtent : 0;
    if (!(counts > 0)) return 0;
    return counts < 4294967295.0 ? static_cast<uint32_t>(counts + 0.5) : 4294967295u;
  }

  // A packet a little away from the last one, with a pressure up to a quarter
  // above the device's maximum, mostly of the stylus tip without buttons.
  void NearPacket() {
    penX += in_.S8() / 4.0;
    penY += in_.S8() / 4.0;
    const double pressure = in_.U8() / 200.0 * pressureMax;
    const uint32_t flags = in_.U8();
    const uint32_t cursor = (flags & 0x30) == 0x30 ? flags & 3 : 1;
    const uint32_t buttons = flags & 0x40 ? (flags & 7) | (flags & 0x80 ? 0x20000 : 0) : 0;
    Packet(Counts(penX, clientLeft, mapping.screenLeft, mapping.screenWidth, mapping.inExtX),
           Counts(penY, clientTop, mapping.screenTop, mapping.screenHeight, mapping.inExtY),
           pressure < 4294967295.0 ? static_cast<uint32_t>(pressure) : 4294967295u, cursor, buttons);
  }

  // As WinTab::OnPacket, then the canvas's window procedure for the message.
  void Packet(uint32_t pkX, uint32_t pkY, uint32_t pkPressure, uint32_t pkCursor, uint32_t pkButtons) {
    if (lost) {
      lost = false;
      return;
    }
    const double fx = mapping.ScreenX(pkX);
    const double fy = mapping.ScreenY(pkY);
    Check(std::fabs(fx) <= TabletMapping::kPositionLimit && std::fabs(fy) <= TabletMapping::kPositionLimit,
          "a screen position beyond the limit");
    // ScreenToClient on a window whose client area starts at (clientLeft, clientTop).
    sample.x = ClientPosition(fx, static_cast<int>(fx) - clientLeft);
    sample.y = ClientPosition(fy, static_cast<int>(fy) - clientTop);
    sample.pressure = mapping.Pressure(pkPressure);
    Check(sample.pressure >= 0 && sample.pressure <= 1, "a pressure outside 0..1");
    cursor = pkCursor;
    button = pkButtons & 0xFFFF;
    change = pkButtons >> 16;
    const bool inside = InsideClient(sample, clientWidth, clientHeight);
    const bool wasDown = penDown;
    const unsigned message = NextPenMessage(penDown, sample.pressure, inside);
    Check(penDown == (sample.pressure > 0), "the pen state is not the packet's");
    Check(message != UM_PENDOWN || (!wasDown && inside), "a pen-down that is none");
    if (message == UM_PENDOWN) {
      if (PenStroke::Accepted(cursor, button, change)) pen.Start(sample, color);
      Segment();
    } else if (message == UM_PENMOVE) {
      Segment();
    } else if (message == UM_PENUP) {
      Segment();
      if (pen.EndsAtLift(cursor, button, change)) Commit();
    }
  }

  void Segment() {
    if (!pen.strokeActive) {
      RECT unused;
      Check(!pen.Segment(sample, unused), "a segment outside a stroke");
      return;
    }
    const StrokePixels before(strokeBuffer);
    const double x0 = pen.prevX, y0 = pen.prevY, p0 = pen.prevPressure;
    RECT changed = {0, 0, 0, 0};
    const bool drawn = pen.Segment(sample, changed);
    const int w = strokeBuffer.surface.width, h = strokeBuffer.surface.height;

    // Bounded work: the walk the segment took, and dabs no larger than the brush.
    Check(pen.prevPressure >= 0 && pen.prevPressure <= 1, "a smoothed pressure outside 0..1");
    SegmentWalk walk(x0, y0, pen.prevX, pen.prevY, p0, pen.prevPressure, kBrushSize, w, h);
    long long candidates = 0;
    double x, y, p;
    while (walk.Next(x, y, p)) Check(++candidates <= SegmentWalk::kMaxCandidates + 2, "an unbounded walk");
    walked += candidates;

    CheckDirty();
    if (drawn) Check(changed.left < changed.right && changed.top < changed.bottom, "an empty repaint rectangle");
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        if (!before.Same(strokeBuffer, col, row)) Check(drawn && Inside(changed, col, row), "a changed pixel not repainted");
      }
    }
    if (drawn) Repaint(&changed);
  }

  void Commit() {
    const dib24& image = *canvasImage;
    const std::vector<uint8_t> before(image.bits, image.bits + static_cast<size_t>(image.stride) * image.height);
    const RECT dirty = strokeBuffer.dirty;
    pen.Commit(canvasImage.get());
    Check(!pen.strokeActive, "a stroke goes on after its commit");
    for (int row = 0; row < image.height; ++row) {
      for (int col = 0; col < image.width; ++col) {
        const size_t at = static_cast<size_t>(image.height - 1 - row) * image.stride + 3 * col;
        if (std::memcmp(&before[at], image.bits + at, 3) != 0) Check(Inside(dirty, col, row), "a commit outside the stroke");
      }
    }
    const StrokePixels after(strokeBuffer);
    for (uint8_t b : after.bytes) Check(b == 0, "the stroke buffer is not empty after the commit");
    for (float c : after.coverage) Check(c == 0, "coverage left after the commit");
    CheckDirty();
    Repaint(nullptr);
  }

  // As LoadCanvas once the file is read: the stroke buffer emptied at the
  // new size, then the canvas replaced; the stroke goes on. A size whose
  // buffer cannot be had leaves everything as it was.
  void Load(int width, int height) {
    std::unique_ptr<dib24> image(new dib24);
    image->Create(width, height);
    if (!image->bits) return;  // what the reader refuses leaves everything as it was
    for (int i = 0; i < image->stride * image->height; ++i) image->bits[i] = static_cast<uint8_t>(i * 37 + width);
    if (!strokeBuffer.Resize(width, height)) return;
    canvasImage = std::move(image);
    CheckDirty();
    Repaint(nullptr);
  }

  void CheckDirty() {
    const RECT& d = strokeBuffer.dirty;
    const int w = strokeBuffer.surface.width, h = strokeBuffer.surface.height;
    const bool empty = d.left == w && d.top == h && d.right == 0 && d.bottom == 0;
    Check(empty || (0 <= d.left && d.left < d.right && d.right <= w && 0 <= d.top && d.top < d.bottom && d.bottom <= h),
          "a dirty rectangle outside the buffer");
    const StrokePixels now(strokeBuffer);
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        const size_t cell = static_cast<size_t>(row) * w + col;
        if (now.coverage[cell] != 0) Check(!empty && Inside(d, col, row), "a touched pixel outside the dirty rectangle");
        Check(now.coverage[cell] >= 0 && now.coverage[cell] <= 1, "coverage outside 0..1");
      }
    }
  }

  // WM_SIZE: the window shows nothing of the old area until it is painted,
  // which the system asks for once it is visible again.
  void Resized() {
    screen.Create(clientWidth, clientHeight);
    Repaint(nullptr);
  }

  // As the canvas's paint: the canvas image copied, the stroke blended over it
  // within the paint rectangle, which lies within the client area.
  void Repaint(const RECT* rect) {
    RECT r = rect ? *rect : RECT{0, 0, clientWidth, clientHeight};
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > clientWidth) r.right = clientWidth;
    if (r.bottom > clientHeight) r.bottom = clientHeight;
    if (!screen.bits || !canvasImage->bits) return;
    for (int y = r.top; y < r.bottom && y < canvasImage->height; ++y) {
      for (int x = r.left; x < r.right && x < canvasImage->width; ++x) {
        std::memcpy(Pixel(screen, x, y), Pixel(*canvasImage, x, y), 3);
      }
    }
    CompositeStroke(screen, strokeBuffer.surface, strokeBuffer.coverage.get(), strokeBuffer.dirty, &r);
  }

  // What the screen shows where the canvas lies: the canvas with the stroke over it.
  void CheckScreen() {
    if (!screen.bits || !canvasImage->bits) return;
    const int w = std::min(clientWidth, canvasImage->width), h = std::min(clientHeight, canvasImage->height);
    dib24 view;
    view.Create(canvasImage->width, canvasImage->height);
    std::memcpy(view.bits, canvasImage->bits, static_cast<size_t>(view.stride) * view.height);
    CompositeStroke(view, strokeBuffer.surface, strokeBuffer.coverage.get(), strokeBuffer.dirty, nullptr);
    for (int y = 0; y < h; ++y) {
      Check(std::memcmp(Pixel(screen, 0, y), Pixel(view, 0, y), 3 * static_cast<size_t>(w)) == 0,
            "the screen shows a stale pixel");
    }
  }

  Input& in_;
  // The tablet context.
  TabletMapping mapping = {};
  double inExtX = 1, inExtY = 1, pressureMax = 1;
  int clientLeft = 0, clientTop = 0, clientWidth = 0, clientHeight = 0;
  bool penDown = false;
  bool lost = false;
  PenSample sample = {0, 0, 0};
  unsigned cursor = 0, button = 0, change = 0;
  double penX = 0, penY = 0;
  long long walked = 0;  // candidates of all segments so far
  // The canvas.
  std::unique_ptr<dib24> canvasImage;
  PenStroke pen;
  BrushBuff& strokeBuffer = pen.strokeBuffer;
  StrokeColor color = {0, 0, 0, 255};
  dib24 screen;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  PenPath path(in);
  path.Run();
  return 0;
}
