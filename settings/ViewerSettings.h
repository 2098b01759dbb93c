// The viewer's settings: the project path, the frame delay and
// the two flags, kept in "screensaver.cfg" in the install directory and read
// and written through the engine's chunk-file objects.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "common/BoundedText.h"

class EngineCore;

// The dialog's range of the frame delay, in milliseconds.
constexpr int32_t frameDelayMin = 1;
constexpr int32_t frameDelayMax = 100;

class ViewerSettings {
public:
    ViewerSettings();
    virtual ~ViewerSettings();
    // Records the dialog and shows the settings in its controls.
    virtual void FillDialog(HWND dialog);
    // Takes the delay and both flags from the dialog's controls, then saves.
    virtual void ReadDialog(HWND dialog);
    virtual const char* ProjectPath();
    // The delay to pace frames by: the stored one, at most the dialog's
    // longest (frameDelayMax); 0 or less means no pause.
    virtual int32_t FrameDelay();
    virtual bool PreviewEnabled();  // any non-zero byte is on
    virtual bool DoNotQuit();       // any non-zero byte is on
    // Reads the settings file; fields whose chunk is missing keep their value.
    virtual void Load();
    // Writes the settings file. When the engine's saver cannot open it, a
    // box names the file and says that nothing was saved; without an engine
    // core, a settings path or a saver, nothing is written or shown.
    virtual void Save();
    virtual void SetEngineCore(EngineCore* core);
    // Copies at most textLimit characters; the text stays terminated.
    virtual void SetInstallDirectory(const char* directory);
    // Takes the delay from the dialog's slider and updates the rate text.
    virtual void SliderMoved();

    EngineCore* engineCore;           // borrowed from the engine
    char projectPath[textSize];       // chunk "SCFP"
    int32_t frameDelay;               // chunk "SCTI", milliseconds after each frame
    uint8_t previewEnabled;           // chunk "SCSP"
    uint8_t doNotQuit;                // chunk "SCQC"
    HWND dialog;                      // the open settings dialog
    char installDirectory[textSize];  // where "screensaver.cfg" lies
};
