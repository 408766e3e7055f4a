// Test double of the system's screen-saver password verifier (PASSWORD.CPL):
// logs every call with its tick counts and answers what the file "verify-answer" says.
#include "double_log.h"

#include <cstdio>

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePwd(HWND window)
{
    DWORD start = GetTickCount();
    BOOL answer = ReadDoubleSetting("verify-answer") == '1';
    char described[300];
    DescribeWindow(window, described, sizeof described);
    char line[512];
    std::snprintf(line, sizeof line, "verify start=%lu end=%lu window=%llu answer=%d described=%s",
                  start, GetTickCount(), static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)),
                  answer, described);
    AppendDoubleLog("verify.log", line);
    return answer;
}
