// The root of every class a channel library exports: ties the object to the
// engine that loaded it, so that code compiled into a plug-in reaches the
// engine's own services (its debug output) rather than copies of its own.
#pragma once

#include "engine/channels/DrovikExport.h"
#include "engine/channels/ShowDebugMessage.h"

// What the engine offers the objects of channel libraries. There is one,
// owned by drovik.dll for as long as it is loaded.
class DROVIK_API Zel_PluginServices {
public:
    ShowDebugMessage showDebugMessage;

    static Zel_PluginServices& Instance();
};

class DROVIK_API DllInterface {
public:
    // The constructor runs inside drovik.dll and so binds the engine's own
    // services object, whichever module allocated the channel.
    DllInterface();
    DllInterface(const DllInterface&) = default;
    DllInterface& operator=(const DllInterface&) = default;

    Zel_PluginServices& Engine() const { return *engine; }

private:
    Zel_PluginServices* engine;
};
