// The one place that decides what the picture draws on: the real Win32 API in the
// Windows builds, the offscreen stand-in everywhere else.
#ifndef TARVELIMUNDE_SAVER_PLATFORM_H
#define TARVELIMUNDE_SAVER_PLATFORM_H

// TARVELIMUNDE_OFFSCREEN picks the stand-in in a Windows build too: the
// replay tool built for Windows checks the shipped arithmetic that way.
#if defined(_WIN32) && !defined(TARVELIMUNDE_OFFSCREEN)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "offscreen_win32.h"
#endif

#endif
