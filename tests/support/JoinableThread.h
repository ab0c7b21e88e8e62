// A thread that runs one function until it is joined. Natively std::thread;
// on Windows a Win32 thread: the 32-bit build's runtime, of the Win32 threads
// model, has no std::thread.
#pragma once
#include <functional>
#include <utility>
#ifdef _WIN32
#include <windows.h>
#else
#include <thread>
#endif

class JoinableThread {
 public:
  JoinableThread() = default;
  JoinableThread(const JoinableThread&) = delete;
  JoinableThread& operator=(const JoinableThread&) = delete;
  ~JoinableThread() { Join(); }

  void Start(std::function<void()> body) {
    Join();
    body_ = std::move(body);
#ifdef _WIN32
    handle_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
#else
    thread_ = std::thread(body_);
#endif
  }
  void Join() {
#ifdef _WIN32
    if (!handle_) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
#else
    if (thread_.joinable()) thread_.join();
#endif
  }

 private:
#ifdef _WIN32
  static DWORD WINAPI Run(void* self) {
    static_cast<JoinableThread*>(self)->body_();
    return 0;
  }
  HANDLE handle_ = nullptr;
#else
  std::thread thread_;
#endif
  std::function<void()> body_;
};
