// The plug-in's entry points, exported by plain names: the type record the
// engine reads, and the factory of channels.
#include "engine/channels/PluginTypeRecord.h"
#include "Zco_Win32GetDriveLetter.h"

namespace {

// Constant-initialised, so it holds these defaults as soon as the library is
// mapped, before any export is called; GetType fills in the rest.
PluginTypeRecord typeRecord = {"", {}, {}, 1, 53, 1, 0, 0};

}  // namespace

// Returns the same record on every call.
extern "C" __declspec(dllexport) PluginTypeRecord* GetType()
{
    lstrcpynA(typeRecord.typeName, driveLetterTypeName, sizeof typeRecord.typeName);
    typeRecord.channelType = driveLetterChannelType;
    typeRecord.baseType = stringChannelType;
    typeRecord.enabled = 1;
    return &typeRecord;
}

// A new channel owned by the caller, who destroys it through its virtual
// destructor; null when there is no memory for it.
extern "C" __declspec(dllexport) Zco_Win32GetDriveLetter* InitDLL()
{
    return new Zco_Win32GetDriveLetter;
}
