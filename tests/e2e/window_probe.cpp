// Looks at windows from inside Wine for the e2e tests: finds a top-level window
// (or waits until it is the foreground one) and reports its shape, reads a
// dialog control's text and the state of the control with the focus, or asks a
// window to close.
#include "../win_test_support.h"

#include <cstdlib>
#include <cstring>

namespace {

const char *
OrNull(const char *text)
{
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

// Polls for the window for up to the given time; in front: until it is the foreground window.
HWND
AwaitTopLevel(const char *className, const char *title, DWORD milliseconds, bool inFront = false)
{
    return AwaitWindow([=]() -> HWND {
        HWND window = FindWindowA(OrNull(className), OrNull(title));
        return window && (!inFront || GetForegroundWindow() == window) ? window : nullptr;
    }, milliseconds);
}

// The foreground window, which every search reports: a wait that runs out tells by it what was in front.
void
ReportFront()
{
    HWND front = GetForegroundWindow();
    char frontClass[128] = "-";
    char frontTitle[128] = "";
    if (front) {
        GetClassNameA(front, frontClass, sizeof frontClass);
        GetWindowTextA(front, frontTitle, sizeof frontTitle);
    }
    REPORT("front=%llu front_class=%s front_title=%s", HandleNumber(front), frontClass, frontTitle);
}

int
Find(const char *className, const char *title, DWORD milliseconds, bool inFront)
{
    HWND window = AwaitTopLevel(className, title, milliseconds, inFront);
    if (!window && inFront)
        window = FindWindowA(OrNull(className), OrNull(title));
    ReportFront();
    if (!window) {
        REPORT("window=0");
        return 1;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    char foundClass[128] = "";
    char foundTitle[128] = "";
    GetClassNameA(window, foundClass, sizeof foundClass);
    GetWindowTextA(window, foundTitle, sizeof foundTitle);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    REPORT("window=%llu class=%s title=%s rect=%ld,%ld,%ld,%ld style=0x%08lx exstyle=0x%08lx visible=%d "
           "foreground=%d pid=%lu screen=%d,%d virtual=%d,%d,%d,%d monitors=%d",
           HandleNumber(window), foundClass, foundTitle, rect.left, rect.top, rect.right, rect.bottom,
           static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), IsWindowVisible(window) != 0,
           GetForegroundWindow() == window, process, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
           GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
           GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN), GetSystemMetrics(SM_CMONITORS));
    return 0;
}

int
DialogText(const char *title, int control, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    HWND dialog = AwaitTopLevel("#32770", title, milliseconds);
    if (!dialog) {
        REPORT("window=0");
        return 1;
    }
    // The dialog exists before its WM_INITDIALOG has filled it in; the dialog
    // manager shows it only afterwards.
    while (IsWindow(dialog) && !IsWindowVisible(dialog) && GetTickCount() - start < milliseconds)
        Sleep(20);
    char text[256] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    HWND focus = nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
        focus = info.hwndFocus;
    // A button that a key holds down says so in its state (BST_PUSHED).
    DWORD_PTR state = 0;
    if (focus)
        SendMessageTimeoutA(focus, BM_GETSTATE, 0, 0, SMTO_NORMAL, CeilingMs(), &state);
    REPORT("window=%llu style=0x%08lx focus_id=%d focus_state=0x%lx", HandleNumber(dialog),
           static_cast<unsigned long>(GetWindowLongA(dialog, GWL_STYLE)), focus ? GetDlgCtrlID(focus) : 0,
           static_cast<unsigned long>(state));
    REPORT("text=%s", text);
    return 0;
}

int
Close(const char *className, const char *title)
{
    HWND window = FindWindowA(OrNull(className), OrNull(title));
    REPORT("window=%llu posted=%d", HandleNumber(window), window && PostMessageA(window, WM_CLOSE, 0, 0));
    return window ? 0 : 1;
}

}

int
main(int argc, char **argv)
{
    if (argc >= 4 && (std::strcmp(argv[1], "find") == 0 || std::strcmp(argv[1], "front") == 0))
        return Find(argv[2], argv[3], argc >= 5 ? std::strtoul(argv[4], nullptr, 10) : 0,
                    std::strcmp(argv[1], "front") == 0);
    if (argc >= 4 && std::strcmp(argv[1], "dialog") == 0)
        return DialogText(argv[2], std::atoi(argv[3]), argc >= 5 ? std::strtoul(argv[4], nullptr, 10) : 0);
    if (argc >= 4 && std::strcmp(argv[1], "close") == 0)
        return Close(argv[2], argv[3]);
    std::fprintf(stderr, "usage: window_probe find|front CLASS TITLE [WAIT_MS] | dialog TITLE ID [WAIT_MS] | close CLASS TITLE\n"
                         "(CLASS or TITLE '-' means any)\n");
    return 2;
}
