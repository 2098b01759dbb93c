// Creates channels from channel plug-ins: loads the library named after the
// channel type, checks its type record and asks it for a channel.
#include "engine/channels/PluginHost.h"

#include <windows.h>
#include <string.h>

#include "engine/Trace.h"
#include "engine/channels/PluginTypeRecord.h"
#include "engine/channels/Zel_Channel.h"
#include "engine/stringchannel/Zco_StringChannel.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Parses "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX". Only this exact form is
// accepted, so the text can never name a path or another file.
bool ParseGuid(const char* text, GUID* out)
{
    unsigned char bytes[16];
    int count = 0;
    for (int i = 0; i < 36; ++i) {
        bool dashPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPlace) {
            if (text[i] != '-') return false;
            continue;
        }
        int high = HexDigit(text[i]);
        int low = high < 0 ? -1 : HexDigit(text[++i]);
        if (low < 0) return false;
        bytes[count++] = static_cast<unsigned char>(high * 16 + low);
    }
    if (text[36] != '\0') return false;
    // The text gives the first three fields most significant byte first.
    out->Data1 =
        (static_cast<DWORD>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
    out->Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    out->Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    memcpy(out->Data4, bytes + 8, 8);
    return true;
}

Zel_Channel* Refuse(HMODULE library, const char* typeGuidText, const char* reason)
{
    EngineTrace("LoadPluginChannel", "%s failed: %s", typeGuidText, reason);
    if (library) FreeLibrary(library);
    return nullptr;
}

}  // namespace

Zel_Channel* LoadPluginChannel(const char* typeGuidText)
{
    GUID type;
    if (!typeGuidText || strnlen(typeGuidText, 37) != 36 || !ParseGuid(typeGuidText, &type))
        return Refuse(nullptr, typeGuidText ? typeGuidText : "(null)", "not a channel type GUID");

    char fileName[64];
    lstrcpyA(fileName, FormatGuid(type).text);
    lstrcatA(fileName, ".dll");
    HMODULE library = LoadLibraryA(fileName);
    if (!library) return Refuse(nullptr, typeGuidText, "library not found or not loadable");

    // Through void* because FARPROC's declared type is not the export's.
    auto getType =
        reinterpret_cast<GetTypeProc>(reinterpret_cast<void*>(GetProcAddress(library, "GetType")));
    auto initDll =
        reinterpret_cast<InitDllProc>(reinterpret_cast<void*>(GetProcAddress(library, "InitDLL")));
    if (!getType || !initDll) return Refuse(library, typeGuidText, "GetType or InitDLL missing");

    PluginTypeRecord* record = getType();
    if (!record || !IsEqualGUID(record->channelType, type))
        return Refuse(library, typeGuidText, "type record names another type");

    Zel_Channel* channel = initDll();
    if (!channel) return Refuse(library, typeGuidText, "InitDLL gave no channel");
    channel->SetChannelTypes(record->channelType, record->baseType);
    EngineTrace("LoadPluginChannel", "%s \"%.79s\"", typeGuidText, record->typeName);
    return channel;
}

const char* PluginChannelText(Zel_Channel* channel)
{
    if (!channel) return nullptr;
    ChannelType type = channel->GetChannelType();
    if (!IsEqualGUID(type.baseType, stringChannelType) &&
        !IsEqualGUID(type.type, stringChannelType))
        return nullptr;
    // The base type says the object is a string channel; the cast needs no
    // run-time type information from the plug-in's module.
    auto* stringChannel = static_cast<Zco_StringChannel*>(channel);
    stringChannel->CallChannel();
    return stringChannel->GetString();
}

void DestroyPluginChannel(Zel_Channel* channel) { delete channel; }
