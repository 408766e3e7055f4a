// The end of the saver window's message chain: input becomes a close
// request, and a close goes through only when the password verifier (if one is in force) agrees.
#ifndef TARVELIMUNDE_HOST_CLOSE_PROTOCOL_H
#define TARVELIMUNDE_HOST_CLOSE_PROTOCOL_H

#include <stdint.h>

#include "host_state.h"
#include "platform.h"

// Asks the saver window to verify the password; the result is the answer.
const UINT VerifyRequest = 0x8000;
const uint32_t kVerifyInterval = 200;

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int32_t VerifyBeforeClose(HWND window);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
BOOL SetSaverRunning(int32_t running);
POINT ReadCursor();
uint32_t TickDifference(uint32_t earlier, uint32_t later);

#endif
