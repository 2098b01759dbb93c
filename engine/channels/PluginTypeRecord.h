// The record a channel plug-in's GetType returns: the engine reads it to
// learn the channel type the library adds, so its layout is fixed.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

struct PluginTypeRecord {
    char typeName[80];      // zero-terminated
    GUID channelType;       // the type the library adds
    GUID baseType;          // the type it derives from
    int32_t recordVersion;  // 1
    int32_t category;       // the engine's channel category, not interpreted here
    int32_t enabled;        // 1 while the type may be used
    int32_t reserved1;      // 0
    int32_t reserved2;      // 0
};

static_assert(offsetof(PluginTypeRecord, typeName) == 0, "record layout");
static_assert(offsetof(PluginTypeRecord, channelType) == 80, "record layout");
static_assert(offsetof(PluginTypeRecord, baseType) == 96, "record layout");
static_assert(offsetof(PluginTypeRecord, recordVersion) == 112, "record layout");
static_assert(offsetof(PluginTypeRecord, category) == 116, "record layout");
static_assert(offsetof(PluginTypeRecord, enabled) == 120, "record layout");
static_assert(offsetof(PluginTypeRecord, reserved1) == 124, "record layout");
static_assert(offsetof(PluginTypeRecord, reserved2) == 128, "record layout");
static_assert(sizeof(PluginTypeRecord) == 132, "record layout");

// The plug-in's two entry points, exported by these plain names.
typedef PluginTypeRecord* (*GetTypeProc)();
class Zel_Channel;
typedef Zel_Channel* (*InitDllProc)();
