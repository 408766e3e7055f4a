// Only OK ends the dialog: Escape arrives as IDCANCEL and is left alone, and
// the caption has no close button.
#include "setup_dialog.h"

const char kPerfectDisplayText[] = "Your video regime is perfect";
const char kOtherDisplayText[] = "This program looks better in 256 colour mode";

namespace {

void
OnInitDialog(HWND dialog)
{
    HDC dc = GetDC(dialog);
    SetDlgItemTextA(dialog, IDC_DISPLAY_VERDICT, DisplaySuitsPicture(dc) ? kPerfectDisplayText : kOtherDisplayText);
    ReleaseDC(dialog, dc);
}

}

intptr_t CALLBACK
SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        // The whole wParam: control 1 with notification code 0.
        if (wParam == 1) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

BOOL
RegisterSetupClasses(HINSTANCE)
{
    return TRUE;
}
