// The dialog side of the settings object: shows the frame delay and the two
// flags in the settings dialog's controls and takes them back.
#include "settings/ViewerSettings.h"

#include <commctrl.h>

#include "settings/FrameRateText.h"
#include "settings/resource.h"

static LRESULT SendToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

static void ShowFrameRate(HWND dialog, int32_t delay)
{
    char text[frameRateTextSize];
    FrameRateText(delay, text);
    SetWindowTextA(GetDlgItem(dialog, IDC_FRAME_RATE_TEXT), text);
}

// Any non-zero flag byte counts as on elsewhere in the viewer, so it shows as
// a plain check. The byte is not passed through: BM_SETCHECK gives 2 its own
// meaning (indeterminate), and a box showing that would be saved as off.
static WPARAM CheckStateOf(uint8_t flag) { return flag ? BST_CHECKED : BST_UNCHECKED; }

static uint8_t FlagOf(HWND dialog, int checkBoxId)
{
    return SendToControl(dialog, checkBoxId, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

static int32_t SliderPosition(HWND dialog)
{
    return static_cast<int32_t>(SendToControl(dialog, IDC_FRAME_DELAY_SLIDER, TBM_GETPOS, 0, 0));
}

void ViewerSettings::FillDialog(HWND newDialog)
{
    dialog = newDialog;
    SendToControl(dialog, IDC_FRAME_DELAY_SLIDER, TBM_SETRANGE, FALSE,
                  MAKELPARAM(frameDelayMin, frameDelayMax));
    // The trackbar keeps the position within its range: a stored delay below
    // 1 shows at 1, one above 100 at 100.
    SendToControl(dialog, IDC_FRAME_DELAY_SLIDER, TBM_SETPOS, TRUE, frameDelay);
    SendToControl(dialog, IDC_DO_NOT_QUIT, BM_SETCHECK, CheckStateOf(doNotQuit), 0);
    SendToControl(dialog, IDC_ENABLE_PREVIEW, BM_SETCHECK, CheckStateOf(previewEnabled), 0);
    // From the stored delay, not the slider: a stored 250 reads "4 FPS".
    ShowFrameRate(dialog, frameDelay);
}

void ViewerSettings::SliderMoved()
{
    frameDelay = SliderPosition(dialog);
    ShowFrameRate(dialog, frameDelay);
}

void ViewerSettings::ReadDialog(HWND fromDialog)
{
    frameDelay = SliderPosition(fromDialog);
    doNotQuit = FlagOf(fromDialog, IDC_DO_NOT_QUIT);
    previewEnabled = FlagOf(fromDialog, IDC_ENABLE_PREVIEW);
    Save();
}
