// The drive-letter plug-in as the engine meets it: loaded by file name, its
// type record, its exports, its class's virtual table and its channels.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "PluginTestSupport.h"
#include "engine/channels/PluginTypeRecord.h"
#include "engine/channels/Zel_List.h"
#include "plugins/driveletter/Zco_Win32GetDriveLetter.h"

namespace {

// The record after GetType, written out byte by byte: the name padded to 80
// bytes, the two GUIDs in the Windows layout, then 1, 53, 1, 0, 0.
std::vector<unsigned char> ExpectedRecordBytes()
{
    const unsigned char afterName[] = {
        0x52, 0x6C, 0x1E, 0x3B, 0x47, 0x8A, 0x90, 0x4D,  // 3B1E6C52-8A47-4D90-
        0xB2, 0xF3, 0x5C, 0x81, 0xA7, 0xE0, 0x4D, 0x26,  // B2F3-5C81A7E04D26
        0x81, 0x4E, 0x2D, 0x9C, 0x36, 0x5F, 0x7B, 0x4A,  // 9C2D4E81-5F36-4A7B-
        0x8E, 0x19, 0xD0, 0xB3, 0xF6, 0xA2, 0xC4, 0x57,  // 8E19-D0B3F6A2C457
        1,    0,    0,    0,    53,   0,    0,    0,    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const char name[80] = "Win32 GetDriveLetter";
    std::vector<unsigned char> bytes(sizeof name + sizeof afterName);
    memcpy(bytes.data(), name, sizeof name);
    memcpy(bytes.data() + sizeof name, afterName, sizeof afterName);
    return bytes;
}

// The record as the library is loaded: empty name, zero GUIDs, 1, 53, 1, 0, 0.
std::vector<unsigned char> DefaultRecordBytes()
{
    std::vector<unsigned char> bytes(112, 0);
    const unsigned char integers[] = {1, 0, 0, 0, 53, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.end(), integers, integers + sizeof integers);
    return bytes;
}

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module)
{
    auto base = reinterpret_cast<const unsigned char*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

// Addresses in the module's writable data where pattern occurs.
std::vector<const void*> FindInWritableData(HMODULE module,
                                            const std::vector<unsigned char>& pattern)
{
    auto base = reinterpret_cast<const unsigned char*>(module);
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    std::vector<const void*> found;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (!(section->Characteristics & IMAGE_SCN_MEM_WRITE)) continue;
        const unsigned char* start = base + section->VirtualAddress;
        DWORD size = section->Misc.VirtualSize;
        for (DWORD at = 0; at + pattern.size() <= size; ++at)
            if (memcmp(start + at, pattern.data(), pattern.size()) == 0)
                found.push_back(start + at);
    }
    return found;
}

std::vector<std::string> ExportNames(HMODULE module)
{
    auto base = reinterpret_cast<const unsigned char*>(module);
    const IMAGE_DATA_DIRECTORY& directory =
        NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.push_back(reinterpret_cast<const char*>(base + names[i]));
    return result;
}

template <typename Proc>
Proc Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class PluginLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = LoadLibraryA(pluginFileName);
        ASSERT_NE(nullptr, library) << "error " << GetLastError();
        initDll = Export<InitDllProc>(library, "InitDLL");
        ASSERT_NE(nullptr, initDll);
    }
    void TearDown() override
    {
        if (library) FreeLibrary(library);
    }
    Zco_Win32GetDriveLetter* NewChannel()
    {
        return static_cast<Zco_Win32GetDriveLetter*>(initDll());
    }

    HMODULE library = nullptr;
    InitDllProc initDll = nullptr;
};

// GetType fills the record that held the defaults as loaded, and every call
// writes the name, the GUIDs and the third integer again over whatever a
// caller changed, returning the same record.
TEST_F(PluginLibrary, GetTypeFillsTheDefaultRecordAgainOnEveryCall)
{
    // A copy under another name is a fresh module whose GetType was never called.
    ScopedTempDir directory;
    std::string copyPath = directory.File("fresh-copy.dll");
    ASSERT_TRUE(CopyFileA(PluginPath().c_str(), copyPath.c_str(), FALSE));
    HMODULE fresh = LoadLibraryA(copyPath.c_str());
    ASSERT_NE(nullptr, fresh);

    std::vector<const void*> defaults = FindInWritableData(fresh, DefaultRecordBytes());
    auto freshGetType = Export<GetTypeProc>(fresh, "GetType");
    PluginTypeRecord* first = freshGetType();
    ASSERT_EQ(1u, defaults.size()) << "the default record should be in the data exactly once";
    EXPECT_EQ(defaults[0], first) << "GetType should return the record that held the defaults";
    std::vector<unsigned char> expected = ExpectedRecordBytes();
    ASSERT_EQ(expected.size(), sizeof(PluginTypeRecord));
    EXPECT_EQ(0, memcmp(expected.data(), first, expected.size()));

    strcpy(first->typeName, "overwritten");
    first->enabled = 7;
    PluginTypeRecord* second = freshGetType();
    EXPECT_EQ(first, second);
    EXPECT_EQ(0, memcmp(expected.data(), second, expected.size()))
        << "each call writes the name, the GUIDs and the third integer again";
    FreeLibrary(fresh);
}

