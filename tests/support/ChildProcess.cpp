#include "ChildProcess.h"

namespace {
std::string Quote(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The current environment block with the given entries replaced or added.
std::vector<char> EnvironmentBlock(const std::vector<std::string>& overrides) {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  for (const char* p = block; *p; p += strlen(p) + 1) entries.push_back(p);
  FreeEnvironmentStringsA(block);
  for (const std::string& entry : overrides) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (std::string& existing : entries) {
      if (_strnicmp(existing.c_str(), name.c_str(), name.size()) == 0) {
        existing = entry;
        replaced = true;
      }
    }
    if (!replaced) entries.push_back(entry);
  }
  std::vector<char> result;
  for (const std::string& entry : entries) result.insert(result.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  result.push_back('\0');
  return result;
}

// Every child of this test program belongs to one job that ends them all when
// its handle closes: when the test program ends, however it ends, no program
// it started runs on.
HANDLE ChildrenJob() {
  static HANDLE job = [] {
    HANDLE made = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (made) SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return made;
  }();
  return job;
}

struct WindowSearch {
  DWORD processId;
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
  if (search->caption) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    if (strcmp(text, search->caption) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}
}  // namespace

ChildProcess::~ChildProcess() {
  Kill();
  if (outputRead_) CloseHandle(outputRead_);
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE outputWrite = nullptr;
  if (!CreatePipe(&outputRead_, &outputWrite, &inherit, 0)) return false;
  SetHandleInformation(outputRead_, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = Quote(program);
  for (const std::string& argument : arguments) commandLine += " " + Quote(argument);
  std::vector<char> commandBuffer(commandLine.begin(), commandLine.end());
  commandBuffer.push_back('\0');
  std::vector<char> environmentBlock = EnvironmentBlock(environment);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outputWrite;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string directory = program.substr(0, program.find_last_of("\\/") + 1);
  const BOOL started = CreateProcessA(program.c_str(), commandBuffer.data(), nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED, environmentBlock.data(),
                                      directory.empty() ? nullptr : directory.c_str(), &startup, &info_);
  CloseHandle(outputWrite);
  if (!started) return false;
  if (ChildrenJob()) AssignProcessToJobObject(ChildrenJob(), info_.hProcess);
  ResumeThread(info_.hThread);
  return true;
}

void ChildProcess::Drain() {
  char buffer[4096];
  DWORD available = 0;
  while (outputRead_ && PeekNamedPipe(outputRead_, nullptr, 0, nullptr, &available, nullptr) && available) {
    DWORD read = 0;
    if (!ReadFile(outputRead_, buffer, sizeof buffer, &read, nullptr) || !read) break;
    output_.append(buffer, read);
  }
}

bool ChildProcess::Wait(DWORD timeoutMs) {
  if (!info_.hProcess) return true;
  const DWORD start = GetTickCount();
  for (;;) {
    Drain();
    if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start > timeoutMs) return false;
  }
  Drain();
  GetExitCodeProcess(info_.hProcess, &exitCode_);
  return true;
}

void ChildProcess::Kill() {
  if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

HWND ChildProcess::FindWindowOf(const char* caption, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    WindowSearch search = {info_.dwProcessId, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return nullptr;  // it will show none
    Sleep(10);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}
