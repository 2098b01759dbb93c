// The custom actions of the saver's Windows Installer package
// (installer/saver.wxs): the checks the setup program makes before it writes
// anything, and the rule that keeps the settings a user changed. Windows
// Installer hands every property over in UTF-16, and a folder an
// administrator picks need not fit the ANSI code page, so this library, and
// only it, calls the wide APIs. It keeps clear of the C++ library, which
// would make it ten times its size in every package.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

namespace {

const wchar_t settingsFile[] = L"screensaver.cfg";
const wchar_t shippedSettingsCopy[] = L"screensaver.cfg.shipped";
// Room for a path or a message; a folder longer than this is refused as too
// long before it is used.
const int textSize = 1024;

// A block of the process heap, freed when it goes out of scope.
template <typename Unit>
class HeapBlock {
public:
    HeapBlock() : units_(nullptr) {}
    // Room for units and a terminating zero, all zero.
    explicit HeapBlock(size_t units)
        : units_(static_cast<Unit*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (units + 1) * sizeof(Unit))))
    {
    }
    ~HeapBlock() { Free(); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    void Take(HeapBlock& other)
    {
        Free();
        units_ = other.units_;
        other.units_ = nullptr;
    }
    Unit* get() const { return units_; }

private:
    void Free()
    {
        if (units_) HeapFree(GetProcessHeap(), 0, units_);
        units_ = nullptr;
    }
    Unit* units_;
};

using HeapText = HeapBlock<wchar_t>;
using HeapBytes = HeapBlock<char>;

// The property's value in text; false, and text empty, where it cannot be
// read.
bool Property(MSIHANDLE install, const wchar_t* name, HeapText& text)
{
    wchar_t none[1];
    DWORD length = 0;
    HeapText empty(0);
    text.Take(empty);
    if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA) return false;
    HeapText value(length);
    length += 1;
    if (!value.get() || MsiGetPropertyW(install, name, value.get(), &length) != ERROR_SUCCESS) return false;
    text.Take(value);
    return true;
}

// Formats into a buffer of textSize characters, cut short where it must.
void Format(wchar_t* out, const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf(out, textSize - 1, format, arguments);
    va_end(arguments);
    out[textSize - 1] = L'\0';
}

// Writes the text to the install log; as an error it is also the message
// the installer shows before it ends with 1603. The text goes in as a field,
// so that no bracket in a name or a folder is read as a property.
void Report(MSIHANDLE install, INSTALLMESSAGE kind, const wchar_t* text)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"[1]");
    MsiRecordSetStringW(record, 1, text);
    MsiProcessMessage(install, kind, record);
}

UINT Refuse(MSIHANDLE install, const wchar_t* reason)
{
    wchar_t text[textSize];
    Format(text, L"%ls Nothing was installed.", reason);
    Report(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONSTOP), text);
    return ERROR_INSTALL_FAILURE;
}

int HexDigit(wchar_t digit)
{
    if (digit >= L'0' && digit <= L'9') return digit - L'0';
    if (digit >= L'a' && digit <= L'f') return digit - L'a' + 10;
    return -1;
}

// The bytes that pairs of hexadecimal digits (lower case) give; their count
// in length. False on anything else.
bool FromHex(const wchar_t* hex, HeapBytes& bytes, size_t& length)
{
    size_t digits = wcslen(hex);
    HeapBytes block(digits / 2);
    if (digits % 2 != 0 || !block.get()) return false;
    for (size_t i = 0; i < digits; i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        block.get()[i / 2] = static_cast<char>(high * 16 + low);
    }
    bytes.Take(block);
    length = digits / 2;
    return true;
}

// True where the packed name's bytes, given in hexadecimal, read as the name
// in this Windows' ANSI code page, as the viewer's registry calls read them.
bool ThisWindowsReadsTheName(const wchar_t* hexBytes, const wchar_t* name)
{
    HeapBytes bytes;
    size_t length = 0;
    if (!FromHex(hexBytes, bytes, length) || length == 0) return false;
    wchar_t read[textSize];
    int readLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.get(), static_cast<int>(length), read,
                                         textSize - 1);
    if (readLength <= 0) return false;
    read[readLength] = L'\0';
    return wcscmp(read, name) == 0;
}

