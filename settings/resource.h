// Resource identifiers of the settings dialog, shared by settings.rc and the
// code that fills and reads the dialog's controls.
#pragma once

#define IDD_SETTINGS 2003
#define IDC_FRAME_DELAY_SLIDER 1002
#define IDC_FRAME_RATE_TEXT 1003
#define IDC_DO_NOT_QUIT 1005
#define IDC_ENABLE_PREVIEW 1006
#define IDC_LABEL -1
