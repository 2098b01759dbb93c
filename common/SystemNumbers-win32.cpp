// Compile-time check that the system's numbers the portable code names
// itself (WindowMessages.h, BoundedText.h) are the system's own.
#include <windows.h>

#include "common/BoundedText.h"
#include "common/WindowMessages.h"

namespace m = SaverMsg;

static_assert(m::Create == WM_CREATE && m::Destroy == WM_DESTROY && m::Close == WM_CLOSE &&
                  m::SetText == WM_SETTEXT && m::Paint == WM_PAINT &&
                  m::EraseBackground == WM_ERASEBKGND && m::ShowWindow == WM_SHOWWINDOW &&
                  m::ActivateApp == WM_ACTIVATEAPP && m::SetCursor == WM_SETCURSOR &&
                  m::Power == WM_POWER && m::Help == WM_HELP && m::ContextMenu == WM_CONTEXTMENU &&
                  m::DisplayChange == WM_DISPLAYCHANGE && m::NcDestroy == WM_NCDESTROY &&
                  m::KeyDown == WM_KEYDOWN && m::KeyUp == WM_KEYUP &&
                  m::SysKeyDown == WM_SYSKEYDOWN && m::SysCommand == WM_SYSCOMMAND &&
                  m::Timer == WM_TIMER && m::MouseMove == WM_MOUSEMOVE &&
                  m::LButtonDown == WM_LBUTTONDOWN && m::RButtonDown == WM_RBUTTONDOWN &&
                  m::MButtonDown == WM_MBUTTONDOWN && m::PowerBroadcast == WM_POWERBROADCAST &&
                  m::App == WM_APP,
              "message numbers");
static_assert(m::ScNextWindow == SC_NEXTWINDOW && m::ScPrevWindow == SC_PREVWINDOW &&
                  m::ScScreenSave == SC_SCREENSAVE && m::ScMonitorPower == SC_MONITORPOWER &&
                  m::PwrCriticalResume == PWR_CRITICALRESUME &&
                  m::PbtResumeCritical == PBT_APMRESUMECRITICAL &&
                  m::PbtResumeSuspend == PBT_APMRESUMESUSPEND &&
                  m::PbtResumeStandby == PBT_APMRESUMESTANDBY &&
                  m::PbtPowerStatusChange == PBT_APMPOWERSTATUSCHANGE &&
                  m::PbtResumeAutomatic == PBT_APMRESUMEAUTOMATIC &&
                  m::PbtfResumeFromFailure == PBTF_APMRESUMEFROMFAILURE,
              "parameter numbers");
static_assert(m::PlatformNt == VER_PLATFORM_WIN32_NT, "platform id");
static_assert(textSize == MAX_PATH, "text buffer size");
