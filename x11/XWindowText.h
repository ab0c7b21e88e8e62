// What the window manager is told about the programs' windows: titles as
// UTF-8 (_NET_WM_NAME, and WM_NAME in the locale's encoding), a fixed size,
// and the close button as a message rather than the end of the connection.
#pragma once
#include <X11/Xlib.h>

void SetWindowTitle(Display* display, Window window, const char* utf8);
void SetFixedSize(Display* display, Window window, int x, int y, int width, int height);
void AcceptClose(Display* display, Window window);
// Whether a ClientMessage is the window manager's close (WM_DELETE_WINDOW).
bool IsClose(Display* display, const XEvent& event);
