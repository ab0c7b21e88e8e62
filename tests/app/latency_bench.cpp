// Start-up time and pen latency of the real programs under Wine: the time from
// process start to the first paint of the main window, and for 1000 packets of
// a long stroke the time from posting each packet to the end of its handling,
// painting included. A 200 Hz tablet sends a packet every 5 ms.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "support/ProgramUnderTest.h"

namespace {
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * (to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

bool Measure(const char* program) {
  LARGE_INTEGER start, shown;
  QueryPerformanceCounter(&start);
  ProgramUnderTest run;
  if (!run.Start("e2e", program)) {
    std::printf("%s: did not start\n", program);
    return false;
  }
  QueryPerformanceCounter(&shown);
  const TabletGeometry geometry = run.Geometry();

  const int packets = 1000;
  std::vector<double> latency;
  latency.reserve(packets);
  for (int i = 0; i < packets; ++i) {
    const double t = i / double(packets - 1);
    const double angle = t * 6 * 3.14159265358979;
    const double radius = 40 + 240 * t;
    const DWORD x = geometry.PacketX(300 + radius * std::cos(angle));
    const DWORD y = geometry.PacketY(300 + radius * std::sin(angle));
    const UINT pressure = static_cast<UINT>(200 + 800 * (0.5 + 0.5 * std::sin(t * 40)));
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    if (!run.Packet(x, y, pressure)) {
      std::printf("%s: packet %d was not handled\n", program, i);
      return false;
    }
    QueryPerformanceCounter(&after);
    latency.push_back(Milliseconds(before, after));
  }
  LARGE_INTEGER beforeLift, afterLift;
  QueryPerformanceCounter(&beforeLift);
  run.Packet(geometry.PacketX(300), geometry.PacketY(300), 0);
  QueryPerformanceCounter(&afterLift);

  double sum = 0;
  for (double ms : latency) sum += ms;
  std::vector<double> sorted = latency;
  std::sort(sorted.begin(), sorted.end());
  std::printf("%-14s start-up to first paint %7.1f ms\n", program, Milliseconds(start, shown));
  std::printf("%-14s pen latency over %d packets: mean %.3f ms, median %.3f ms, 99th %.3f ms, worst %.3f ms "
              "(targets: mean < 1 ms, worst < 5 ms)\n",
              program, packets, sum / packets, sorted[packets / 2], sorted[packets * 99 / 100], sorted.back());
  std::printf("%-14s lift with commit and full repaint %.3f ms\n", program, Milliseconds(beforeLift, afterLift));
  run.Close();
  return true;
}
}  // namespace

int main() {
  const bool soft = Measure("inkstone");
  const bool disc = Measure("inkstone-disc");
  return soft && disc ? 0 : 1;
}
