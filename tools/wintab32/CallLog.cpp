#include <cstdio>
#include <cstring>

#include "tools/wintab32/DoubleState.h"

namespace wintab_double {

namespace {

const int kMaxCalls = 4096;
const int kMaxText = 256 * 1024;

WintabDoubleCall calls[kMaxCalls];
int callCount;
char logText[kMaxText];
int logLength;

void AppendToFile(const char* line, int length) {
  char path[MAX_PATH];
  DWORD pathLength = GetEnvironmentVariableA("WINTAB_DOUBLE_LOG", path, sizeof path);
  if (pathLength == 0 || pathLength >= sizeof path) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

void AppendLine(const char* text) {
  char line[256];
  int length = std::snprintf(line, sizeof line, "%s\n", text);
  if (length < 0) return;
  if (length >= static_cast<int>(sizeof line)) length = sizeof line - 1;
  if (logLength + length < kMaxText) {
    std::memcpy(logText + logLength, line, length);
    logLength += length;
    logText[logLength] = 0;
  }
  AppendToFile(line, length);
}

void Field(const char* name, unsigned long long value, bool hex) {
  char text[96];
  if (hex)
    std::snprintf(text, sizeof text, "context %s 0x%llX", name, value);
  else
    std::snprintf(text, sizeof text, "context %s %lld", name, static_cast<long long>(value));
  AppendLine(text);
}

void Hex(const char* name, DWORD value) { Field(name, value, true); }
void Signed(const char* name, LONG value) { Field(name, static_cast<unsigned long long>(static_cast<long long>(value)), false); }

}  // namespace

void LogCall(const char* function, ULONGLONG a, ULONGLONG b, ULONGLONG c, ULONGLONG result, const char* text) {
  if (callCount < kMaxCalls) {
    WintabDoubleCall& call = calls[callCount++];
    std::memset(&call, 0, sizeof call);
    std::strncpy(call.function, function, sizeof call.function - 1);
    call.args[0] = a;
    call.args[1] = b;
    call.args[2] = c;
    call.result = result;
  }
  AppendLine(text);
}

void LogContextDescription(const LogContext& d) {
  char name[sizeof d.lcName + 1] = {};
  std::memcpy(name, d.lcName, sizeof d.lcName);
  char text[96];
  std::snprintf(text, sizeof text, "context lcName \"%s\"", name);
  AppendLine(text);
  Hex("lcOptions", d.lcOptions);
  Hex("lcStatus", d.lcStatus);
  Hex("lcLocks", d.lcLocks);
  Hex("lcMsgBase", d.lcMsgBase);
  Hex("lcDevice", d.lcDevice);
  Hex("lcPktRate", d.lcPktRate);
  Hex("lcPktData", d.lcPktData);
  Hex("lcPktMode", d.lcPktMode);
  Hex("lcMoveMask", d.lcMoveMask);
  Hex("lcBtnDnMask", d.lcBtnDnMask);
  Hex("lcBtnUpMask", d.lcBtnUpMask);
  Signed("lcInOrgX", d.lcInOrgX);
  Signed("lcInOrgY", d.lcInOrgY);
  Signed("lcInOrgZ", d.lcInOrgZ);
  Signed("lcInExtX", d.lcInExtX);
  Signed("lcInExtY", d.lcInExtY);
  Signed("lcInExtZ", d.lcInExtZ);
  Signed("lcOutOrgX", d.lcOutOrgX);
  Signed("lcOutOrgY", d.lcOutOrgY);
  Signed("lcOutOrgZ", d.lcOutOrgZ);
  Signed("lcOutExtX", d.lcOutExtX);
  Signed("lcOutExtY", d.lcOutExtY);
  Signed("lcOutExtZ", d.lcOutExtZ);
  Hex("lcSensX", d.lcSensX);
  Hex("lcSensY", d.lcSensY);
  Hex("lcSensZ", d.lcSensZ);
  Signed("lcSysMode", d.lcSysMode);
  Signed("lcSysOrgX", d.lcSysOrgX);
  Signed("lcSysOrgY", d.lcSysOrgY);
  Signed("lcSysExtX", d.lcSysExtX);
  Signed("lcSysExtY", d.lcSysExtY);
  Hex("lcSysSensX", d.lcSysSensX);
  Hex("lcSysSensY", d.lcSysSensY);
}

void ClearLog() {
  callCount = 0;
  logLength = 0;
  logText[0] = 0;
}

int CallCount() { return callCount; }

bool GetCall(int index, WintabDoubleCall* call) {
  if (index < 0 || index >= callCount || !call) return false;
  *call = calls[index];
  return true;
}

int GetLogText(char* buffer, int size) {
  if (buffer && size > 0) {
    const int copied = logLength < size - 1 ? logLength : size - 1;
    std::memcpy(buffer, logText, copied);
    buffer[copied] = 0;
  }
  return logLength;
}

}  // namespace wintab_double
