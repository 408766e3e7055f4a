// What the stand-in's window and dialog do with what the picture passes on:
// nothing. Kept apart so that a program that wants to see these calls (the
// native tests) links its own definitions of all three instead of this file.
#include "animation_driver.h"
#include "offscreen_win32.h"

LRESULT CALLBACK
SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL
SetDlgItemTextA(HWND, int, const char*)
{
    return TRUE;
}

BOOL
EndDialog(HWND, intptr_t)
{
    return TRUE;
}
