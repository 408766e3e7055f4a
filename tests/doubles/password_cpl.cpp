// A PASSWORD.CPL whose VerifyScreenSavePwd answers what the test says and
// records how it was asked (see password_double.h).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "double_log.h"
#include "password_double.h"

namespace {

PasswordDouble state = {1, 0, 0, 0, NULL, NULL};

struct Dispatched {
    int timers, closes, keys, buttons, moves, quit;
};

LONG WINAPI
HandleEverything(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

LONG WINAPI
ContinueEverything(EXCEPTION_POINTERS*)
{
    return EXCEPTION_CONTINUE_EXECUTION;
}

void
FaultAsTold()
{
    char value[32];
    if (ReadDoubleText("verify-filter", value, sizeof value)) {
        if (strcmp(value, "handle") == 0)
            SetUnhandledExceptionFilter(HandleEverything);
        else if (strcmp(value, "continue") == 0)
            SetUnhandledExceptionFilter(ContinueEverything);
    }
    if (!ReadDoubleText("verify-fault", value, sizeof value))
        return;
    // Read through a volatile, or the compiler sees the null and writes a trap
    // instruction instead of the store.
    static int* volatile nowhere = NULL;
    if (strcmp(value, "access") == 0)
        *nowhere = 1;
    else if (strcmp(value, "raise") == 0)
        RaiseException(kDoubleException, 0, 0, NULL);
}

void
Count(const MSG& message, HWND window, Dispatched* seen)
{
    if (message.hwnd != window)
        return;
    switch (message.message) {
    case WM_TIMER: seen->timers++; break;
    case WM_CLOSE: seen->closes++; break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: seen->keys++; break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: seen->buttons++; break;
    case WM_MOUSEMOVE: seen->moves++; break;
    }
}

// A modal loop of our own, without a window: everything the thread receives is
// dispatched until the test takes verify-hold away, or a minute has passed.
void
WaitForUser(HWND window, Dispatched* seen)
{
    const DWORD kLongest = 60000;
    // The file is looked at every 20 ms: a tick or input wakes the loop sooner.
    const DWORD kLook = 20;
    DWORD start = GetTickCount();
    while (DoubleFileExists("verify-hold") && GetTickCount() - start < kLongest) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // A modal loop hands the quit on to the loop outside it.
                seen->quit = 1;
                PostQuitMessage((int)message.wParam);
                return;
            }
            Count(message, window, seen);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, kLook, QS_ALLINPUT);
    }
}

BOOL
Answer()
{
    if (char setting = ReadDoubleSetting("verify-answer"))
        return setting == '1';
    return state.answer;
}

}

extern "C" __declspec(dllexport) PasswordDouble*
PasswordDoubleState()
{
    return &state;
}

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePwd(HWND window)
{
    DWORD start = GetTickCount();
    char begun[64];
    snprintf(begun, sizeof begun, "begin start=%lu", start);
    AppendDoubleLog("verify-begin.log", begun);
    ++state.calls;
    if (++state.depth > state.deepest)
        state.deepest = state.depth;
    state.lastWindow = window;
    FaultAsTold();
    if (state.whileAsking != NULL)
        state.whileAsking(window);
    Dispatched seen = {};
    WaitForUser(window, &seen);
    BOOL answer = Answer();
    char described[300];
    DescribeWindow(window, described, sizeof described);
    char line[600];
    snprintf(line, sizeof line,
             "verify start=%lu end=%lu window=%llu answer=%d deepest=%d timers=%d closes=%d keys=%d "
             "buttons=%d moves=%d quit=%d described=%s",
             start, GetTickCount(), (unsigned long long)(UINT_PTR)window, answer, state.deepest, seen.timers,
             seen.closes, seen.keys, seen.buttons, seen.moves, seen.quit, described);
    AppendDoubleLog("verify.log", line);
    --state.depth;
    return answer;
}
