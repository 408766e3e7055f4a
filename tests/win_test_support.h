// What the Windows test programs share, the GoogleTest suites under tests/win32
// and the e2e helpers alike: the ceiling of every wait, handling messages while
// waiting, waiting for a condition, a window or a process, and the helpers'
// report lines.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>

// The ceiling of every wait, as the Python harnesses have it: a wait ends as
// soon as its condition holds. 120 s times TARVELIMUNDE_TIME_SCALE, which Wine
// passes on from the Linux environment.
inline DWORD
CeilingMs()
{
    char scale[32] = "";
    double factor = GetEnvironmentVariableA("TARVELIMUNDE_TIME_SCALE", scale, sizeof scale) ? std::atof(scale) : 0;
    return static_cast<DWORD>(120000 * (factor > 0 ? factor : 1));
}

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

// Asks done() until it holds or the time is up, handling this thread's messages
// meanwhile; whether it held.
template <typename Done>
bool
AwaitCondition(Done done, DWORD milliseconds = CeilingMs())
{
    DWORD start = GetTickCount();
    for (;;) {
        HandlePending();
        if (done())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed < 10 ? milliseconds - elapsed : 10,
                                  QS_ALLINPUT);
    }
}

// Handles this thread's messages for the given time.
inline void
PumpFor(DWORD milliseconds)
{
    AwaitCondition([] { return false; }, milliseconds);
}

// Asks find() for the window until it answers one or the time is up; the
// window, or null.
template <typename Find>
HWND
AwaitWindow(Find find, DWORD milliseconds = CeilingMs())
{
    HWND window = nullptr;
    AwaitCondition([&] { return (window = find()) != nullptr; }, milliseconds);
    return window;
}

// Waits for a process to end while handling messages; true when it ended in time.
inline bool
WaitForProcess(HANDLE process, DWORD milliseconds = CeilingMs())
{
    return AwaitCondition([=] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, milliseconds);
}

// One "key=value" line, flushed at once so that the test reads it while we go on.
#define REPORT(...) (std::printf(__VA_ARGS__), std::printf("\n"), std::fflush(stdout))

inline unsigned long long
HandleNumber(HWND window)
{
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}
