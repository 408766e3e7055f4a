// One process runs one mode, chosen by the first significant character of the
// command-line tail, inside the crash guard.
#include "startup.h"

#include "close_protocol.h"
#include "command_line.h"
#include "crash_guard.h"
#include "saver_window.h"
#include "setup_dialog.h"
#include "system_library.h"

const char kPasswordChangeLibrary[] = "MPR.DLL";
const char kPasswordChangeEntry[] = "PwdChangePasswordA";
const char kPasswordProvider[] = "SCRSAVE";

namespace {

typedef DWORD (WINAPI *PwdChangePasswordProc)(LPCSTR provider, HWND owner, DWORD reserved, void* details);

const int32_t kBadSwitch = -1;

HWND
WindowFromText(const char* text)
{
    return (HWND)(UINT_PTR)ParseDecimal(text);
}

int32_t
RunMode(void* context)
{
    SwitchChoice choice = ScanSwitch((const char*)context);
    switch (choice.mode) {
    case kSetupMode:
        return (int32_t)ShowSetupDialog(NULL);
    case kOwnedSetupMode:
        return (int32_t)ShowSetupDialog(GetForegroundWindow());
    case kChangePasswordMode:
        return ChangePasswordMode(choice.argument);
    case kPreviewMode:
        return RunPreview(choice.argument);
    case kFullScreenMode:
        return RunSaverWindow(NULL);
    case kUnknownMode:
        break;
    }
    return kBadSwitch;
}

// After a crash: the system must not go on thinking a saver runs.
int32_t
RecoverFromCrash()
{
    return SetSaverRunning(0);
}

}

int32_t
SaverMain(HINSTANCE instance, HINSTANCE, const char* tail, int)
{
    hostState.instance = instance;
    return RunGuarded(RunMode, (void*)tail, RecoverFromCrash);
}

INT_PTR
ShowSetupDialog(HWND owner)
{
    if (!RegisterSetupClasses(hostState.instance))
        return 0;
    return DialogBoxParamA(hostState.instance, MAKEINTRESOURCEA(IDD_SETUP), owner,
        (DLGPROC)(void*)SetupDialogProc, 0);
}

int32_t
RunPreview(const char* text)
{
    HWND parent = WindowFromText(text);
    if (parent != NULL && IsWindow(parent))
        return RunSaverWindow(parent);
    return kBadSwitch;
}

int32_t
ChangePasswordMode(const char* text)
{
    HWND owner = WindowFromText(text);
    if (owner == NULL || !IsWindow(owner))
        owner = GetForegroundWindow();
    CallPasswordChanger(owner);
    return 0;
}

void
CallPasswordChanger(HWND window)
{
    HMODULE module = LoadSystemLibrary(kPasswordChangeLibrary);
    if (module == NULL)
        return;
    PwdChangePasswordProc change = (PwdChangePasswordProc)(void*)GetProcAddress(module, kPasswordChangeEntry);
    if (change != NULL)
        change(kPasswordProvider, window, 0, NULL);
    FreeLibrary(module);
}
