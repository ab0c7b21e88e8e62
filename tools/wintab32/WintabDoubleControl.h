// Control interface of the wintab32.dll test double (tools/wintab32).
//
// The double is a small Wintab driver: it exports WTInfoA, WTOpenA, WTClose,
// WTPacket, WTPacketsGet, WTEnable and WTQueueSizeSet (build variants leave
// some out, or refuse service), keeps a real packet queue per context with
// serial numbers, posts WT_PACKET and WT_PROXIMITY to the context's window,
// and records every call it receives. A test drives it in one of two ways.
//
// 1. In the same process (the test loads the program code that opens the
//    context): the exported WintabDouble_* functions below, found with
//    GetProcAddress(GetModuleHandleA("wintab32.dll"), ...); WintabDoubleApi
//    binds them all.
//
// 2. From another process (a real program started by the test):
//    - Device settings come from environment variables given to the program
//      (read at every WTInfoA and WTOpenA call):
//        WINTAB_DOUBLE_NAME          lcName of the default contexts
//        WINTAB_DOUBLE_AXMIN         axMin of the normal-pressure axis (0)
//        WINTAB_DOUBLE_AXMAX         axMax of the normal-pressure axis (1023)
//        WINTAB_DOUBLE_NO_PRESSURE   1: the device has no pressure axis
//        WINTAB_DOUBLE_INORG_X, _Y   lcInOrgX/Y of the default contexts (0, 0)
//        WINTAB_DOUBLE_INEXT_X, _Y   lcInExtX/Y of the default contexts (40000, 25000)
//        WINTAB_DOUBLE_OPTIONS       lcOptions of the default system context (0x0003)
//        WINTAB_DOUBLE_BTNDNMASK     lcBtnDnMask (0x0000FFFF)
//        WINTAB_DOUBLE_BTNUPMASK     lcBtnUpMask (0x00000007)
//        WINTAB_DOUBLE_QUEUE_MAX     the largest queue WTQueueSizeSet accepts
//                                    (256; read at each call, 0 refuses all)
//      Numbers are decimal, or hexadecimal with 0x.
//    - WINTAB_DOUBLE_LOG names a file to which every call is appended as one
//      line at the moment it happens (see "Call log" below).
//    - WINTAB_DOUBLE_SCRIPT names a pen script (tools/wintab32/PenScript.h,
//      e.g. demo.pen) that the double plays after the first successful
//      WTOpenA, on that thread, at a pen's pace: packets into the context
//      opened last (client positions of its window mapped through its system
//      origin and extent and the device's input extent, pressures to axMax),
//      drags on the colour picker and picks on the canvas as real mouse input.
//      When it is played and handled, the double creates the file named by
//      WINTAB_DOUBLE_SCRIPT_DONE (if set): empty, or with the reason why the
//      script could not be played.
//    - The first successful WTOpenA creates a message-only control window of
//      class "WintabDoubleControl" whose title is the process id in decimal,
//      on the thread that called WTOpenA; it is destroyed when the last
//      context is closed. Find it with WintabDoubleFindControl(processId).
//    - Commands are WM_COPYDATA messages sent to it (SendMessage; wParam may
//      be the sender's window or 0); dwData is the command, the result of
//      SendMessage its answer:
//        WINTAB_DOUBLE_CMD_QUEUE_PACKET   lpData: WintabDoublePacket. Queues the
//            packet in the context opened last and posts WT_PACKET (wParam the
//            serial number, lParam the context) to its window. Answer: the
//            serial number, or 0 (no open context, disabled, queue full).
//        WINTAB_DOUBLE_CMD_PROXIMITY      lpData: WintabDoubleProximity. Posts
//            WT_PROXIMITY (wParam the context, lParam MAKELONG(entering,
//            hardware)). Answer: 1, or 0 without an open context.
//        WINTAB_DOUBLE_CMD_LAST_HANDLED   no data. Answer: the serial number of
//            the last packet known to be handled (see below), 0 before any.
//        WINTAB_DOUBLE_CMD_LAST_LATENCY   no data. Answer: nanoseconds from the
//            posting of the last handled packet's WT_PACKET to the end of its
//            handling (the dispatch of the marker below), as the program itself
//            experiences it; 0 before any.
//        WINTAB_DOUBLE_CMD_QUEUE_COUNT    no data. Answer: packets still queued
//            in the context opened last, -1 without an open context.
//        WINTAB_DOUBLE_CMD_LOAD           lpData: a file path (its zero may be
//            left out). Calls the program's own exported Paint_Load on the
//            window of the context opened last, on the program's thread.
//            Answer: its result (1 loaded, 0 refused), -1 when the program
//            exports no Paint_Load or no context is open.
//        WINTAB_DOUBLE_CMD_GDI_OBJECTS    no data. Answer: the GDI objects of
//            the process: GetGuiResources(GR_GDIOBJECTS) where it answers;
//            where it answers 0 (Wine), the live entries of the GDI handle
//            table, each index probed with GetObjectType (Wine takes a handle
//            given by its index alone).
//    - Knowing that a packet has been handled: right after posting WT_PACKET
//      the double posts a private message to its control window, which lives
//      on the same thread. Posted messages of a thread are retrieved in order,
//      so when that message is dispatched the thread has finished dispatching
//      the WT_PACKET message and everything it did synchronously (pen
//      messages sent, UpdateWindow painting). The double then records the
//      serial number (WINTAB_DOUBLE_CMD_LAST_HANDLED) and releases the named
//      semaphore "WintabDoubleHandled.<process id>" once. A test waits on that
//      semaphore once per packet it queued without WINTAB_DOUBLE_NO_POST
//      (WintabDoubleOpenHandledSemaphore). The semaphore lives as long as the
//      process; the control window only while a context is open.
//
// Call log: one line per call, tokens separated by single spaces; pointers
// are "null" or "ptr", handles and masks are hexadecimal with 0x, the rest
// decimal; the result follows " = ":
//   WTInfoA <category> <index> <null|ptr> = <result>
//   WTOpenA <window> <null|ptr> <enable> = <context or 0x0>
//   WTClose <context> = <result>
//   WTPacket <context> <serial> <null|ptr> = <result>
//   WTPacketsGet <context> <maxPackets> <null|ptr> = <result>
//   WTEnable <context> <enable> = <result>
//   WTQueueSizeSet <context> <size> = <result>
// Each WTOpenA line is followed by the context description it was given, one
// field a line, in record order: `context lcName "<name>"`, then
// `context <field> <value>` with UINT, DWORD and mask fields in hexadecimal
// (lcOptions, lcStatus, lcLocks, lcMsgBase, lcDevice, lcPktRate, lcPktData,
// lcPktMode, lcMoveMask, lcBtnDnMask, lcBtnUpMask, lcSensX/Y/Z,
// lcSysSensX/Y) and the signed fields in decimal.
//
// The double is single-threaded, like the programs it serves: call it from
// the thread that opened the context.
#pragma once
#include <windows.h>

