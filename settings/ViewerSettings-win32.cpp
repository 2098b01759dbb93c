// Interim: the settings object without its file.
#include "settings/ViewerSettings.h"

ViewerSettings viewerSettings;

ViewerSettings::ViewerSettings() : engineCore(nullptr) {}
ViewerSettings::~ViewerSettings() {}
const char* ViewerSettings::ProjectPath() { return projectPath; }
int32_t ViewerSettings::FrameDelay() { return frameDelay; }
bool ViewerSettings::PreviewEnabled() { return previewEnabled != 0; }
bool ViewerSettings::DoNotQuit() { return doNotQuit != 0; }
void ViewerSettings::Load() {}
void ViewerSettings::Save() {}
void ViewerSettings::SetEngineCore(EngineCore* core) { engineCore = core; }
void ViewerSettings::SetInstallDirectory(const char*) {}
