// Windows, queues and registry values for the tests.
#include "test_windows.h"

#include "saver_window.h"

namespace {

const char kPlainClass[] = "TarvelimundeTestPlain";
const char kSaverTestClass[] = "TarvelimundeTestSaver";

void
RegisterOnce(const char* name, WNDPROC procedure)
{
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(NULL), name, &existing))
        return;
    WNDCLASSA windowClass = {};
    windowClass.style = kSaverClassStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

}

void
ResetHostState()
{
    HostState fresh = {};
    fresh.instance = GetModuleHandleA(NULL);
    fresh.mouseThreshold = kMouseThreshold;
    fresh.lastVerifyTick = kNoVerification;
    hostState = fresh;
}

HWND
CreatePlainWindow(const char* title)
{
    RegisterOnce(kPlainClass, DefWindowProcA);
    return CreateWindowExA(0, kPlainClass, title, WS_POPUP | WS_VISIBLE, 0, 0, 200, 150,
        NULL, NULL, GetModuleHandleA(NULL), NULL);
}

HWND
CreateSaverTestWindow(HWND parent)
{
    RegisterOnce(kSaverTestClass, SaverWindowProc);
    RECT client = {0, 0, 320, 240};
    if (parent != NULL)
        GetClientRect(parent, &client);
    hostState.isPreview = parent != NULL;
    hostState.saverWindow = CreateWindowExA(parent != NULL ? 0 : kFullScreenExtendedStyle, kSaverTestClass,
        parent != NULL ? kPreviewTitle : kFullScreenTitle, parent != NULL ? kPreviewStyle : kFullScreenStyle,
        0, 0, client.right, client.bottom, parent, NULL, GetModuleHandleA(NULL), NULL);
    return hostState.saverWindow;
}

bool
TakeMessage(HWND window, UINT message)
{
    MSG taken;
    return PeekMessageA(&taken, window, message, message, PM_REMOVE) != 0;
}

int
CountQueued(HWND window, UINT message)
{
    int count = 0;
    while (TakeMessage(window, message))
        ++count;
    return count;
}

void
DrainQueue()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool
CursorHidden()
{
    return GetCursor() == NULL;
}

void
ShowArrowCursor()
{
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

void
SetUsePassword(DWORD type, const void* data, DWORD size)
{
    HKEY desktop;
    RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, (const BYTE*)data, size);
    RegCloseKey(desktop);
}

void
SetUsePasswordNumber(DWORD value)
{
    SetUsePassword(REG_DWORD, &value, sizeof value);
}

void
RemoveUsePassword()
{
    HKEY desktop;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    RegCloseKey(desktop);
}
