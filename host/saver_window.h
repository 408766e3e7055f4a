// The saver window, full screen or inside a preview window, and the thread's
// message loop that drives it.
#ifndef TARVELIMUNDE_HOST_SAVER_WINDOW_H
#define TARVELIMUNDE_HOST_SAVER_WINDOW_H

#include <stdint.h>

#include "platform.h"

extern const char kSaverClassName[];
extern const char kFullScreenTitle[];
extern const char kPreviewTitle[];
const int kSaverIcon = 100;
// What RunSaverWindow returns when no window could be made, so that a
// failure never reads as the normal end (0).
const int32_t kNoSaverWindow = -1;

int32_t RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
