// This build's ScreenSaverProc, between the host's window procedure and the
// picture on the stand-in: the picture draws into the shared framebuffer,
// and each frame goes out to the real window through a colour table. Each
// message does this build's part first, then the host's; none passes through
// the picture, which hands every message on unchanged.
#include "animation_driver.h"
#include "close_protocol.h"
#include "flow_screen.h"

namespace {

UINT_PTR timerId;

// Seconds since 1970 (UTC), which the picture seeds from, as the saver does.
uint32_t
ClockSeconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime;
    return (uint32_t)((ticks - 116444736000000000ull) / 10000000ull);
}

// The host sizes its window to the primary monitor; this build covers every
// monitor and shows the picture whole on the primary one, whose top-left is
// the screen's origin. Answers where that origin lies in the window.
void
CoverEveryMonitor(HWND window, int* originX, int* originY)
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    SetWindowPos(window, NULL, left, top, GetSystemMetrics(SM_CXVIRTUALSCREEN),
        GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
    *originX = -left;
    *originY = -top;
}

// A monitor added, removed or moved while the saver runs (or, under Wine, the
// monitors first made known after the window was created): cover them all
// again; the picture keeps its size and stays on the primary monitor.
LRESULT
OnDisplayChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!hostState.isPreview) {
        int originX, originY;
        CoverEveryMonitor(window, &originX, &originY);
        PlaceScreen(originX, originY);
        InvalidateRect(window, NULL, TRUE);
    }
    return SaverDefaultProc(window, WM_DISPLAYCHANGE, wParam, lParam);
}

LRESULT
OnCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    int width, height, originX = 0, originY = 0;
    if (hostState.isPreview) {
        RECT client;
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
    } else {
        CoverEveryMonitor(window, &originX, &originY);
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    if (!StartScreen(window, ClockSeconds(), width, height, originX, originY)) {
        StopScreen();
        return -1;
    }
    // The picture's timer runs on the stand-in; the ticks come from the real
    // window's, with the same id and period.
    timerId = SetTimer(window, kAnimationTimer, kTimerPeriod, NULL);
    return SaverDefaultProc(window, WM_CREATE, wParam, lParam);
}

LRESULT
OnDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    StopScreen();
    if (timerId != 0)
        KillTimer(window, kAnimationTimer);
    timerId = 0;
    return SaverDefaultProc(window, WM_DESTROY, wParam, lParam);
}

}

extern "C" LRESULT CALLBACK
ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_TIMER:
        TickScreen();
        break;
    case WM_ERASEBKGND:
        // The picture would erase its own framebuffer; the real window is
        // erased here, and the next frame puts the drawn tiles back.
        EraseScreen(window, (HDC)wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        return OnDisplayChange(window, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    }
    return SaverDefaultProc(window, message, wParam, lParam);
}
