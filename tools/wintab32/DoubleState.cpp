#include "tools/wintab32/DoubleState.h"

#include <cstdlib>
#include <cstring>

namespace wintab_double {

State state;

namespace {

WintabDoubleDevice DefaultDevice() {
  WintabDoubleDevice device = {};
  std::strcpy(device.name, "Test Double System Context");
  device.pressureMin = 0;
  device.pressureMax = 1023;
  device.hasPressureAxis = TRUE;
  device.inOrgX = 0;
  device.inOrgY = 0;
  device.inExtX = 40000;
  device.inExtY = 25000;
  device.options = CXO_SYSTEM | CXO_PEN;
  device.btnDnMask = 0x0000FFFF;
  device.btnUpMask = 0x00000007;
  return device;
}

void Put(BYTE*& out, const void* field, size_t size) {
  std::memcpy(out, field, size);
  out += size;
}

}  // namespace

WintabDoubleDevice CurrentDevice() {
  if (state.deviceSet) return state.device;
  WintabDoubleDevice device = DefaultDevice();
  char name[sizeof device.name];
  DWORD length = GetEnvironmentVariableA("WINTAB_DOUBLE_NAME", name, sizeof name);
  if (length > 0 && length < sizeof name) std::strcpy(device.name, name);
  ReadNumber("WINTAB_DOUBLE_AXMIN", device.pressureMin);
  ReadNumber("WINTAB_DOUBLE_AXMAX", device.pressureMax);
  int noPressure = 0;
  ReadNumber("WINTAB_DOUBLE_NO_PRESSURE", noPressure);
  if (noPressure) device.hasPressureAxis = FALSE;
  ReadNumber("WINTAB_DOUBLE_INORG_X", device.inOrgX);
  ReadNumber("WINTAB_DOUBLE_INORG_Y", device.inOrgY);
  ReadNumber("WINTAB_DOUBLE_INEXT_X", device.inExtX);
  ReadNumber("WINTAB_DOUBLE_INEXT_Y", device.inExtY);
  ReadNumber("WINTAB_DOUBLE_OPTIONS", device.options);
  ReadNumber("WINTAB_DOUBLE_BTNDNMASK", device.btnDnMask);
  ReadNumber("WINTAB_DOUBLE_BTNUPMASK", device.btnUpMask);
  return device;
}

void DefaultContext(LogContext* description, bool system) {
  const WintabDoubleDevice device = CurrentDevice();
  LogContext c = {};
  std::memcpy(c.lcName, device.name, sizeof c.lcName);
  c.lcName[sizeof c.lcName - 1] = 0;
  c.lcOptions = system ? device.options : device.options & ~CXO_SYSTEM;
  c.lcStatus = 0;
  c.lcLocks = 0;
  c.lcMsgBase = 0x7FF0;
  c.lcDevice = 0;
  c.lcPktRate = 100;
  c.lcPktData = PK_CURSOR | PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;
  c.lcPktMode = 0;
  c.lcMoveMask = PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;
  c.lcBtnDnMask = device.btnDnMask;
  c.lcBtnUpMask = device.btnUpMask;
  c.lcInOrgX = device.inOrgX;
  c.lcInOrgY = device.inOrgY;
  c.lcInOrgZ = 0;
  c.lcInExtX = device.inExtX;
  c.lcInExtY = device.inExtY;
  c.lcInExtZ = 1024;
  c.lcOutOrgX = 0;
  c.lcOutOrgY = 0;
  c.lcOutOrgZ = 0;
  c.lcOutExtX = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  c.lcOutExtY = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  c.lcOutExtZ = 1024;
  c.lcSensX = c.lcSensY = c.lcSensZ = 0x10000;
  c.lcSysMode = FALSE;
  c.lcSysOrgX = GetSystemMetrics(SM_XVIRTUALSCREEN);
  c.lcSysOrgY = GetSystemMetrics(SM_YVIRTUALSCREEN);
  c.lcSysExtX = c.lcOutExtX;
  c.lcSysExtY = c.lcOutExtY;
  c.lcSysSensX = c.lcSysSensY = 0x10000;
  *description = c;
}

Context* FindContext(HCTX handle) {
  if (!handle) return nullptr;
  for (Context& context : state.contexts)
    if (context.open && context.handle == handle) return &context;
  return nullptr;
}

Context* ContextOrLastOpened(void* handle) {
  return FindContext(static_cast<HCTX>(handle ? handle : state.lastOpened));
}

bool AnyContextOpen() {
  for (const Context& context : state.contexts)
    if (context.open) return true;
  return false;
}

namespace {
// Puts one packet at the end of the queue; its serial, or 0 when full.
UINT Enqueue(Context* context, const WintabDoublePacket& packet) {
  if (context->count >= context->limit) {
    context->overflowed = true;  // a real queue loses the newest packet
    return 0;
  }
  if (++state.nextSerial == 0) ++state.nextSerial;
  QueuedPacket& queued = context->queue[context->count++];
  queued.serial = state.nextSerial;
  queued.time = GetTickCount();
  queued.status = packet.status | (context->overflowed ? TPS_QUEUE_ERR : 0);
  queued.data = packet;
  context->overflowed = false;
  return queued.serial;
}

void PostPacket(Context* context, UINT serial) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  state.postedAt[serial % 64] = now.QuadPart;
  PostMessageA(context->window, context->description.lcMsgBase + WT_PACKET_OFFSET, serial,
               reinterpret_cast<LPARAM>(context->handle));
}

#ifdef WINTAB_DOUBLE_WINE_BUTTONS
// As Wine's wintab32 reports buttons, whatever the context's packet mode:
// the absolute bit mask, the tip as bit 1 (the barrel buttons' bits are the
// packet's own). A touch-down is a motion packet without the tip bit followed
// by the tip's press, a lift a motion packet with it followed by the release;
// each pair has one time and both are queued before either is handled.
const DWORD kTipBit = 0x2;
bool tipDown = false;

int EnqueueAsWine(Context* context, WintabDoublePacket packet, UINT serials[2]) {
  const bool touching = packet.normalPressure > 0;
  const DWORD barrels = packet.buttons & ~kTipBit;
  packet.buttons = barrels | (tipDown ? kTipBit : 0);
  int count = 0;
  serials[count++] = Enqueue(context, packet);
  if (touching != tipDown) {
    tipDown = touching;
    packet.buttons = barrels | (tipDown ? kTipBit : 0);
    serials[count++] = Enqueue(context, packet);
    context->queue[context->count - 1].time = context->queue[context->count - 2].time;
  }
  return count;
}
#endif
}  // namespace

