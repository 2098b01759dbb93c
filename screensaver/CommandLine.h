// Reading the screen saver's command line: cutting off the program name,
// window numbers and the choice of mode. Pure functions over text, so the
// Win32 shell only carries out what they decide.
#pragma once

#include <stdint.h>

// What the arguments ask the saver to do.
enum class SaverModeKind {
    SettingsNoOwner,  // no switch at all: the settings dialog without owner
    SettingsOwned,    // 'c': the settings dialog owned by windowNumber or the foreground window
    ChangePassword,   // 'a' on Win9x: the password changer with windowNumber as parent
    Preview,          // 'p' or 'l': the preview inside windowNumber
    FullScreen,       // 's': the full-screen saver
    Reject,           // anything else: nothing is shown, the exit code is -1
};

struct SaverMode {
    SaverModeKind kind;
    uint32_t windowNumber;  // 0 stands for no window
};

// The arguments after the program name. Bytes are stepped one by one: in the
// double-byte code pages Windows uses, trail bytes are 0x40 or above, so a
// trail byte is never taken for a quote, a blank or a control character and
// byte stepping stops where character stepping would.
const char* SkipProgramName(const char* commandLine);

// The decimal number at the start of text (unsigned 32-bit, wrapping past ten
// digits); 0 when text does not start with a digit.
uint32_t ParseWindowNumber(const char* text);

// The mode the arguments select. Only the first letter after any run of
// blanks, '-' and '/' decides; 'a' counts only on a Win9x platform.
SaverMode DecideSaverMode(const char* arguments, bool win9x);
