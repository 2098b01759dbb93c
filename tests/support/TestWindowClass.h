// Window classes of test programs: the procedure and the name, nothing else.
#pragma once

#include <windows.h>

// Registers a window class of this program with that procedure.
inline void RegisterTestClass(const char* name, WNDPROC procedure)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}
