// Shared helpers of the Windows tests: fresh host state, windows to talk to,
// the message queue and the desktop setting.
#ifndef TARVELIMUNDE_TESTS_TEST_WINDOWS_H
#define TARVELIMUNDE_TESTS_TEST_WINDOWS_H

#include <windows.h>

#include "close_protocol.h"

// Names the import table's slot of a system function, which a test may route
// through its own stand-in: on x86 the linker's name carries the underscore
// and the stdcall decoration (the argument bytes).
#if defined(__i386__)
#define IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#else
#define IMPORT_SLOT(name, bytes)
#endif

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
// Dispatches whatever is queued, for at most the given time.
void PumpFor(DWORD milliseconds);
bool CursorHidden();
void ShowArrowCursor();

// HKCU\Control Panel\Desktop "ScreenSaveUsePassword": set to the given bytes
// of the given type, or removed.
void SetUsePassword(DWORD type, const void* data, DWORD size);
void SetUsePasswordNumber(DWORD value);
void RemoveUsePassword();

// Points one of this program's import slots (__imp_Name) at a replacement,
// keeping what was there in *saved when saved is not NULL.
template <typename Procedure>
void
RouteImport(Procedure* slot, Procedure replacement, Procedure* saved)
{
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    if (saved != NULL)
        *saved = *slot;
    *slot = replacement;
}

#endif
