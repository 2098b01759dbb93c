// Interim: the dialog side of the settings object.
#include "settings/ViewerSettings.h"

void ViewerSettings::FillDialog(HWND d) { dialog = d; }
void ViewerSettings::ReadDialog(HWND) {}
void ViewerSettings::SliderMoved() {}
