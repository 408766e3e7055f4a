// Controls of the offscreen stand-in: what the tools, the page and the tests
// set up and look at. The picture's own sources never include this.
#ifndef TARVELIMUNDE_OFFSCREEN_H
#define TARVELIMUNDE_OFFSCREEN_H

#include <stdint.h>

#include "framebuffer.h"
#include "offscreen_win32.h"

struct OffscreenLine {
    POINT from, to;
    COLORREF colour;       // the selected pen's colour at LineTo
};

// Everything back to a fresh process: no window, no objects, default device
// capabilities (SIZEPALETTE 256, NUMRESERVED 20), clock at 0. A C name, like
// the calls it resets, so that a layer put around them can reset with it.
extern "C" void OffscreenReset();

// The one window. keepPixels asks for a framebuffer; without it drawing is only
// recorded, so any size up to 65535 x 65535 costs nothing.
HWND OffscreenCreateWindow(int width, int height, bool keepPixels);
void OffscreenResizeWindow(HWND window, int width, int height);

void OffscreenSetDeviceCaps(int sizePalette, int numReserved);
// What GetSystemTime answers, as whole seconds since 1970 (calendar.cpp).
void OffscreenSetClock(uint32_t secondsSince1970);

// The last line drawn, with or without a framebuffer.
OffscreenLine OffscreenLastLine();
// The window's framebuffer with what changed in it, or NULL without one.
Framebuffer* OffscreenFramebuffer();
// The 256 colours a palette shows now, or NULL for no palette.
const PALETTEENTRY* OffscreenPaletteColours(HPALETTE palette);

#endif
