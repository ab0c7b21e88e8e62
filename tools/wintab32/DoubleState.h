// State of the test double, shared by its Wintab functions and its control
// interface. One process, one thread: no locks.
#pragma once
#include <cstdlib>

#include "tools/wintab32/DoubleRecords.h"
#include "tools/wintab32/WintabDoubleControl.h"

namespace wintab_double {

const int kMaxContexts = 8;
const int kMaxQueue = 256;
const int kDefaultQueueLimit = 8;

struct QueuedPacket {
  UINT serial;
  DWORD time;
  UINT status;
  WintabDoublePacket data;
};

struct Context {
  bool open;
  HCTX handle;
  HWND window;
  LogContext description;
  bool enabled;
  int limit;
  int count;
  bool overflowed;  // a packet was lost: the next one carries TPS_QUEUE_ERR
  QueuedPacket queue[kMaxQueue];  // oldest first
};

struct State {
  Context contexts[kMaxContexts];
  UINT nextSerial;
  UINT openSerial;
  HCTX lastOpened;
  bool haveOpenedDescription;
  LogContext openedDescription;
  HWND openedWindow;
  bool deviceSet;
  WintabDoubleDevice device;
  UINT lastHandledSerial;
  // When each recent packet's WT_PACKET was posted (by serial modulo the
  // size), and how long the last handled one took until its marker came.
  LONGLONG postedAt[64];
  LONGLONG lastHandledNanoseconds;
};
extern State state;

// A setting from the environment: `value` stays where the variable is unset.
template <typename T>
void ReadNumber(const char* variable, T& value) {
  char text[64];
  DWORD length = GetEnvironmentVariableA(variable, text, sizeof text);
  if (length == 0 || length >= sizeof text) return;
  value = static_cast<T>(std::strtoll(text, nullptr, 0));
}

// The device: set in-process, or the defaults with the environment's settings.
WintabDoubleDevice CurrentDevice();
void DefaultContext(LogContext* description, bool system);

Context* FindContext(HCTX handle);  // open contexts only
Context* ContextOrLastOpened(void* handle);
bool AnyContextOpen();
UINT QueuePacket(Context* context, const WintabDoublePacket& packet);
BOOL PostProximity(Context* context, BOOL entering, BOOL hardware);
void RemoveOldest(Context* context, int count);
int PacketSize(DWORD packetData);
void WritePacket(const Context& context, const QueuedPacket& packet, BYTE* out);

// Control window and handled semaphore of this process.
void CreateControlWindow();
void DestroyControlWindowIfUnused();
HWND ControlWindow();
void PostHandledMarker(UINT serial);
// Starts playing $WINTAB_DOUBLE_SCRIPT once, after the first context opened.
void StartScript();
// The control window has seen the packet handled: the script goes on.
void ScriptPacketHandled(UINT serial);

// Call log: records and text lines (also appended to $WINTAB_DOUBLE_LOG).
void LogCall(const char* function, ULONGLONG a, ULONGLONG b, ULONGLONG c, ULONGLONG result, const char* text);
void LogContextDescription(const LogContext& description);
void ClearLog();
int CallCount();
bool GetCall(int index, WintabDoubleCall* call);
int GetLogText(char* buffer, int size);

inline ULONGLONG HandleValue(const void* handle) { return reinterpret_cast<ULONG_PTR>(handle); }
inline ULONGLONG PointerFlag(const void* pointer) { return pointer ? 1 : 0; }
inline const char* PointerText(const void* pointer) { return pointer ? "ptr" : "null"; }

}  // namespace wintab_double
