// Shared helpers of the host's Windows tests: fresh host state, windows to talk
// to, the message queue and the desktop setting (waiting and pumping are
// win_test_support.h's, shared with the e2e helpers).
#ifndef TARVELIMUNDE_TESTS_TEST_WINDOWS_H
#define TARVELIMUNDE_TESTS_TEST_WINDOWS_H

#include <windows.h>

#include "../win_test_support.h"
#include "close_protocol.h"
#include "route_import.h"

// HostState as at process start, with this program as the instance.
void ResetHostState();
// A top-level window that only has DefWindowProcA.
HWND CreatePlainWindow(const char* title = "plain");
// A window of a class whose procedure is SaverWindowProc, as RunSaverWindow
// makes it (without its message loop); sets isPreview and saverWindow.
HWND CreateSaverTestWindow(HWND parent);
// Removes the first queued message of that number for the window.
bool TakeMessage(HWND window, UINT message);
int CountQueued(HWND window, UINT message);
void DrainQueue();
bool CursorHidden();
void ShowArrowCursor();

// HKCU\Control Panel\Desktop "ScreenSaveUsePassword": set to the given bytes
// of the given type, or removed.
void SetUsePassword(DWORD type, const void* data, DWORD size);
void SetUsePasswordNumber(DWORD value);
void RemoveUsePassword();

#endif
