// The picture on the offscreen stand-in, as the web page drives it: one
// window, ScreenSaverProc, and the framebuffer of palette indices.
#ifndef TARVELIMUNDE_X11_PICTURE_H
#define TARVELIMUNDE_X11_PICTURE_H

#include <stdint.h>

#include "framebuffer.h"

// What a 256-colour display answers, as in the web page.
const int kPictureSizePalette = 256;
const int kPictureNumReserved = 20;
// The picture draws with entries 1 to this one; the rest stay as created.
const int kPictureLastDrawnIndex = 255 - kPictureNumReserved;

struct PictureColours {
    uint8_t rgb[256][3];
};

// A fresh picture at this size, seeded as the saver seeds from the clock:
// false when it cannot be created.
bool StartPicture(uint32_t clockSeconds, int width, int height);
void TickPicture();
void StopPicture();
Framebuffer* PictureFrame();
void ReadPictureColours(PictureColours* colours);

#endif
