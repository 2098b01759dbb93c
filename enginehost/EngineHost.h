// The engine host's state: the bound engine and its settings, the frame
// thread and its stop, the watchdog and the window thread's call marks.
// Only the engine host's files write it; the program's entry hands the
// settings to the dialog, and tests put a recording engine and a fake
// platform in it.
#pragma once

#include <windows.h>
#include <atomic>

#include "common/EngineInterface.h"
#include "settings/ViewerSettings.h"

class ViewerPlatform;

struct EngineHost {
    // The one bound engine, or null while none is bound.
    EngineControl* engineControl;
    // The settings: the project path, the frame delay and the two flags.
    ViewerSettings viewerSettings;
    // The platform facts the viewer's procedure asks for: the system's, set
    // by the program's entry, or a test's fake.
    ViewerPlatform* viewerPlatform;

    // --- The frame thread (StartViewer to StopViewer).
    // True while the frame thread is to go on; written by the window thread.
    std::atomic<bool> running;
    HANDLE frameThread;
    // Set by StopViewer to end the frame thread's pause at once (manual
    // reset); made with the thread, closed once the thread has ended.
    HANDLE frameStopEvent;
    // True while StopViewer waits: a message sent meanwhile may close the
    // window and call it again; that call must neither wait nor destroy.
    bool stopInProgress;

    // --- The watchdog over the window thread (StartViewer to StopViewer).
    // The tick at which the window thread went into its current call of the
    // engine (a tick of 0 taken as 1), 0 outside one, and what the call is
    // for (an EngineCallKind).
    std::atomic<uint32_t> engineCallSince;
    std::atomic<uint8_t> engineCallKind;
    // The watchdog, which ends the process when that call never returns,
    // and the event that ends it (manual reset).
    HANDLE watchdogThread;
    HANDLE watchdogStopEvent;
};

// The process's one engine host. Static storage is zero before construction,
// and the constructors set only the settings' engine core, so every other
// member starts at zero.
extern EngineHost engineHost;
