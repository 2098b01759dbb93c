// A recording stand-in for the engine and its binding, so the settings dialog
// runs in-process without a real engine: FakeBind hands the settings a fake
// core whose file saver keeps the chunks it is given, and every engine call
// the dialog causes is logged in order.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/EngineInterface.h"
#include "settings/ViewerSettings.h"

class DialogFakeEngine : public EngineControl, public EngineCore {
public:
    // What the fake binding does when the dialog opens.
    bool bindingSucceeds = true;
    int32_t storedDelay = 0;
    uint8_t storedDoNotQuit = 0;
    uint8_t storedPreview = 0;

    // What the dialog did.
    HWND boundWindow = nullptr;
    std::vector<std::string> calls;
    std::map<std::string, std::string> savedChunks;  // chunk code -> data

    // The one fake in use; FakeBind reaches it through this.
    static DialogFakeEngine* current;

    // EngineControl
    void Destroy(int flags) override;
    int32_t Run() override { return 0; }
    bool Initialize(HINSTANCE, const char*, HWND) override { return true; }
    void Frame() override {}
    void LoadProject(const char*) override {}
    EngineCore* GetCore() override { return this; }
    void WindowMessage(HWND, UINT, WPARAM, LPARAM) override {}
    void SetInstallDir(const char*) override {}
    void SetRegistryKey(const char*) override {}

    // EngineCore: makes file savers only; the dialog never loads.
    void* CreateObject(GUID type, int reserved1, int reserved2) override;
    int ChannelCount() override { return 0; }
    ValueChannel* FindChannel(GUID, const char*) override { return nullptr; }

    // The saved frame delay, or nothing if no 4-byte "SCTI" chunk was written.
    bool SavedDelay(int32_t* delay) const;
    // The saved byte of a one-byte flag chunk, or -1 if it was not written.
    int SavedFlag(const char* code) const;

private:
    std::vector<std::unique_ptr<FileSaver>> savers_;
};

// The settings the dialog is handed and the engine the fake binding bound.
extern ViewerSettings viewerSettings;
extern EngineControl* engineControl;
// The binding handed to the dialog: FakeBind binds DialogFakeEngine::current
// and fills viewerSettings from it; FakeRelease destroys what is bound.
void FakeBind(HWND dialog);
void FakeRelease();
