// What the native tests see of the stand-in beyond its own controls: counts of
// live objects and calls, failures on demand, the timers, a log of the drawing
// calls, and what reached the default procedure and the dialog (see
// offscreen_spy.cpp for how it gets between the picture and the stand-in).
#ifndef TARVELIMUNDE_TESTS_OFFSCREEN_SPY_H
#define TARVELIMUNDE_TESTS_OFFSCREEN_SPY_H

#include <stdint.h>

#include "offscreen.h"

struct SpyCounts {
    int liveDeviceContexts;
    int livePens;
    int livePalettes;
    int liveLocalBlocks;
    int runningTimers;
    int erases;            // FillRect calls
    int lines;             // LineTo calls
    int animations;        // AnimatePalette calls
};

// All of it goes back to nothing with OffscreenReset.
const SpyCounts& SpyGetCounts();

void SpyFailLocalAlloc(bool fail);
void SpyFailLocalLock(bool fail);
void SpyFailCreatePalette(bool fail);
void SpyFailSetTimer(bool fail);
// FrameMemoryAllocate answering NULL.
void SpyFailFrameMemory(bool fail);

// The last timer set and killed (0 if none), with its period.
UINT_PTR SpyLastTimerSet(UINT* period);
UINT_PTR SpyLastTimerKilled();

// A log of the drawing calls by name, for tests of their order.
void SpyLogCalls(bool on);
int SpyCallCount();
const char* SpyCall(int index);

// SaverDefaultProc records what reaches it and answers with a set value.
void SpySetDefaultResult(LRESULT result);
int SpyDefaultProcCalls(UINT message);

// What SetDlgItemTextA and EndDialog were given.
const char* SpyDialogText(int control);
bool SpyDialogEnded(intptr_t* result);

#endif
