// The double's control window (commands from other processes), the handled
// semaphore, and the in-process control functions.
#include <cstdio>
#include <cstring>

#include "tools/wintab32/DoubleState.h"
#include "tools/wintab32/ProgramCommands.h"

using namespace wintab_double;

namespace {

// Posted to the control window right after each WT_PACKET message.
const UINT kHandledMarker = WM_APP + 0x57;

HINSTANCE moduleInstance;
bool classRegistered;
HWND controlWindow;
HANDLE handledSemaphore;

LRESULT OnCommand(const COPYDATASTRUCT& command) {
  Context* context = ContextOrLastOpened(nullptr);
  switch (command.dwData) {
    case WINTAB_DOUBLE_CMD_QUEUE_PACKET: {
      if (command.cbData < sizeof(WintabDoublePacket) || !command.lpData) return 0;
      WintabDoublePacket packet;
      std::memcpy(&packet, command.lpData, sizeof packet);
      return QueuePacket(context, packet);
    }
    case WINTAB_DOUBLE_CMD_PROXIMITY: {
      if (command.cbData < sizeof(WintabDoubleProximity) || !command.lpData) return 0;
      WintabDoubleProximity proximity;
      std::memcpy(&proximity, command.lpData, sizeof proximity);
      return PostProximity(context, proximity.entering, proximity.hardware);
    }
    case WINTAB_DOUBLE_CMD_LAST_HANDLED:
      return state.lastHandledSerial;
    case WINTAB_DOUBLE_CMD_LAST_LATENCY:
      return static_cast<LRESULT>(state.lastHandledNanoseconds);
    case WINTAB_DOUBLE_CMD_QUEUE_COUNT:
      return context ? context->count : -1;
    case WINTAB_DOUBLE_CMD_LOAD:
      return LoadInProgram(context, command);
    case WINTAB_DOUBLE_CMD_GDI_OBJECTS:
      return CountGdiObjects();
    default:
      return 0;
  }
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA && lParam) return OnCommand(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (message == kHandledMarker) {
    state.lastHandledSerial = static_cast<UINT>(wParam);
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const LONGLONG ticks = now.QuadPart - state.postedAt[state.lastHandledSerial % 64];
    state.lastHandledNanoseconds = ticks * 1000000000 / frequency.QuadPart;
    if (handledSemaphore) ReleaseSemaphore(handledSemaphore, 1, nullptr);
    ScriptPacketHandled(state.lastHandledSerial);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace wintab_double {

void CreateControlWindow() {
  if (controlWindow && IsWindow(controlWindow)) return;
  if (!classRegistered) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ControlProc;
    windowClass.hInstance = moduleInstance;
    windowClass.lpszClassName = kWintabDoubleControlClass;
    classRegistered = RegisterClassA(&windowClass) != 0;
  }
  char title[16];
  std::snprintf(title, sizeof title, "%lu", GetCurrentProcessId());
  controlWindow = CreateWindowExA(0, kWintabDoubleControlClass, title, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  moduleInstance, nullptr);
  if (!handledSemaphore) {
    char name[48];
    std::snprintf(name, sizeof name, "%s%lu", kWintabDoubleHandledSemaphore, GetCurrentProcessId());
    handledSemaphore = CreateSemaphoreA(nullptr, 0, 0x7FFFFFFF, name);
  }
}

void DestroyControlWindowIfUnused() {
  if (AnyContextOpen() || !controlWindow) return;
  // Only the creating thread can destroy it; a window left behind is harmless.
  if (GetWindowThreadProcessId(controlWindow, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(controlWindow);
    controlWindow = nullptr;
  }
}

HWND ControlWindow() { return controlWindow; }

void PostHandledMarker(UINT serial) {
  if (controlWindow) PostMessageA(controlWindow, kHandledMarker, serial, 0);
}

}  // namespace wintab_double

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) moduleInstance = instance;
  return TRUE;
}

const char* WINAPI WintabDouble_Variant(void) {
#if defined(WINTAB_DOUBLE_WITHOUT_WTENABLE)
  return "no-wtenable";
#elif defined(WINTAB_DOUBLE_WITHOUT_WTOPENA)
  return "no-wtopena";
#elif defined(WINTAB_DOUBLE_NO_SERVICE)
  return "no-service";
#elif defined(WINTAB_DOUBLE_OPEN_FAILS)
  return "open-fails";
#elif defined(WINTAB_DOUBLE_WINE_BUTTONS)
  return "wine-buttons";
#else
  return "full";
#endif
}

void WINAPI WintabDouble_Reset(void) {
  for (Context& context : state.contexts) context.open = false;
  state.lastOpened = nullptr;
  state.haveOpenedDescription = false;
  state.openedWindow = nullptr;
  state.deviceSet = false;
  ClearLog();
  DestroyControlWindowIfUnused();
}

void WINAPI WintabDouble_GetDevice(WintabDoubleDevice* device) {
  if (device) *device = CurrentDevice();
}

void WINAPI WintabDouble_SetDevice(const WintabDoubleDevice* device) {
  state.deviceSet = device != nullptr;
  if (device) state.device = *device;
}

UINT WINAPI WintabDouble_QueuePacket(void* context, const WintabDoublePacket* packet) {
  return packet ? QueuePacket(ContextOrLastOpened(context), *packet) : 0;
}

BOOL WINAPI WintabDouble_PostProximity(void* context, BOOL entering, BOOL hardware) {
  return PostProximity(ContextOrLastOpened(context), entering, hardware);
}

int WINAPI WintabDouble_QueueCount(void* context) {
  const Context* found = ContextOrLastOpened(context);
  return found ? found->count : -1;
}

int WINAPI WintabDouble_QueueLimit(void* context) {
  const Context* found = ContextOrLastOpened(context);
  return found ? found->limit : -1;
}

BOOL WINAPI WintabDouble_IsEnabled(void* context) {
  const Context* found = ContextOrLastOpened(context);
  return found && found->enabled;
}

void* WINAPI WintabDouble_OpenContext(void) {
  const Context* found = ContextOrLastOpened(nullptr);
  return found ? found->handle : nullptr;
}

int WINAPI WintabDouble_OpenCount(void) {
  int count = 0;
  for (const Context& context : state.contexts) count += context.open ? 1 : 0;
  return count;
}

BOOL WINAPI WintabDouble_GetOpenedContext(void* description, int size) {
  if (!state.haveOpenedDescription || !description || size < 0) return FALSE;
  if (size > static_cast<int>(sizeof(LogContext))) size = sizeof(LogContext);
  std::memcpy(description, &state.openedDescription, size);
  return TRUE;
}

HWND WINAPI WintabDouble_GetOpenedWindow(void) { return state.openedWindow; }

int WINAPI WintabDouble_CallCount(void) { return CallCount(); }

BOOL WINAPI WintabDouble_GetCall(int index, WintabDoubleCall* call) { return GetCall(index, call); }

int WINAPI WintabDouble_GetLog(char* buffer, int size) { return GetLogText(buffer, size); }

HWND WINAPI WintabDouble_ControlWindow(void) { return controlWindow; }

}  // extern "C"
