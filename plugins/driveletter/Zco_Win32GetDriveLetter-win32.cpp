// The drive-letter channel's operations. It has no state of its own: the
// text lives in the string channel it derives from.
#include "Zco_Win32GetDriveLetter.h"

#include <stdlib.h>

#include "DriveText.h"

Zco_Win32GetDriveLetter::Zco_Win32GetDriveLetter() { SetChannelName(driveLetterTypeName); }

Zco_Win32GetDriveLetter::Zco_Win32GetDriveLetter(const Zco_Win32GetDriveLetter& other) = default;
Zco_Win32GetDriveLetter& Zco_Win32GetDriveLetter::operator=(const Zco_Win32GetDriveLetter& other) =
    default;
Zco_Win32GetDriveLetter::~Zco_Win32GetDriveLetter() = default;

void* Zco_Win32GetDriveLetter::operator new(size_t size) noexcept { return malloc(size); }

void Zco_Win32GetDriveLetter::operator delete(void* memory) noexcept { free(memory); }

void Zco_Win32GetDriveLetter::CallChannel() { RefreshText(); }

const char* Zco_Win32GetDriveLetter::GetString()
{
    RefreshText();
    return Zco_StringChannel::GetString();
}

void Zco_Win32GetDriveLetter::RefreshText()
{
    // A local buffer: the string channel keeps its own copy.
    char text[driveTextSize];
    BuildDriveText(GetLogicalDrives(), text);
    SetString(text);
    Engine().showDebugMessage("Driver Letters : ", text);
}
