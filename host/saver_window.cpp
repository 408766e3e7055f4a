// The saver window's own share of its messages; the rest goes on to the
// picture and from there to the close protocol.
#include "saver_window.h"

#include "animation_driver.h"
#include "close_protocol.h"
#include "resource.h"

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";

namespace {

const char kImmLibrary[] = "IMM32.DLL";
const char kImmAssociateEntry[] = "ImmAssociateContext";

LRESULT
Forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT
OnCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    // Only an input method that is already loaded is detached; loading one
    // ourselves would bring in what we want to keep out.
    hostState.immModule = GetModuleHandleA(kImmLibrary);
    if (hostState.immModule != NULL) {
        hostState.immAssociateContext =
            (ImmAssociateContextProc)(void*)GetProcAddress(hostState.immModule, kImmAssociateEntry);
        if (hostState.immAssociateContext != NULL)
            hostState.savedImeContext = hostState.immAssociateContext(window, NULL);
    }
    hostState.lastCursor = ReadCursor();
    if (!hostState.isPreview)
        SetCursor(NULL);
    return Forward(window, WM_CREATE, wParam, lParam);
}

LRESULT
OnDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (hostState.immModule != NULL && hostState.immAssociateContext != NULL
        && hostState.savedImeContext != NULL)
        hostState.immAssociateContext(window, hostState.savedImeContext);
    PostQuitMessage(0);
    return Forward(window, WM_DESTROY, wParam, lParam);
}

LRESULT
OnPaint(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closing)
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    if (!hostState.isPreview)
        SetCursor(NULL);
    return Forward(window, WM_PAINT, wParam, lParam);
}

// The preview sits inside the Display control panel, whose help belongs to it.
LRESULT
OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hostState.isPreview)
        return Forward(window, message, wParam, lParam);
    HWND parent = GetParent(window);
    if (parent != NULL && IsWindow(parent))
        PostMessageA(parent, message, (WPARAM)parent, lParam);
    return 1;
}

LRESULT
OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closing)
        return DefWindowProcA(window, message, wParam, lParam);
    return Forward(window, message, wParam, lParam);
}

LRESULT
OnSystemCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    // Switching away or starting another saver would leave this one behind.
    if (!hostState.isPreview
        && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
        return 0;
    return Forward(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT
OnTimer(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closing)
        return 0;
    // WM_TIMER is only generated when the queue is otherwise empty, so the
    // ticks cannot starve our own input; the rest of the time slice goes to
    // other programs, which a 1 ms timer would otherwise keep waiting.
    Sleep(0);
    return Forward(window, WM_TIMER, wParam, lParam);
}

int32_t
RunMessageLoop()
{
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int32_t)message.wParam;
}

}

LRESULT CALLBACK
SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        return OnPaint(window, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU:
        return OnHelpRequest(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return OnInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSystemCommand(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, wParam, lParam);
    }
    return Forward(window, message, wParam, lParam);
}

int32_t
RunSaverWindow(HWND parent)
{
    WNDCLASSA saverClass;
    saverClass.style = kSaverClassStyle;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.cbClsExtra = 0;
    saverClass.cbWndExtra = 0;
    saverClass.hInstance = hostState.instance;
    saverClass.hIcon = LoadIconA(hostState.instance, MAKEINTRESOURCEA(IDI_SAVER));
    saverClass.hCursor = NULL;
    saverClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    saverClass.lpszMenuName = NULL;
    saverClass.lpszClassName = kSaverClassName;

    int width, height;
    DWORD style, extendedStyle;
    const char* title;
    if (parent != NULL) {
        RECT client;
        GetClientRect(parent, &client);
        width = client.right;
        height = client.bottom;
        style = kPreviewStyle;
        extendedStyle = 0;
        title = kPreviewTitle;
        hostState.isPreview = 1;
    } else {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        style = kFullScreenStyle;
        extendedStyle = kFullScreenExtendedStyle;
        title = kFullScreenTitle;
        HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
        if (running != NULL && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
    }

    int32_t result = kNoSaverWindow;
    if (RegisterClassA(&saverClass)) {
        hostState.saverWindow = CreateWindowExA(extendedStyle, kSaverClassName, title, style,
            0, 0, width, height, parent, NULL, hostState.instance, NULL);
        if (hostState.saverWindow != NULL) {
            if (parent == NULL)
                SetForegroundWindow(hostState.saverWindow);
            result = RunMessageLoop();
        }
    }
    UnloadPasswordVerifier();
    return result;
}
