// drovik.dll under Wine as the viewer drives it: the order of use traced
// line by line, frames rendered on a second thread reaching the window
// through WM_PAINT and following its size, refused projects, and the demo
// project with the drive-letter plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "EngineHarness.h"

namespace {

const char testProject[] =
    "scene orbit\n"
    "background 123456\n"
    "foreground FFEE00\n"
    "channel OrmelixSaver\n"
    "channel OrmelixSaverPreview\n"
    "text saver {OrmelixSaver} preview {OrmelixSaverPreview}\n";
constexpr uint32_t testBackground = 0x123456;
const char saverChannelText[] = "5A0F3D72-E914-4C6B-9D28-71B4C0E6A3F5";

// Calls Frame count times on a thread of its own, the way the viewer's frame
// thread does, while this thread keeps dispatching window messages.
void RunFrames(EngineControl* control, int count)
{
    std::atomic<bool> done{false};
    std::thread frames([&] {
        for (int i = 0; i < count; ++i) {
            control->Frame();
            Sleep(10);
        }
        done = true;
    });
    while (!done) {
        EngineHarness::PumpMessages();
        Sleep(2);
    }
    frames.join();
    EngineHarness::PumpMessages();
}

size_t CountColour(const std::vector<uint32_t>& pixels, uint32_t colour)
{
    return std::count(pixels.begin(), pixels.end(), colour);
}

}  // namespace