// The whole file in bytes (length in length), or false where it cannot be
// read.
bool ReadWholeFile(const wchar_t* path, HeapBytes& bytes, DWORD& length)
{
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    HeapBytes block(size);
    DWORD read = 0;
    bool ok = size != INVALID_FILE_SIZE && block.get() && ReadFile(file, block.get(), size, &read, nullptr) &&
              read == size;
    CloseHandle(file);
    if (!ok) return false;
    bytes.Take(block);
    length = size;
    return true;
}

bool WriteWholeFile(const wchar_t* path, const char* bytes, DWORD length)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes, length, &written, nullptr) && written == length;
    return CloseHandle(file) && ok;
}

// The data of InstallSettingsFile: "replace<TAB>folder" where there are no
// settings or the last shipped ones are there unchanged, so that the shipped
// file goes in; otherwise "keep<TAB>folder<TAB>the settings in hexadecimal".
// Decided before an upgrade removes the version before, whose shipped copy
// tells. The settings go along because an uninstall the upgrade starts
// removes them where it is not told it is one (Wine does not tell it).
bool SettingsFileData(const wchar_t* folder, HeapText& data)
{
    wchar_t path[textSize];
    HeapBytes settings, shipped;
    DWORD settingsLength = 0, shippedLength = 0;
    Format(path, L"%ls\\%ls", folder, settingsFile);
    bool keep = ReadWholeFile(path, settings, settingsLength);
    Format(path, L"%ls\\%ls", folder, shippedSettingsCopy);
    if (keep && ReadWholeFile(path, shipped, shippedLength) && shippedLength == settingsLength &&
        memcmp(settings.get(), shipped.get(), settingsLength) == 0) {
        keep = false;
    }
    size_t folderLength = wcslen(folder);
    HeapText text(folderLength + 2 * static_cast<size_t>(settingsLength) + 16);
    if (!text.get()) return false;
    wcscpy(text.get(), keep ? L"keep\t" : L"replace\t");
    wchar_t* end = text.get() + wcslen(text.get());
    wcscpy(end, folder);
    end += folderLength;
    if (keep) {
        static const wchar_t digits[] = L"0123456789abcdef";
        *end++ = L'\t';
        for (DWORD i = 0; i < settingsLength; ++i) {
            unsigned char byte = static_cast<unsigned char>(settings.get()[i]);
            *end++ = digits[byte >> 4];
            *end++ = digits[byte & 15];
        }
        *end = L'\0';
    }
    data.Take(text);
    return true;
}

// Runs the command line and returns its exit code, or -1 if it did not run.
long RunCommand(wchar_t* commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// The folder without the trailing backslash Windows Installer gives it.
void DropTrailingBackslash(wchar_t* folder)
{
    size_t length = wcslen(folder);
    while (length > 3 && folder[length - 1] == L'\\') folder[--length] = L'\0';
}

}  // namespace

// Immediate, on install, upgrade and repair: refuses a Windows whose ANSI
// code page reads the packed name as another name (SAVERNAMEBYTES, empty for
// an ASCII name) and a folder too long (SAVERLONGESTENTRY, SAVERLONGESTPATH,
// empty for a package without an install directory). Then sets
// SAVERDIRECTORY, the folder as the viewer's registry value holds it,
// ARPINSTALLLOCATION, and the data of InstallSettingsFile.
extern "C" __declspec(dllexport) UINT __stdcall CheckInstall(MSIHANDLE install)
{
    HeapText name, nameBytes, codePage, longestEntry, longestPath, installDir, data;
    wchar_t reason[textSize];
    Property(install, L"SAVERNAME", name);
    if (Property(install, L"SAVERNAMEBYTES", nameBytes) && *nameBytes.get() &&
        !ThisWindowsReadsTheName(nameBytes.get(), name.get())) {
        Property(install, L"SAVERNAMECODEPAGE", codePage);
        Format(reason,
               L"The screen saver \"%ls\" is made for Windows with the code page %ls; this Windows uses the code "
               L"page %u, in which the saver cannot find its settings.",
               name.get(), codePage.get(), GetACP());
        return Refuse(install, reason);
    }
    if (!Property(install, L"SAVERLONGESTENTRY", longestEntry) || !*longestEntry.get()) return ERROR_SUCCESS;
    if (!Property(install, L"SAVERLONGESTPATH", longestPath) || !Property(install, L"INSTALLDIR", installDir)) {
        return ERROR_INSTALL_FAILURE;
    }
    DropTrailingBackslash(installDir.get());
    long entry = wcstol(longestEntry.get(), nullptr, 10), limit = wcstol(longestPath.get(), nullptr, 10);
    long folderLength = static_cast<long>(wcslen(installDir.get()));
    if (folderLength + entry > limit || folderLength >= textSize - 64) {
        Format(reason,
               L"The folder %ls is too long for the screen saver's files, whose paths Windows limits to %ld "
               L"characters. Choose a folder of at most %ld characters.",
               installDir.get(), limit, limit - entry);
        return Refuse(install, reason);
    }
    if (!SettingsFileData(installDir.get(), data)) return ERROR_INSTALL_FAILURE;
    MsiSetPropertyW(install, L"SAVERDIRECTORY", installDir.get());
    MsiSetPropertyW(install, L"ARPINSTALLLOCATION", installDir.get());
    MsiSetPropertyW(install, L"InstallSettingsFile", data.get());
    return ERROR_SUCCESS;
}

