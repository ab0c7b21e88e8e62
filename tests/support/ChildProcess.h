// Starts a program of the build as a child process with its standard output
// captured, and waits for it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program` with the arguments; `environment` entries NAME=VALUE are
  // set for the child only. False when the program cannot be started.
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment = {});
  // Waits up to timeoutMs for the end; true when it ended. Collects the output.
  bool Wait(DWORD timeoutMs);
  // Ends the process if it still runs.
  void Kill();

  DWORD ExitCode() const { return exitCode_; }
  // What the program wrote to its standard output so far.
  const std::string& Output() {
    Drain();
    return output_;
  }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // The first visible top-level window of the process whose caption is
  // `caption` (any caption when null), waiting up to timeoutMs.
  HWND FindWindowOf(const char* caption, DWORD timeoutMs) const;

 private:
  void Drain();

  PROCESS_INFORMATION info_ = {};
  HANDLE outputRead_ = nullptr;
  std::string output_;
  DWORD exitCode_ = STILL_ACTIVE;
};
