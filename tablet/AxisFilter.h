// Moving averages of the pen axes: x and y over one history length, pressure
// over its own.
#pragma once
#include <memory>

class AxisFilter {
 public:
  AxisFilter();
  virtual ~AxisFilter() = default;
  AxisFilter(const AxisFilter&) = delete;
  AxisFilter& operator=(const AxisFilter&) = delete;

  void Configure(int positionCount, int pressureCount);
  void Fill(double x, double y, double pressure);
  void Push(double x, double y, double pressure);
  void Average();
  void Release();

  std::unique_ptr<double[]> xHistory;
  std::unique_ptr<double[]> yHistory;
  std::unique_ptr<double[]> pressureHistory;
  int positionCount;
  int pressureCount;
  double avgX;
  double avgY;
  double avgPressure;

 private:
  // False before Configure, after Release, and when allocation failed: the
  // operations then touch nothing.
  bool HasHistories() const;
};
