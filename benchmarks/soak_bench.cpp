// A long session of the real program under Wine, driven by the tablet driver
// double: strokes, loads through the program's own Paint_Load (pictures of
// different sizes, missing and bad files, some in the middle of a stroke),
// drags on the picker's bars and right-click picks with real mouse input, and
// minimise/restore cycles. It prints the program's GDI and USER objects, its
// private bytes and the pen latency at the start and at the end, and compares
// the canvas on screen with the engine's result for the same packets.
//
// Fails (exit status 1) when the canvas differs from the engine's, when an
// operation is not carried out, or when an object count or the private bytes
// grow beyond a small tolerance. Timing is printed only.
//
//   soak_bench           the short size, for the test command
//   soak_bench --full    10,000 strokes, 1,000 loads, 1,000 picks, 100 minimise/restore cycles
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "app/ColorWin.h"
#include "tests/support/PickerScreen.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/ReferenceCanvas.h"
#include "tests/support/TestWindows.h"
#include "tools/wintab32/WintabDoubleControl.h"

namespace {

struct Sizes {
  int strokes, loads, picks, minimises;
};
const Sizes kShort = {200, 20, 20, 4};
const Sizes kFull = {10000, 1000, 1000, 100};

// Allowed growth from the end of the warm-up to the end.
const long kObjectTolerance = 2;
const double kPrivateBytesTolerance = 2.0 * 1024 * 1024;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * (to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// A small deterministic generator: the same session every run.
struct Random {
  unsigned state = 12345;
  unsigned Next() { return state = state * 1103515245u + 12345u, (state >> 8) & 0xFFFFFF; }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<unsigned>(high - low + 1)); }
};

struct WindowCount {
  DWORD process;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
  ++reinterpret_cast<WindowCount*>(lParam)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lParam) {
  WindowCount* windows = reinterpret_cast<WindowCount*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->process) return TRUE;
  ++windows->count;
  EnumChildWindows(window, CountChild, lParam);
  return TRUE;
}

// The windows of a process: top-level ones (hidden ones too), their children,
// and message-only ones.
long CountWindows(DWORD process) {
  WindowCount windows = {process, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process) ++windows.count;
  }
  return windows.count;
}

struct Figures {
  DWORD gdiReported, userReported;  // GetGuiResources
  long gdiObjects;                  // counted inside the program by the double
  long windows;
  double privateBytes;
};

