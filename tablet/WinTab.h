// The Wintab context on the canvas window: turns tablet packets into pen
// samples in client pixels with pressure 0..1 and sends the window UM_PENDOWN,
// UM_PENMOVE or UM_PENUP for each.
#pragma once
#include <windows.h>

#include "PenPacket.h"
#include "PenSample.h"
#include "WintabApi.h"

// The process-wide binding of "wintab32.dll"; the library is never unloaded.
struct WintabProcs {
  WTCloseProc WTClose;
  WTInfoAProc WTInfoA;
  WTOpenAProc WTOpenA;
  WTPacketProc WTPacket;
  WTPacketsGetProc WTPacketsGet;
  WTEnableProc WTEnable;
  WTQueueSizeSetProc WTQueueSizeSet;
  bool bound;
};
extern WintabProcs wintabProcs;

// Binds the library once; true when WTOpenA is bound.
bool LoadWintab();
// The function's address, or null after printing the debug line.
FARPROC GetWintabProc(HMODULE module, const char* name);

class WinTab {
 public:
  WinTab();
  // As every class here that owns something: a virtual destructor, and no
  // copies, which would close the tablet context twice.
  virtual ~WinTab();
  WinTab(const WinTab&) = delete;
  WinTab& operator=(const WinTab&) = delete;

  bool Open(HWND window);
  // True when the message was consumed.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Enable(bool enable);
  void Close();

  HWND window;
  HCTX context;
  // How packets map onto the virtual screen: the device's pressure maximum,
  // the default context's input extent and the virtual screen's origin and
  // size; made at Open, the screen read again at WM_DISPLAYCHANGE.
  TabletMapping mapping;
  bool penDown;
  PenSample sample;
  unsigned int cursor;
  unsigned int button;
  // High word of pkButtons: in relative reports the change of `button`
  // (TBN_NONE, TBN_UP, TBN_DOWN); 0 from a driver that reports the mask.
  unsigned int buttonChange;
  bool inProximity;

 private:
  // A WT_PACKET message: true when its packet was still queued.
  bool OnPacket(WPARAM serial, LPARAM packetContext);
  // The virtual screen's origin and size, read at Open and WM_DISPLAYCHANGE.
  void ReadScreenSize();
};
