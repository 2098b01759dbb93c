// The version resource and the manifest as the system reads them from the
// built saverviewer.scr: the version block through the version library, the
// manifest through an activation context made from the file, which must give
// common controls 6 and the DPI settings. The expected version comes from the
// CMake project version.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestProcess.h"

namespace {

std::string ViewerPath() { return ProgramDirectory() + "\\saverviewer.scr"; }

struct VersionBlock {
    std::vector<char> data;
    // The text value NAME of the block's first translation, or "<absent>".
    std::string Text(const char* name)
    {
        struct Translation {
            WORD language, codePage;
        }* translation = nullptr;
        UINT size = 0;
        if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translation), &size) ||
            size < sizeof *translation)
            return "<absent>";
        char path[128];
        wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, name);
        char* text = nullptr;
        if (!VerQueryValueA(data.data(), path, reinterpret_cast<void**>(&text), &size))
            return "<absent>";
        return text;
    }
};

TEST(ViewerResources, VersionBlockCarriesTheProjectVersionAndNames)
{
    VersionBlock block;
    DWORD size = GetFileVersionInfoSizeA(ViewerPath().c_str(), nullptr);
    ASSERT_NE(0u, size) << ViewerPath() << " has no version resource";
    block.data.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(ViewerPath().c_str(), 0, size, block.data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    const DWORD high = MAKELONG(EXPECTED_VERSION_MINOR, EXPECTED_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, EXPECTED_VERSION_PATCH);
    EXPECT_EQ(high, fixed->dwFileVersionMS);
    EXPECT_EQ(low, fixed->dwFileVersionLS);
    EXPECT_EQ(high, fixed->dwProductVersionMS);
    EXPECT_EQ(low, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

    const struct {
        const char* name;
        std::string expected;
    } rows[] = {
        {"FileVersion", EXPECTED_VERSION},
        {"ProductVersion", EXPECTED_VERSION},
        {"CompanyName", "Velcor"},
        {"FileDescription", "Ormelix Screen Saver Viewer"},
        {"ProductName", "Ormelix Screen Saver Viewer"},
        {"LegalCopyright", "Copyright (C) 2026 Velcor"},
        {"OriginalFilename", "saverviewer.scr"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.expected, block.Text(row.name)) << row.name;
}

// Windows lists a saver by its description string (string 1) when it has
// one, and by its file name, the project's name, otherwise.
TEST(ViewerResources, NoDescriptionStringSoTheSaverIsListedByItsFileName)
{
    HMODULE viewer = LoadLibraryExA(ViewerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(viewer) << ViewerPath();
    char text[64];
    EXPECT_EQ(0, LoadStringA(viewer, 1, text, sizeof text));
    EXPECT_EQ(nullptr, FindResourceA(viewer, MAKEINTRESOURCEA(1),
                                     MAKEINTRESOURCEA(6)));  // RT_STRING block 1
    FreeLibrary(viewer);
}

TEST(ViewerResources, ViewerStaysWithinItsSizeBudget)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    ASSERT_TRUE(GetFileAttributesExA(ViewerPath().c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_EQ(0u, attributes.nFileSizeHigh);
    EXPECT_LE(attributes.nFileSizeLow, 30720u);
}

// An activation context made from the viewer's manifest, as the loader makes
// one when the viewer starts (a manifest it cannot parse stops the start).
class ViewerManifest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string path = ViewerPath();
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(1);
        context = CreateActCtxA(&request);
        ASSERT_NE(INVALID_HANDLE_VALUE, context) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    }
    // The manifest's windowsSettings value NAME of namespace SPACE as the
    // system reads it.
    std::wstring Setting(const wchar_t* space, const wchar_t* name)
    {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context, space, name, value, 64, &written)) return L"<absent>";
        return value;
    }
    HANDLE context = INVALID_HANDLE_VALUE;
};

// The library "comctl32.dll" resolves to, in lower case.
std::string ComctlPath()
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    char path[MAX_PATH] = {};
    if (comctl) GetModuleFileNameA(comctl, path, MAX_PATH);
    CharLowerA(path);
    return path;
}

// The system's answer to the manifest's dependency: comctl32 from the side-by-
// side store's common-controls 6 assembly instead of the system directory's.
TEST_F(ViewerManifest, ActivatesCommonControls6)
{
    const std::string assembly = "\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.";
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    std::string path = ComctlPath();
    DeactivateActCtx(0, cookie);
    EXPECT_NE(std::string::npos, path.find(assembly)) << path;
}

TEST_F(ViewerManifest, DeclaresPerMonitorV2WithSystemAwareFallback)
{
    EXPECT_EQ(L"PerMonitorV2",
              Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"));
    EXPECT_EQ(L"true",
              Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"));
}

TEST_F(ViewerManifest, RunsAsInvokerOnVistaTo11)
{
    HMODULE viewer = LoadLibraryExA(ViewerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(viewer);
    HRSRC found = FindResourceA(viewer, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_TRUE(found);
    std::string text(static_cast<const char*>(LockResource(LoadResource(viewer, found))),
                     SizeofResource(viewer, found));
    FreeLibrary(viewer);
    const char* const fragments[] = {
        "level=\"asInvoker\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
        "version=\"" EXPECTED_VERSION ".0\"",
    };
    for (const char* fragment : fragments)
        EXPECT_NE(std::string::npos, text.find(fragment)) << fragment;
}

}  // namespace
