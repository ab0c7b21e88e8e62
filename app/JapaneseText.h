// The program's Japanese texts, kept as Shift-JIS (code page 932) bytes, and
// the means to show them as Unicode whatever the system's ANSI code page is:
// handed to the ANSI window functions as they are, they read right only where
// that code page is 932.
#pragma once
#include <windows.h>

// U+8272 U+9078 U+629E, "colour selection": the colour picker's caption.
inline constexpr char kColorPickerCaption[] = "\x90\x46\x91\x49\x91\xf0";
// "Tablet" and U+30B3 U+30F3 U+30C6 U+30AD U+30B9 U+30C8 U+304C U+751F U+6210
// U+3067 U+304D U+307E U+305B U+3093 ".": the tablet context cannot be created.
inline constexpr char kTabletContextErrorText[] =
    "Tablet\x83\x52\x83\x93\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xaa\x90\xb6\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9"
    "\x82\xf1.";

// Converts zero-terminated Shift-JIS text into out, which holds capacity
// UTF-16 units with the terminating zero. False when code page 932 is not
// available, the text is no valid Shift-JIS, or it does not fit.
bool ShiftJisToWide(const char* text, wchar_t* out, int capacity);

// Gives the window the Shift-JIS text as its Unicode caption, and puts a small
// Unicode procedure in front of the window's own one so that the caption also
// reads back in full through GetWindowTextW. Without code page 932 (or for
// text that is no Shift-JIS) the window keeps the caption it has.
void SetShiftJisCaption(HWND window, const char* text);

// MessageBoxW with text and caption converted from Shift-JIS; without code
// page 932, MessageBoxA with the bytes as they are.
int ShiftJisMessageBox(HWND owner, const char* text, const char* caption, UINT type);
