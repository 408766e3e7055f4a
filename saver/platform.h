// The one place that decides what the picture draws on: the real Win32 API in the
// Windows builds, the offscreen stand-in everywhere else.
#ifndef TARVELIMUNDE_SAVER_PLATFORM_H
#define TARVELIMUNDE_SAVER_PLATFORM_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "offscreen_win32.h"
#endif

#endif
