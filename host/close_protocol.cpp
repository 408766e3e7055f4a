// Closing on user input, with the system's screen-saver password verifier
// asked first when the user has turned the password on.
#include "close_protocol.h"

#include "system_library.h"

HostState hostState = {
    NULL, NULL, 0, 0, 0, NULL, NULL, NULL, NULL, NULL,
    kMouseThreshold, kNoVerification, {0, 0},
};

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kUsePasswordValue[] = "ScreenSaveUsePassword";
const char kVerifierLibrary[] = "PASSWORD.CPL";
const char kVerifierEntry[] = "VerifyScreenSavePwd";

void
HideCursor()
{
    SetCursor(NULL);
}

uint32_t
Distance(LONG a, LONG b)
{
    return a > b ? (uint32_t)a - (uint32_t)b : (uint32_t)b - (uint32_t)a;
}

void
OnMouseMove(HWND window)
{
    // The message's own coordinates are client-relative and may be stale;
    // the travel is measured on the screen.
    POINT now = ReadCursor();
    uint32_t travel = Distance(now.x, hostState.lastCursor.x) + Distance(now.y, hostState.lastCursor.y);
    if (travel > hostState.mouseThreshold) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        hostState.lastCursor = now;
    }
}

}

LRESULT CALLBACK
SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hostState.isPreview || hostState.closing)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CLOSE) {
        if (VerifyBeforeClose(window))
            return DefWindowProcA(window, message, wParam, lParam);
        hostState.lastCursor = ReadCursor();
        return 0;
    }
    if (message == VerifyRequest) {
        if (hostState.verifyPassword != NULL)
            return hostState.verifyPassword(window);
        return 1;
    }
    if (hostState.verifying)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam)
            HideCursor();
        break;
    case WM_SETCURSOR:
        HideCursor();
        return TRUE;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int32_t
VerifyBeforeClose(HWND window)
{
    // A close dispatched while the verifier waits for the user is not a
    // second question.
    if (hostState.verifying)
        return 0;
    if (hostState.verifyPassword == NULL) {
        hostState.closing = 1;
        return 1;
    }
    uint32_t now = GetTickCount();
    if (hostState.lastVerifyTick != kNoVerification
        && TickDifference(hostState.lastVerifyTick, now) < kVerifyInterval)
        return hostState.closing;

    hostState.verifying = 1;
    // There is at most one pending WM_TIMER per timer, so this drops the tick
    // that is due, not a backlog; while the verifier's own message loop runs,
    // later ticks draw as usual.
    MSG ignored;
    PeekMessageA(&ignored, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&ignored, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    LRESULT answer = SendMessageA(window, VerifyRequest, 0, 0);
    hostState.closing = (int32_t)answer;
    hostState.verifying = 0;
    if (answer == 0)
        HideCursor();
    // Counted from the end of the verification, not its start.
    hostState.lastVerifyTick = GetTickCount();
    return hostState.closing;
}

void
LoadPasswordVerifier()
{
    if (hostState.verifierModule != NULL)
        UnloadPasswordVerifier();
    HKEY desktop;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kDesktopKey, &desktop) != ERROR_SUCCESS)
        return;
    // A value shorter than four bytes fills only the low bytes.
    uint32_t usePassword = 0;
    DWORD size = sizeof(usePassword);
    LONG queried = RegQueryValueExA(desktop, kUsePasswordValue, NULL, NULL, (BYTE*)&usePassword, &size);
    if (queried == ERROR_SUCCESS && usePassword != 0) {
        hostState.verifierModule = LoadSystemLibrary(kVerifierLibrary);
        if (hostState.verifierModule != NULL) {
            hostState.verifyPassword =
                (VerifyScreenSavePwdProc)(void*)GetProcAddress(hostState.verifierModule, kVerifierEntry);
            if (hostState.verifyPassword != NULL)
                SetSaverRunning(1);
            else
                UnloadPasswordVerifier();
        }
    }
    RegCloseKey(desktop);
}

void
UnloadPasswordVerifier()
{
    if (hostState.verifierModule == NULL)
        return;
    FreeLibrary(hostState.verifierModule);
    hostState.verifierModule = NULL;
    if (hostState.verifyPassword != NULL) {
        hostState.verifyPassword = NULL;
        SetSaverRunning(0);
    }
}

BOOL
SetSaverRunning(int32_t running)
{
    // The previous state the system writes back is of no interest.
    UINT scratch;
    return SystemParametersInfoA(SPI_SCREENSAVERRUNNING, (UINT)running, &scratch, 0);
}

POINT
ReadCursor()
{
    // GetCursorPos fails while the input desktop is switched, and then writes
    // nothing: the last known position stands, so a failed read is no movement.
    POINT now;
    if (!GetCursorPos(&now))
        now = hostState.lastCursor;
    return now;
}

uint32_t
TickDifference(uint32_t earlier, uint32_t later)
{
    return later - earlier;
}
