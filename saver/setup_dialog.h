// The setup dialog: the saver has no options, so it only says so, names the
// saver and tells whether the display suits the palette animation.
#ifndef TARVELIMUNDE_SAVER_SETUP_DIALOG_H
#define TARVELIMUNDE_SAVER_SETUP_DIALOG_H

#include "platform.h"

const int kSetupDialogTemplate = 2003;
const int kDisplayVerdictControl = 1000;

extern const char kPerfectDisplayText[];
extern const char kOtherDisplayText[];

BOOL CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL RegisterSetupClasses(HINSTANCE instance);

#endif
