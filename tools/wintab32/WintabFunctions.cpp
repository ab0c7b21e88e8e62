// The Wintab functions of the double. Build variants:
//   WINTAB_DOUBLE_WITHOUT_WTENABLE  WTEnable is not exported
//   WINTAB_DOUBLE_WITHOUT_WTOPENA   WTOpenA is not exported
//   WINTAB_DOUBLE_NO_SERVICE        WTInfoA reports no service; nothing opens
//   WINTAB_DOUBLE_OPEN_FAILS        WTOpenA refuses every context
//   WINTAB_DOUBLE_WINE_BUTTONS      buttons reported as Wine does (DoubleState.cpp)
#include <cstdio>
#include <cstring>

#include "tools/wintab32/DoubleState.h"

using namespace wintab_double;

namespace {

const char kInterfaceId[] = "Wintab test double";

UINT Logged(const char* function, UINT category, UINT index, const void* output, UINT result) {
  char text[96];
  std::snprintf(text, sizeof text, "WTInfoA %u %u %s = %u", category, index, PointerText(output), result);
  LogCall(function, category, index, PointerFlag(output), result, text);
  return result;
}

BOOL LoggedContextCall(const char* function, HCTX handle, int argument, bool hasArgument, BOOL result) {
  char text[96];
  if (hasArgument)
    std::snprintf(text, sizeof text, "%s 0x%llx %d = %d", function, HandleValue(handle), argument, result);
  else
    std::snprintf(text, sizeof text, "%s 0x%llx = %d", function, HandleValue(handle), result);
  LogCall(function, HandleValue(handle), static_cast<ULONGLONG>(static_cast<LONGLONG>(argument)), 0,
          static_cast<ULONGLONG>(static_cast<LONGLONG>(result)), text);
  return result;
}

UINT Info(UINT category, UINT index, void* output) {
#ifdef WINTAB_DOUBLE_NO_SERVICE
  (void)category, (void)index, (void)output;
  return 0;
#else
  switch (category) {
    case 0:
      return sizeof(LogContext);  // the largest record: service present
    case WTI_INTERFACE:
      if (index != IFC_WINTABID) return 0;
      if (output) std::memcpy(output, kInterfaceId, sizeof kInterfaceId);
      return sizeof kInterfaceId;
    case WTI_DEFCONTEXT:
    case WTI_DEFSYSCTX:
      if (index != 0) return 0;
      if (output) DefaultContext(static_cast<LogContext*>(output), category == WTI_DEFSYSCTX);
      return sizeof(LogContext);
    case WTI_DEVICES: {
      const WintabDoubleDevice device = CurrentDevice();
      if (index != DVC_NPRESSURE || !device.hasPressureAxis) return 0;
      if (output) {
        Axis axis = {device.pressureMin, device.pressureMax, 0, 0};
        std::memcpy(output, &axis, sizeof axis);
      }
      return sizeof(Axis);
    }
    default:
      return 0;
  }
#endif
}

#ifndef WINTAB_DOUBLE_WITHOUT_WTOPENA
HCTX Open(HWND window, const LogContext* description, BOOL enable) {
  state.haveOpenedDescription = description != nullptr;
  if (description) state.openedDescription = *description;
  state.openedWindow = window;
#if defined(WINTAB_DOUBLE_NO_SERVICE) || defined(WINTAB_DOUBLE_OPEN_FAILS)
  (void)enable;
  return nullptr;
#else
  if (!description || !IsWindow(window)) return nullptr;
  Context* context = nullptr;
  for (Context& candidate : state.contexts)
    if (!candidate.open) {
      context = &candidate;
      break;
    }
  if (!context) return nullptr;
  // A handle above 4 GiB on 64-bit Windows: a caller that keeps only 32 bits
  // of it loses the context.
  const ULONG_PTR base = sizeof(void*) == 8 ? static_cast<ULONG_PTR>(0x7A5C00000000ull) : 0x7A500000u;
  context->open = true;
  context->handle = reinterpret_cast<HCTX>(base + (static_cast<ULONG_PTR>(++state.openSerial) << 4));
  context->window = window;
  context->description = *description;
  context->enabled = enable != FALSE;
  context->limit = kDefaultQueueLimit;
  context->count = 0;
  context->overflowed = false;
  state.lastOpened = context->handle;
  CreateControlWindow();
  StartScript();
  return context->handle;
#endif
}
#endif

}  // namespace