UINT QueuePacket(Context* context, const WintabDoublePacket& packet) {
  if (!context || !context->enabled) return 0;
  UINT serials[2] = {0, 0};
#ifdef WINTAB_DOUBLE_WINE_BUTTONS
  const int count = EnqueueAsWine(context, packet, serials);
#else
  const int count = 1;
  serials[0] = Enqueue(context, packet);
#endif
  const UINT last = serials[count - 1];
  if (!last) return 0;
  if (!(packet.flags & WINTAB_DOUBLE_NO_POST) && (context->description.lcOptions & CXO_MESSAGES)) {
    for (int i = 0; i < count; ++i) PostPacket(context, serials[i]);
    PostHandledMarker(last);  // after all of them: handled means both of a pair
  }
  return last;
}

BOOL PostProximity(Context* context, BOOL entering, BOOL hardware) {
  if (!context || !(context->description.lcOptions & CXO_MESSAGES)) return FALSE;
  return PostMessageA(context->window, context->description.lcMsgBase + WT_PROXIMITY_OFFSET,
                      reinterpret_cast<WPARAM>(context->handle), MAKELPARAM(entering ? 1 : 0, hardware ? 1 : 0));
}

void RemoveOldest(Context* context, int count) {
  if (count <= 0) return;
  if (count > context->count) count = context->count;
  std::memmove(context->queue, context->queue + count, (context->count - count) * sizeof(QueuedPacket));
  context->count -= count;
}

int PacketSize(DWORD packetData) {
  int size = 0;
  if (packetData & PK_CONTEXT) size += sizeof(HCTX);
  const DWORD fourByteFields = PK_STATUS | PK_TIME | PK_CHANGED | PK_SERIAL_NUMBER | PK_CURSOR | PK_BUTTONS |
                               PK_X | PK_Y | PK_Z | PK_NORMAL_PRESSURE | PK_TANGENT_PRESSURE;
  for (DWORD bit = 1; bit <= PK_TANGENT_PRESSURE; bit <<= 1)
    if (packetData & fourByteFields & bit) size += 4;
  if (packetData & PK_ORIENTATION) size += 12;
  return size;
}

// The selected fields in their standard order, without gaps.
void WritePacket(const Context& context, const QueuedPacket& packet, BYTE* out) {
  const DWORD data = context.description.lcPktData;
  const WintabDoublePacket& p = packet.data;
  const DWORD changed = data;  // every selected field is reported as changed
  if (data & PK_CONTEXT) Put(out, &context.handle, sizeof context.handle);
  if (data & PK_STATUS) Put(out, &packet.status, 4);
  if (data & PK_TIME) Put(out, &packet.time, 4);
  if (data & PK_CHANGED) Put(out, &changed, 4);
  if (data & PK_SERIAL_NUMBER) Put(out, &packet.serial, 4);
  if (data & PK_CURSOR) Put(out, &p.cursor, 4);
  if (data & PK_BUTTONS) Put(out, &p.buttons, 4);
  if (data & PK_X) Put(out, &p.x, 4);
  if (data & PK_Y) Put(out, &p.y, 4);
  if (data & PK_Z) Put(out, &p.z, 4);
  if (data & PK_NORMAL_PRESSURE) Put(out, &p.normalPressure, 4);
  if (data & PK_TANGENT_PRESSURE) Put(out, &p.tangentPressure, 4);
  if (data & PK_ORIENTATION) {
    Put(out, &p.azimuth, 4);
    Put(out, &p.altitude, 4);
    Put(out, &p.twist, 4);
  }
}

}  // namespace wintab_double