TEST_F(PluginLibrary, ExportsCarryPlainEntryPointsAndTheWholeClass)
{
    std::vector<std::string> names = ExportNames(library);
    auto has = [&](const std::string& name) {
        for (const std::string& n : names)
            if (n == name) return true;
        return false;
    };
    const char* expected[] = {
        "GetType",
        "InitDLL",                                      // plain, undecorated entry points
        "_ZN23Zco_Win32GetDriveLetterC1Ev",             // default constructor
        "_ZN23Zco_Win32GetDriveLetterC1ERKS_",          // copy constructor
        "_ZN23Zco_Win32GetDriveLetteraSERKS_",          // copy assignment
        "_ZN23Zco_Win32GetDriveLetterD1Ev",             // destructor
        "_ZN23Zco_Win32GetDriveLetterD0Ev",             // deleting destructor
        "_ZN23Zco_Win32GetDriveLetter11CallChannelEv",  // override
        "_ZN23Zco_Win32GetDriveLetter9GetStringEv",     // override
        "_ZTV23Zco_Win32GetDriveLetter",                // virtual table
    };
    for (const char* name : expected) EXPECT_TRUE(has(name)) << name;
    for (const std::string& name : names)
        EXPECT_EQ(std::string::npos, name.find('@')) << "decorated export " << name;
}

TEST_F(PluginLibrary, VirtualTableSlotsComeFromTheirSupplyingLibrary)
{
    Zco_Win32GetDriveLetter* channel = NewChannel();
    ASSERT_NE(nullptr, channel);
    HMODULE engine = GetModuleHandleA("drovik.dll");
    HMODULE strings = GetModuleHandleA("9C2D4E81-5F36-4A7B-8E19-D0B3F6A2C457.dll");
    ASSERT_NE(nullptr, engine);
    ASSERT_NE(nullptr, strings);
    // GCC's table starts with two destructor entries (complete, deleting), so
    // operation n of the table (CallChannel being 2) sits in slot n.
    struct Row {
        const char* operation;
        int slot;
        HMODULE supplier;
    } rows[] = {
        {"destructor", 0, library},
        {"deleting destructor (frees with the plug-in's allocator)", 1, library},
        {"CallChannel", 2, library},
        {"OneTimeInitialize", 3, engine},
        {"DoEvent", 4, engine},
        {"GetChannelType", 5, engine},
        {"SaveChannel", 6, strings},
        {"LoadChannel", 7, strings},
        {"SetChannelInterfaceType", 8, engine},
        {"GetChannelFromChannel", 9, engine},
        {"GetTimeStamp", 10, strings},
        {"SetTimeStamp", 11, engine},
        {"DoDependencyInit", 12, engine},
        {"CheckIndexNrRemoval", 13, engine},
        {"GetString", 14, library},
        {"SetString", 15, strings},
        {"SetSingeLine", 16, strings},
        {"SetMaxCars", 18, strings},
        {"GetWString", 21, strings},
        {"GetLastRect", 25, strings},
        {"SetLastRect", 26, strings},
    };
    void** table = *reinterpret_cast<void***>(channel);
    for (const Row& row : rows)
        EXPECT_EQ(row.supplier, SupplierOf(table[row.slot])) << row.operation;
    delete channel;
}

