// Test double of MPR.DLL's Windows 95 password-change entry: logs the arguments it is given.
#include "double_log.h"

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI
PwdChangePasswordA(const char *provider, HWND owner, UINT_PTR first, UINT_PTR second)
{
    char ownerText[300];
    DescribeWindow(owner, ownerText, sizeof ownerText);
    char line[700];
    std::snprintf(line, sizeof line, "change provider=%s owner=%llu first=%llu second=%llu foreground=%llu described=%s",
                  provider ? provider : "(null)",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)),
                  static_cast<unsigned long long>(first), static_cast<unsigned long long>(second),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetForegroundWindow())),
                  ownerText);
    AppendDoubleLog("mpr.log", line);
    return 0;
}
