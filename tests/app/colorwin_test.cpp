// The colour picker with a real window under Wine: placement, caption, the
// exact pixels of bars and markers on screen, real clicks and drags; and the
// Japanese texts on a system whose ANSI code page is not 932.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ColorWin.h"
#include "app/JapaneseText.h"
#include "tests/support/PickerScreen.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestWindows.h"

namespace {

const DWORD kStyle = 0xCA0000;  // caption, system menu, minimise box
const wchar_t kCaption[] = L"\u8272\u9078\u629e";
const wchar_t kTabletError[] =
    L"Tablet\u30b3\u30f3\u30c6\u30ad\u30b9\u30c8\u304c\u751f\u6210\u3067\u304d\u307e\u305b\u3093.";

// A picker that also records the messages it gets.
class LoggedColorWin : public ColorWin {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back(msg);
    return ColorWin::WindowProc(msg, wParam, lParam);
  }
  std::vector<UINT> log;
};

// Opens the picker the way the canvas does, against the owner's right edge.
void OpenPicker(ColorWin& picker, HWND owner) {
  RECT size = {0, 0, 280, 140};
  AdjustWindowRect(&size, kStyle, FALSE);
  RECT outer;
  GetWindowRect(owner, &outer);
  ASSERT_TRUE(picker.Create(WS_EX_TOOLWINDOW, kColorPickerCaption, kStyle, outer.right, outer.top,
                            size.right - size.left, size.bottom - size.top, owner, nullptr, nullptr));
  ShowWindow(picker.hwnd, SW_SHOW);
  picker.RefreshBars();
}

uint32_t StoredPixel(const dib24& image, int c, int r) {
  const unsigned char* p = image.Row(r) + 3 * c;
  return Rgb(p[2], p[1], p[0]);
}

// Compares what the window shows with what it should, the button face around
// the four bars with their markers.
void ExpectScreen(HWND window, const StrokeColor& k) {
  testwin::Pump();
  RECT client;
  GetClientRect(window, &client);
  ASSERT_EQ(client.right, 280);
  ASSERT_GE(client.bottom, 140);
  std::string difference;
  EXPECT_TRUE(PickerShows(window, k, &difference)) << difference;
}

void ExpectColor(const ColorWin& picker, int blue, int green, int red, int alpha) {
  EXPECT_EQ(picker.color.blue, blue);
  EXPECT_EQ(picker.color.green, green);
  EXPECT_EQ(picker.color.red, red);
  EXPECT_EQ(picker.color.alpha, alpha);
}

class ColorWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RECT size = {0, 0, 600, 600};
    AdjustWindowRect(&size, kStyle, FALSE);
    ASSERT_TRUE(owner.Create(0, "Owner", kStyle, 20, 20, size.right - size.left, size.bottom - size.top, nullptr,
                             nullptr, nullptr));
    ShowWindow(owner.hwnd, SW_SHOW);
    UpdateWindow(owner.hwnd);
    OpenPicker(picker, owner.hwnd);
    testwin::Pump();
  }
  void TearDown() override {
    if (owner.hwnd) DestroyWindow(owner.hwnd);
    testwin::Pump();
  }
  // Drives the mouse to a client point of the picker (outside it too).
  void MoveTo(int x, int y) { testwin::MoveMouse(testwin::ToScreen(picker.hwnd, x, y)); }
  // A press that comes as a double click sets the value all the same.
  void Click(int x, int y) {
    MoveTo(x, y);
    testwin::LeftDown();
    testwin::LeftUp();
    testwin::Pump();
  }

  NWindow owner;
  LoggedColorWin picker;
};

