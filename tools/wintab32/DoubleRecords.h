// The Wintab records as the driver side sees them, declared here from the
// published layouts (independently of the program's own declarations, so that
// a layout error on either side shows up in the tests).
#pragma once
#include <windows.h>

#include <cstddef>

namespace wintab_double {

typedef struct ContextTag* HCTX;

const UINT WTI_INTERFACE = 1;
const UINT WTI_DEFCONTEXT = 3;
const UINT WTI_DEFSYSCTX = 4;
const UINT WTI_DEVICES = 100;
const UINT IFC_WINTABID = 1;
const UINT DVC_NPRESSURE = 15;

const UINT CXO_SYSTEM = 0x0001;
const UINT CXO_PEN = 0x0002;
const UINT CXO_MESSAGES = 0x0004;

const UINT WT_PACKET_OFFSET = 0;     // from lcMsgBase
const UINT WT_PROXIMITY_OFFSET = 5;  // from lcMsgBase
const UINT TPS_QUEUE_ERR = 0x0002;

const DWORD PK_CONTEXT = 0x0001;
const DWORD PK_STATUS = 0x0002;
const DWORD PK_TIME = 0x0004;
const DWORD PK_CHANGED = 0x0008;
const DWORD PK_SERIAL_NUMBER = 0x0010;
const DWORD PK_CURSOR = 0x0020;
const DWORD PK_BUTTONS = 0x0040;
const DWORD PK_X = 0x0080;
const DWORD PK_Y = 0x0100;
const DWORD PK_Z = 0x0200;
const DWORD PK_NORMAL_PRESSURE = 0x0400;
const DWORD PK_TANGENT_PRESSURE = 0x0800;
const DWORD PK_ORIENTATION = 0x1000;

struct Axis {
  LONG axMin;
  LONG axMax;
  UINT axUnits;
  DWORD axResolution;
};
static_assert(sizeof(Axis) == 16, "AXIS is 16 bytes");

struct LogContext {
  char lcName[40];
  UINT lcOptions, lcStatus, lcLocks, lcMsgBase, lcDevice, lcPktRate;
  DWORD lcPktData, lcPktMode, lcMoveMask, lcBtnDnMask, lcBtnUpMask;
  LONG lcInOrgX, lcInOrgY, lcInOrgZ, lcInExtX, lcInExtY, lcInExtZ;
  LONG lcOutOrgX, lcOutOrgY, lcOutOrgZ, lcOutExtX, lcOutExtY, lcOutExtZ;
  DWORD lcSensX, lcSensY, lcSensZ;
  BOOL lcSysMode;
  int lcSysOrgX, lcSysOrgY, lcSysExtX, lcSysExtY;
  DWORD lcSysSensX, lcSysSensY;
};
static_assert(sizeof(LogContext) == 172, "LOGCONTEXTA is 172 bytes");
static_assert(offsetof(LogContext, lcOptions) == 40, "layout");
static_assert(offsetof(LogContext, lcBtnUpMask) == 80, "layout");
static_assert(offsetof(LogContext, lcInExtX) == 96, "layout");
static_assert(offsetof(LogContext, lcOutExtY) == 124, "layout");
static_assert(offsetof(LogContext, lcSysMode) == 144, "layout");
static_assert(offsetof(LogContext, lcSysExtX) == 156, "layout");

}  // namespace wintab_double
