// Linked into every Windows test program: a fault that nothing handles ends
// the program at once, with the exception code as its exit status. Left to
// the system, Wine would first try to start a debugger, which after a fault
// that has corrupted the heap can hang until the test's timeout. Nothing
// here allocates, for the same reason.
#include <windows.h>

namespace {
// "0x" and eight hexadecimal digits.
void PutHex(char* at, DWORD value) {
  at[0] = '0';
  at[1] = 'x';
  for (int i = 0; i < 8; ++i) at[9 - i] = "0123456789abcdef"[(value >> (4 * i)) & 0xF];
}

LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* exception) {
  const DWORD code = exception->ExceptionRecord->ExceptionCode;
  char line[] = "\nunhandled exception 0x00000000: the test program ends\n";
  PutHex(line + 21, code);
  DWORD written;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, sizeof line - 1, &written, nullptr);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

// After the runtime's start-up, which installs a filter of its own.
const struct Install {
  Install() { SetUnhandledExceptionFilter(EndAtOnce); }
} install;
}  // namespace
