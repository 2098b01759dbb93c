// A settings object on zeroed storage, as the process's static one starts.
#pragma once

#include <new>

#include "settings/ViewerSettings.h"

// The storage comes first so that it is zeroed before the object is built in it.
class FreshSettings {
    alignas(ViewerSettings) unsigned char storage_[sizeof(ViewerSettings)] = {};

public:
    FreshSettings() : settings(*new (storage_) ViewerSettings) {}
    ~FreshSettings() { settings.~ViewerSettings(); }
    ViewerSettings& settings;
};
