// Plays the Display control panel for the e2e tests: gives the saver a window of
// its own to preview in (152 x 112, the control panel's little monitor), to own
// the password change, or to lose the foreground to, or to vanish under it;
// or starts it as the system does and waits for it; prints what it sees.
#include "../win_test_support.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kParentClass[] = "TarvelimundeTestParent";

struct ParentLog {
    int contextMenuCount;
    WPARAM contextMenuWParam;
    LPARAM contextMenuLParam;
};

ParentLog parentLog;

LRESULT CALLBACK
ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CONTEXTMENU:
        parentLog.contextMenuCount++;
        parentLog.contextMenuWParam = wParam;
        parentLog.contextMenuLParam = lParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND
CreateParent(const char *title, int clientWidth, int clientHeight)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN;
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExA(0, kParentClass, title, style, 200, 150, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    PumpFor(200);
    return window;
}

// Starts the saver as the system does, its path quoted and then the tail; says
// why where it cannot.
bool
StartSaver(const char *saver, const char *tail, PROCESS_INFORMATION *process)
{
    char commandLine[1024];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"%s%s", saver, *tail ? " " : "", tail);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessA(saver, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
        return true;
    REPORT("start_error=%lu", GetLastError());
    return false;
}

// The same for a mode that names a window.
bool
StartSaver(const char *saver, const char *switches, HWND window, PROCESS_INFORMATION *process)
{
    char tail[64];
    std::snprintf(tail, sizeof tail, "%s %llu", switches, HandleNumber(window));
    return StartSaver(saver, tail, process);
}

void
ReportExit(PROCESS_INFORMATION *process, DWORD milliseconds)
{
    if (!WaitForProcess(process->hProcess, milliseconds)) {
        REPORT("exit=running");
        TerminateProcess(process->hProcess, 99);
        return;
    }
    DWORD code = 0;
    GetExitCodeProcess(process->hProcess, &code);
    REPORT("exit=%lu", code);
}

void
ReportWindow(const char *name, HWND window)
{
    char className[128] = "";
    char title[128] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    REPORT("%s=%llu %s_class=%s %s_title=%s", name, HandleNumber(window), name, className, name, title);
}

// Waits until the parent has been asked for a context menu once more than
// before, or the time is up.
void
AwaitContextMenu(int before, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (parentLog.contextMenuCount == before && GetTickCount() - start < milliseconds)
        PumpFor(20);
}

// The saver's window inside the parent once it is shown (it is found as soon as
// it exists, before its creation has finished), or null.
HWND
AwaitChild(HWND parent, const char *className)
{
    HWND child = AwaitWindow([=] { return FindWindowExA(parent, nullptr, className, nullptr); });
    if (child)
        AwaitCondition([=] { return IsWindowVisible(child); });
    return child;
}

bool
Alive(PROCESS_INFORMATION *process, HWND child)
{
    return WaitForSingleObject(process->hProcess, 0) == WAIT_TIMEOUT && IsWindow(child);
}

