// The stand-in engine's EngineControl: loads a project file, renders its
// scene on every Frame into a back buffer sized to the window, and shows
// that buffer when the window thread's WM_PAINT passes through
// WindowMessage, so every frame reaches the screen.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "BackBuffer.h"
#include "ProjectFile.h"
#include "SceneRenderer.h"
#include "ValueChannels.h"
#include "common/EngineInterface.h"

class Zel_Channel;

class StandInControl final : public EngineControl {
public:
    StandInControl();
    ~StandInControl();
    StandInControl(const StandInControl&) = delete;
    StandInControl& operator=(const StandInControl&) = delete;

    void Destroy(int flags) override;
    // 0 once a project was loaded; 1 otherwise.
    int32_t Run() override;
    // Keeps the window; false when it is no window.
    bool Initialize(HINSTANCE instance, const char* appName, HWND window) override;
    void Frame() override;
    // Reads and checks the project; a relative path lies in the install
    // directory. On any error the previous project is gone and none runs.
    void LoadProject(const char* path) override;
    EngineCore* GetCore() override;
    void WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void SetInstallDir(const char* directory) override;
    void SetRegistryKey(const char* keyPath) override;

private:
    void UnloadProject();
    void MisbehaveInFrame();
    std::vector<std::string> CurrentTextLines();

    HWND window_ = nullptr;
    std::string installDirectory_;
    StandInCore core_;
    // Guards everything below: Frame runs on the frame thread while
    // WindowMessage and the rest run on the window thread.
    CRITICAL_SECTION lock_;
    bool loaded_ = false;
    project::Project project_;
    int frameCount_ = 0;  // Frame calls since the project was loaded
    std::vector<Zel_Channel*> pluginChannels_;
    DWORD startTick_ = 0;
    BackBuffer backBuffer_;
    SceneRenderer renderer_;
    // Set once the window thread showed this engine a WM_CLOSE.
    std::atomic<bool> closeSeen_{false};
    // Set while the last frame drawn has been shown (manual reset).
    HANDLE shown_;
    static constexpr DWORD presentWaitMilliseconds = 50;
};
