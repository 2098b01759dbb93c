// The small types that appear in the engine channel's operations.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "engine/channels/DrovikExport.h"

// What kind of channel an object is: its own type GUID, the type it derives
// from (the string channel for string channels) and the interface type the
// engine last assigned. All zero until the engine sets them.
struct ChannelType {
    GUID type;
    GUID baseType;
    int interfaceType;
};

// Where a channel writes its saved state: a sink of bytes.
class ZelFileSaver {
public:
    // False when the bytes could not be written.
    virtual bool Write(const void* source, uint32_t byteCount) = 0;

protected:
    ~ZelFileSaver() = default;
};

// Where a channel reads its saved state back from.
class ZelFileLoader {
public:
    // False when fewer than byteCount bytes remain; destination is then
    // left unspecified.
    virtual bool Read(void* destination, uint32_t byteCount) = 0;

protected:
    ~ZelFileLoader() = default;
};

// Engine-side types that channels only pass on; the stand-in engine defines
// no content for them.
class Zel_ChannelGroup;
struct ChildInfo;
