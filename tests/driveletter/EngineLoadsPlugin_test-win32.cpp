// The stand-in engine running a project that names the drive-letter channel:
// it loads the plug-in by its type GUID and reads the channel's text as it
// draws a frame.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "PluginTestSupport.h"
#include "common/EngineInterface.h"

namespace {

TEST(EngineLoadsPlugin, ProjectNamingTheChannelShowsTheDrives)
{
    ScopedTraceFile trace;
    ScopedTempDir install;
    const std::string projectPath = install.File("drives.project");
    {
        std::ofstream project(projectPath);
        project << "scene orbit\n"
                   "plugin 3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26\n"
                   "text Drives: {3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26}\n";
    }
    HMODULE engineLibrary = LoadLibraryA("drovik.dll");
    ASSERT_NE(nullptr, engineLibrary);
    auto getControl = reinterpret_cast<GetEngineControlInstanceProc>(
        reinterpret_cast<void*>(GetProcAddress(engineLibrary, "GetEngineControlInstance")));
    ASSERT_NE(nullptr, getControl);
    HWND window = CreateWindowExA(0, "STATIC", "drive test", WS_POPUP, 0, 0, 320, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);

    EngineControl* engine = getControl();
    ASSERT_NE(nullptr, engine);
    engine->SetInstallDir(install.Path().c_str());
    ASSERT_TRUE(engine->Initialize(GetModuleHandleA(nullptr), "drive test", window));
    engine->LoadProject(projectPath.c_str());
    EXPECT_EQ(0, engine->Run());
    engine->Frame();
    engine->Frame();
    engine->Destroy(1);
    DestroyWindow(window);

    std::vector<std::string> loads = trace.LinesOf("LoadPluginChannel");
    ASSERT_EQ(1u, loads.size());
    EXPECT_EQ("3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26 \"Win32 GetDriveLetter\"", loads[0]);
    // Every frame reads the channel afresh, and each read reports the drives.
    std::vector<std::string> messages = trace.LinesOf("ShowDebugMessage");
    ASSERT_GE(messages.size(), 2u);
    for (const std::string& message : messages)
        EXPECT_EQ("Driver Letters : " + DrivesFromDriveStrings(), message);
}

}  // namespace