extern "C" {

UINT WINAPI WTInfoA(UINT category, UINT index, LPVOID output) {
  return Logged("WTInfoA", category, index, output, Info(category, index, output));
}

#ifndef WINTAB_DOUBLE_WITHOUT_WTOPENA
HCTX WINAPI WTOpenA(HWND window, LogContext* description, BOOL enable) {
  HCTX handle = Open(window, description, enable);
  char text[128];
  std::snprintf(text, sizeof text, "WTOpenA 0x%llx %s %d = 0x%llx", HandleValue(window), PointerText(description),
                enable, HandleValue(handle));
  LogCall("WTOpenA", HandleValue(window), PointerFlag(description), static_cast<ULONGLONG>(enable),
          HandleValue(handle), text);
  if (description) LogContextDescription(*description);
  return handle;
}
#endif

BOOL WINAPI WTClose(HCTX handle) {
  Context* context = FindContext(handle);
  if (context) {
    context->open = false;
    context->count = 0;
    DestroyControlWindowIfUnused();
  }
  return LoggedContextCall("WTClose", handle, 0, false, context ? TRUE : FALSE);
}

BOOL WINAPI WTPacket(HCTX handle, UINT serial, LPVOID output) {
  BOOL found = FALSE;
  if (Context* context = FindContext(handle)) {
    for (int i = 0; i < context->count; ++i) {
      if (context->queue[i].serial != serial) continue;
      if (output) WritePacket(*context, context->queue[i], static_cast<BYTE*>(output));
      RemoveOldest(context, i + 1);  // it and every older packet
      found = TRUE;
      break;
    }
  }
  char text[96];
  std::snprintf(text, sizeof text, "WTPacket 0x%llx %u %s = %d", HandleValue(handle), serial, PointerText(output),
                found);
  LogCall("WTPacket", HandleValue(handle), serial, PointerFlag(output), static_cast<ULONGLONG>(found), text);
  return found;
}

int WINAPI WTPacketsGet(HCTX handle, int maxPackets, LPVOID output) {
  int taken = 0;
  if (Context* context = FindContext(handle)) {
    taken = maxPackets < context->count ? maxPackets : context->count;
    if (taken < 0) taken = 0;
    if (output) {
      const int size = PacketSize(context->description.lcPktData);
      for (int i = 0; i < taken; ++i) WritePacket(*context, context->queue[i], static_cast<BYTE*>(output) + i * size);
    }
    RemoveOldest(context, taken);
  }
  char text[96];
  std::snprintf(text, sizeof text, "WTPacketsGet 0x%llx %d %s = %d", HandleValue(handle), maxPackets,
                PointerText(output), taken);
  LogCall("WTPacketsGet", HandleValue(handle), static_cast<ULONGLONG>(static_cast<LONGLONG>(maxPackets)),
          PointerFlag(output), static_cast<ULONGLONG>(taken), text);
  return taken;
}

#ifndef WINTAB_DOUBLE_WITHOUT_WTENABLE
BOOL WINAPI WTEnable(HCTX handle, BOOL enable) {
  Context* context = FindContext(handle);
  if (context) context->enabled = enable != FALSE;
  return LoggedContextCall("WTEnable", handle, enable, true, context ? TRUE : FALSE);
}
#endif

BOOL WINAPI WTQueueSizeSet(HCTX handle, int size) {
  Context* context = FindContext(handle);
  // $WINTAB_DOUBLE_QUEUE_MAX plays a driver that holds fewer (0: none).
  int largest = kMaxQueue;
  ReadNumber("WINTAB_DOUBLE_QUEUE_MAX", largest);
  const bool accepted = context && size >= 1 && size <= largest && size <= kMaxQueue;
  if (accepted) {
    context->limit = size;
    context->count = 0;  // a new queue starts empty
  }
  return LoggedContextCall("WTQueueSizeSet", handle, size, true, accepted ? TRUE : FALSE);
}

}  // extern "C"
