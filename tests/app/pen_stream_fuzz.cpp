// libFuzzer target for the pen path from a tablet packet to the pixels on the
// screen. Arbitrary bytes become a screen and tablet geometry and a stream of
// events: packets near the pen's last place or anywhere at all, with any
// pressure, cursor and buttons; lost packets; colour changes; display changes;
// loaded canvases; windows moved, minimised and restored. They run through the
// code the canvas runs (the packet mapping and pen-state table of PenPacket,
// the pen handling of PenStroke with the filter, the stroke buffer and the
// compositing), wired as the tablet context and the canvas window wire them.
//
// Checked after every segment: the dirty rectangle lies within the stroke
// buffer and holds every touched pixel; the segment changes only pixels in
// the rectangle it reports for repainting (the buffer wherever the segment's
// dabs can reach compared with a copy of it as last checked, and all of it
// before a commit or a load and at the end of every input); its walk is
// bounded; and the screen, repainted
// only there, shows exactly the canvas with the stroke over it there. As a
// segment can change nothing else, the whole screen is compared only after
// what can change it as a whole (a commit, a load, a display change, a moved,
// minimised or restored window) and at the end of every input. A commit
// changes the canvas only within the dirty rectangle and empties the stroke
// buffer. ASan and UBSan watch every access and computation.
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

// The checks' own loops: their comparisons (UBSan's pointer checks among
// them) and branches tell the fuzzer nothing about the code under test, and
// traced they cost a fifth of its time.
#define UNTRACED __attribute__((no_sanitize("coverage")))

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

const int kMaxSide = 64;  // canvases and client areas: small, so that every check stays cheap
const double kBrushSize = 3.0;
const double kWalkBudget = 1 << 14;  // candidates of all walks of an input

// The stroke buffer's pixels (colour bytes and coverage) as last checked,
// laid out as in the buffer.
struct StrokeCopy {
  std::vector<uint8_t> bytes;
  std::vector<float> coverage;
  void Take(const BrushBuff& b) {
    const dib32& s = b.surface;
    bytes.assign(s.bits, s.bits + static_cast<size_t>(s.stride) * s.height);
    coverage.assign(b.coverage.get(), b.coverage.get() + static_cast<size_t>(s.width) * s.height);
  }
  // Takes the pixels of `area` (within the buffer) as they are now.
  UNTRACED void Update(const BrushBuff& b, const RECT& area) {
    const dib32& s = b.surface;
    for (int row = area.top; row < area.bottom; ++row) {
      const size_t at = static_cast<size_t>(s.height - 1 - row) * s.stride + 4 * area.left;
      const size_t cell = static_cast<size_t>(row) * s.width + area.left;
      std::memcpy(&bytes[at], s.bits + at, 4 * static_cast<size_t>(area.right - area.left));
      std::memcpy(&coverage[cell], &b.coverage[cell], sizeof(float) * (area.right - area.left));
    }
  }
  UNTRACED bool Same(const BrushBuff& b) const {
    return bytes.empty() || (std::memcmp(bytes.data(), b.surface.bits, bytes.size()) == 0 &&
                             std::memcmp(coverage.data(), b.coverage.get(), sizeof(float) * coverage.size()) == 0);
  }
  // The same, within `area` only.
  UNTRACED bool Same(const BrushBuff& b, const RECT& area) const {
    const dib32& s = b.surface;
    for (int row = area.top; row < area.bottom; ++row) {
      const size_t at = static_cast<size_t>(s.height - 1 - row) * s.stride + 4 * area.left;
      const size_t cell = static_cast<size_t>(row) * s.width + area.left;
      if (std::memcmp(&bytes[at], s.bits + at, 4 * static_cast<size_t>(area.right - area.left)) != 0 ||
          std::memcmp(&coverage[cell], &b.coverage[cell], sizeof(float) * (area.right - area.left)) != 0) {
        return false;
      }
    }
    return true;
  }
};

bool Inside(const RECT& r, int col, int row) { return col >= r.left && col < r.right && row >= r.top && row < r.bottom; }

// Rows y0..y1 of an image from column x0 on: the first row's first byte and
// the step to the next row (rows lie bottom-up).
struct Rows {
  unsigned char* first;
  std::ptrdiff_t step;
  Rows(const dib24& image, int x0, int y0)
      : first(image.bits + static_cast<std::ptrdiff_t>(image.height - 1 - y0) * image.stride + 3 * x0),
        step(-static_cast<std::ptrdiff_t>(image.stride)) {}
  UNTRACED unsigned char* operator[](int k) const { return first + k * step; }
};

