// The setup dialog: the saver has no options, so it only says so, names the
// saver and tells whether the display suits the palette animation.
#ifndef TARVELIMUNDE_SAVER_SETUP_DIALOG_H
#define TARVELIMUNDE_SAVER_SETUP_DIALOG_H

#include <stdint.h>

#include "platform.h"
#include "resource.h"

extern const char kPerfectDisplayText[];
extern const char kOtherDisplayText[];

// TRUE or FALSE, returned at the width of the platform's dialog procedure
// (INT_PTR), so it is a DLGPROC as it stands and needs no cast on 64 bits.
intptr_t CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL RegisterSetupClasses(HINSTANCE instance);

// Whether the display suits the palette animation, which the dialog's last
// line tells; its own file, since a front end that shows the animation in
// another way judges for itself.
bool DisplaySuitsPicture(HDC dc);

#endif
