// GoogleTest's Notification on a Win32 event (GtestNotification.cpp), for a
// C++ library without std::mutex and std::condition_variable (MinGW's of the
// Win32 threads model, before GCC 13), on which GoogleTest's own would not
// build. Included ahead of every source of such a build's tests
// (cmake/Testing.cmake), so it declares no Win32 names of its own.
#pragma once

namespace testing {
namespace internal {
class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify();
  void WaitForNotification();

 private:
  void* event_;
};
}  // namespace internal
}  // namespace testing
#define GTEST_HAS_NOTIFICATION_ 1
