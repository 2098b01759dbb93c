// The shared harness of the drovik.dll tests (see EngineHarness.h).
#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

EngineControl* windowEngine = nullptr;

// Like the viewer's window procedure: the engine sees every message first,
// and background erasing is left to the engine.
LRESULT CALLBACK EngineWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (windowEngine) windowEngine->WindowMessage(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

const char windowClass[] = "DrovikTestWindow";

}  // namespace

EngineHarness::EngineHarness()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    GetTempFileNameA(temp, "drv", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    scratch_ = name;
    tracePath_ = scratch_ + "\\trace.txt";
    SetEnvironmentVariableA("ORMELIX_ENGINE_TRACE", tracePath_.c_str());
}

EngineHarness::~EngineHarness()
{
    windowEngine = nullptr;
    if (window_) DestroyWindow(window_);
    SetEnvironmentVariableA("ORMELIX_ENGINE_TRACE", nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((scratch_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((scratch_ + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(scratch_.c_str());
}

EngineControl* EngineHarness::NewControl()
{
    // Loaded by name from beside the test program, as the viewer loads it
    // from the install directory; never unloaded.
    HMODULE library = LoadLibraryA("drovik.dll");
    if (!library) return nullptr;
    auto entry = reinterpret_cast<GetEngineControlInstanceProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetEngineControlInstance")));
    return entry ? entry() : nullptr;
}

std::string EngineHarness::WriteScratchFile(const char* name, const std::string& content)
{
    std::string path = scratch_ + "\\" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string EngineHarness::ReadScratchFile(const char* name) const
{
    std::ifstream in(scratch_ + "\\" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<TraceLine> EngineHarness::Trace() const
{
    std::vector<TraceLine> lines;
    std::ifstream in(tracePath_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line not ended by \\r\\n: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        TraceLine parsed;
        std::istringstream fields(line);
        fields >> parsed.milliseconds >> parsed.operation;
        EXPECT_FALSE(fields.fail()) << "malformed trace line: " << line;
        std::getline(fields >> std::ws, parsed.arguments);
        lines.push_back(parsed);
    }
    return lines;
}

std::vector<std::string> EngineHarness::TraceOf(const std::vector<std::string>& operations) const
{
    std::vector<std::string> selected;
    for (const TraceLine& line : Trace()) {
        for (const std::string& operation : operations) {
            if (line.operation == operation)
                selected.push_back(line.arguments.empty() ? operation
                                                          : operation + " " + line.arguments);
        }
    }
    return selected;
}

HWND EngineHarness::OpenWindow(int width, int height)
{
    WNDCLASSA windowClassInfo = {};
    windowClassInfo.lpfnWndProc = EngineWindowProc;
    windowClassInfo.hInstance = GetModuleHandleA(nullptr);
    windowClassInfo.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassA(&windowClassInfo);
    window_ =
        CreateWindowExA(WS_EX_TOPMOST, windowClass, "drovik test", WS_POPUP | WS_VISIBLE, 0, 0,
                        width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    return window_;
}

void EngineHarness::SetWindowEngine(EngineControl* control) { windowEngine = control; }

void EngineHarness::PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<uint32_t> EngineHarness::Capture(HWND window, int& width, int& height) const
{
    RECT client;
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> copy(pixels, pixels + width * height);
    for (uint32_t& pixel : copy) pixel &= 0xFFFFFF;
    SelectObject(memoryDc, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return copy;
}
