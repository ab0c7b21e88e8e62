#include "tools/xtablet/FifoWriter.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <time.h>
#include <sched.h>
#include <unistd.h>
#endif

namespace {

// Seconds on a steady clock, and a wait until such a time.
#ifdef _WIN32
double Now() {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}
void SleepBriefly() { Sleep(1); }
void GiveWay() { SwitchToThread(); }
#else
double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}
void SleepBriefly() {
  const timespec pause = {0, 500000};
  nanosleep(&pause, nullptr);
}
void GiveWay() { sched_yield(); }
#endif

// Sleeps while more than a few milliseconds remain (a sleep may overshoot by
// one or two), then spins, giving the processor to whatever else is ready to
// run: the X server and the program under test share it.
void WaitUntil(double due) {
  while (due - Now() > 0.003) SleepBriefly();
  while (Now() < due) GiveWay();
}

}  // namespace

std::string WinePathOf(const std::string& linuxPath) {
  std::string path = "Z:" + linuxPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

#ifdef _WIN32
bool FifoWriter::Open(const std::string& path, std::string* error) {
  Close();
  const std::string name = WinePathOf(path);
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error) *error = "cannot open " + name + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  handle = file;
  return true;
}

void FifoWriter::Close() {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

bool FifoWriter::Write(const PenFrame& frame) {
  const std::vector<unsigned char> bytes = EvdevRecords(frame);
  DWORD written = 0;
  return handle && WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}
#else
bool FifoWriter::Open(const std::string& path, std::string* error) {
  Close();
  fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 && error) *error = "cannot open " + path + ": " + strerror(errno);
  return fd >= 0;
}

void FifoWriter::Close() {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool FifoWriter::Write(const PenFrame& frame) {
  const std::vector<unsigned char> bytes = EvdevRecords(frame);
  return fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}
#endif

bool FifoWriter::Play(const std::vector<PenFrame>& frames, void (*onMouse)(int, void*), void* context,
                      Stats* stats) {
  Stats counted = {0, 0, {}};
  const double start = Now();
  bool ok = true;
  for (const PenFrame& frame : frames) {
    WaitUntil(start + frame.at);
    const double late = Now() - (start + frame.at);
    if (late > counted.worstLateSeconds) counted.worstLateSeconds = late;
    if (frame.events.empty()) {
      if (onMouse) onMouse(frame.mouseStep, context);
      continue;
    }
    const double writing = Now();
    if (!Write(frame)) {
      ok = false;
      break;
    }
    ++counted.framesWritten;
    counted.writtenAt.push_back(writing);
  }
  if (stats) *stats = counted;
  return ok;
}
