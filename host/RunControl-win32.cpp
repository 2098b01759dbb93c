// Starts the project when the saver window is created, drives its frames
// from a thread of its own and stops it again when the window closes.
#include "host/RunControl.h"

#include "common/ErrorBox.h"
#include "host/EngineBinding.h"
#include "host/FrameLoop.h"
#include "packdata/ReadAppendedValue.h"
#include "settings/ViewerSettings.h"
#include "shell/SaverWindow.h"

std::atomic<bool> running;
HANDLE frameThread;

namespace {

const char startErrorText[] =
    "There was an error starting the Ormelix Screen Saver Viewer.\r\nPlease Re-install Screen Saver";
const char startErrorCaption[] = "Ormelix Screen Saver Viewer";

// The frame thread's view of the engine, the settings and the clock. The
// clock is the performance counter: GetTickCount moves in steps of up to
// 16 ms under Wine and on Windows, too coarse to pace frames by.
class EngineFrameLoopHost final : public FrameLoopHost {
public:
    EngineFrameLoopHost()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        countsPerMillisecond = frequency.QuadPart / 1000;
        if (countsPerMillisecond == 0)
            countsPerMillisecond = 1;
    }
    bool KeepRunning() override { return running; }
    void RenderFrame() override
    {
        if (engineControl)
            engineControl->Frame();
    }
    int32_t FrameDelay() override { return viewerSettings.FrameDelay(); }
    uint32_t NowMilliseconds() override
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<uint32_t>(now.QuadPart / countsPerMillisecond);
    }
    void Pause(int32_t milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }

private:
    LONGLONG countsPerMillisecond;
};

void SetSaverChannel(EngineCore* core, const char* name, float value)
{
    ValueChannel* channel = core->FindChannel(saverChannelType, name);
    if (channel)
        channel->SetValue(value);
}

}  // namespace

DWORD WINAPI FrameThread(void*)
{
    EngineFrameLoopHost host;
    RunFrameLoop(host);
    return 0;
}

bool StartProject(HWND window)
{
    char projectName[textSize];
    if (!ReadProjectName(projectName)) {
        ShowErrorBox(nullptr, "Can't find ProjectName", "Error", 0);
        return false;
    }
    if (!window)
        return false;
    if (engineControl) {
        engineControl->LoadProject(viewerSettings.ProjectPath());
        if (EngineCore* core = engineControl->GetCore()) {
            SetSaverChannel(core, "OrmelixSaver", 1.0f);
            SetSaverChannel(core, "OrmelixSaverPreview", previewMode ? 1.0f : 0.0f);
        }
        if (engineControl->Run() == 0)
            return true;
    }
    ShowErrorBox(window, startErrorText, startErrorCaption, MB_ICONERROR);
    if (engineControl)
        engineControl->Destroy(1);
    engineControl = nullptr;
    return false;
}

void StartViewer(HWND window)
{
    BindEngine(window);
    if (!viewerSettings.PreviewEnabled() && previewMode)
        return;  // the preview stays black; no project runs in it
    if (!StartProject(window)) {
        EndDialog(window, 0);  // no dialog: the window stays open and black
        return;
    }
    running = true;
    frameThread = CreateThread(nullptr, 0, FrameThread, nullptr, 0, nullptr);
    if (!frameThread)
        running = false;  // no thread to stop: StopViewer only destroys the engine
}

void StopViewer(HWND)
{
    if (running) {
        running = false;
        // The thread ends after the frame and the pause it is in; waiting on
        // its handle returns as soon as it has, instead of sleeping blindly.
        DWORD exitCode = STILL_ACTIVE;
        while (GetExitCodeThread(frameThread, &exitCode) && exitCode == STILL_ACTIVE)
            WaitForSingleObject(frameThread, 100);
        if (frameThread)
            CloseHandle(frameThread);
        frameThread = nullptr;
    }
    if (engineControl) {
        engineControl->Destroy(1);
        engineControl = nullptr;
    }
}
