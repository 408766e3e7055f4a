// The test stand-in for Windows 95's MPR.DLL: PwdChangePasswordA records how
// it was called.
#ifndef TARVELIMUNDE_TESTS_MPR_DOUBLE_H
#define TARVELIMUNDE_TESTS_MPR_DOUBLE_H

#include <windows.h>

struct MprDouble {
    int calls;
    char provider[32];
    HWND owner;
    DWORD third;
    void* fourth;
};

typedef MprDouble* (*MprDoubleStateProc)();

#endif
