#include "picture.h"

#include "animated_palette.h"
#include "animation_driver.h"
#include "fresh_picture.h"
#include "offscreen.h"

namespace {

struct Picture {
    HWND window;
    bool created;
};

Picture picture;

}

LRESULT
CreatePicture(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved, bool keepPixels)
{
    ResetPicture();
    OffscreenSetDeviceCaps(sizePalette, numReserved);
    OffscreenSetClock(clockSeconds);
    picture.window = OffscreenCreateWindow(width, height, keepPixels);
    LRESULT result = ScreenSaverProc(picture.window, WM_CREATE, 0, 0);
    picture.created = result != -1;
    return result;
}

bool
StartPicture(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved)
{
    StopPicture();
    return CreatePicture(clockSeconds, width, height, sizePalette, numReserved, true) != -1;
}

HWND
PictureWindow()
{
    return picture.window;
}

void
TickPicture()
{
    if (picture.created)
        ScreenSaverProc(picture.window, WM_TIMER, kAnimationTimer, 0);
}

void
StopPicture()
{
    if (picture.created)
        ScreenSaverProc(picture.window, WM_DESTROY, 0, 0);
    picture.created = false;
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