// The masks take a while to build: once per process, lent to each run.
Brush& Masks() {
  static Brush* masks = [] {
    Brush* b = new Brush;
    b->BuildLevels();
    return b;
  }();
  return *masks;
}

// The bytes of the pictures loaded: byte i of a picture of width w is
// (i + w) * 37 modulo 256.
const uint8_t* Picture() {
  static const uint8_t* bytes = [] {
    uint8_t* b = new uint8_t[(3 * kMaxSide + 3) * kMaxSide + kMaxSide];
    for (int i = 0; i < (3 * kMaxSide + 3) * kMaxSide + kMaxSide; ++i) b[i] = static_cast<uint8_t>(i * 37);
    return b;
  }();
  return bytes;
}

// What every input needs, kept from one input to the next (images are made
// again only for a new size): allocating it anew cost more than the checks.
struct Kept {
  dib24 screen;
  // For the checks: the stroke buffer as last checked, the canvas before a
  // commit, and the canvas with the stroke over it.
  StrokeCopy seen;
  std::vector<uint8_t> canvasBefore;
  dib24 view;
};
Kept& Scratch() {
  static Kept kept;
  return kept;
}

// The tablet context and the canvas window, without a driver or a window.
class PenPath {
 public:
  explicit PenPath(Input& in) : in_(in) {
    Brush& masks = Masks();
    strokeBuffer.brush.baseSize = masks.baseSize;
    strokeBuffer.brush.oversampling = masks.oversampling;
    strokeBuffer.brush.levels.swap(masks.levels);
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
    seen.Take(strokeBuffer);
    Resized();
  }
  ~PenPath() { strokeBuffer.brush.levels.swap(Masks().levels); }

