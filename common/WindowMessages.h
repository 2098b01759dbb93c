// The window system's message and parameter numbers that the close rules and
// the viewer's policy decide on, under names of their own so that the
// portable rules need no <windows.h>. SystemNumbers-win32.cpp checks each
// against the system's own at compile time.
#pragma once

#include <stdint.h>

namespace SaverMsg {
constexpr uint32_t Create = 0x0001, Destroy = 0x0002, Close = 0x0010, SetText = 0x000C,
                   Paint = 0x000F, EraseBackground = 0x0014, ShowWindow = 0x0018,
                   ActivateApp = 0x001C, SetCursor = 0x0020, Power = 0x0048, Help = 0x0053,
                   ContextMenu = 0x007B, DisplayChange = 0x007E, NcDestroy = 0x0082,
                   KeyDown = 0x0100, KeyUp = 0x0101, SysKeyDown = 0x0104, SysCommand = 0x0112,
                   Timer = 0x0113, MouseMove = 0x0200, LButtonDown = 0x0201, RButtonDown = 0x0204,
                   MButtonDown = 0x0207, PowerBroadcast = 0x0218, App = 0x8000;
constexpr uintptr_t ScNextWindow = 0xF040, ScPrevWindow = 0xF050, ScScreenSave = 0xF140,
                    ScMonitorPower = 0xF170;
constexpr uintptr_t PwrCriticalResume = 3;
constexpr uintptr_t PbtResumeCritical = 6, PbtResumeSuspend = 7, PbtResumeStandby = 8,
                    PbtPowerStatusChange = 10, PbtResumeAutomatic = 18;
constexpr intptr_t PbtfResumeFromFailure = 1;
// The platform id GetVersionExA reports for the NT family.
constexpr uint32_t PlatformNt = 2;

// Input that closes a running full-screen saver: a key or button pressed, or
// the mouse moved. Releases close nothing.
inline bool IsClosingInput(uint32_t message)
{
    switch (message) {
    case KeyDown:
    case SysKeyDown:
    case MouseMove:
    case LButtonDown:
    case RButtonDown:
    case MButtonDown: return true;
    default: return false;
    }
}
}  // namespace SaverMsg
