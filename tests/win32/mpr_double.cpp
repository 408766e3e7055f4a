// An MPR.DLL that only remembers the password-change request.
#include "mpr_double.h"

#include <string.h>

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
    return 0;
}