  void Run() {
    while (!in_.Empty() && !ended) {
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
        CheckScreen(nullptr);
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
    }
    CheckAllRepainted();
    CheckScreen(nullptr);
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
      if (Segment() && pen.EndsAtLift(cursor, button, change)) Commit();
    }
  }

  // Each segment's walk is bounded, but a far-off packet still makes walks of
  // up to SegmentWalk::kMaxCandidates candidates, nearly all of them off the
  // buffer, for the next few packets. A walk that would take more than the
  // input's budget ends the input before it, so that the time goes to many
  // inputs instead; walks too long for that rule to apply are cut to the part
  // near the buffer and are always taken. The segment runs to the filter's
  // next average, which moves by the sample's distance from the oldest one
  // over the history's length.
  bool LongWalkAhead() const {
    const AxisFilter& f = pen.penFilter;
    if (!f.xHistory || !f.yHistory) return false;
    const double along = std::max(std::fabs(sample.x - f.xHistory[0]), std::fabs(sample.y - f.yHistory[0]));
    const double candidates = along / f.positionCount / SegmentWalk::Step(pen.brushSize);
    return candidates <= SegmentWalk::kMaxCandidates && walked + candidates > kWalkBudget;
  }

  bool Segment() {
    if (!pen.strokeActive) {
      RECT unused;
      Check(!pen.Segment(sample, unused), "a segment outside a stroke");
      return true;
    }
    if (LongWalkAhead()) {
      ended = true;
      return false;
    }
    const double x0 = pen.prevX, y0 = pen.prevY, p0 = pen.prevPressure;
    const RECT dirtyBefore = strokeBuffer.dirty;
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

    if (drawn) Check(changed.left < changed.right && changed.top < changed.bottom, "an empty repaint rectangle");
    // The pixels inside the repaint rectangle taken as they are now, every
    // other pixel as it was.
    const RECT area = drawn ? Clipped(changed, w, h) : RECT{0, 0, 0, 0};
    seen.Update(strokeBuffer, area);
    Check(seen.Same(strokeBuffer, Reach(x0, y0, pen.prevX, pen.prevY, w, h)), "a changed pixel not repainted");
    // Touched pixels elsewhere lay in the dirty rectangle before; they still
    // do unless it lost some of its area.
    const RECT& d = strokeBuffer.dirty;
    const bool kept = IsEmptyDirty(dirtyBefore, w, h) || (d.left <= dirtyBefore.left && d.top <= dirtyBefore.top &&
                                                          d.right >= dirtyBefore.right && d.bottom >= dirtyBefore.bottom);
    CheckDirty(kept ? &area : nullptr);
    if (drawn) {
      Repaint(&changed);
      const RECT shown = Clipped(changed, clientWidth, clientHeight);
      CheckScreen(&shown);
    }
    return true;
  }

  void Commit() {
    CheckAllRepainted();
    const dib24& image = *canvasImage;
    canvasBefore.assign(image.bits, image.bits + static_cast<size_t>(image.stride) * image.height);
    const RECT dirty = Clipped(strokeBuffer.dirty, image.width, image.height);
    pen.Commit(canvasImage.get());
    Check(!pen.strokeActive, "a stroke goes on after its commit");
    for (int row = 0; row < image.height; ++row) {
      const uint8_t* was = &canvasBefore[static_cast<size_t>(image.height - 1 - row) * image.stride];
      const uint8_t* now = image.Row(row);
      const bool same = row < dirty.top || row >= dirty.bottom
                            ? std::memcmp(was, now, 3 * static_cast<size_t>(image.width)) == 0
                            : std::memcmp(was, now, 3 * static_cast<size_t>(dirty.left)) == 0 &&
                                  std::memcmp(was + 3 * dirty.right, now + 3 * dirty.right,
                                              3 * static_cast<size_t>(image.width - dirty.right)) == 0;
      Check(same, "a commit outside the stroke");
    }
    static const uint8_t zeros[4 * kMaxSide * kMaxSide] = {};
    const dib32& s = strokeBuffer.surface;
    Check(!s.bits || std::memcmp(s.bits, zeros, static_cast<size_t>(s.stride) * s.height) == 0,
          "the stroke buffer is not empty after the commit");
    Check(!strokeBuffer.coverage || std::memcmp(strokeBuffer.coverage.get(), zeros, sizeof(float) * s.width * s.height) == 0,
          "coverage left after the commit");
    seen.Take(strokeBuffer);
    CheckDirty(nullptr);
    Repaint(nullptr);
    CheckScreen(nullptr);
  }

  // As LoadCanvas once the file is read: the stroke buffer emptied at the
  // new size, then the canvas replaced; the stroke goes on. A size whose
  // buffer cannot be had leaves everything as it was.
  void Load(int width, int height) {
    CheckAllRepainted();
    std::unique_ptr<dib24> image(new dib24);
    image->Create(width, height);
    if (!image->bits) return;  // what the reader refuses leaves everything as it was
    std::memcpy(image->bits, Picture() + width, static_cast<size_t>(image->stride) * image->height);
    if (!strokeBuffer.Resize(width, height)) return;
    canvasImage = std::move(image);
    seen.Take(strokeBuffer);
    CheckDirty(nullptr);
    Repaint(nullptr);
    CheckScreen(nullptr);
  }

  // Where a segment's dabs can reach: the box of its ends grown by the
  // largest dab and a margin, within the buffer.
  static RECT Reach(double x0, double y0, double x1, double y1, int w, int h) {
    const double margin = kBrushSize + 2;
    const auto at = [](double v, int limit) { return static_cast<LONG>(std::min<double>(std::max(v, 0.0), limit)); };
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return RECT{0, 0, w, h};
    return RECT{at(std::floor(std::min(x0, x1) - margin), w), at(std::floor(std::min(y0, y1) - margin), h),
                at(std::ceil(std::max(x0, x1) + margin), w), at(std::ceil(std::max(y0, y1) + margin), h)};
  }

  // Every pixel changed since the last full check lies where it was reported.
  void CheckAllRepainted() const { Check(seen.Same(strokeBuffer), "a changed pixel not repainted"); }

  static bool IsEmptyDirty(const RECT& d, int w, int h) { return d.left == w && d.top == h && d.right == 0 && d.bottom == 0; }

  static RECT Clipped(const RECT& r, int w, int h) {
    RECT c = {std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, w), std::min<LONG>(r.bottom, h)};
    if (c.left >= c.right || c.top >= c.bottom) c = RECT{0, 0, 0, 0};
    return c;
  }

  // The dirty rectangle within the buffer (or empty), and the coverage of the
  // pixels in `area` (everywhere when null) within 0..1, and 0 outside the
  // dirty rectangle. Rows of +0 only are passed over whole.
  UNTRACED void CheckDirty(const RECT* area) {
    const RECT& d = strokeBuffer.dirty;
    const int w = strokeBuffer.surface.width, h = strokeBuffer.surface.height;
    const bool empty = IsEmptyDirty(d, w, h);
    Check(empty || (0 <= d.left && d.left < d.right && d.right <= w && 0 <= d.top && d.top < d.bottom && d.bottom <= h),
          "a dirty rectangle outside the buffer");
    const RECT r = area ? *area : RECT{0, 0, w, h};
    static const float zeros[kMaxSide] = {};
    for (int row = r.top; row < r.bottom; ++row) {
      const float* coverage = &strokeBuffer.coverage[static_cast<size_t>(row) * w];
      if (std::memcmp(coverage + r.left, zeros, sizeof(float) * (r.right - r.left)) == 0) continue;
      for (int col = r.left; col < r.right; ++col) {
        if (coverage[col] != 0) Check(!empty && Inside(d, col, row), "a touched pixel outside the dirty rectangle");
        Check(coverage[col] >= 0 && coverage[col] <= 1, "coverage outside 0..1");
      }
    }
  }

  // WM_SIZE: the window shows nothing of the old area until it is painted,
  // which the system asks for once it is visible again.
  void Resized() {
    if (screen.width != clientWidth || screen.height != clientHeight || !screen.bits) {
      screen.Create(clientWidth, clientHeight);
    } else {
      std::memset(screen.bits, 0, static_cast<size_t>(screen.stride) * screen.height);  // as a new one
    }
    Repaint(nullptr);
    CheckScreen(nullptr);
  }

  // As the canvas's paint: the canvas image copied, the stroke blended over it
  // within the paint rectangle, which lies within the client area.
  UNTRACED void Repaint(const RECT* rect) {
    const RECT r = Clipped(rect ? *rect : RECT{0, 0, clientWidth, clientHeight}, clientWidth, clientHeight);
    if (!screen.bits || !canvasImage->bits) return;
    const int right = std::min(static_cast<int>(r.right), canvasImage->width);
    const int bottom = std::min(static_cast<int>(r.bottom), canvasImage->height);
    if (r.left < right && r.top < bottom) {
      const Rows to(screen, r.left, r.top), from(*canvasImage, r.left, r.top);
      for (int k = 0; k < bottom - r.top; ++k) std::memcpy(to[k], from[k], 3 * static_cast<size_t>(right - r.left));
    }
    CompositeStroke(screen, strokeBuffer.surface, strokeBuffer.coverage.get(), strokeBuffer.dirty, &r);
  }

  // What the screen shows where the canvas lies, within `rect` of the client
  // area (all of it when null): the canvas with the stroke over it, blended
  // as a commit blends it.
  UNTRACED void CheckScreen(const RECT* rect) {
    if (!screen.bits || !canvasImage->bits) return;
    const int w = std::min(clientWidth, canvasImage->width), h = std::min(clientHeight, canvasImage->height);
    const RECT r = Clipped(rect ? *rect : RECT{0, 0, w, h}, w, h);
    if (r.left >= r.right) return;
    if (view.width != canvasImage->width || view.height != canvasImage->height) view.Create(canvasImage->width, canvasImage->height);
    if (!view.bits) return;
    const size_t bytes = 3 * static_cast<size_t>(r.right - r.left);
    const Rows shown(screen, r.left, r.top), expected(view, r.left, r.top), canvas(*canvasImage, r.left, r.top);
    for (int k = 0; k < r.bottom - r.top; ++k) std::memcpy(expected[k], canvas[k], bytes);
    const RECT& d = strokeBuffer.dirty;
    const RECT blended = {std::max(d.left, r.left), std::max(d.top, r.top), std::min(d.right, r.right),
                          std::min(d.bottom, r.bottom)};
    CompositeStroke(view, strokeBuffer.surface, strokeBuffer.coverage.get(), blended, nullptr);
    for (int k = 0; k < r.bottom - r.top; ++k) {
      Check(std::memcmp(shown[k], expected[k], bytes) == 0, "the screen shows a stale pixel");
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
  bool ended = false;    // before a walk beyond the budget
  // The canvas.
  std::unique_ptr<dib24> canvasImage;
  PenStroke pen;
  BrushBuff& strokeBuffer = pen.strokeBuffer;
  StrokeColor color = {0, 0, 0, 255};
  dib24& screen = Scratch().screen;
  StrokeCopy& seen = Scratch().seen;
  std::vector<uint8_t>& canvasBefore = Scratch().canvasBefore;
  dib24& view = Scratch().view;
};

}  // namespace

// Each input frees all it allocated. A small quarantine still catches a use
// after free within the last hundred inputs or so, where the default one
// (256 MB) hands every allocation memory gone cold. The code under test calls
// no memcmp: only the checks do, over ranges within their buffers.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16:intercept_memcmp=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  PenPath path(in);
  path.Run();
  return 0;
}
