// The picture's side of this build, built against the stand-in like the
// picture itself. Its default procedure does nothing: the real window's
// procedure hands each message to the host itself, after the picture's part.
#include "animation_driver.h"
#include "offscreen_win32.h"

LRESULT CALLBACK
SaverDefaultProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}
