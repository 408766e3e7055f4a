// The saver window, full screen or inside a preview window, and the thread's
// message loop that drives it.
#ifndef TARVELIMUNDE_HOST_SAVER_WINDOW_H
#define TARVELIMUNDE_HOST_SAVER_WINDOW_H

#include <stdint.h>

#include "platform.h"

extern const char kSaverClassName[];
extern const char kFullScreenTitle[];
extern const char kPreviewTitle[];
const UINT kSaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
const DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
const DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const DWORD kFullScreenExtendedStyle = WS_EX_TOPMOST;
// What RunSaverWindow returns when no window could be made, so that a
// failure never reads as the normal end (0).
const int32_t kNoSaverWindow = -1;

int32_t RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
