// The settings record and its file "screensaver.cfg" in the install
// directory, read and written chunk by chunk through the engine's FileLoader
// and FileSaver.
#include "settings/ViewerSettings.h"

#include "common/BoundedText.h"
#include "common/ErrorBox.h"
#include "common/EngineInterface.h"

namespace {

// One chunk of the settings file: its code, its field and the size written.
// A number or flag is read back only when its chunk has exactly that size: a
// larger one would write past its field, a smaller one would leave it half
// old, half new. The project path may also come shorter (a file written with
// the text's own length); it then replaces the whole path.
struct SettingsChunk {
    const char* code;
    void* field;
    uint32_t size;
};
const int chunkCount = 4;

// The chunks in the order the file holds them.
void DescribeChunks(ViewerSettings& settings, SettingsChunk (&chunks)[chunkCount])
{
    chunks[0] = {"SCFP", settings.projectPath, textLimit};
    chunks[1] = {"SCTI", &settings.frameDelay, sizeof settings.frameDelay};
    chunks[2] = {"SCQC", &settings.doNotQuit, sizeof settings.doNotQuit};
    chunks[3] = {"SCSP", &settings.previewEnabled, sizeof settings.previewEnabled};
}

// The settings file's path; false when no install directory is set, which
// would name the root of the current drive, or when the directory leaves no
// room for the file name.
bool SettingsFilePath(const char* installDirectory, char (&path)[textSize])
{
    return installDirectory[0] != '\0' &&
           JoinPath(path, sizeof path, installDirectory, "screensaver.cfg");
}

// Tells the user that the settings file could not be written, naming it;
// the box is owned as the dialog was.
void ShowNotSavedBox(HWND dialog, const char* path)
{
    char text[1024];
    wsprintfA(text,
              "The settings were not saved: the file\r\n%s\r\ncannot be written. It may be "
              "read-only, you may lack the right to change it, or its disk may be full.\r\n\r\n"
              "The file is unchanged. To keep new settings, ask an administrator to make the file "
              "writable for you, then open the settings again.",
              path);
    ShowErrorBox(GetWindow(dialog, GW_OWNER), text, "Ormelix Screensaver", MB_ICONWARNING);
}

}  // namespace

ViewerSettings::ViewerSettings() : engineCore(nullptr) {}
ViewerSettings::~ViewerSettings() {}
const char* ViewerSettings::ProjectPath() { return projectPath; }
int32_t ViewerSettings::FrameDelay()
{
    // The file may hold any delay; the dialog offers none over its longest,
    // and a longer one would leave the screen seemingly frozen. The field
    // keeps what the file holds, and the file changes only when the user
    // saves the dialog.
    return frameDelay > frameDelayMax ? frameDelayMax : frameDelay;
}
bool ViewerSettings::PreviewEnabled() { return previewEnabled != 0; }
bool ViewerSettings::DoNotQuit() { return doNotQuit != 0; }
void ViewerSettings::SetEngineCore(EngineCore* core) { engineCore = core; }

void ViewerSettings::SetInstallDirectory(const char* directory)
{
    CopyText(installDirectory, sizeof installDirectory, directory != nullptr ? directory : "");
}

void ViewerSettings::Load()
{
    char path[textSize];
    if (!SettingsFilePath(installDirectory, path)) return;
    // Without an engine core no loader can be made, the same failure as a
    // core that refuses to make one.
    FileLoader* loader = nullptr;
    if (engineCore != nullptr)
        loader = static_cast<FileLoader*>(engineCore->CreateObject(settingsLoaderType, 0, 0));
    if (loader == nullptr) {
        ShowErrorBox(nullptr, "Can't init fileloader", "P", 0);
        return;
    }
    if (loader->Open(path)) {
        SettingsChunk chunks[chunkCount];
        DescribeChunks(*this, chunks);
        for (const SettingsChunk& chunk : chunks) {
            if (!loader->FindChunk(chunk.code)) continue;
            uint32_t size = loader->ChunkSize();
            if (size == chunk.size) {
                loader->ReadChunk(chunk.field);
            } else if (chunk.field == projectPath && size < chunk.size) {
                char text[textSize] = {};
                loader->ReadChunk(text);
                CopyMemory(projectPath, text, textLimit);
            }
        }
    }
    loader->Destroy(1);
}

void ViewerSettings::Save()
{
    // Checked before the saver is made: a saver, once made, must be finished.
    char path[textSize];
    if (engineCore == nullptr || !SettingsFilePath(installDirectory, path)) return;
    FileSaver* saver = static_cast<FileSaver*>(engineCore->CreateObject(settingsSaverType, 0, 0));
    if (saver == nullptr) return;
    // The saver's Open is the one step whose failure the engine reports: it
    // fails where the file cannot be written, before anything is changed.
    bool opened = saver->Open(path, 0);
    if (opened) {
        SettingsChunk chunks[chunkCount];
        DescribeChunks(*this, chunks);
        for (const SettingsChunk& chunk : chunks) {
            saver->BeginChunk(chunk.code);
            saver->SetChunkSize(chunk.size);
            saver->WriteData(chunk.field, chunk.size);
        }
    }
    saver->Finish();
    if (!opened) ShowNotSavedBox(dialog, path);
}
