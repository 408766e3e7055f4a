// A PASSWORD.CPL that lacks VerifyScreenSavePwd, for the test that the
// verifier is then freed again and stays off.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePassword(HWND)
{
    return TRUE;
}
