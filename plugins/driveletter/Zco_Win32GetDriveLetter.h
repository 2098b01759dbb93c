// The drive-letter channel: a string channel whose text is the list of the
// machine's drive letters, read afresh whenever the engine calls the channel
// or asks for its text. Exported whole from the plug-in library.
#pragma once

#include <windows.h>

#include "engine/stringchannel/Zco_StringChannel.h"

#ifdef driveletter_plugin_EXPORTS
#define DRIVELETTER_API __declspec(dllexport)
#else
#define DRIVELETTER_API __declspec(dllimport)
#endif

// The channel type this library adds; the library carries its name.
constexpr GUID driveLetterChannelType = {
    0x3B1E6C52, 0x8A47, 0x4D90, {0xB2, 0xF3, 0x5C, 0x81, 0xA7, 0xE0, 0x4D, 0x26}};
// The type's name, which is also every channel's name.
constexpr char driveLetterTypeName[] = "Win32 GetDriveLetter";

class DRIVELETTER_API Zco_Win32GetDriveLetter : public Zco_StringChannel {
public:
    // Named "Win32 GetDriveLetter"; the text stays the string channel's
    // initial one until the first CallChannel or GetString.
    Zco_Win32GetDriveLetter();
    Zco_Win32GetDriveLetter(const Zco_Win32GetDriveLetter& other);
    Zco_Win32GetDriveLetter& operator=(const Zco_Win32GetDriveLetter& other);
    ~Zco_Win32GetDriveLetter() override;

    // The plug-in's own allocator: every channel, whoever creates it, is
    // freed by the library that allocated it. New gives null, never throws,
    // when memory runs out.
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* memory) noexcept;

    // Refreshes the text.
    void CallChannel() override;
    // Refreshes the text and returns it as stored.
    const char* GetString() override;

private:
    // Stores the current drive list and sends it to the engine's debug output.
    void RefreshText();
};
