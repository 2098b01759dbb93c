// A drovik.dll the binding tests can make fail. ORMELIX_FAKE_ENGINE picks
// "null" (the entry point returns no engine) or "initfail" (Initialize
// returns false); built a second time with FAKE_ENGINE_WITHOUT_ENTRY, it
// lacks the entry point altogether. Each call is appended to the file that
// ORMELIX_ENGINE_TRACE names, as "0 <Operation> <argument>".
#include "common/EngineInterface.h"

#include <cstdio>
#include <string>

namespace {

// Read through the system, not the C runtime's copy, so that a test's
// SetEnvironmentVariableA reaches an already loaded library.
std::string Variable(const char* name)
{
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

void Trace(const char* operation, const std::string& argument = "")
{
    std::string file = Variable("ORMELIX_ENGINE_TRACE");
    if (file.empty()) return;
    if (FILE* out = std::fopen(file.c_str(), "a")) {
        std::fprintf(out, "0 %s %s\n", operation, argument.c_str());
        std::fclose(out);
    }
}

bool Mode(const char* name) { return Variable("ORMELIX_FAKE_ENGINE") == name; }

// Makes no object, so a settings load through it shows its box.
class FakeCore : public EngineCore {
public:
    void* CreateObject(GUID, int, int) override
    {
        Trace("CreateObject");
        return nullptr;
    }
    int ChannelCount() override { return 0; }
    ValueChannel* FindChannel(GUID, const char*) override { return nullptr; }
};

class FakeControl : public EngineControl {
public:
    void Destroy(int) override
    {
        Trace("Destroy");
        delete this;
    }
    int32_t Run() override { return 1; }
    bool Initialize(HINSTANCE, const char* appName, HWND) override
    {
        Trace("Initialize", appName);
        return !Mode("initfail");
    }
    void Frame() override {}
    void LoadProject(const char*) override {}
    EngineCore* GetCore() override
    {
        Trace("GetCore");
        return &core_;
    }
    void WindowMessage(HWND, UINT, WPARAM, LPARAM) override {}
    void SetInstallDir(const char* directory) override { Trace("SetInstallDir", directory); }
    void SetRegistryKey(const char* keyPath) override { Trace("SetRegistryKey", keyPath); }

private:
    FakeCore core_;
};

}  // namespace

#ifndef FAKE_ENGINE_WITHOUT_ENTRY
extern "C" __declspec(dllexport) EngineControl* GetEngineControlInstance()
{
    Trace("GetEngineControlInstance");
    return Mode("null") ? nullptr : new FakeControl;
}
#else
extern "C" __declspec(dllexport) int NotTheEntryPoint() { return 0; }
#endif
