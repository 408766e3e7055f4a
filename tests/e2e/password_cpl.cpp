// Test double of the system's screen-saver password verifier (PASSWORD.CPL):
// logs every call with its tick counts (its start also to "verify-begin.log", at once)
// and answers what the file "verify-answer" says.
// With a file "verify-delay" (milliseconds) it first keeps the thread's messages
// flowing for that long, as a password dialog waiting for the user would, and
// logs what it dispatched to the saver window meanwhile.
#include "double_log.h"

#include <cstdio>

namespace {

struct Dispatched {
    int timers;
    int closes;
    int keys;
    int buttons;
    int moves;
    int quit;
};

int depth;
int deepest;

void
Count(const MSG &message, HWND window, Dispatched *seen)
{
    if (message.hwnd != window)
        return;
    switch (message.message) {
    case WM_TIMER:
        seen->timers++;
        break;
    case WM_CLOSE:
        seen->closes++;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        seen->keys++;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        seen->buttons++;
        break;
    case WM_MOUSEMOVE:
        seen->moves++;
        break;
    }
}

// A modal loop of our own, without a window: everything the thread receives is dispatched.
void
WaitForUser(HWND window, DWORD milliseconds, Dispatched *seen)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // A modal loop hands the quit on to the loop outside it.
                seen->quit = 1;
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            Count(message, window, seen);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

}

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePwd(HWND window)
{
    DWORD start = GetTickCount();
    char begun[64];
    std::snprintf(begun, sizeof begun, "begin start=%lu", start);
    AppendDoubleLog("verify-begin.log", begun);
    if (++depth > deepest)
        deepest = depth;
    Dispatched seen = {};
    DWORD delay = ReadDoubleNumber("verify-delay");
    if (delay != 0)
        WaitForUser(window, delay, &seen);
    BOOL answer = ReadDoubleSetting("verify-answer") == '1';
    char described[300];
    DescribeWindow(window, described, sizeof described);
    char line[600];
    std::snprintf(line, sizeof line,
                  "verify start=%lu end=%lu window=%llu answer=%d deepest=%d timers=%d closes=%d keys=%d "
                  "buttons=%d moves=%d quit=%d described=%s",
                  start, GetTickCount(), static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)),
                  answer, deepest, seen.timers, seen.closes, seen.keys, seen.buttons, seen.moves, seen.quit,
                  described);
    AppendDoubleLog("verify.log", line);
    depth--;
    return answer;
}
