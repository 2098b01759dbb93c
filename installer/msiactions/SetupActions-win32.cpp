// The custom actions of the saver's Windows Installer package
// (installer/saver.wxs): the checks the setup program makes before it writes
// anything, and the rule that keeps the settings a user changed. Windows
// Installer hands every property over in UTF-16, and a folder an
// administrator picks need not fit the ANSI code page, so this library, and
// only it, calls the wide APIs.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const wchar_t settingsFile[] = L"screensaver.cfg";
const wchar_t shippedSettingsCopy[] = L"screensaver.cfg.shipped";

std::wstring Property(MSIHANDLE install, const wchar_t* name)
{
    wchar_t small[1];
    DWORD length = 0;
    if (MsiGetPropertyW(install, name, small, &length) != ERROR_MORE_DATA) return L"";
    std::wstring value(length + 1, L'\0');
    length = static_cast<DWORD>(value.size());
    if (MsiGetPropertyW(install, name, &value[0], &length) != ERROR_SUCCESS) return L"";
    value.resize(length);
    return value;
}

// Writes the text to the install log; as an error it is also the message
// the installer shows before it ends with 1603. The text goes in as a field,
// so that no bracket in a name or a folder is read as a property.
void Report(MSIHANDLE install, INSTALLMESSAGE kind, const std::wstring& text)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"[1]");
    MsiRecordSetStringW(record, 1, text.c_str());
    MsiProcessMessage(install, kind, record);
}

UINT Refuse(MSIHANDLE install, const std::wstring& text)
{
    Report(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONSTOP), text + L" Nothing was installed.");
    return ERROR_INSTALL_FAILURE;
}

std::wstring WithoutTrailingBackslash(std::wstring folder)
{
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::wstring Hex(const std::string& bytes)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

std::string FromHex(const std::wstring& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(wcstoul(hex.substr(i, 2).c_str(), nullptr, 16));
    }
    return bytes;
}

// The packed name's bytes, given as hexadecimal pairs, as this Windows reads
// them in its ANSI code page, as the viewer's registry calls do; empty where
// a byte is not a character there.
std::wstring NameAsThisWindowsReadsIt(const std::wstring& hexBytes)
{
    std::string bytes = FromHex(hexBytes);
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return L"";
    std::wstring name(length, L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &name[0], length);
    return name;
}

// Why the folder is too long for the install directory's longest path, or
// empty.
std::wstring LongFolderReason(const std::wstring& folder, int longestEntry, int longestPath)
{
    if (static_cast<int>(folder.size()) + longestEntry <= longestPath) return L"";
    return L"The folder " + folder + L" is too long for the screen saver's files, whose paths Windows limits to " +
           std::to_wstring(longestPath) + L" characters. Choose a folder of at most " +
           std::to_wstring(longestPath - longestEntry) + L" characters.";
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole file, or false where it cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[4096];
    DWORD read = 0;
    bool ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    return CloseHandle(file) && ok;
}

// The data of InstallSettingsFile: "replace<TAB>folder" where there are no
// settings or the last shipped ones are there unchanged, so that the shipped
// file goes in; otherwise "keep<TAB>folder<TAB>the settings in hexadecimal".
// Decided before an upgrade removes the version before, whose shipped copy
// tells. The settings go along because an uninstall the upgrade starts
// removes them where it is not told it is one (Wine does not tell it).
std::wstring SettingsFileData(const std::wstring& folder)
{
    std::string settings, shipped;
    if (!ReadWholeFile(folder + L"\\" + settingsFile, settings) ||
        (ReadWholeFile(folder + L"\\" + shippedSettingsCopy, shipped) && settings == shipped)) {
        return L"replace\t" + folder;
    }
    return L"keep\t" + folder + L"\t" + Hex(settings);
}

// Runs the command line and returns its exit code, or -1 if it did not run.
long RunCommand(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
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
    std::wstring name = Property(install, L"SAVERNAME");
    std::wstring nameBytes = Property(install, L"SAVERNAMEBYTES");
    if (!nameBytes.empty() && NameAsThisWindowsReadsIt(nameBytes) != name) {
        return Refuse(install, L"The screen saver \"" + name + L"\" is made for Windows with the code page " +
                                   Property(install, L"SAVERNAMECODEPAGE") + L"; this Windows uses the code page " +
                                   std::to_wstring(GetACP()) + L", in which the saver cannot find its settings.");
    }
    std::wstring longestEntry = Property(install, L"SAVERLONGESTENTRY");
    if (longestEntry.empty()) return ERROR_SUCCESS;
    std::wstring folder = WithoutTrailingBackslash(Property(install, L"INSTALLDIR"));
    std::wstring reason =
        LongFolderReason(folder, wcstol(longestEntry.c_str(), nullptr, 10),
                         wcstol(Property(install, L"SAVERLONGESTPATH").c_str(), nullptr, 10));
    if (!reason.empty()) return Refuse(install, reason);
    MsiSetPropertyW(install, L"SAVERDIRECTORY", folder.c_str());
    MsiSetPropertyW(install, L"ARPINSTALLLOCATION", folder.c_str());
    MsiSetPropertyW(install, L"InstallSettingsFile", SettingsFileData(folder).c_str());
    return ERROR_SUCCESS;
}

// Deferred, as the system account, once the files are in: the shipped
// settings, or the user's put back where the version before took them
// away, as CheckInstall decided. Then Users may modify that one file,
// granted by SID (a name would be translated), so that a standard user's
// dialog can save the settings.
extern "C" __declspec(dllexport) UINT __stdcall InstallSettingsFile(MSIHANDLE install)
{
    std::wstring data = Property(install, L"CustomActionData");
    size_t folderStart = data.find(L'\t') + 1;
    size_t folderEnd = data.find(L'\t', folderStart);
    if (folderStart == 0) return ERROR_INSTALL_FAILURE;
    std::wstring folder = data.substr(folderStart, folderEnd - folderStart);
    std::wstring settings = folder + L"\\" + settingsFile;
    bool written = true;
    if (data.compare(0, folderStart, L"replace\t") == 0) {
        written = CopyFileW((folder + L"\\" + shippedSettingsCopy).c_str(), settings.c_str(), FALSE);
    } else {
        Report(install, INSTALLMESSAGE_INFO, L"Kept the settings changed since the last install: " + settings);
        if (!Exists(settings) && folderEnd != std::wstring::npos) {
            written = WriteWholeFile(settings, FromHex(data.substr(folderEnd + 1)));
        }
    }
    if (!written) {
        Report(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONSTOP),
               L"Cannot write the settings file " + settings + L".");
        return ERROR_INSTALL_FAILURE;
    }
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    long code = RunCommand(L"\"" + std::wstring(system) + L"\\icacls.exe\" \"" + settings +
                           L"\" /grant *S-1-5-32-545:(M)");
    if (code != 0) {
        Report(install, INSTALLMESSAGE_INFO,
               L"Users without administrator rights cannot save the settings: icacls ended with " +
                   std::to_wstring(code) + L".");
    }
    return ERROR_SUCCESS;
}

// Deferred, as the system account, on an uninstall that no upgrade started:
// the settings file, whoever wrote it (an upgrade keeps it for the next
// version). A file in use goes at the next restart.
extern "C" __declspec(dllexport) UINT __stdcall RemoveSettingsFile(MSIHANDLE install)
{
    std::wstring settings = WithoutTrailingBackslash(Property(install, L"CustomActionData")) + L"\\" + settingsFile;
    if (!DeleteFileW(settings.c_str()) && Exists(settings)) {
        MoveFileExW(settings.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return ERROR_SUCCESS;
}
