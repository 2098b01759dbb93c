// Where the viewer's own code loads libraries from, in-process under Wine:
// the system-library loader, the search order the shell sets at start, and
// the engine load with a directory that is not a full path. Copies of the
// planted library stand in for every library; each test first shows that
// an ordinary load by name does reach the copy, so a refusal is the viewer's.
#include "enginehost/EngineBinding.h"
#include "screensaver/SaverRun.h"
#include "screensaver/SystemLibrary.h"
#include "tests/support/TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The file a loaded module came from, lower case; empty for none.
std::string ModuleFile(HMODULE module)
{
    char path[MAX_PATH] = "";
    if (module != nullptr) GetModuleFileNameA(module, path, MAX_PATH);
    return Lower(path);
}

std::string SystemDirectory()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string ReadVariable(const char* name)
{
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    std::vector<char> value(size + 1, '\0');
    GetEnvironmentVariableA(name, value.data(), size + 1);
    return value.data();
}

typedef BOOL(WINAPI* SetDllDirectoryProc)(LPCSTR);
SetDllDirectoryProc SetDllDirectoryFunction()
{
    return reinterpret_cast<SetDllDirectoryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetDllDirectoryA")));
}

// Scratch places to plant libraries in: "saver" (the directory of the file
// that stands for the saver's own), "cwd" (made the current directory) and
// "path" (put first on PATH). All of it is put back and removed at the end.
class Places {
public:
    Places()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "loading" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root_.c_str(), nullptr);
        for (const char* place : {"saver", "cwd", "path"}) MakePlace(place);
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        oldCwd_ = cwd;
        oldPath_ = ReadVariable("PATH");
        SetCurrentDirectoryA(Dir("cwd").c_str());
        SetEnvironmentVariableA("PATH", (Dir("path") + ";" + oldPath_).c_str());
        oldInstance_ = saverRun.appInstance;
    }
    ~Places()
    {
        saverRun.appInstance = oldInstance_;
        for (HMODULE module : loaded_) FreeLibrary(module);
        SetCurrentDirectoryA(oldCwd_.c_str());
        SetEnvironmentVariableA("PATH", oldPath_.c_str());
        for (const std::string& file : planted_) DeleteFileA(file.c_str());
        for (auto place = places_.rbegin(); place != places_.rend(); ++place)
            RemoveDirectoryA(place->c_str());
        RemoveDirectoryA(root_.c_str());
    }
    std::string Dir(const std::string& place) const { return root_ + "\\" + place; }
    // One more place (a directory below the scratch root); its path.
    std::string MakePlace(const std::string& place)
    {
        places_.push_back(Dir(place));
        CreateDirectoryA(places_.back().c_str(), nullptr);
        return places_.back();
    }
    // A copy of the planted library as place\name; its path.
    std::string Plant(const std::string& place, const std::string& name)
    {
        std::string source = ProgramDirectory() + "\\planted\\planted.dll";
        std::string target = Dir(place) + "\\" + name;
        EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << "copy to " << target;
        planted_.push_back(target);
        return target;
    }
    // Makes a library loaded from the "saver" place stand for the saver's file.
    void StandInForTheSaver()
    {
        saverRun.appInstance = Keep(LoadLibraryA(Plant("saver", "saver.dll").c_str()));
        ASSERT_NE(nullptr, saverRun.appInstance);
    }
    HMODULE Keep(HMODULE module)
    {
        if (module != nullptr) loaded_.push_back(module);
        return module;
    }

private:
    std::string root_, oldCwd_, oldPath_;
    HINSTANCE oldInstance_;
    std::vector<std::string> places_, planted_;
    std::vector<HMODULE> loaded_;
};

}  // namespace

TEST(LoadSystemLibrary, OnlyBesideTheSaverOrInTheSystemDirectory)
{
    Places places;
    places.StandInForTheSaver();
    struct Row {
        const char* rule;
        const char* name;
        std::vector<const char*> plantedIn;
        std::string loadedFrom;  // the expected file; empty: nothing loaded
    } rows[] = {
        {"beside the saver: that one, though the current directory has one too",
         "BESIDE.DLL",
         {"saver", "cwd"},
         places.Dir("saver") + "\\BESIDE.DLL"},
        {"only in the current directory: never loaded", "CWDONLY.DLL", {"cwd"}, ""},
        {"only in a directory on PATH: never loaded", "PATHONLY.DLL", {"path"}, ""},
        {"a system library: from the system directory",
         "mpr.dll",
         {},
         SystemDirectory() + "\\mpr.dll"},
        {"nowhere at all", "NOWHERE.DLL", {}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        for (const char* place : row.plantedIn) places.Plant(place, row.name);
        HMODULE library = places.Keep(LoadSystemLibrary(row.name));
        EXPECT_EQ(Lower(row.loadedFrom), ModuleFile(library));
        if (library == nullptr) {
            EXPECT_EQ(nullptr, GetModuleHandleA(row.name)) << "loaded, then let go";
        }
    }
    // The refusals are the loader's doing: an ordinary load by name finds both.
    for (const char* name : {"CWDONLY.DLL", "PATHONLY.DLL"})
        EXPECT_NE(nullptr, places.Keep(LoadLibraryA(name))) << name << " is reachable by name";
}

TEST(LibrarySearch, TheCurrentDirectoryIsLeftOutPathStaysIn)
{
    SetDllDirectoryProc setDllDirectory = SetDllDirectoryFunction();
    ASSERT_NE(nullptr, setDllDirectory) << "Wine's kernel32 has SetDllDirectoryA";
    Places places;
    struct Row {
        const char* rule;
        const char* name;
        const char* place;
        bool foundAfter;
    } rows[] = {
        {"the current directory is no longer searched", "CWDLATER.DLL", "cwd", false},
        {"PATH, where the engine's plug-ins are, still is", "PATHLATER.DLL", "path", true},
    };
    for (const Row& row : rows) {
        std::string planted = places.Plant(row.place, row.name);
        HMODULE before = LoadLibraryA(row.name);
        EXPECT_EQ(Lower(planted), ModuleFile(before)) << row.rule << ": found before";
        FreeLibrary(before);
    }
    KeepCurrentDirectoryOutOfLibrarySearch();
    for (const Row& row : rows) {
        HMODULE after = places.Keep(LoadLibraryA(row.name));
        EXPECT_EQ(row.foundAfter, after != nullptr) << row.rule;
    }
    setDllDirectory(nullptr);
}

TEST(LoadEngineLibrary, LoadsNothingAndLeavesPathFromADirectoryThatIsNotFull)
{
    Places places;
    std::string root = places.Dir("cwd").substr(0, 2);  // the current drive
    places.Plant("cwd", "drovik.dll");
    places.MakePlace("cwd\\eng");
    std::string nested = places.Plant("cwd\\eng", "drovik.dll");
    std::string pathBefore = ReadVariable("PATH");
    // The ordinary search does find the planted engine by a relative name.
    HMODULE reachable = LoadLibraryA("eng\\drovik.dll");
    EXPECT_EQ(Lower(nested), ModuleFile(reachable));
    FreeLibrary(reachable);
    std::string driveRelative = root + "eng";
    for (const char* directory : {".", "eng", ".\\eng", driveRelative.c_str(), root.c_str()}) {
        EXPECT_EQ(nullptr, LoadEngineLibrary(directory)) << directory;
        EXPECT_EQ(nullptr, GetModuleHandleA("drovik.dll")) << directory << ": a library was loaded";
        EXPECT_EQ(pathBefore, ReadVariable("PATH")) << directory << ": PATH changed";
    }
}
