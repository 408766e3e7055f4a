// A PASSWORD.CPL that loads but offers no VerifyScreenSavePwd, only a near miss of
// the name; it logs when it is loaded and freed, so the test sees it held for no time.
#include "double_log.h"

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePassword(HWND)
{
    AppendDoubleLog("library.log", "library event=called");
    return FALSE;
}

extern "C" BOOL WINAPI
DllMain(HINSTANCE, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH)
        AppendDoubleLog("library.log", "library event=attached");
    else if (reason == DLL_PROCESS_DETACH)
        AppendDoubleLog("library.log", "library event=detached");
    return TRUE;
}
