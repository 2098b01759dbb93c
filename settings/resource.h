// Resource identifiers of the settings dialog, shared by settings.rc and the
// code that fills and reads the dialog's controls.
#pragma once

#define IDD_SETTINGS            2003
#define IDC_FRAME_DELAY_SLIDER  1002
#define IDC_FRAME_RATE_TEXT     1003
#define IDC_DO_NOT_QUIT         1005
#define IDC_ENABLE_PREVIEW      1006
#define IDC_LABEL               -1

// Slider range of the frame delay in milliseconds.
#define FRAME_DELAY_MIN         1
#define FRAME_DELAY_MAX         100
