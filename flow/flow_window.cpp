// This build's ScreenSaverProc, between the host's window procedure and the
// picture on the stand-in: the picture draws into the shared framebuffer,
// and each frame goes out to the real window through a colour table.
#include "animation_driver.h"
#include "close_protocol.h"
#include "flow_picture.h"
#include "flow_screen.h"

namespace {

// The real window's message on its way through the picture; a message sent
// while another is relayed (the verifier's, a move's) stacks on top of it.
struct RelayedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    RelayedMessage* outer;
};

struct FlowWindow {
    // The message being relayed, innermost first.
    RelayedMessage* relayed;
    UINT_PTR timerId;
};

FlowWindow flowWindow;

void
BeginRelay(RelayedMessage* m, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    *m = RelayedMessage{window, message, wParam, lParam, 0, flowWindow.relayed};
    flowWindow.relayed = m;
}

// What the host answered, which is the message's result.
LRESULT
EndRelay(RelayedMessage* m)
{
    flowWindow.relayed = m->outer;
    return m->result;
}

// Seconds since 1970 (UTC), which the picture seeds from, as the saver does.
uint32_t
ClockSeconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime;
    return (uint32_t)((ticks - 116444736000000000ull) / 10000000ull);
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
        // The host sizes its window to the primary monitor; this build
        // covers every monitor and shows the picture whole on the primary
        // one, whose top-left is the screen's origin.
        int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        SetWindowPos(window, NULL, left, top, GetSystemMetrics(SM_CXVIRTUALSCREEN),
            GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        originX = -left;
        originY = -top;
    }
    if (!StartScreen(window, width, height, originX, originY))
        return -1;
    RelayedMessage m;
    BeginRelay(&m, window, WM_CREATE, wParam, lParam);
    bool started = StartFlowPicture(ClockSeconds(), width, height);
    LRESULT result = EndRelay(&m);
    if (!started) {
        StopScreen();
        return -1;
    }
    // The picture's timer runs on the stand-in; the ticks come from the real
    // window's, with the same id and period.
    flowWindow.timerId = SetTimer(window, kAnimationTimer, kTimerPeriod, NULL);
    return result;
}

LRESULT
OnTimer(HWND window, WPARAM wParam, LPARAM lParam)
{
    RelayedMessage m;
    BeginRelay(&m, window, WM_TIMER, wParam, lParam);
    FrameArea changed = TickFlowPicture();
    LRESULT result = EndRelay(&m);
    ShowTick(changed);
    return result;
}

LRESULT
OnDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    RelayedMessage m;
    BeginRelay(&m, window, WM_DESTROY, wParam, lParam);
    StopFlowPicture();
    StopScreen();
    if (flowWindow.timerId != 0)
        KillTimer(window, kAnimationTimer);
    flowWindow.timerId = 0;
    return EndRelay(&m);
}

}

intptr_t
PassToHost()
{
    RelayedMessage& m = *flowWindow.relayed;
    m.result = SaverDefaultProc(m.window, m.message, m.wParam, m.lParam);
    return m.result;
}

extern "C" LRESULT CALLBACK
ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, wParam, lParam);
    case WM_ERASEBKGND:
        // The picture would erase its own framebuffer; the real window is
        // erased here, and the next frame puts the drawn tiles back.
        EraseScreen(window, (HDC)wParam);
        return 0;
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    }
    RelayedMessage m;
    BeginRelay(&m, window, message, wParam, lParam);
    RelayToPicture(message, wParam, lParam);
    return EndRelay(&m);
}