TEST(EngineControl, ViewerOrderOfUseIsTracedAndFramesReachTheWindow)
{
    EngineHarness harness;
    harness.WriteScratchFile("test.project", testProject);
    HWND window = harness.OpenWindow(320, 240);
    ASSERT_TRUE(window);
    EngineControl* control = harness.NewControl();
    ASSERT_TRUE(control);
    control->SetInstallDir(harness.ScratchDirectory().c_str());
    control->SetRegistryKey("SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000");
    ASSERT_TRUE(control->Initialize(GetModuleHandleA(nullptr), "Ormelix", window));
    harness.SetWindowEngine(control);
    control->LoadProject("test.project");  // relative: lies in the install directory
    EngineCore* core = control->GetCore();
    ASSERT_TRUE(core);
    EXPECT_EQ(2, core->ChannelCount());
    ValueChannel* saver = core->FindChannel(saverChannelType, "OrmelixSaver");
    ValueChannel* preview = core->FindChannel(saverChannelType, "OrmelixSaverPreview");
    ASSERT_TRUE(saver && preview);
    saver->SetValue(1.0f);
    preview->SetValue(0.0f);
    EXPECT_EQ(nullptr, core->FindChannel(saverChannelType, "Unknown"));
    EXPECT_EQ(nullptr, core->FindChannel(settingsLoaderType, "OrmelixSaver"));
    ASSERT_EQ(0, control->Run());

    RunFrames(control, 6);
    int width, height;
    std::vector<uint32_t> pixels = harness.Capture(window, width, height);
    ASSERT_EQ(320 * 240, static_cast<int>(pixels.size()));
    EXPECT_EQ(testBackground, pixels.back()) << "corner shows the project background";
    EXPECT_GT(CountColour(pixels, 0xFFEE00), 50u) << "the brightest disc and the text are drawn";

    // The back buffer follows the window's size.
    SetWindowPos(window, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    RunFrames(control, 6);
    pixels = harness.Capture(window, width, height);
    ASSERT_EQ(120, width);
    EXPECT_EQ(testBackground, pixels.back());
    EXPECT_GT(CountColour(pixels, 0xFFEE00), 10u);

    harness.SetWindowEngine(nullptr);
    control->Destroy(1);

    std::string windowText;
    {
        char text[32];
        snprintf(text, sizeof text, "%08lX",
                 static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        windowText = text;
    }
    std::vector<std::string> calls =
        harness.TraceOf({"GetEngineControlInstance", "SetInstallDir", "SetRegistryKey",
                         "LoadProject", "GetCore", "FindChannel", "SetValue", "Run", "Destroy"});
    std::vector<std::string> expected = {
        "GetEngineControlInstance",
        "SetInstallDir " + harness.ScratchDirectory(),
        "SetRegistryKey SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000",
        "LoadProject test.project",
        "GetCore",
        std::string("FindChannel ") + saverChannelText + " OrmelixSaver",
        std::string("FindChannel ") + saverChannelText + " OrmelixSaverPreview",
        "SetValue OrmelixSaver 1.0",
        "SetValue OrmelixSaverPreview 0.0",
        std::string("FindChannel ") + saverChannelText + " Unknown",
        "FindChannel C4E82B19-6D53-4A0E-8F71-3B9D2A6C05E8 OrmelixSaver",
        "Run",
        "Destroy 1"};
    EXPECT_EQ(expected, calls);

    std::vector<TraceLine> trace = harness.Trace();
    unsigned long previous = 0;
    int frames = 0, paints = 0;
    for (const TraceLine& line : trace) {
        EXPECT_GE(line.milliseconds, previous) << line.operation << ": time went backwards";
        previous = line.milliseconds;
        frames += line.operation == "Frame";
        if (line.operation == "WindowMessage" && line.arguments == windowText + " 0x000F 0x0 0x0")
            ++paints;
        if (line.operation == "Initialize") {
            EXPECT_NE(std::string::npos, line.arguments.find(" Ormelix " + windowText))
                << line.arguments << " lacks " << windowText;
        }
    }
    EXPECT_EQ(12, frames);
    EXPECT_GE(paints, 2) << "frames are presented through WM_PAINT";
}

TEST(EngineControl, RefusedProjectsDoNotRun)
{
    struct Case {
        const char* rule;
        const char* content;  // null: no file at all
        const char* error;    // expected inside the ProjectError line
    } cases[] = {
        {"a missing file", nullptr, "cannot be read"},
        {"an empty file", "", "no scene line"},
        {"a settings file given as project", "OCHK\x53\x43\x46\x50\x03\x01", "unknown keyword"},
        {"a text showing an undefined channel", "scene orbit\ntext {Nothing}",
         "line 2: text shows {Nothing}"},
    };
    for (const Case& c : cases) {
        EngineHarness harness;
        if (c.content) harness.WriteScratchFile("bad.project", c.content);
        HWND window = harness.OpenWindow(100, 80);
        EngineControl* control = harness.NewControl();
        ASSERT_TRUE(control) << c.rule;
        control->SetInstallDir(harness.ScratchDirectory().c_str());
        ASSERT_TRUE(control->Initialize(GetModuleHandleA(nullptr), "Ormelix", window)) << c.rule;
        EXPECT_NE(0, control->Run()) << c.rule << ": no project loaded yet";
        control->LoadProject("bad.project");
        EXPECT_NE(0, control->Run()) << c.rule;
        EXPECT_EQ(0, control->GetCore()->ChannelCount()) << c.rule;
        control->Frame();  // harmless without a project
        control->Destroy(1);
        std::vector<std::string> errors = harness.TraceOf({"ProjectError"});
        ASSERT_EQ(1u, errors.size()) << c.rule;
        EXPECT_NE(std::string::npos, errors[0].find(c.error)) << c.rule << ": " << errors[0];
    }
}

TEST(EngineControl, InitializeRefusesWhatIsNoWindow)
{
    EngineHarness harness;
    EngineControl* control = harness.NewControl();
    ASSERT_TRUE(control);
    EXPECT_FALSE(control->Initialize(GetModuleHandleA(nullptr), "Ormelix", nullptr));
    EXPECT_FALSE(control->Initialize(GetModuleHandleA(nullptr), "Ormelix",
                                     reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0))));
    control->Destroy(1);
}

TEST(EngineControl, DemoProjectShowsTheDriveLettersThroughThePlugin)
{
    EngineHarness harness;
    HWND window = harness.OpenWindow(320, 240);
    EngineControl* control = harness.NewControl();
    ASSERT_TRUE(control);
    control->SetInstallDir(ORMELIX_DEMO_WINDOWS_DIR);
    ASSERT_TRUE(control->Initialize(GetModuleHandleA(nullptr), "Ormelix", window));
    harness.SetWindowEngine(control);
    control->LoadProject("demo.project");
    EXPECT_EQ(2, control->GetCore()->ChannelCount());
    ASSERT_EQ(0, control->Run());
    RunFrames(control, 2);
    harness.SetWindowEngine(nullptr);
    control->Destroy(1);

    EXPECT_TRUE(harness.TraceOf({"ProjectError"}).empty());
    bool driveMessage = false;
    for (const TraceLine& line : harness.Trace())
        driveMessage |= line.arguments.find("Driver Letters : ") != std::string::npos;
    EXPECT_TRUE(driveMessage) << "the plug-in was called while rendering";
}
