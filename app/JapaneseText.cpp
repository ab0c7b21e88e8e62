#include "app/JapaneseText.h"

namespace {

const UINT kShiftJis = 932;
const int kMaxText = 256;
const char kPrevProcProp[] = "Unicode Caption Prev Proc";

// An ANSI window answers WM_GETTEXT in the ANSI code page, where the caption's
// characters may not exist. In front of it this Unicode procedure answers the
// text questions from the stored UTF-16 text and passes everything else on,
// translated, to the window's own procedure.
LRESULT CALLBACK UnicodeCaptionProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) return DefWindowProcW(window, msg, wParam, lParam);
  WNDPROC prevProc = reinterpret_cast<WNDPROC>(GetPropA(window, kPrevProcProp));
  if (!prevProc) return DefWindowProcW(window, msg, wParam, lParam);
  const LRESULT result = CallWindowProcW(prevProc, window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemovePropA(window, kPrevProcProp);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevProc));
  }
  return result;
}

}  // namespace

bool ShiftJisToWide(const char* text, wchar_t* out, int capacity) {
  if (!text || !out || capacity <= 0 || !IsValidCodePage(kShiftJis)) return false;
  return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text, -1, out, capacity) > 0;
}

void SetShiftJisCaption(HWND window, const char* text) {
  wchar_t caption[kMaxText];
  if (!IsWindow(window) || !ShiftJisToWide(text, caption, kMaxText)) return;
  // Stored as given, without a round trip through the ANSI code page.
  DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
  if (GetPropA(window, kPrevProcProp)) return;
  // Read through the W function, the value is one that CallWindowProcW
  // translates for the ANSI procedure behind it.
  const LONG_PTR prevProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (!prevProc) return;
  SetPropA(window, kPrevProcProp, reinterpret_cast<HANDLE>(prevProc));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UnicodeCaptionProc));
}

int ShiftJisMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  wchar_t wideText[kMaxText];
  wchar_t wideCaption[kMaxText];
  if (ShiftJisToWide(text, wideText, kMaxText) && ShiftJisToWide(caption, wideCaption, kMaxText))
    return MessageBoxW(owner, wideText, wideCaption, type);
  return MessageBoxA(owner, text, caption, type);
}
