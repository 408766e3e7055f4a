// The saver's picture as a window procedure: creation, ticks, background and
// destruction, with every message then passed on to the host.
#ifndef TARVELIMUNDE_SAVER_ANIMATION_DRIVER_H
#define TARVELIMUNDE_SAVER_ANIMATION_DRIVER_H

#include <stdint.h>

#include "platform.h"

struct AnimationDriver {
    uint16_t timerId;
};

extern AnimationDriver animationDriver;

const UINT_PTR kAnimationTimer = 1;
const UINT kTimerPeriod = 1;
const int kPenWidth = 4;

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The host's default handling, which every message that the picture does not
// answer itself ends in.
LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
