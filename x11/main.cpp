// inkstone and inkstone-disc for X11: the canvas window and its picker, pen
// input through XInput 2. The first argument, when given, is a BMP file that
// becomes the canvas.
#include <X11/Xlib.h>

#include <clocale>
#include <cstdio>

#include "x11/XCanvas.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "%s: cannot open the display \"%s\"\n", argv[0], XDisplayName(nullptr));
    return 1;
  }
  {
    XCanvas canvas;
    if (!canvas.Create(display)) {
      std::fprintf(stderr, "%s: the display offers no TrueColor visual\n", argv[0]);
      XCloseDisplay(display);
      return 1;
    }
    if (argc > 1) canvas.LoadCanvas(argv[1]);
    XEvent event;
    do {
      XNextEvent(display, &event);
    } while (canvas.Handle(event));
  }
  XCloseDisplay(display);
  return 0;
}
