// Start-up and mode dispatch: the program's WinMain and its four modes.
#ifndef TARVELIMUNDE_HOST_STARTUP_H
#define TARVELIMUNDE_HOST_STARTUP_H

#include <stdint.h>

#include "platform.h"

extern const char kPasswordChangeLibrary[];
extern const char kPasswordChangeEntry[];
extern const char kPasswordProvider[];

int32_t SaverMain(HINSTANCE instance, HINSTANCE previous, const char* tail, int showCommand);
INT_PTR ShowSetupDialog(HWND owner);
int32_t RunPreview(const char* text);
int32_t ChangePasswordMode(const char* text);
void CallPasswordChanger(HWND window);

#endif
