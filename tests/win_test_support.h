// What the Windows test programs share, the GoogleTest suites under tests/win32
// and the e2e helpers alike: handling messages while waiting, waiting for a
// window or a process, and the helpers' report lines.
#pragma once

#include <windows.h>

#include <cstdio>

// Handles the messages this thread has now.
inline void
HandlePending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Handles this thread's messages for the given time.
inline void
PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        HandlePending();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// Asks find() for the window until it answers one or the time is up, handling
// this thread's messages meanwhile; the window, or null.
template <typename Find>
HWND
AwaitWindow(Find find, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = find();
        if (window || GetTickCount() - start >= milliseconds)
            return window;
        PumpFor(20);
    }
}

// Waits for a process to end while handling messages; true when it ended in time.
inline bool
WaitForProcess(HANDLE process, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        HandlePending();
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// One "key=value" line, flushed at once so that the test reads it while we go on.
#define REPORT(...) (std::printf(__VA_ARGS__), std::printf("\n"), std::fflush(stdout))

inline unsigned long long
HandleNumber(HWND window)
{
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}