// Input the control panel's preview must shrug off: keys, buttons, a long mouse trip.
void
SendInputMessages(HWND child)
{
    PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(child, WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(child, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PostMessageA(child, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(30, 30));
    PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(140, 100));
    RECT rect;
    GetWindowRect(child, &rect);
    for (int step = 0; step < 10; step++) {
        SetCursorPos(rect.left + step * 15, rect.top + step * 11);
        PumpFor(20);
    }
}

int
PreviewMode(const char *saver, DWORD waitMilliseconds)
{
    HWND parent = CreateParent("Tarvelimunde Preview Parent", 152, 112);
    RECT client;
    GetClientRect(parent, &client);
    POINT origin = {0, 0};
    ClientToScreen(parent, &origin);
    REPORT("parent=%llu parent_client=%ld,%ld screen_origin=%ld,%ld", HandleNumber(parent), client.right,
           client.bottom, origin.x, origin.y);

    PROCESS_INFORMATION process;
    if (!StartSaver(saver, "/p", parent, &process))
        return 1;
    HWND child = AwaitChild(parent, nullptr);
    if (!child) {
        REPORT("child=0");
        ReportExit(&process, 1000);
        return 1;
    }
    ReportWindow("child", child);
    RECT childClient;
    GetClientRect(child, &childClient);
    POINT childOrigin = {0, 0};
    MapWindowPoints(child, parent, &childOrigin, 1);
    REPORT("child_client=%ld,%ld,%ld,%ld child_origin=%ld,%ld child_style=0x%08lx child_visible=%d child_parent=%llu",
           childClient.left, childClient.top, childClient.right, childClient.bottom, childOrigin.x, childOrigin.y,
           static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)), IsWindowVisible(child) != 0,
           HandleNumber(GetParent(child)));

    // The test moves the mouse, clicks and types over the preview meanwhile, and
    // right-clicks last. Input reaches the saver in order, and a close posted on
    // the way would be handled before later input, so once that right click has
    // come back as a context-menu request, all the rest has been dealt with.
    REPORT("ready");
    AwaitContextMenu(0, waitMilliseconds);
    REPORT("alive_after_user_input=%d", Alive(&process, child));
    // A real right click over the preview ends up as a context-menu request for the parent.
    REPORT("user_contextmenu_count=%d user_contextmenu_wparam=%llu user_contextmenu_lparam=%lld",
           parentLog.contextMenuCount, static_cast<unsigned long long>(parentLog.contextMenuWParam),
           static_cast<long long>(parentLog.contextMenuLParam));
    parentLog = ParentLog{};

    SendInputMessages(child);
    // The preview hands a posted context-menu request on to the parent once it
    // has handled what was posted before; a close posted on the way comes before
    // the second such request.
    for (int trip = 0; trip < 2; trip++) {
        PostMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(1, 1));
        AwaitContextMenu(parentLog.contextMenuCount, waitMilliseconds);
    }
    REPORT("alive_after_posted_input=%d", Alive(&process, child));
    parentLog = ParentLog{};

    LPARAM where = MAKELPARAM(77, 66);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), where, SMTO_NORMAL, CeilingMs(),
                        &answer);
    AwaitContextMenu(0, waitMilliseconds);
    REPORT("contextmenu_result=%llu contextmenu_count=%d contextmenu_wparam=%llu contextmenu_lparam=%lld sent_lparam=%lld",
           static_cast<unsigned long long>(answer), parentLog.contextMenuCount,
           static_cast<unsigned long long>(parentLog.contextMenuWParam),
           static_cast<long long>(parentLog.contextMenuLParam), static_cast<long long>(where));

    HELPINFO help = {};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = child;
    help.MousePos.x = 5;
    help.MousePos.y = 6;
    answer = 0;
    SetLastError(0);
    LRESULT sent = SendMessageTimeoutA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), SMTO_NORMAL, CeilingMs(),
                                       &answer);
    REPORT("help_sent=%d help_result=%llu", sent != 0, static_cast<unsigned long long>(answer));

    // The preview keeps the size it was given at creation.
    SetWindowPos(parent, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(200);
    GetClientRect(child, &childClient);
    REPORT("child_after_resize=%ld,%ld", childClient.right, childClient.bottom);

    PostMessageA(child, WM_CLOSE, 0, 0);
    ReportExit(&process, CeilingMs());
    REPORT("child_gone=%d", AwaitCondition([=] { return !IsWindow(child); }));
    return 0;
}