#include <cstdio>

const char kWintabDoubleControlClass[] = "WintabDoubleControl";
const char kWintabDoubleHandledSemaphore[] = "WintabDoubleHandled.";  // + process id

enum WintabDoubleCommand : ULONG_PTR {
  WINTAB_DOUBLE_CMD_QUEUE_PACKET = 1,
  WINTAB_DOUBLE_CMD_PROXIMITY = 2,
  WINTAB_DOUBLE_CMD_LAST_HANDLED = 3,
  WINTAB_DOUBLE_CMD_QUEUE_COUNT = 4,
  WINTAB_DOUBLE_CMD_LAST_LATENCY = 5,
  WINTAB_DOUBLE_CMD_LOAD = 6,
  WINTAB_DOUBLE_CMD_GDI_OBJECTS = 7,
};

// The device and its default contexts (WTI_DEFSYSCTX, WTI_DEFCONTEXT).
struct WintabDoubleDevice {
  char name[40];         // lcName
  LONG pressureMin;      // axMin of the normal-pressure axis
  LONG pressureMax;      // axMax
  BOOL hasPressureAxis;  // FALSE: WTInfoA(WTI_DEVICES, DVC_NPRESSURE) returns 0, writes nothing
  LONG inOrgX, inOrgY;   // lcInOrgX/Y, tablet counts
  LONG inExtX, inExtY;   // lcInExtX/Y, tablet counts
  UINT options;          // lcOptions of the default system context
  DWORD btnDnMask;       // lcBtnDnMask
  DWORD btnUpMask;       // lcBtnUpMask
};

