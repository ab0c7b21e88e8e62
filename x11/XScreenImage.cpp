#include "x11/XScreenImage.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// Set by the error handler while the shared segment is attached: a server
// that cannot reach the segment (another machine) answers with an error.
bool attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
  attachFailed = true;
  return 0;
}

int ShiftOf(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++shift;
  return shift;
}
}  // namespace

bool XScreenImage::Create(Display* display, int width, int height) {
  Release();
  display_ = display;
  const int screen = DefaultScreen(display);
  Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  if (visual->c_class != TrueColor || width <= 0 || height <= 0) return false;
  redShift_ = ShiftOf(visual->red_mask);
  greenShift_ = ShiftOf(visual->green_mask);
  blueShift_ = ShiftOf(visual->blue_mask);

  if (XShmQueryExtension(display)) {
    image_ = XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &segment_, width, height);
    if (image_) {
      segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
      segment_.shmaddr = segment_.shmid >= 0 ? static_cast<char*>(shmat(segment_.shmid, nullptr, 0)) : nullptr;
      if (segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char*>(-1)) {
        image_->data = segment_.shmaddr;
        segment_.readOnly = True;
        XSync(display, False);
        attachFailed = false;
        XErrorHandler previous = XSetErrorHandler(NoteAttachError);
        XShmAttach(display, &segment_);
        XSync(display, False);
        XSetErrorHandler(previous);
        shared_ = !attachFailed;
      }
      // Marked for removal at once: it goes when both sides have detached,
      // also when the program ends without Release.
      if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
      if (!shared_) {
        if (segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
      }
    }
  }
  if (!image_) {
    image_ = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!image_) return false;
    image_->data = static_cast<char*>(std::calloc(static_cast<size_t>(image_->bytes_per_line), height));
    if (!image_->data) {
      XDestroyImage(image_);
      image_ = nullptr;
      return false;
    }
  }
  return true;
}

void XScreenImage::Release() {
  if (!image_) return;
  WaitForCompletion();
  if (shared_) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    shmdt(segment_.shmaddr);
    image_->data = nullptr;
  }
  XDestroyImage(image_);  // frees the plain image's pixels
  image_ = nullptr;
  shared_ = false;
}

void XScreenImage::Convert(const dib24& source, int left, int top, int right, int bottom) {
  const bool plain32 = image_->bits_per_pixel == 32 && image_->byte_order == LSBFirst && redShift_ == 16 &&
                       greenShift_ == 8 && blueShift_ == 0;
  for (int y = top; y < bottom; ++y) {
    const unsigned char* from = y < source.height ? source.Row(y) : nullptr;
    uint32_t* to = reinterpret_cast<uint32_t*>(image_->data + static_cast<size_t>(y) * image_->bytes_per_line);
    for (int x = left; x < right; ++x) {
      unsigned long pixel = 0;
      if (from && x < source.width) {
        const unsigned char* p = from + 3 * x;
        pixel = (static_cast<unsigned long>(p[2]) << redShift_) | (static_cast<unsigned long>(p[1]) << greenShift_) |
                (static_cast<unsigned long>(p[0]) << blueShift_);
      }
      if (plain32) {
        to[x] = static_cast<uint32_t>(pixel);
      } else {
        XPutPixel(image_, x, y, pixel);
      }
    }
  }
}

void XScreenImage::Put(Window window, GC gc, const dib24& source, int left, int top, int right, int bottom) {
  if (!image_) return;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > image_->width) right = image_->width;
  if (bottom > image_->height) bottom = image_->height;
  if (left >= right || top >= bottom) return;
  drawable_ = window;
  // The shared pixels may be written again once the server has read the last
  // ones (it says so with a completion event); plain XPutImage copies them
  // into the request at once.
  WaitForCompletion();
  Convert(source, left, top, right, bottom);
  const unsigned w = right - left, h = bottom - top;
  if (shared_) {
    XShmPutImage(display_, window, gc, image_, left, top, left, top, w, h, True);
    pending_ = true;
  } else {
    XPutImage(display_, window, gc, image_, left, top, left, top, w, h);
  }
  XFlush(display_);
}

namespace {
struct CompletionOf {
  int type;
  Drawable drawable;
};
Bool IsCompletion(Display*, XEvent* event, XPointer context) {
  const CompletionOf& of = *reinterpret_cast<CompletionOf*>(context);
  return event->type == of.type && reinterpret_cast<XShmCompletionEvent*>(event)->drawable == of.drawable;
}
}  // namespace

bool XScreenImage::TakeCompletion(const XEvent& event) {
  if (!pending_) return false;
  CompletionOf of = {XShmGetEventBase(display_) + ShmCompletion, drawable_};
  if (!IsCompletion(display_, const_cast<XEvent*>(&event), reinterpret_cast<XPointer>(&of))) return false;
  pending_ = false;
  return true;
}

void XScreenImage::WaitForCompletion() {
  if (!pending_) return;
  CompletionOf of = {XShmGetEventBase(display_) + ShmCompletion, drawable_};
  XEvent event;
  XIfEvent(display_, &event, IsCompletion, reinterpret_cast<XPointer>(&of));
  pending_ = false;
}