TEST_F(PluginLibrary, InitDllGivesIndependentNamedChannelsBoundToTheEngine)
{
    Zco_Win32GetDriveLetter* first = NewChannel();
    Zco_Win32GetDriveLetter* second = NewChannel();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_STREQ("Win32 GetDriveLetter", first->GetChannelName());
    EXPECT_STREQ("Win32 GetDriveLetter", second->GetChannelName());
    // A new channel starts with the string channel's empty text.
    EXPECT_STREQ("", first->Zco_StringChannel::GetString());

    first->SetString("first");
    second->SetString("second");
    first->SetSingeLine(true);
    EXPECT_STREQ("first", first->Zco_StringChannel::GetString());
    EXPECT_STREQ("second", second->Zco_StringChannel::GetString());
    EXPECT_FALSE(second->GetSingeLine());
    // The debug output is the engine's own object, not a copy in the plug-in.
    EXPECT_EQ(&Zel_PluginServices::Instance(), &first->Engine());
    EXPECT_EQ(&first->Engine(), &second->Engine());
    Zel_Channel* asBase = first;
    delete asBase;
    delete second;
}

TEST_F(PluginLibrary, EveryRefreshStoresTheDrivesAndSendsOneDebugMessage)
{
    ScopedTraceFile trace;
    Zco_Win32GetDriveLetter* channel = NewChannel();
    ASSERT_NE(nullptr, channel);
    struct Row {
        const char* operation;
        void (*call)(Zco_Win32GetDriveLetter*);
    } rows[] = {
        {"GetString", [](Zco_Win32GetDriveLetter* c) { c->GetString(); }},
        {"GetString again", [](Zco_Win32GetDriveLetter* c) { c->GetString(); }},
        {"CallChannel", [](Zco_Win32GetDriveLetter* c) { c->CallChannel(); }},
        {"CallChannel again", [](Zco_Win32GetDriveLetter* c) { c->CallChannel(); }},
    };
    size_t messages = 0;
    for (const Row& row : rows) {
        channel->SetString("stale");
        row.call(channel);
        std::string drives = DrivesFromDriveStrings();
        EXPECT_STREQ(drives.c_str(), channel->Zco_StringChannel::GetString()) << row.operation;
        std::vector<std::string> lines = trace.LinesOf("ShowDebugMessage");
        ASSERT_EQ(++messages, lines.size()) << row.operation;
        EXPECT_EQ("Driver Letters : " + drives, lines.back()) << row.operation;
    }
    EXPECT_STREQ(DrivesFromDriveStrings().c_str(), channel->GetString())
        << "GetString returns the text it just stored";
    delete channel;
}

TEST_F(PluginLibrary, GetStringSeesADriveAddedBetweenCalls)
{
    Zco_Win32GetDriveLetter* channel = NewChannel();
    ASSERT_NE(nullptr, channel);
    DWORD mask = GetLogicalDrives();
    char letter = 'Y';
    while (letter > 'D' && (mask & (1u << (letter - 'A')))) --letter;
    ASSERT_GT(letter, 'D') << "no free drive letter";
    const char device[] = {letter, ':', '\0'};

    std::string before = channel->GetString();
    ASSERT_TRUE(DefineDosDeviceA(0, device, "C:\\")) << "error " << GetLastError();
    std::string after = channel->GetString();
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
    std::string removed = channel->GetString();

    EXPECT_EQ(std::string::npos, before.find(letter));
    EXPECT_NE(std::string::npos, after.find(std::string(1, letter) + ";")) << after;
    EXPECT_EQ(before, removed);
    delete channel;
}

TEST_F(PluginLibrary, CopiesCarryTheWholeStateWithTheirOwnText)
{
    Zco_Win32GetDriveLetter* original = NewChannel();
    ASSERT_NE(nullptr, original);
    original->SetString("copied text");
    original->SetSingeLine(true);
    original->SetLastRect(RECT{1, 2, 3, 4});

    Zco_Win32GetDriveLetter constructed(*original);
    Zco_Win32GetDriveLetter assigned;
    assigned = *original;
    struct Row {
        const char* way;
        Zco_Win32GetDriveLetter* copy;
    } rows[] = {{"copy constructor", &constructed}, {"copy assignment", &assigned}};
    for (const Row& row : rows) {
        Zco_Win32GetDriveLetter& copy = *row.copy;
        EXPECT_STREQ("Win32 GetDriveLetter", copy.GetChannelName()) << row.way;
        EXPECT_STREQ("copied text", copy.Zco_StringChannel::GetString()) << row.way;
        EXPECT_NE(original->Zco_StringChannel::GetString(), copy.Zco_StringChannel::GetString())
            << row.way << ": the copy must own its text";
        EXPECT_TRUE(copy.GetSingeLine()) << row.way;
        EXPECT_EQ(3, copy.GetLastRect().right) << row.way;
    }
    delete original;
    EXPECT_STREQ("copied text", constructed.Zco_StringChannel::GetString())
        << "the copy outlives the original";
}

}  // namespace
