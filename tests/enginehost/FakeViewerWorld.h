// Recording stand-ins for what run control and the viewer window procedure
// call outside the host: the packed project name, the shell's default
// procedure and password check, and the settings (plain fields, no file).
// The engine is a RecordingEngine put in the run state's engineControl,
// where the real binding finds it bound. All calls land in one ordered log
// with the engine's, so tests can assert order.
#pragma once

#include "RecordingEngine.h"
#include "TestWindowClass.h"
#include "enginehost/ViewerPolicy.h"

// The one log of every fake: the engine's calls and those below.
extern CallLog callLog;

// A platform whose power-off settings and version the test chooses.
class FakePlatform final : public ViewerPlatform {
public:
    bool powerOffActive = false;
    unsigned powerOffTimeout = 0, screenSaveTimeout = 0, platformId = 2;
    bool PowerOffActive() override { return powerOffActive; }
    unsigned PowerOffTimeoutSeconds() override { return powerOffTimeout; }
    unsigned ScreenSaveTimeoutSeconds() override { return screenSaveTimeout; }
    unsigned PlatformId() override { return platformId; }
};

// What the fakes answer; reset by ResetFakeWorld before each test.
struct FakeWorld {
    bool projectNamePacked = true;  // ReadProjectName finds it
    bool passwordAccepted = true;   // VerifyPasswordOnClose's answer
};

extern FakeWorld fakeWorld;

// Clears the log, the shell's flags, the settings and the run state.
void ResetFakeWorld();
