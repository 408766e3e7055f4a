#include "x11_picture.h"

#include "animated_palette.h"
#include "animation_driver.h"
#include "fresh_picture.h"
#include "offscreen.h"

namespace {

HWND pictureWindow;

}

bool
StartPicture(uint32_t clockSeconds, int width, int height)
{
    StopPicture();
    ResetPicture();
    OffscreenSetDeviceCaps(kPictureSizePalette, kPictureNumReserved);
    OffscreenSetClock(clockSeconds);
    HWND window = OffscreenCreateWindow(width, height, true);
    if (ScreenSaverProc(window, WM_CREATE, 0, 0) == -1)
        return false;
    pictureWindow = window;
    return true;
}

void
TickPicture()
{
    if (pictureWindow != NULL)
        ScreenSaverProc(pictureWindow, WM_TIMER, kAnimationTimer, 0);
}

void
StopPicture()
{
    if (pictureWindow != NULL)
        ScreenSaverProc(pictureWindow, WM_DESTROY, 0, 0);
    pictureWindow = NULL;
}

Framebuffer*
PictureFrame()
{
    return OffscreenFramebuffer();
}

void
ReadPictureColours(PictureColours* colours)
{
    const PALETTEENTRY* entries = OffscreenPaletteColours(paletteAnimator.palette);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY e = entries != NULL ? entries[i] : PALETTEENTRY();
        colours->rgb[i][0] = e.peRed;
        colours->rgb[i][1] = e.peGreen;
        colours->rgb[i][2] = e.peBlue;
    }
}
