#include "tablet/AxisFilter.h"

#include <new>

namespace {

// A history of a length below 1 cannot hold the newest value; such a length
// is taken as 1 (no smoothing).
int UsableCount(int count) { return count < 1 ? 1 : count; }

void FillHistory(double* history, int count, double value) {
  for (int i = 0; i < count; ++i) history[i] = value;
}

void ShiftIn(double* history, int count, double value) {
  for (int i = 0; i < count - 1; ++i) history[i] = history[i + 1];
  history[count - 1] = value;
}

// Plain sum, oldest entry first, then one division.
double Mean(const double* history, int count) {
  double sum = 0.0;
  for (int i = 0; i < count; ++i) sum += history[i];
  return sum / count;
}

}  // namespace

AxisFilter::AxisFilter()
    : positionCount(0), pressureCount(0), avgX(0.0), avgY(0.0), avgPressure(0.0) {}

void AxisFilter::Configure(int newPositionCount, int newPressureCount) {
  Release();
  positionCount = UsableCount(newPositionCount);
  pressureCount = UsableCount(newPressureCount);
  // Zeroed so that reading before the first Fill is defined; nothrow so that
  // exhausted memory leaves the filter without histories instead of throwing.
  xHistory.reset(new (std::nothrow) double[positionCount]());
  yHistory.reset(new (std::nothrow) double[positionCount]());
  pressureHistory.reset(new (std::nothrow) double[pressureCount]());
}

bool AxisFilter::HasHistories() const { return xHistory && yHistory && pressureHistory; }

void AxisFilter::Fill(double x, double y, double pressure) {
  if (!HasHistories()) return;
  FillHistory(xHistory.get(), positionCount, x);
  FillHistory(yHistory.get(), positionCount, y);
  FillHistory(pressureHistory.get(), pressureCount, pressure);
}

void AxisFilter::Push(double x, double y, double pressure) {
  if (!HasHistories()) return;
  ShiftIn(xHistory.get(), positionCount, x);
  ShiftIn(yHistory.get(), positionCount, y);
  ShiftIn(pressureHistory.get(), pressureCount, pressure);
}

void AxisFilter::Average() {
  avgX = 0.0;
  avgY = 0.0;
  avgPressure = 0.0;
  if (!HasHistories()) return;
  avgX = Mean(xHistory.get(), positionCount);
  avgY = Mean(yHistory.get(), positionCount);
  avgPressure = Mean(pressureHistory.get(), pressureCount);
}

void AxisFilter::Release() {
  xHistory.reset();
  yHistory.reset();
  pressureHistory.reset();
}
