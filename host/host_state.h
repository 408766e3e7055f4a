// The host's process-wide state: the saver window, the close protocol's
// progress and the libraries it holds. One record, since window procedures
// receive nothing else of ours; the close protocol defines it.
#ifndef TARVELIMUNDE_HOST_HOST_STATE_H
#define TARVELIMUNDE_HOST_HOST_STATE_H

#include <stdint.h>

#include "platform.h"

typedef BOOL (WINAPI *VerifyScreenSavePwdProc)(HWND window);
typedef HANDLE InputContext;
typedef InputContext (WINAPI *ImmAssociateContextProc)(HWND window, InputContext context);

struct HostState {
    HINSTANCE instance;
    HWND saverWindow;
    int32_t isPreview;
    int32_t closing;
    int32_t verifying;
    HMODULE verifierModule;
    VerifyScreenSavePwdProc verifyPassword;
    HMODULE immModule;
    ImmAssociateContextProc immAssociateContext;
    InputContext savedImeContext;
    uint32_t mouseThreshold;
    uint32_t lastVerifyTick;
    POINT lastCursor;
};

extern HostState hostState;

// The values at process start of mouseThreshold and lastVerifyTick.
const uint32_t kMouseThreshold = 4;
const uint32_t kNoVerification = 0xFFFFFFFFu;

#endif
