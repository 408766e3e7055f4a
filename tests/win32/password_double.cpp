// A PASSWORD.CPL whose VerifyScreenSavePwd answers what the test says.
#include "password_double.h"

#include <stdlib.h>
#include <string.h>

namespace {

PasswordDouble state = {1, 0, 0, 0, NULL, NULL};

LONG WINAPI
HandleEverything(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

LONG WINAPI
ContinueEverything(EXCEPTION_POINTERS*)
{
    return EXCEPTION_CONTINUE_EXECUTION;
}

bool
ReadSetting(const char* name, char* value, DWORD size)
{
    DWORD length = GetEnvironmentVariableA(name, value, size);
    return length != 0 && length < size;
}

void
FaultAsTold()
{
    char value[32];
    if (ReadSetting("TARVELIMUNDE_PASSWORD_FILTER", value, sizeof value)) {
        if (strcmp(value, "handle") == 0)
            SetUnhandledExceptionFilter(HandleEverything);
        else if (strcmp(value, "continue") == 0)
            SetUnhandledExceptionFilter(ContinueEverything);
    }
    if (!ReadSetting("TARVELIMUNDE_PASSWORD_FAULT", value, sizeof value))
        return;
    if (strcmp(value, "access") == 0)
        *(volatile int*)(UINT_PTR)0 = 1;
    else if (strcmp(value, "raise") == 0)
        RaiseException(kDoubleException, 0, 0, NULL);
}

}

extern "C" __declspec(dllexport) PasswordDouble*
PasswordDoubleState()
{
    return &state;
}

extern "C" __declspec(dllexport) BOOL WINAPI
VerifyScreenSavePwd(HWND window)
{
    ++state.calls;
    ++state.depth;
    if (state.depth > state.deepest)
        state.deepest = state.depth;
    state.lastWindow = window;
    FaultAsTold();
    if (state.whileAsking != NULL)
        state.whileAsking(window);
    --state.depth;
    char value[32];
    if (ReadSetting("TARVELIMUNDE_PASSWORD_ANSWER", value, sizeof value))
        return atoi(value);
    return state.answer;
}