TEST_F(ColorWinTest, ToolWindowAgainstTheOwnersRightEdge) {
  RECT client, outer, ownerRect;
  GetClientRect(picker.hwnd, &client);
  GetWindowRect(picker.hwnd, &outer);
  GetWindowRect(owner.hwnd, &ownerRect);
  // The outer size is that of a 280 x 140 client area under a normal caption;
  // the tool window's caption is smaller, and its client area taller by that.
  EXPECT_EQ(client.right, 280);
  EXPECT_EQ(client.bottom, 140 + GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYSMCAPTION));
  EXPECT_EQ(outer.left, ownerRect.right);
  EXPECT_EQ(outer.top, ownerRect.top);
  RECT adjusted = {0, 0, 280, 140};
  AdjustWindowRect(&adjusted, kStyle, FALSE);
  EXPECT_EQ(outer.right - outer.left, adjusted.right - adjusted.left);
  EXPECT_EQ(outer.bottom - outer.top, adjusted.bottom - adjusted.top);
  EXPECT_EQ(GetWindow(picker.hwnd, GW_OWNER), owner.hwnd);
  EXPECT_TRUE(GetWindowLongPtrA(picker.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindowLongPtrA(picker.hwnd, GWL_STYLE) & kStyle, static_cast<LONG_PTR>(kStyle));
  EXPECT_EQ(GetPropA(picker.hwnd, "NWindow Prop Name"), static_cast<HANDLE>(&picker));
  // A tool window without a sizing border: no icon, a trimmed system menu.
  EXPECT_EQ(SendMessageA(picker.hwnd, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(SendMessageA(picker.hwnd, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_FALSE(testwin::HasSystemCommand(picker.hwnd, SC_MINIMIZE));
  EXPECT_FALSE(testwin::HasSystemCommand(picker.hwnd, SC_MAXIMIZE));
  EXPECT_FALSE(testwin::HasSystemCommand(picker.hwnd, SC_SIZE));
}

// The prefix runs with code page 1252, where the Shift-JIS caption handed to
// the ANSI functions would read as three unknown characters.
TEST_F(ColorWinTest, CaptionReadsBackAsUnicodeUnderAnotherCodePage) {
  EXPECT_NE(GetACP(), 932u);
  wchar_t text[32] = {};
  EXPECT_EQ(GetWindowTextW(picker.hwnd, text, 32), 3);
  EXPECT_STREQ(text, kCaption);
  EXPECT_EQ(GetWindowTextLengthW(picker.hwnd), 3);
  wchar_t stored[32] = {};
  InternalGetWindowText(picker.hwnd, stored, 32);
  EXPECT_STREQ(stored, kCaption);
}

// The caption strip (above the client area) as the screen shows it.
Capture CaptionStrip(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  POINT client = {0, 0};
  ClientToScreen(window, &client);
  return CaptureScreen(outer.left, outer.top, outer.right - outer.left, client.y - outer.top);
}

// The caption shows the glyphs of its characters, not the empty boxes of a
// font that lacks them: compared with the same caption showing characters
// that no font has. (Wine's own caption font has no Japanese: the project's
// prefixes link it to a font that has.)
TEST_F(ColorWinTest, CaptionShowsItsGlyphsNotEmptyBoxes) {
  const std::vector<uint8_t> shown = CaptionStrip(picker.hwnd).bgr;
  DefWindowProcW(picker.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\xE000\xE001\xE002"));
  testwin::Pump();
  const std::vector<uint8_t> boxes = CaptionStrip(picker.hwnd).bgr;
  DefWindowProcW(picker.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kCaption));
  testwin::Pump();
  EXPECT_NE(shown, boxes) << "the caption shows empty boxes: no font with Japanese glyphs";
  EXPECT_EQ(CaptionStrip(picker.hwnd).bgr, shown) << "the caption reads the same once restored";
}

// The face of a button of a normal caption (within its edges, two pixels
// wide), as DrawFrameControl draws it in the window's client area.
Capture CaptionButtonFace(HWND window, UINT kind) {
  RECT button = {0, 0, GetSystemMetrics(SM_CXSIZE) - 2, GetSystemMetrics(SM_CYSIZE) - 4};
  HDC dc = GetDC(window);
  DrawFrameControl(dc, &button, DFC_CAPTION, kind);
  ReleaseDC(window, dc);
  testwin::Pump();  // on the screen once this thread is idle
  const Capture client = CaptureClient(window);
  Capture face;
  face.width = button.right - 4;
  face.height = button.bottom - 4;
  for (int y = 2; y < button.bottom - 2; ++y)
    face.bgr.insert(face.bgr.end(), client.At(2, y), client.At(2, y) + 3 * face.width);
  return face;
}

// Whether the picture holds the patch somewhere, pixel for pixel.
bool Holds(const Capture& picture, const Capture& patch) {
  const size_t rowBytes = static_cast<size_t>(patch.width) * 3;
  for (int top = 0; top + patch.height <= picture.height; ++top)
    for (int left = 0; left + patch.width <= picture.width; ++left) {
      int y = 0;
      while (y < patch.height && std::equal(patch.At(0, y), patch.At(0, y) + rowBytes, picture.At(left, top + y))) ++y;
      if (y == patch.height) return true;
    }
  return false;
}

// Wine draws the close and minimise buttons with the characters "r" and "0" of
// the symbol font Marlett: a cross and a bar where the font is installed, those
// very letters where it is missing (the project's prefixes link Wine's own).
TEST_F(ColorWinTest, CaptionButtonsShowTheSymbolFontsGlyphsNotLetters) {
  HDC dc = GetDC(owner.hwnd);
  LOGFONTA symbol = {};
  symbol.lfCharSet = SYMBOL_CHARSET;
  lstrcpyA(symbol.lfFaceName, "Marlett");
  HGDIOBJ old = SelectObject(dc, CreateFontIndirectA(&symbol));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  DeleteObject(SelectObject(dc, old));
  ReleaseDC(owner.hwnd, dc);
  EXPECT_STREQ(face, "Marlett") << "the symbol font is missing: the caption buttons show letters";

  const Capture strip = CaptionStrip(owner.hwnd);
  EXPECT_TRUE(Holds(strip, CaptionButtonFace(owner.hwnd, DFCS_CAPTIONCLOSE))) << "no close button drawn so";
  EXPECT_TRUE(Holds(strip, CaptionButtonFace(owner.hwnd, DFCS_CAPTIONMIN))) << "no minimise button drawn so";
}

TEST_F(ColorWinTest, StartsOpaqueBlackWithTheMarkersAtTheirEnds) {
  ExpectColor(picker, 0, 0, 0, 255);
  EXPECT_EQ(picker.dragBar, 0);
  for (const dib24& bar : picker.bars) {
    EXPECT_EQ(bar.width, 256);
    EXPECT_EQ(bar.height, 24);
  }
  ExpectScreen(picker.hwnd, picker.color);
}

TEST_F(ColorWinTest, BarsHoldTheChannelRampsAndTheCheckerboardPreview) {
  const StrokeColor colors[] = {{0, 0, 255, 255}, {12, 200, 77, 3}, {255, 255, 255, 0}, {0, 0, 0, 255}};
  for (const StrokeColor& k : colors) {
    picker.color = k;
    picker.RefreshBars();
    int misses = 0;
    for (int bar = 0; bar < 4; ++bar)
      for (int r = 0; r < 24; ++r)
        for (int c = 0; c < 256; ++c) misses += StoredPixel(picker.bars[bar], c, r) != PickerBarPixel(bar, c, r, k);
    EXPECT_EQ(misses, 0) << "colour b" << k.blue << " g" << k.green << " r" << k.red;
  }

  // Pure red over the checkerboard.
  picker.color = {0, 0, 255, 255};
  picker.RefreshBars();
  const dib24& alpha = picker.bars[3];
  for (int r = 0; r < 24; ++r) {
    EXPECT_EQ(StoredPixel(alpha, 0, r), (r / 8) % 2 ? Rgb(255, 255, 255) : Rgb(160, 160, 160));
    EXPECT_EQ(StoredPixel(alpha, 255, r), Rgb(255, 0, 0));
  }
  for (int r = 0; r < 8; ++r) EXPECT_EQ(StoredPixel(alpha, 128, r), Rgb(207, 79, 79));
  for (int r = 8; r < 16; ++r) EXPECT_EQ(StoredPixel(alpha, 128, r), Rgb(255, 127, 127));
  ExpectScreen(picker.hwnd, picker.color);

  picker.color = {30, 140, 200, 77};
  picker.RefreshBars();
  ExpectScreen(picker.hwnd, picker.color);
}

TEST_F(ColorWinTest, HitBarFindsTheBarUnderAPoint) {
  struct Case {
    int x, y, bar;
  };
  const Case cases[] = {
      {9, 20, 0},   {10, 20, 1},   {265, 20, 1},  {266, 20, 0},  {10, 10, 1},   {10, 9, 0},
      {10, 33, 1},  {100, 34, 0},  {100, 41, 0},  {100, 42, 2},  {100, 65, 2},  {100, 66, 0},
      {100, 73, 0}, {100, 74, 3},  {100, 97, 3},  {100, 98, 0},  {100, 105, 0}, {100, 106, 4},
      {100, 129, 4}, {100, 130, 0}, {-5, 20, 0},  {1000, 20, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(picker.HitBar(c.x, c.y), c.bar) << c.x << ", " << c.y;
}

TEST_F(ColorWinTest, PressesSetTheValueUnderTheCursor) {
  Click(110, 20);  // red 100
  ExpectColor(picker, 0, 0, 100, 255);
  Click(10, 20);
  ExpectColor(picker, 0, 0, 0, 255);
  Click(265, 50);
  ExpectColor(picker, 0, 255, 0, 255);
  Click(135, 80);
  ExpectColor(picker, 125, 255, 0, 255);
  Click(10 + 77, 110);
  ExpectColor(picker, 125, 255, 0, 77);
  // Outside every bar: nothing changes.
  const int misses[][2] = {{9, 20}, {266, 50}, {100, 34}, {100, 41}, {100, 66}, {100, 73}, {100, 98},
                           {100, 105}, {100, 130}, {100, 139}};
  for (const auto& m : misses) Click(m[0], m[1]);
  ExpectColor(picker, 125, 255, 0, 77);
  EXPECT_EQ(picker.dragBar, 0);
  ExpectScreen(picker.hwnd, picker.color);
}

TEST_F(ColorWinTest, DragKeepsAdjustingTheSameValueWhereverTheMouseGoes) {
  MoveTo(100, 50);
  testwin::LeftDown();
  testwin::Pump();
  EXPECT_EQ(picker.dragBar, 2);
  EXPECT_EQ(GetCapture(), picker.hwnd);
  ExpectColor(picker, 0, 90, 0, 255);
  MoveTo(-300, 50);  // far left, outside the window
  ExpectColor(picker, 0, 0, 0, 255);
  MoveTo(600, 50);  // far right
  ExpectColor(picker, 0, 255, 0, 255);
  MoveTo(60, 120);  // over the alpha bar: still green
  ExpectColor(picker, 0, 50, 0, 255);
  MoveTo(70, -40);  // above the window
  ExpectColor(picker, 0, 60, 0, 255);
  ExpectScreen(picker.hwnd, picker.color);
  testwin::LeftUp();
  testwin::Pump();
  EXPECT_EQ(picker.dragBar, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  MoveTo(200, 50);
  ExpectColor(picker, 0, 60, 0, 255);

  // A press outside the bars takes the capture but sets nothing.
  MoveTo(100, 38);
  testwin::LeftDown();
  testwin::Pump();
  EXPECT_EQ(GetCapture(), picker.hwnd);
  EXPECT_EQ(picker.dragBar, 0);
  MoveTo(150, 50);
  testwin::LeftUp();
  testwin::Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  ExpectColor(picker, 0, 60, 0, 255);
}

TEST_F(ColorWinTest, QuickSecondClickArrivesAsDoubleClickAndSetsTheValue) {
  testwin::PumpFor(GetDoubleClickTime() + 50);  // no earlier click to pair with
  Click(50, 80);
  ExpectColor(picker, 40, 0, 0, 255);
  picker.log.clear();
  MoveTo(51, 80);
  testwin::LeftDown();
  testwin::LeftUp();
  testwin::Pump();
  std::vector<UINT> presses;
  for (UINT msg : picker.log)
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_LBUTTONUP) presses.push_back(msg);
  EXPECT_EQ(presses, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  ExpectColor(picker, 41, 0, 0, 255);
  EXPECT_EQ(picker.dragBar, 0);
}

TEST_F(ColorWinTest, LostCaptureLeavesTheDragSetUntilAButtonUp) {
  MoveTo(50, 20);
  testwin::LeftDown();
  testwin::Pump();
  ExpectColor(picker, 0, 0, 40, 255);
  ReleaseCapture();
  testwin::Pump();
  EXPECT_EQ(picker.dragBar, 1);
  MoveTo(80, 20);
  ExpectColor(picker, 0, 0, 70, 255);
  MoveTo(90, 115);
  ExpectColor(picker, 0, 0, 80, 255);
  testwin::LeftUp();
  testwin::Pump();
  EXPECT_EQ(picker.dragBar, 0);
  MoveTo(150, 20);
  ExpectColor(picker, 0, 0, 80, 255);
}

TEST_F(ColorWinTest, CloseIsIgnored) {
  EXPECT_EQ(SendMessageA(picker.hwnd, WM_CLOSE, 0, 0), 0);
  SendMessageA(picker.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  testwin::Pump();
  EXPECT_TRUE(IsWindow(picker.hwnd));
  EXPECT_TRUE(IsWindowVisible(picker.hwnd));
}

TEST_F(ColorWinTest, GoesWithItsOwnerAndUnbinds) {
  HWND window = picker.hwnd;
  picker.color = {1, 2, 3, 4};
  DestroyWindow(owner.hwnd);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(picker.hwnd, nullptr);
  ExpectColor(picker, 1, 2, 3, 4);
  // Without a window the bars are still rebuilt, and nothing else happens.
  picker.RefreshBars();
  EXPECT_EQ(StoredPixel(picker.bars[0], 255, 23), Rgb(255, 2, 1));
}

TEST_F(ColorWinTest, ObjectDestroyedFirstTakesItsWindowAlong) {
  ColorWin* orphan = new ColorWin;
  OpenPicker(*orphan, owner.hwnd);
  HWND window = orphan->hwnd;
  ASSERT_TRUE(IsWindow(window));
  delete orphan;
  EXPECT_FALSE(IsWindow(window));
}

TEST(ColorWinWithoutWindow, RefreshBarsStaysWithinTheOneByOneBars) {
  ColorWin picker;
  ExpectColor(picker, 0, 0, 0, 255);
  picker.color = {10, 20, 30, 255};
  picker.RefreshBars();
  for (const dib24& bar : picker.bars) ASSERT_EQ(bar.width, 1);
  EXPECT_EQ(StoredPixel(picker.bars[0], 0, 0), Rgb(0, 20, 10));
  EXPECT_EQ(StoredPixel(picker.bars[3], 0, 0), Rgb(160, 160, 160));
  EXPECT_EQ(picker.HitBar(10, 10), 1);  // the bars are 1 x 1 here
  EXPECT_EQ(picker.HitBar(11, 10), 0);
}

TEST(JapaneseText, ConvertsShiftJisAndRefusesWhatIsNone) {
  wchar_t text[64];
  ASSERT_TRUE(ShiftJisToWide(kColorPickerCaption, text, 64));
  EXPECT_STREQ(text, kCaption);
  ASSERT_TRUE(ShiftJisToWide(kTabletContextErrorText, text, 64));
  EXPECT_STREQ(text, kTabletError);
  EXPECT_FALSE(ShiftJisToWide("\x81", text, 64));  // a lead byte alone
  EXPECT_FALSE(ShiftJisToWide(kColorPickerCaption, text, 3));  // no room for the zero
  EXPECT_FALSE(ShiftJisToWide(nullptr, text, 64));

  // A caption that is no Shift-JIS stays as the ANSI call set it.
  NWindow window;
  ASSERT_TRUE(window.Create(WS_EX_TOOLWINDOW, "plain", kStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr));
  SetShiftJisCaption(window.hwnd, "\x81");
  EXPECT_FALSE(IsWindowUnicode(window.hwnd));
  char ansi[16] = {};
  GetWindowTextA(window.hwnd, ansi, 16);
  EXPECT_STREQ(ansi, "plain");
  SetShiftJisCaption(window.hwnd, kColorPickerCaption);
  wchar_t wide[16] = {};
  GetWindowTextW(window.hwnd, wide, 16);
  EXPECT_STREQ(wide, kCaption);
  DestroyWindow(window.hwnd);
}

// Reads the message box while it is up and closes it.
struct MessageBoxReader {
  static std::wstring caption;
  static std::vector<std::wstring> texts;
  // Enumeration callbacks are WINAPI functions (stdcall on 32-bit Windows),
  // which a lambda cannot be.
  static BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  static HWND Find() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = Find();
    if (!box) return;
    KillTimer(nullptr, id);
    wchar_t text[128] = {};
    GetWindowTextW(box, text, 128);
    caption = text;
    texts = testwin::ChildTexts(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
};
std::wstring MessageBoxReader::caption;
std::vector<std::wstring> MessageBoxReader::texts;

TEST(JapaneseText, MessageBoxShowsTheTextInUnicode) {
  NWindow owner;
  ASSERT_TRUE(owner.Create(0, "Owner", kStyle, 0, 0, 200, 100, nullptr, nullptr, nullptr));
  SetTimer(nullptr, 0, 50, MessageBoxReader::OnTimer);
  EXPECT_EQ(ShiftJisMessageBox(owner.hwnd, kTabletContextErrorText, "Info", MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(MessageBoxReader::caption, L"Info");
  bool found = false;
  for (const std::wstring& text : MessageBoxReader::texts) found = found || text == kTabletError;
  EXPECT_TRUE(found);
  DestroyWindow(owner.hwnd);
}

}  // namespace
