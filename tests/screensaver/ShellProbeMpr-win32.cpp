// A stand-in "MPR.DLL" for the shell probe's password-change mode: it says on
// the probe's standard output when it is loaded and with what arguments its
// password changer is called, so a test sees both the call and its absence.
#include <windows.h>

namespace {

void Say(const char* line)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, lstrlenA(line), &written, nullptr);
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved, LPVOID data)
{
    char line[128];
    wsprintfA(line, "password changer %s %lu %lu %lu\r\n", provider,
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)),
              static_cast<unsigned long>(reserved),
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(data)));
    Say(line);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) Say("MPR.DLL loaded\r\n");
    return TRUE;
}
