// The records, constants and function types of the tablet driver's Wintab
// interface that this program uses. The library is bound at run time.
#pragma once
#include <windows.h>

typedef struct HCTX__* HCTX;  // pointer-sized: 8 bytes on 64-bit Windows
typedef DWORD WTPKT;
typedef DWORD FIX32;

const UINT WTI_DEFSYSCTX = 4;
const UINT WTI_DEVICES = 100;
const UINT DVC_NPRESSURE = 15;

const UINT CXO_SYSTEM = 0x0001;
const UINT CXO_MESSAGES = 0x0004;
const UINT CXO_MARGIN = 0x8000;

const UINT WT_DEFBASE = 0x7FF0;
const UINT WT_PACKET = WT_DEFBASE + 0;
const UINT WT_PROXIMITY = WT_DEFBASE + 5;

const WTPKT PK_CONTEXT = 0x0001;
const WTPKT PK_BUTTONS = 0x0040;
const WTPKT PK_ORIENTATION = 0x1000;
const WTPKT PK_ALL_STANDARD = 0x1FFF;  // PK_CONTEXT up to PK_ORIENTATION

struct AXIS {
  LONG axMin;
  LONG axMax;
  UINT axUnits;
  FIX32 axResolution;
};

const int LCNAMELEN = 40;

struct LOGCONTEXTA {
  char lcName[LCNAMELEN];
  UINT lcOptions;
  UINT lcStatus;
  UINT lcLocks;
  UINT lcMsgBase;
  UINT lcDevice;
  UINT lcPktRate;
  WTPKT lcPktData;
  WTPKT lcPktMode;
  WTPKT lcMoveMask;
  DWORD lcBtnDnMask;
  DWORD lcBtnUpMask;
  LONG lcInOrgX;
  LONG lcInOrgY;
  LONG lcInOrgZ;
  LONG lcInExtX;
  LONG lcInExtY;
  LONG lcInExtZ;
  LONG lcOutOrgX;
  LONG lcOutOrgY;
  LONG lcOutOrgZ;
  LONG lcOutExtX;
  LONG lcOutExtY;
  LONG lcOutExtZ;
  FIX32 lcSensX;
  FIX32 lcSensY;
  FIX32 lcSensZ;
  BOOL lcSysMode;
  int lcSysOrgX;
  int lcSysOrgY;
  int lcSysExtX;
  int lcSysExtY;
  FIX32 lcSysSensX;
  FIX32 lcSysSensY;
};
static_assert(sizeof(LOGCONTEXTA) == 172, "LOGCONTEXTA is 172 bytes");

// The packet for data mask 0x1FFF with buttons relative. Its first field, the
// context handle, is pointer-sized, so the record is 60 bytes on 32-bit and 64
// bytes on 64-bit Windows.
struct WintabPacket {
  HCTX pkContext;
  UINT pkStatus;
  DWORD pkTime;
  WTPKT pkChanged;
  UINT pkSerialNumber;
  UINT pkCursor;
  DWORD pkButtons;
  DWORD pkX;
  DWORD pkY;
  DWORD pkZ;
  UINT pkNormalPressure;
  UINT pkTangentPressure;
  int orAzimuth;
  int orAltitude;
  int orTwist;
};
static_assert(sizeof(WintabPacket) == sizeof(HCTX) + 14 * 4, "packet layout");

typedef UINT(WINAPI* WTInfoAProc)(UINT category, UINT index, LPVOID output);
typedef HCTX(WINAPI* WTOpenAProc)(HWND window, LOGCONTEXTA* context, BOOL enable);
typedef BOOL(WINAPI* WTCloseProc)(HCTX context);
typedef BOOL(WINAPI* WTPacketProc)(HCTX context, UINT serial, LPVOID packet);
typedef int(WINAPI* WTPacketsGetProc)(HCTX context, int maxPackets, LPVOID packets);
typedef BOOL(WINAPI* WTEnableProc)(HCTX context, BOOL enable);
typedef BOOL(WINAPI* WTQueueSizeSetProc)(HCTX context, int size);
