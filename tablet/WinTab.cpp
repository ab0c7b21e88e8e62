#include "tablet/WinTab.h"

#include <cstdio>

#include "tablet/PenMessages.h"
#include "tablet/PenPacket.h"

// Zero-initialised: nothing bound until LoadWintab.
WintabProcs wintabProcs;

namespace {

const char kWintabLibrary[] = "wintab32.dll";
// The program's exact text, "ritrieve" included: the tests pin it, as may
// anything that reads this output, so it is not to be corrected.
const char kMissingProcLine[] = "Debug : cannot ritrieve proc address : %s\n";

// A queue that holds a stall of the program's: 128 packets are 640 ms at 200
// a second. A driver that refuses is asked for half as many, down to 32.
const int kQueueSizeWanted = 128;
const int kQueueSizeLeast = 32;
const UINT kContextOptions = CXO_SYSTEM | CXO_MESSAGES | CXO_MARGIN;  // 0x8005
const WTPKT kPacketData = PK_ALL_STANDARD;                            // 0x1FFF
const WTPKT kPacketMode = PK_BUTTONS;  // buttons relative, the rest absolute

template <typename Proc>
void Bind(Proc& slot, HMODULE module, const char* name) {
  // Through a plain function pointer type: no cast warning between signatures.
  slot = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetWintabProc(module, name)));
}

// Open, OnMessage and Close call all seven; a context is only usable when
// every one of them is there.
bool AllProcsBound() {
  const WintabProcs& p = wintabProcs;
  return p.WTClose && p.WTInfoA && p.WTOpenA && p.WTPacket && p.WTPacketsGet && p.WTEnable &&
         p.WTQueueSizeSet;
}

}  // namespace

FARPROC GetWintabProc(HMODULE module, const char* name) {
  // GetProcAddress with a null module would search the program itself.
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  if (!proc) {
    std::printf(kMissingProcLine, name);
    std::fflush(stdout);
  }
  return proc;
}

bool LoadWintab() {
  if (!wintabProcs.bound) {
    HMODULE module = GetModuleHandleA(kWintabLibrary);
    if (!module) module = LoadLibraryA(kWintabLibrary);
    if (!module) return false;
    Bind(wintabProcs.WTClose, module, "WTClose");
    Bind(wintabProcs.WTInfoA, module, "WTInfoA");
    Bind(wintabProcs.WTOpenA, module, "WTOpenA");
    Bind(wintabProcs.WTPacket, module, "WTPacket");
    Bind(wintabProcs.WTPacketsGet, module, "WTPacketsGet");
    Bind(wintabProcs.WTEnable, module, "WTEnable");
    Bind(wintabProcs.WTQueueSizeSet, module, "WTQueueSizeSet");
    wintabProcs.bound = true;
  }
  return wintabProcs.WTOpenA != nullptr;
}

WinTab::WinTab()
    : window(nullptr),
      context(nullptr),
      mapping{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
      penDown(false),
      sample{0.0, 0.0, 0.0},
      cursor(0),
      button(0),
      buttonChange(0),
      inProximity(false) {}

WinTab::~WinTab() { Close(); }

bool WinTab::Open(HWND newWindow) {
  Close();  // a context left open by an earlier Open is not leaked
  if (!LoadWintab() || !AllProcsBound()) return false;
  if (!wintabProcs.WTInfoA(0, 0, nullptr)) return false;

  AXIS pressureAxis = {};
  wintabProcs.WTInfoA(WTI_DEVICES, DVC_NPRESSURE, &pressureAxis);
  mapping.pressureMax = PressureMaximum(pressureAxis.axMax);

  LOGCONTEXTA description = {};
  wintabProcs.WTInfoA(WTI_DEFSYSCTX, 0, &description);
  mapping.inExtX = description.lcInExtX;
  mapping.inExtY = description.lcInExtY;
  ReadScreenSize();
  // Without an input extent no packet position can be mapped to the screen.
  if (description.lcInExtX <= 0 || description.lcInExtY <= 0) return false;

  description.lcOptions |= kContextOptions;
  description.lcMsgBase = WT_DEFBASE;
  description.lcPktData = kPacketData;
  description.lcPktMode = kPacketMode;
  description.lcMoveMask = kPacketData;
  description.lcBtnUpMask = description.lcBtnDnMask;
  description.lcOutOrgX = 0;
  description.lcOutOrgY = 0;
  description.lcOutExtX = description.lcInExtX;
  description.lcOutExtY = -description.lcInExtY;  // packet Y grows downwards
  // The driver moves the system cursor over the same virtual screen that
  // packets are mapped onto, wherever its origin lies.
  description.lcSysOrgX = static_cast<int>(mapping.screenLeft);
  description.lcSysOrgY = static_cast<int>(mapping.screenTop);
  description.lcSysExtX = static_cast<int>(mapping.screenWidth);
  description.lcSysExtY = static_cast<int>(mapping.screenHeight);

  context = wintabProcs.WTOpenA(newWindow, &description, TRUE);
  if (!context) return false;
  for (int size = kQueueSizeWanted; !wintabProcs.WTQueueSizeSet(context, size) && size > kQueueSizeLeast;) size /= 2;
  window = newWindow;
  penDown = false;
  return true;
}

bool WinTab::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!context) return false;
  switch (message) {
    case WM_DISPLAYCHANGE:
      ReadScreenSize();
      return false;  // the window handles it as well
    case WT_PROXIMITY:
      inProximity = LOWORD(lParam) != 0;
      wintabProcs.WTPacketsGet(context, 1, nullptr);
      return true;
    case WT_PACKET:
      return OnPacket(wParam, lParam);
    default:
      return false;
  }
}

bool WinTab::OnPacket(WPARAM serial, LPARAM packetContext) {
  WintabPacket packet = {};
  if (!wintabProcs.WTPacket(reinterpret_cast<HCTX>(packetContext), static_cast<UINT>(serial), &packet))
    return false;  // already gone from the queue

  // Tablet counts to screen pixels; the fraction of a pixel is kept.
  const double fx = mapping.ScreenX(packet.pkX);
  const double fy = mapping.ScreenY(packet.pkY);
  POINT client = {static_cast<int>(fx), static_cast<int>(fy)};
  ScreenToClient(window, &client);
  sample.x = ClientPosition(fx, client.x);
  sample.y = ClientPosition(fy, client.y);
  sample.pressure = mapping.Pressure(packet.pkNormalPressure);

  RECT area = {};
  GetClientRect(window, &area);
  const bool inside = InsideClient(sample, area.right - area.left, area.bottom - area.top);
  cursor = packet.pkCursor;
  button = packet.pkButtons & 0xFFFF;
  buttonChange = packet.pkButtons >> 16;

  const unsigned penMessage = NextPenMessage(penDown, sample.pressure, inside);
  if (penMessage) SendMessageA(window, penMessage, 0, 0);
  // The pen handling may have closed the context.
  if (context) wintabProcs.WTPacketsGet(context, 1, nullptr);
  return true;
}

void WinTab::ReadScreenSize() {
  mapping.screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
  mapping.screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
  mapping.screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  mapping.screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void WinTab::Enable(bool enable) {
  if (context && wintabProcs.WTEnable) wintabProcs.WTEnable(context, enable ? TRUE : FALSE);
}

void WinTab::Close() {
  Enable(false);
  if (context && wintabProcs.WTClose) wintabProcs.WTClose(context);
  context = nullptr;
}
