// A notice the user can see, in a window of its own ("Info"), for what the
// Windows programs say in a message box: the program runs on meanwhile, and
// a click or the close button dismisses it. The text is drawn with Xft, so
// that fontconfig finds a font with its Japanese characters.
#pragma once
#include <X11/Xlib.h>

#include <string>

class XNotice {
 public:
  XNotice() = default;
  XNotice(const XNotice&) = delete;
  XNotice& operator=(const XNotice&) = delete;
  ~XNotice() { Dismiss(); }

  // Shows `utf8` in a window titled `title`, beside `owner`'s top-left corner.
  void Show(Display* display, Window owner, const char* title, const char* utf8);
  // A core event of the notice's window; false for other windows' events.
  bool Handle(const XEvent& event);
  void Dismiss();

  Window window = 0;

 private:
  void Paint();

  Display* display_ = nullptr;
  std::string text_;
  int width_ = 0, height_ = 0;
};
