// How the engine creates channels from channel plug-ins: a project names a
// channel type GUID, and the library of that name supplies the channel.
#pragma once

#include "engine/channels/DrovikExport.h"

class Zel_Channel;

// Loads "<typeGuidText>.dll" through the library search path (the viewer
// puts <install dir>\channels first), checks that its GetType record names
// that type, and returns a new channel from its InitDLL. typeGuidText is the
// upper- or lower-case GUID without braces. Null when the text is not a
// GUID, the library or an export is missing, the record names another type,
// or InitDLL gives none. The library stays loaded.
DROVIK_API Zel_Channel* LoadPluginChannel(const char* typeGuidText);

// The current text of a string channel (its CallChannel, then its
// GetString); null when channel is null or not a string channel.
DROVIK_API const char* PluginChannelText(Zel_Channel* channel);

// Destroys a channel through its virtual destructor, so that the plug-in
// frees it with its own allocator. Null is allowed.
DROVIK_API void DestroyPluginChannel(Zel_Channel* channel);
