// The stand-in engine's EngineControl (see StandInControl.h); each call is
// traced.
#include "StandInControl.h"

#include "FileBytes.h"
#include "ProjectPath.h"
#include "Trace.h"
#include "engine/channels/PluginHost.h"

namespace {

// Runs a block under a critical section.
class Locked {
public:
    explicit Locked(CRITICAL_SECTION& section) : section_(section)
    {
        EnterCriticalSection(&section_);
    }
    ~Locked() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION& section_;
};

// A handle as the trace shows it: eight upper-case hexadecimal digits.
unsigned long HandleNumber(const void* handle)
{
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle));
}

// Reports a project error where a developer looks: the trace and the debugger.
void ReportProjectError(const std::string& path, const std::string& message)
{
    EngineTrace("ProjectError", "%s: %s", path.c_str(), message.c_str());
    OutputDebugStringA(("drovik: project " + path + ": " + message + "\n").c_str());
}

// Faults as a damaged engine would: a write through a null pointer that the
// compiler cannot see coming.
void Fault(const char* where)
{
    EngineTrace("TestFault", "%s", where);
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

// Hangs as a damaged engine would: the call never returns.
void Hang(const char* where)
{
    EngineTrace("TestHang", "%s", where);
    for (;;) Sleep(INFINITE);
}

}  // namespace

StandInControl::StandInControl() : shown_(CreateEventA(nullptr, TRUE, TRUE, nullptr))
{
    InitializeCriticalSection(&lock_);
}

StandInControl::~StandInControl()
{
    UnloadProject();
    DeleteCriticalSection(&lock_);
    if (shown_) CloseHandle(shown_);
}

void StandInControl::Destroy(int flags)
{
    EngineTrace("Destroy", "%d", flags);
    if (project_.testFaults.hangInDestroy) Hang("Destroy");
    delete this;
}

int32_t StandInControl::Run()
{
    EngineTrace("Run");
    Locked locked(lock_);
    startTick_ = GetTickCount();
    return loaded_ ? 0 : 1;
}

bool StandInControl::Initialize(HINSTANCE instance, const char* appName, HWND window)
{
    EngineTrace("Initialize", "%08lX %s %08lX", HandleNumber(instance),
                appName ? appName : "(null)", HandleNumber(window));
    window_ = window;
    return IsWindow(window) != FALSE;
}

void StandInControl::UnloadProject()
{
    Locked locked(lock_);
    for (Zel_Channel* channel : pluginChannels_) DestroyPluginChannel(channel);
    pluginChannels_.clear();
    core_.DefineChannels({});
    project_ = project::Project();
    loaded_ = false;
    frameCount_ = 0;
}

void StandInControl::LoadProject(const char* path)
{
    EngineTrace("LoadProject", "%s", path ? path : "(null)");
    UnloadProject();
    std::string resolved = project::ResolveProjectPath(installDirectory_, path ? path : "");
    if (resolved.empty()) return ReportProjectError(resolved, "no project path");
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(resolved.c_str(), project::maxProjectFileSize, bytes))
        return ReportProjectError(resolved, "cannot be read (missing, unreadable or over 64 KiB)");
    project::ParseResult parsed = project::ParseProject(std::string(bytes.begin(), bytes.end()));
    if (!parsed.ok) return ReportProjectError(resolved, parsed.error);

    std::vector<Zel_Channel*> plugins;
    for (const std::string& type : parsed.project.pluginChannels) {
        Zel_Channel* channel = LoadPluginChannel(type.c_str());
        // A missing plug-in does not stop the project; its text says so.
        if (!channel) ReportProjectError(resolved, "plugin " + type + " could not be loaded");
        plugins.push_back(channel);
    }
    Locked locked(lock_);
    project_ = parsed.project;
    pluginChannels_ = plugins;
    core_.DefineChannels(project_.valueChannels);
    startTick_ = GetTickCount();
    loaded_ = true;
    if (project_.testFaults.faultInLoad) Fault("LoadProject");
}

EngineCore* StandInControl::GetCore()
{
    EngineTrace("GetCore");
    return &core_;
}

std::vector<std::string> StandInControl::CurrentTextLines()
{
    std::vector<std::string> pluginTexts;
    for (size_t i = 0; i < pluginChannels_.size(); ++i) {
        const char* text = PluginChannelText(pluginChannels_[i]);
        if (text)
            pluginTexts.push_back(text);
        else if (pluginChannels_[i])
            pluginTexts.push_back("(no text)");
        else
            pluginTexts.push_back("(plugin " + project_.pluginChannels[i] + " not loaded)");
    }
    std::vector<float> values = core_.ChannelValues();
    std::vector<std::string> lines;
    for (const auto& parts : project_.textLines)
        lines.push_back(project::ComposeTextLine(parts, values, pluginTexts));
    return lines;
}

