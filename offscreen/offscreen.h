// Controls of the offscreen stand-in: what tests and the replay tool set up and
// look at. The picture's own sources never include this.
#ifndef TARVELIMUNDE_OFFSCREEN_H
#define TARVELIMUNDE_OFFSCREEN_H

#include <stdint.h>

#include "framebuffer.h"
#include "offscreen_win32.h"

struct OffscreenCounts {
    int liveDeviceContexts;
    int livePens;
    int livePalettes;
    int liveLocalBlocks;
    int runningTimers;
    int erases;            // FillRect calls
    int lines;             // LineTo calls
    int animations;        // AnimatePalette calls
};

struct OffscreenLine {
    POINT from, to;
    COLORREF colour;       // the selected pen's colour at LineTo
};

// Everything back to a fresh process: no window, no objects, default device
// capabilities (SIZEPALETTE 256, NUMRESERVED 20), clock at 0, no failures.
void OffscreenReset();

// The one window. keepPixels asks for a framebuffer; without it drawing is only
// recorded, so any size up to 65535 x 65535 costs nothing.
HWND OffscreenCreateWindow(int width, int height, bool keepPixels);
void OffscreenResizeWindow(HWND window, int width, int height);

void OffscreenSetDeviceCaps(int sizePalette, int numReserved);
void OffscreenSetClock(uint32_t secondsSince1970);
void OffscreenFailLocalAlloc(bool fail);
void OffscreenFailLocalLock(bool fail);
void OffscreenFailCreatePalette(bool fail);
void OffscreenFailSetTimer(bool fail);

const OffscreenCounts& OffscreenGetCounts();
OffscreenLine OffscreenLastLine();
// The last timer set and killed (0 if none), with its period.
UINT_PTR OffscreenLastTimerSet(UINT* period);
UINT_PTR OffscreenLastTimerKilled();

// The framebuffer (logical palette indices, row by row) or NULL without one.
const uint8_t* OffscreenPixels(int* width, int* height);
// The window's framebuffer with what changed in it, or NULL without one.
Framebuffer* OffscreenFramebuffer();
// The 256 colours a palette shows now, or NULL for no palette.
const PALETTEENTRY* OffscreenPaletteColours(HPALETTE palette);

// A log of the drawing calls by name, for tests of their order.
void OffscreenLogCalls(bool on);
int OffscreenCallCount();
const char* OffscreenCall(int index);

// The native SaverDefaultProc records what reaches it and answers with a set value.
void OffscreenSetDefaultResult(LRESULT result);
int OffscreenDefaultProcCalls(UINT message);

// What SetDlgItemTextA and EndDialog were given.
const char* OffscreenDialogText(int control);
bool OffscreenDialogEnded(intptr_t* result);

#endif