// Flags of WintabDoublePacket.
const DWORD WINTAB_DOUBLE_NO_POST = 0x1;  // queue without posting WT_PACKET

// One packet as the driver reports it, in the context's output coordinates.
struct WintabDoublePacket {
  DWORD x, y, z;  // pkX, pkY, pkZ
  UINT normalPressure;
  UINT tangentPressure;
  UINT cursor;   // pkCursor
  DWORD buttons; // pkButtons as reported; relative mode: MAKELONG(button, TBN_NONE/UP/DOWN)
  UINT status;   // pkStatus (TPS_QUEUE_ERR is added after an overflow)
  int azimuth, altitude, twist;
  DWORD flags;   // WINTAB_DOUBLE_NO_POST
};

struct WintabDoubleProximity {
  BOOL entering;  // low word of the WT_PROXIMITY lParam
  BOOL hardware;  // high word
};

// One recorded call. Arguments in call order: numbers and handles as passed,
// pointers as 0 (null) or 1.
struct WintabDoubleCall {
  char function[16];
  ULONGLONG args[3];
  ULONGLONG result;
};

// In-process control functions. Contexts are passed as void* (a Wintab
// HCTX); a null context means the context opened last that is still open.
extern "C" {
typedef const char*(WINAPI* WintabDouble_VariantProc)(void);  // "full", "no-wtenable", "no-wtopena", "no-service", "open-fails"
// Forgets every context (without closing it), the calls, the opened
// description and the device set in-process.
typedef void(WINAPI* WintabDouble_ResetProc)(void);
typedef void(WINAPI* WintabDouble_GetDeviceProc)(WintabDoubleDevice* device);
typedef void(WINAPI* WintabDouble_SetDeviceProc)(const WintabDoubleDevice* device);  // null: defaults and environment again
typedef UINT(WINAPI* WintabDouble_QueuePacketProc)(void* context, const WintabDoublePacket* packet);  // serial or 0
typedef BOOL(WINAPI* WintabDouble_PostProximityProc)(void* context, BOOL entering, BOOL hardware);
typedef int(WINAPI* WintabDouble_QueueCountProc)(void* context);  // -1: no such open context
typedef int(WINAPI* WintabDouble_QueueLimitProc)(void* context);  // -1: no such open context
typedef BOOL(WINAPI* WintabDouble_IsEnabledProc)(void* context);
typedef void*(WINAPI* WintabDouble_OpenContextProc)(void);  // the context opened last while still open, else null
typedef int(WINAPI* WintabDouble_OpenCountProc)(void);
// The description and window of the last WTOpenA call, refused ones included;
// FALSE before any call. size: bytes to copy, at most 172.
typedef BOOL(WINAPI* WintabDouble_GetOpenedContextProc)(void* description, int size);
typedef HWND(WINAPI* WintabDouble_GetOpenedWindowProc)(void);
typedef int(WINAPI* WintabDouble_CallCountProc)(void);
typedef BOOL(WINAPI* WintabDouble_GetCallProc)(int index, WintabDoubleCall* call);
// The call log as text, the lines of the log file; returns the full length
// and copies at most size - 1 characters and a terminating zero.
typedef int(WINAPI* WintabDouble_GetLogProc)(char* buffer, int size);
typedef HWND(WINAPI* WintabDouble_ControlWindowProc)(void);
}

// Binds every control function of the loaded double.
struct WintabDoubleApi {
  WintabDouble_VariantProc Variant;
  WintabDouble_ResetProc Reset;
  WintabDouble_GetDeviceProc GetDevice;
  WintabDouble_SetDeviceProc SetDevice;
  WintabDouble_QueuePacketProc QueuePacket;
  WintabDouble_PostProximityProc PostProximity;
  WintabDouble_QueueCountProc QueueCount;
  WintabDouble_QueueLimitProc QueueLimit;
  WintabDouble_IsEnabledProc IsEnabled;
  WintabDouble_OpenContextProc OpenContext;
  WintabDouble_OpenCountProc OpenCount;
  WintabDouble_GetOpenedContextProc GetOpenedContext;
  WintabDouble_GetOpenedWindowProc GetOpenedWindow;
  WintabDouble_CallCountProc CallCount;
  WintabDouble_GetCallProc GetCall;
  WintabDouble_GetLogProc GetLog;
  WintabDouble_ControlWindowProc ControlWindow;

