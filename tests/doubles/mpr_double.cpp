// An MPR.DLL whose PwdChangePasswordA only records how it was called: in its
// state for the same process, and in mpr.log for another (see double_log.h).
#include <stdio.h>
#include <string.h>

#include "double_log.h"
#include "mpr_double.h"

namespace {

MprDouble state;

}

extern "C" __declspec(dllexport) MprDouble*
MprDoubleState()
{
    return &state;
}

extern "C" __declspec(dllexport) DWORD WINAPI
PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD third, void* fourth)
{
    ++state.calls;
    strncpy(state.provider, provider != NULL ? provider : "(null)", sizeof state.provider - 1);
    state.owner = owner;
    state.third = third;
    state.fourth = fourth;
    char ownerText[300];
    DescribeWindow(owner, ownerText, sizeof ownerText);
    char line[700];
    snprintf(line, sizeof line, "change provider=%s owner=%llu first=%llu second=%llu foreground=%llu described=%s",
             state.provider, (unsigned long long)(UINT_PTR)owner, (unsigned long long)third,
             (unsigned long long)(UINT_PTR)fourth, (unsigned long long)(UINT_PTR)GetForegroundWindow(), ownerText);
    AppendDoubleLog("mpr.log", line);
    return 0;
}