// Deferred, as the system account, once the files are in: the shipped
// settings, or the user's put back where the version before took them
// away, as CheckInstall decided. Then Users may modify that one file,
// granted by SID (a name would be translated), so that a standard user's
// dialog can save the settings.
extern "C" __declspec(dllexport) UINT __stdcall InstallSettingsFile(MSIHANDLE install)
{
    HeapText data;
    if (!Property(install, L"CustomActionData", data)) return ERROR_INSTALL_FAILURE;
    wchar_t* folder = wcschr(data.get(), L'\t');
    if (!folder) return ERROR_INSTALL_FAILURE;
    *folder++ = L'\0';
    wchar_t* kept = wcschr(folder, L'\t');
    if (kept) *kept++ = L'\0';
    wchar_t settings[textSize], shipped[textSize], text[textSize];
    Format(settings, L"%ls\\%ls", folder, settingsFile);
    Format(shipped, L"%ls\\%ls", folder, shippedSettingsCopy);
    bool written = true;
    if (wcscmp(data.get(), L"replace") == 0) {
        written = CopyFileW(shipped, settings, FALSE);
    } else {
        Format(text, L"Kept the settings changed since the last install: %ls", settings);
        Report(install, INSTALLMESSAGE_INFO, text);
        HeapBytes bytes;
        size_t length = 0;
        if (GetFileAttributesW(settings) == INVALID_FILE_ATTRIBUTES && kept) {
            written = FromHex(kept, bytes, length) && WriteWholeFile(settings, bytes.get(), static_cast<DWORD>(length));
        }
    }
    if (!written) {
        Format(text, L"Cannot write the settings file %ls.", settings);
        Report(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONSTOP), text);
        return ERROR_INSTALL_FAILURE;
    }
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    Format(text, L"\"%ls\\icacls.exe\" \"%ls\" /grant *S-1-5-32-545:(M)", system, settings);
    long code = RunCommand(text);
    if (code != 0) {
        Format(text, L"Users without administrator rights cannot save the settings: icacls ended with %ld.", code);
        Report(install, INSTALLMESSAGE_INFO, text);
    }
    return ERROR_SUCCESS;
}

// Deferred, as the system account, on an uninstall that no upgrade started:
// the settings file, whoever wrote it (an upgrade keeps it for the next
// version). A file in use goes at the next restart.
extern "C" __declspec(dllexport) UINT __stdcall RemoveSettingsFile(MSIHANDLE install)
{
    HeapText folder;
    if (!Property(install, L"CustomActionData", folder)) return ERROR_SUCCESS;
    DropTrailingBackslash(folder.get());
    wchar_t settings[textSize];
    Format(settings, L"%ls\\%ls", folder.get(), settingsFile);
    if (!DeleteFileW(settings) && GetFileAttributesW(settings) != INVALID_FILE_ATTRIBUTES) {
        MoveFileExW(settings, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return ERROR_SUCCESS;
}
