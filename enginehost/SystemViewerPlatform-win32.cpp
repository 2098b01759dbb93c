// Power-off settings and the platform id, straight from the system.
#include "enginehost/SystemViewerPlatform.h"

#include <windows.h>

namespace {

class SystemPlatform final : public ViewerPlatform {
public:
    bool PowerOffActive() override { return ReadSetting(SPI_GETPOWEROFFACTIVE) != 0; }
    unsigned PowerOffTimeoutSeconds() override { return ReadSetting(SPI_GETPOWEROFFTIMEOUT); }
    unsigned ScreenSaveTimeoutSeconds() override { return ReadSetting(SPI_GETSCREENSAVETIMEOUT); }
    unsigned PlatformId() override
    {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        return GetVersionExA(&version) ? version.dwPlatformId : 0;
    }

private:
    // A failed query counts as 0: power-off inactive, no timeout.
    static unsigned ReadSetting(UINT action)
    {
        UINT value = 0;
        return SystemParametersInfoA(action, 0, &value, 0) ? value : 0;
    }
};

SystemPlatform systemPlatform;

}  // namespace

ViewerPlatform& SystemViewerPlatform() { return systemPlatform; }
