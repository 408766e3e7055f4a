// The host's process-wide state and the end of the saver window's message
// chain: input becomes a close request, and a close goes through only when
// the password verifier (if one is in force) agrees.
#ifndef TARVELIMUNDE_HOST_CLOSE_PROTOCOL_H
#define TARVELIMUNDE_HOST_CLOSE_PROTOCOL_H

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

// Asks the saver window to verify the password; the result is the answer.
const UINT VerifyRequest = 0x8000;
const uint32_t kVerifyInterval = 200;
const uint32_t kMouseThreshold = 4;
const uint32_t kNoVerification = 0xFFFFFFFFu;

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int32_t VerifyBeforeClose(HWND window);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
BOOL SetSaverRunning(int32_t running);
POINT ReadCursor();
uint32_t TickDifference(uint32_t earlier, uint32_t later);

// The millisecond tick count; its own seam so that tests can place it near
// the counter's wrap.
uint32_t ReadTickCount();

#endif