// What the project's test lines ask of Frame, before it renders.
void StandInControl::MisbehaveInFrame()
{
    project::TestFaults faults;
    int frame;
    {
        Locked locked(lock_);
        faults = project_.testFaults;
        frame = ++frameCount_;
    }
    if (frame == faults.faultAtFrame || frame == faults.hangAtFrame) {
        char where[32];
        wsprintfA(where, "Frame %d", frame);
        if (frame == faults.faultAtFrame) Fault(where);
        Hang(where);
    }
    if (faults.slowFrameMilliseconds > 0) Sleep(static_cast<DWORD>(faults.slowFrameMilliseconds));
    // Sent, not posted: the frame waits until the window thread has answered.
    if (faults.frameSendsMessage && window_) SendMessageA(window_, WM_APP, 0, 0);
    // As an engine that quits on a key from its render loop: the close it
    // sends comes while the window thread stops this thread.
    if (faults.frameSendsClose && closeSeen_ && window_) SendMessageA(window_, WM_CLOSE, 0, 0);
}

void StandInControl::Frame()
{
    EngineTrace("Frame");
    MisbehaveInFrame();
    RECT client;
    if (!window_ || !GetClientRect(window_, &client)) return;
    // A frame drawn before the window thread showed the last one would
    // replace it unseen: wait until it was shown, but never long, so a
    // window thread that stopped painting never stalls this one.
    if (shown_) WaitForSingleObject(shown_, presentWaitMilliseconds);
    {
        Locked locked(lock_);
        if (!loaded_) return;
        HDC dc = backBuffer_.Prepare(client.right, client.bottom);
        if (!dc) return;
        double seconds = (GetTickCount() - startTick_) / 1000.0;
        renderer_.Draw(dc, client.right, client.bottom, project_, seconds, CurrentTextLines());
        GdiFlush();
        backBuffer_.MarkDrawn();
        if (shown_) ResetEvent(shown_);
    }
    // Drawing on this thread would reach the screen only now and then under
    // Wine; the window thread shows the buffer when WM_PAINT comes.
    InvalidateRect(window_, nullptr, FALSE);
}

void StandInControl::WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EngineTrace("WindowMessage", "%08lX 0x%04X 0x%X 0x%lX", HandleNumber(window), message,
                static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam));
    const project::TestFaults& faults = project_.testFaults;
    if (static_cast<int>(message) == faults.faultOnMessage ||
        static_cast<int>(message) == faults.hangOnMessage) {
        char where[40];
        wsprintfA(where, "WindowMessage 0x%04X", message);
        if (static_cast<int>(message) == faults.faultOnMessage) Fault(where);
        Hang(where);
    }
    // The frame's WM_APP: whether the frame thread is really held until this
    // answer, as a send holds it and a post would not.
    if (faults.frameSendsMessage && message == WM_APP)
        EngineTrace("TestSent", "0x8000 %s",
                    (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND
                        ? "frame waiting"
                        : "frame not waiting");
    if (window != window_) return;
    // The window thread is about to stop the frame thread: a frame waiting to
    // be shown must not hold it up.
    if ((message == WM_CLOSE || message == WM_DESTROY) && shown_) SetEvent(shown_);
    if (message == WM_CLOSE) closeSeen_ = true;
    if (message != WM_PAINT) return;
    // Painting validates the window, so the default handling that follows
    // this call finds nothing left to paint. Without a project the window is
    // left to its default painting.
    Locked locked(lock_);
    if (!loaded_) return;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) return;
    if (!backBuffer_.Present(dc)) {
        // Before the first frame: the project's background.
        const project::Colour& background = project_.background;
        SetDCBrushColor(dc, RGB(background.red, background.green, background.blue));
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    EndPaint(window, &paint);
    if (shown_) SetEvent(shown_);
}

void StandInControl::SetInstallDir(const char* directory)
{
    EngineTrace("SetInstallDir", "%s", directory ? directory : "(null)");
    installDirectory_ = directory ? directory : "";
}

void StandInControl::SetRegistryKey(const char* keyPath)
{
    EngineTrace("SetRegistryKey", "%s", keyPath ? keyPath : "(null)");
}
