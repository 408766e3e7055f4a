// The picture on the offscreen stand-in, as every front end drives it: one
// window, ScreenSaverProc, and the framebuffer of palette indices. The start
// sequence lives here once.
#ifndef TARVELIMUNDE_OFFSCREEN_PICTURE_H
#define TARVELIMUNDE_OFFSCREEN_PICTURE_H

#include <stdint.h>

#include "framebuffer.h"
#include "offscreen_win32.h"

struct PictureColours {
    uint8_t rgb[256][3];
};

// A fresh picture at this size, as at process start, seeded as the saver
// seeds from the clock, on a display that answers these capabilities; the
// last picture is destroyed first. False when it cannot be created.
bool StartPicture(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved);
void TickPicture();
void StopPicture();
// The framebuffer, or NULL for a picture that keeps no pixels.
Framebuffer* PictureFrame();
void ReadPictureColours(PictureColours* colours);

// The start itself, for the replay tool and tests: keepPixels false only
// records the drawing, so any size costs nothing; the last picture is left
// as it is. Answers WM_CREATE's result.
LRESULT CreatePicture(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved,
                      bool keepPixels);
// The picture's window, whether or not its creation succeeded.
HWND PictureWindow();

#endif