// Any window of the saver's class left anywhere: top level, or inside another window.
BOOL CALLBACK
FindSaverChild(HWND window, LPARAM found)
{
    char className[128] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "WindowsScreenSaverClass") == 0) {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK
FindSaverWindow(HWND window, LPARAM found)
{
    if (!FindSaverChild(window, found))
        return FALSE;
    EnumChildWindows(window, FindSaverChild, found);
    return *reinterpret_cast<HWND *>(found) == nullptr;
}

HWND
AnySaverWindow()
{
    HWND found = nullptr;
    EnumWindows(FindSaverWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The control panel closes while its preview runs: the parent window is destroyed
// under the saver's child window.
int
OrphanMode(const char *saver, DWORD exitMilliseconds)
{
    HWND parent = CreateParent("Tarvelimunde Vanishing Parent", 152, 112);
    REPORT("parent=%llu", HandleNumber(parent));
    PROCESS_INFORMATION process;
    if (!StartSaver(saver, "/p", parent, &process))
        return 1;
    HWND child = AwaitChild(parent, "WindowsScreenSaverClass");
    if (!child) {
        REPORT("child=0");
        ReportExit(&process, 1000);
        return 1;
    }
    // Let it draw for a while first.
    PumpFor(500);
    ReportWindow("child", child);
    REPORT("alive_before=%d", Alive(&process, child));

    DWORD start = GetTickCount();
    REPORT("destroyed=%d", DestroyWindow(parent) != 0);
    REPORT("parent_gone=%d", !IsWindow(parent));
    ReportExit(&process, exitMilliseconds);
    REPORT("exit_ms=%lu", GetTickCount() - start);
    REPORT("child_gone=%d", AwaitCondition([=] { return !IsWindow(child); }));
    AwaitCondition([] { return AnySaverWindow() == nullptr; });
    REPORT("saver_windows_left=%llu", HandleNumber(AnySaverWindow()));
    return 0;
}

int
OwnerMode(const char *saver, const char *switches)
{
    HWND owner = CreateParent("Tarvelimunde Owner", 200, 100);
    REPORT("owner=%llu", HandleNumber(owner));
    PROCESS_INFORMATION process;
    if (!StartSaver(saver, switches, owner, &process))
        return 1;
    ReportExit(&process, CeilingMs());
    return 0;
}

// With a full-screen saver running, takes the foreground, starts a second full-screen
// saver and reports who has the foreground afterwards.
int
SecondMode(const char *saver)
{
    HWND own = CreateParent("Tarvelimunde Bystander", 200, 100);
    SetForegroundWindow(own);
    AwaitCondition([=] { return GetForegroundWindow() == own; });
    REPORT("own=%llu", HandleNumber(own));
    ReportWindow("foreground_before", GetForegroundWindow());
    ReportWindow("running", FindWindowA("WindowsScreenSaverClass", "Screen Saver"));

    PROCESS_INFORMATION process;
    if (!StartSaver(saver, "/s", &process))
        return 1;
    ReportExit(&process, CeilingMs());
    // The second start hands the foreground to the running saver before it ends.
    HWND running = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    AwaitCondition([=] { return GetForegroundWindow() == running; });
    ReportWindow("foreground_after", GetForegroundWindow());
    return 0;
}

// Starts the saver with these switches and answers with its exit code once it
// has ended, as Windows recorded it: under a slow emulator Wine's server may
// SIGKILL a process after its last thread has ended, and Linux then tells the
// test -9 for an exit code of 0.
DWORD
StartMode(const char *saver, int argc, char **argv)
{
    char tail[512] = "";
    for (int index = 0; index < argc; index++)
        std::snprintf(tail + std::strlen(tail), sizeof tail - std::strlen(tail), index ? " %s" : "%s", argv[index]);
    PROCESS_INFORMATION process;
    if (!StartSaver(saver, tail, &process))
        return 1;
    // Killed, this starter takes the saver with it.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(job, process.hProcess);
    // The test holds the ceiling.
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

}

int
main(int argc, char **argv)
{
    DWORD result = 2;
    if (argc >= 3 && std::strcmp(argv[1], "preview") == 0)
        result = PreviewMode(argv[2], argc >= 4 ? std::strtoul(argv[3], nullptr, 10) : CeilingMs());
    else if (argc >= 3 && std::strcmp(argv[1], "orphan") == 0)
        result = OrphanMode(argv[2], argc >= 4 ? std::strtoul(argv[3], nullptr, 10) : CeilingMs());
    else if (argc >= 4 && std::strcmp(argv[1], "owner") == 0)
        result = OwnerMode(argv[2], argv[3]);
    else if (argc >= 3 && std::strcmp(argv[1], "second") == 0)
        result = SecondMode(argv[2]);
    else if (argc >= 3 && std::strcmp(argv[1], "start") == 0)
        result = StartMode(argv[2], argc - 3, argv + 3);
    else
        std::fprintf(stderr, "usage: preview_parent preview SCR [WAIT_MS] | orphan SCR [EXIT_MS] | owner SCR SWITCH"
                             " | second SCR | start SCR [SWITCH...]\n");
    // Our own exit code as well, for the same reason.
    REPORT("result=%lu", result);
    return static_cast<int>(result);
}