  // True when the module is the double and every function was found.
  bool Bind(HMODULE module) {
    bool all = module != nullptr;
    Get(module, "WintabDouble_Variant", Variant, all);
    Get(module, "WintabDouble_Reset", Reset, all);
    Get(module, "WintabDouble_GetDevice", GetDevice, all);
    Get(module, "WintabDouble_SetDevice", SetDevice, all);
    Get(module, "WintabDouble_QueuePacket", QueuePacket, all);
    Get(module, "WintabDouble_PostProximity", PostProximity, all);
    Get(module, "WintabDouble_QueueCount", QueueCount, all);
    Get(module, "WintabDouble_QueueLimit", QueueLimit, all);
    Get(module, "WintabDouble_IsEnabled", IsEnabled, all);
    Get(module, "WintabDouble_OpenContext", OpenContext, all);
    Get(module, "WintabDouble_OpenCount", OpenCount, all);
    Get(module, "WintabDouble_GetOpenedContext", GetOpenedContext, all);
    Get(module, "WintabDouble_GetOpenedWindow", GetOpenedWindow, all);
    Get(module, "WintabDouble_CallCount", CallCount, all);
    Get(module, "WintabDouble_GetCall", GetCall, all);
    Get(module, "WintabDouble_GetLog", GetLog, all);
    Get(module, "WintabDouble_ControlWindow", ControlWindow, all);
    return all;
  }

 private:
  template <typename Proc>
  static void Get(HMODULE module, const char* name, Proc& slot, bool& all) {
    slot = module ? reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
    all = all && slot != nullptr;
  }
};

// Cross-process helpers.

// The control window of the double loaded in that process, or null (not yet
// opened, or already closed).
inline HWND WintabDoubleFindControl(DWORD processId) {
  char title[16];
  std::snprintf(title, sizeof title, "%lu", static_cast<unsigned long>(processId));
  return FindWindowExA(HWND_MESSAGE, nullptr, kWintabDoubleControlClass, title);
}

// The semaphore released once per handled packet; close it with CloseHandle.
inline HANDLE WintabDoubleOpenHandledSemaphore(DWORD processId) {
  char name[48];
  std::snprintf(name, sizeof name, "%s%lu", kWintabDoubleHandledSemaphore, static_cast<unsigned long>(processId));
  return OpenSemaphoreA(SYNCHRONIZE, FALSE, name);
}

inline LRESULT WintabDoubleSend(HWND control, WintabDoubleCommand command, const void* data, DWORD size) {
  COPYDATASTRUCT copy = {command, size, const_cast<void*>(data)};
  return SendMessageA(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

// Serial number of the queued packet, or 0.
// A packet at those output coordinates, with that pressure, cursor and buttons.
inline WintabDoublePacket WintabDoublePacketAt(DWORD x, DWORD y, UINT pressure, UINT cursor = 1, DWORD buttons = 0) {
  WintabDoublePacket packet = {};
  packet.x = x;
  packet.y = y;
  packet.normalPressure = pressure;
  packet.cursor = cursor;
  packet.buttons = buttons;
  return packet;
}

inline UINT WintabDoubleSendPacket(HWND control, const WintabDoublePacket& packet) {
  return static_cast<UINT>(WintabDoubleSend(control, WINTAB_DOUBLE_CMD_QUEUE_PACKET, &packet, sizeof packet));
}

inline bool WintabDoubleSendProximity(HWND control, bool entering, bool hardware) {
  WintabDoubleProximity proximity = {entering ? TRUE : FALSE, hardware ? TRUE : FALSE};
  return WintabDoubleSend(control, WINTAB_DOUBLE_CMD_PROXIMITY, &proximity, sizeof proximity) != 0;
}