Figures Measure(ProgramUnderTest& run) {
  Figures f = {};
  f.gdiReported = GetGuiResources(run.process.Handle(), GR_GDIOBJECTS);
  f.userReported = GetGuiResources(run.process.Handle(), GR_USEROBJECTS);
  f.gdiObjects = static_cast<long>(WintabDoubleSend(run.control, WINTAB_DOUBLE_CMD_GDI_OBJECTS, nullptr, 0));
  f.windows = CountWindows(run.process.Id());
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(run.process.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
    // Windows gives the same figure in both; Wine fills in PagefileUsage only.
    f.privateBytes = static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
  return f;
}

void Print(const char* when, const Figures& f) {
  std::printf("%-16s GetGuiResources: GDI %lu, USER %lu | GDI objects (counted in the program) %ld | "
              "windows of the program %ld | private bytes %.0f (%.2f MiB)\n",
              when, static_cast<unsigned long>(f.gdiReported), static_cast<unsigned long>(f.userReported),
              f.gdiObjects, f.windows, f.privateBytes, f.privateBytes / (1024.0 * 1024.0));
}

void PrintLatency(const char* which, std::vector<double> ms) {
  if (ms.empty()) return;
  double sum = 0;
  for (double m : ms) sum += m;
  std::sort(ms.begin(), ms.end());
  std::printf("latency, %-14s (%zu packets): mean %.3f ms, median %.3f ms, 99th %.3f ms, worst %.3f ms\n", which,
              ms.size(), sum / ms.size(), ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
}

// A 24-bit picture of the given size with a pattern of its own.
std::string WritePicture(const char* name, int width, int height, int seed) {
  const std::string path = TestDirectory() + name;
  WriteBmp(path, width, height, [seed](int x, int y, uint8_t* p) {
    p[0] = static_cast<uint8_t>((x * seed) / 7);
    p[1] = static_cast<uint8_t>(y + seed * 40);
    p[2] = static_cast<uint8_t>(((x / 16 + y / 16) % 2) ? 230 : 40 + seed * 30);
  });
  return path;
}

// One entry of the load cycle: a file and, when it loads, its picture.
struct LoadCase {
  std::string path;
  bool loads;
  dib24 image;
};

class Soak {
 public:
  explicit Soak(const Sizes& sizes) : sizes_(sizes) {}

  bool Run();

 private:
  bool Start();
  void Stroke(bool loadHalfway);
  void Pen(double x, double y, UINT pressure);
  void Load();
  void LoadFile(size_t index);
  void Pick();
  void PickerDrag(int bar, int fromColumn, int toColumn);
  void RightClick(int x, int y);
  void MinimiseAndRestore();
  // Waits until the picker shows the colour; with `report`, says what it
  // shows instead when it does not.
  bool PickerShows(const StrokeColor& c, bool report = true);
  bool CanvasMatches(const char* when);
  void Fault(const std::string& what) {
    ++faults_;
    if (faults_ <= 20) std::printf("FAULT: %s\n", what.c_str());
  }

  Sizes sizes_;
  ProgramUnderTest run_;
  TabletGeometry geometry_ = {};
  ReferenceCanvas* reference_ = nullptr;
  HWND picker_ = nullptr;
  StrokeColor color_ = {0, 0, 0, 255};
  std::deque<LoadCase> cases_;  // dib24 does not move
  size_t loadsDone_ = 0, picksDone_ = 0;
  Random random_;
  std::vector<double> latency_;
  int faults_ = 0;
};

bool Soak::Start() {
  if (!run_.Start("soak", "inkstone")) {
    // Only a program that ended by itself is faulty; a slow start is not.
    if (run_.ended) Fault("the program did not start with its tablet: " + run_.failure);
    else std::printf("soak: not run, the program did not start in time: %s\n", run_.failure.c_str());
    return false;
  }
  geometry_ = run_.Geometry();
  picker_ = FindOwnedWindow(run_.mainWindow);
  if (!picker_) {
    std::printf("FAULT: no picker window\n");
    return false;
  }
  // Loads alternate between sizes, larger and smaller than the window, with a
  // missing file and files that are no pictures between them.
  const std::string bad = TestDirectory() + "soak-bad.bmp";
  FILE* file = std::fopen(bad.c_str(), "wb");
  if (file) {
    std::fputs("BM this is no picture", file);
    std::fclose(file);
  }
  const std::string truncated = TestDirectory() + "soak-truncated.bmp";
  {
    const std::string whole = WritePicture("soak-truncated.bmp", 200, 200, 9);
    HANDLE h = CreateFileA(whole.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(h, 5000, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
  }
  const std::string paths[] = {WritePicture("soak-600x600.bmp", 600, 600, 1),
                               TestDirectory() + "soak-no-such-file.bmp",
                               WritePicture("soak-301x257.bmp", 301, 257, 2),
                               bad,
                               WritePicture("soak-640x700.bmp", 640, 700, 3),
                               truncated,
                               WritePicture("soak-450x600.bmp", 450, 600, 4)};
  for (const std::string& path : paths) {
    cases_.emplace_back();
    cases_.back().path = path;
    cases_.back().loads = ReadBmpFile(path, cases_.back().image);
  }
  return true;
}

void Soak::Pen(double x, double y, UINT pressure) {
  x = std::min(std::max(x, 0.0), geometry_.clientWidth - 1.0);
  y = std::min(std::max(y, 0.0), geometry_.clientHeight - 1.0);
  const DWORD pkX = geometry_.PacketX(x), pkY = geometry_.PacketY(y);
  if (!run_.Packet(pkX, pkY, pressure)) {
    Fault("a packet was not handled");
    return;
  }
  reference_->Packet(pkX, pkY, pressure);
  latency_.push_back(run_.LastLatencyMs());
}

void Soak::Stroke(bool loadHalfway) {
  const int packets = random_.Between(8, 24);
  double x = random_.Between(20, 580), y = random_.Between(20, 580);
  const double angle = random_.Between(0, 628) / 100.0, step = random_.Between(20, 80) / 10.0;
  const int peak = random_.Between(300, 1023);
  for (int i = 0; i < packets; ++i) {
    const UINT pressure = static_cast<UINT>(1 + peak * std::sin(3.14159 * (i + 1) / (packets + 1)));
    Pen(x, y, pressure);
    if (loadHalfway && i == packets / 2) Load();
    x += step * std::cos(angle + i * 0.1);
    y += step * std::sin(angle + i * 0.1);
  }
  Pen(x, y, 0);
}

void Soak::LoadFile(size_t index) {
  const LoadCase& c = cases_[index];
  const LRESULT result =
      WintabDoubleSend(run_.control, WINTAB_DOUBLE_CMD_LOAD, c.path.c_str(), static_cast<DWORD>(c.path.size() + 1));
  if (result != (c.loads ? 1 : 0)) Fault("Paint_Load(" + c.path + ") answered " + std::to_string(result));
  if (result == 1 && c.loads) reference_->Load(c.image);
}

void Soak::Load() {
  const size_t index = loadsDone_++ % cases_.size();
  // Before a picture replaces the canvas, the canvas is compared now and then.
  if (cases_[index].loads && !reference_->StrokeActive() && loadsDone_ % 10 == 1) CanvasMatches("before a load");
  LoadFile(index);
}

bool Soak::PickerShows(const StrokeColor& c, bool report) {
  std::string difference;
  if (::PickerShows(picker_, c, &difference)) return true;
  if (report)
    std::printf("  the picker does not show %d %d %d %d: %s", c.red, c.green, c.blue, c.alpha, difference.c_str());
  return false;
}

// Mouse input at a screen point: the position travels with each event, so
// that no earlier cursor move still on its way can move a press or a release.
// Waits until the system has the cursor there.
void MouseAt(POINT screen, DWORD buttons = 0) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);  // maps back onto screen.x
  input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &input, sizeof input);
  const DWORD start = GetTickCount();
  POINT at;
  while (GetCursorPos(&at) && (at.x != screen.x || at.y != screen.y) && GetTickCount() - start < 2000) Sleep(1);
}

void Soak::PickerDrag(int bar, int fromColumn, int toColumn) {
  const int y = ColorWin::kBarTop[bar] + ColorWin::kBarHeight / 2, left = ColorWin::kBarLeft;
  int* channels[4] = {&color_.red, &color_.green, &color_.blue, &color_.alpha};
  const POINT from = testwin::ToScreen(picker_, left + fromColumn, y);
  MouseAt(from);
  MouseAt(from, MOUSEEVENTF_LEFTDOWN);
  POINT to = from;
  for (int i = 1; i <= 4; ++i) {
    to = testwin::ToScreen(picker_, left + fromColumn + (toColumn - fromColumn) * i / 4, y + i % 3);
    MouseAt(to);
  }
  // The button is let go once the picker shows the value of the last
  // position. Under load Wine now and then delivers that last move late or
  // not at all; the release carries the position too and sets the value, and
  // the check after the pick decides.
  *channels[bar] = std::min(std::max(toColumn, 0), 255);
  if (!PickerShows(color_, false))
    std::printf("  note: drag %zu: the picker had not seen the last move before the release\n", picksDone_ - 1);
  MouseAt(to, MOUSEEVENTF_LEFTUP);
}

void Soak::RightClick(int x, int y) {
  const POINT at = testwin::ToScreen(run_.mainWindow, x, y);
  MouseAt(at);
  MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
  MouseAt(at, MOUSEEVENTF_RIGHTUP);
  // The pick reads the canvas (without any stroke), where the picture has pixels.
  const dib24& canvas = reference_->Canvas();
  if (x < canvas.width && y < canvas.height) {
    const unsigned char* pixel = canvas.Row(y) + 3 * x;
    color_.blue = pixel[0];
    color_.green = pixel[1];
    color_.red = pixel[2];
  }
}

void Soak::Pick() {
  const size_t n = picksDone_++;
  if (n % 2 == 0) {
    const int bar = static_cast<int>(n / 2 % 4);
    // Past either end of a bar too: the value stops at 0 or 255. The opacity
    // stays high enough for strokes to show.
    const int to = bar == 3 ? random_.Between(128, 270) : random_.Between(-8, 270);
    PickerDrag(bar, random_.Between(0, 255), to);
  } else {
    RightClick(random_.Between(0, geometry_.clientWidth - 1), random_.Between(0, geometry_.clientHeight - 1));
  }
  if (!PickerShows(color_)) Fault("the picker does not show the colour after pick " + std::to_string(n));
  reference_->SetColor(color_);
}

void Soak::MinimiseAndRestore() {
  RECT before;
  GetClientRect(run_.mainWindow, &before);
  PostMessageA(run_.mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  DWORD start = GetTickCount();
  while (!IsIconic(run_.mainWindow) && GetTickCount() - start < 5000) Sleep(2);
  if (!IsIconic(run_.mainWindow)) Fault("the window was not minimised");
  PostMessageA(run_.mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
  // Restored: the window at its size again, the picker shown again.
  auto restored = [&] {
    RECT client;
    GetClientRect(run_.mainWindow, &client);
    return !IsIconic(run_.mainWindow) && EqualRect(&client, &before) && IsWindowVisible(picker_);
  };
  start = GetTickCount();
  while (!restored() && GetTickCount() - start < 5000) Sleep(2);
  if (!restored()) Fault("the window was not restored");
  WaitPainted(run_.mainWindow);
  geometry_ = run_.Geometry();
  reference_->SetGeometry(geometry_);
}

bool Soak::CanvasMatches(const char* when) {
  std::string difference;
  const ReferenceCanvas& reference = *reference_;
  if (ScreenShows(run_.mainWindow, reference.Screen(), reference.Width(), reference.Height(), &difference)) return true;
  Fault(std::string("the canvas differs from the engine's ") + when + ": " + difference);
  return false;
}

bool Soak::Run() {
  LARGE_INTEGER began, ended;
  QueryPerformanceCounter(&began);
  if (!Start()) return faults_ == 0;
  ReferenceCanvas reference(geometry_, geometry_.clientWidth, geometry_.clientHeight);
  reference_ = &reference;
  std::printf("soak: %d strokes, %d loads, %d picks (drags and right clicks), %d minimise/restore cycles\n",
              sizes_.strokes, sizes_.loads, sizes_.picks, sizes_.minimises);
  const Figures atStart = Measure(run_);
  Print("at the start", atStart);

  // Warm-up: every load case once, a drag, a pick, a minimise and a few
  // strokes, so that what is made once and then kept (the largest canvas,
  // caches) is there before the counts are taken as the base.
  for (size_t i = 0; i < cases_.size(); ++i) {
    Stroke(false);
    Load();
  }
  Pick();
  Pick();
  MinimiseAndRestore();
  LoadFile(0);
  const Figures base = Measure(run_);
  Print("after warm-up", base);

  // The session: the other operations spread over the strokes; every third
  // load in the middle of a stroke.
  int loads = 0, picks = 0, minimises = 0;
  size_t tenthStart = latency_.size();
  for (int i = 1; i <= sizes_.strokes; ++i) {
    const int loadsDue = static_cast<int>(static_cast<long long>(i) * sizes_.loads / sizes_.strokes);
    const bool loadHalfway = loadsDue > loads && loadsDue % 3 == 0;
    Stroke(loadHalfway);
    if (loadHalfway) ++loads;
    for (; loads < loadsDue; ++loads) Load();
    for (; picks < static_cast<long long>(i) * sizes_.picks / sizes_.strokes; ++picks) Pick();
    for (; minimises < static_cast<long long>(i) * sizes_.minimises / sizes_.strokes; ++minimises)
      MinimiseAndRestore();
    if (i % (sizes_.strokes / 10) == 0) {
      // The median latency of this tenth shows a trend that the first and
      // last thousand packets alone would not.
      QueryPerformanceCounter(&ended);
      std::vector<double> tenth(latency_.begin() + tenthStart, latency_.end());
      std::nth_element(tenth.begin(), tenth.begin() + tenth.size() / 2, tenth.end());
      const Figures now = Measure(run_);
      std::printf("  %5d strokes, %6zu packets, %6.1f s: median latency %.3f ms, GDI objects %ld, windows %ld, "
                  "private bytes %.2f MiB\n",
                  i, latency_.size(), Milliseconds(began, ended) / 1000.0, tenth.empty() ? 0.0 : tenth[tenth.size() / 2],
                  now.gdiObjects, now.windows, now.privateBytes / (1024.0 * 1024.0));
      tenthStart = latency_.size();
    }
  }
  CanvasMatches("at the end");
  // The same canvas as at the base, for the counts.
  LoadFile(0);
  const Figures atEnd = Measure(run_);
  Print("at the end", atEnd);
  QueryPerformanceCounter(&ended);

  const size_t first = std::min<size_t>(1000, latency_.size());
  PrintLatency("first packets", std::vector<double>(latency_.begin(), latency_.begin() + first));
  PrintLatency("last packets", std::vector<double>(latency_.end() - first, latency_.end()));
  std::printf("packets %zu, loads %zu, picks %zu, minimise/restore %d; total time %.1f s\n", latency_.size(),
              loadsDone_ + 2, picksDone_, minimises + 1, Milliseconds(began, ended) / 1000.0);
  if (!atStart.gdiReported && !atStart.userReported) {
    std::printf("note: GetGuiResources answers 0 for the program (Wine does not implement it); the GDI objects are "
                "counted inside the program by the driver double (live GDI handle table entries), the USER objects "
                "are stood in for by the program's windows (top-level, child and message-only)\n");
  }

  if (atEnd.gdiObjects - base.gdiObjects > kObjectTolerance) Fault("GDI objects grew");
  if (atEnd.gdiReported > base.gdiReported + kObjectTolerance) Fault("GetGuiResources GDI objects grew");
  if (atEnd.userReported > base.userReported + kObjectTolerance) Fault("GetGuiResources USER objects grew");
  if (atEnd.windows > base.windows) Fault("the program's windows grew");
  if (atEnd.privateBytes - base.privateBytes > kPrivateBytesTolerance) Fault("the private bytes grew");

  if (!run_.Close()) Fault("the program did not end after WM_CLOSE");
  std::printf("%s: %d faults\n", faults_ ? "FAILED" : "passed", faults_);
  return faults_ == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures as they come, also when it hangs
  const bool full = argc > 1 && std::strcmp(argv[1], "--full") == 0;
  Soak soak(full ? kFull : kShort);
  return soak.Run() ? 0 : 1;
}
