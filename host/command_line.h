// Reading the command-line tail: which mode it asks for and the window handle
// behind the switch. No window calls, so it builds and is tested natively too.
#ifndef TARVELIMUNDE_HOST_COMMAND_LINE_H
#define TARVELIMUNDE_HOST_COMMAND_LINE_H

#include <stdint.h>

enum SaverMode {
    kSetupMode,           // no switch: the setup dialog with no owner
    kOwnedSetupMode,      // "c": the setup dialog owned by the foreground window
    kChangePasswordMode,  // "a" and a handle
    kPreviewMode,         // "p" or "l" and a handle
    kFullScreenMode,      // "s"
    kUnknownMode,         // anything else: the process ends with -1
};

struct SwitchChoice {
    SaverMode mode;
    // For "a", "p" and "l": the text behind the letter and its blanks, where
    // the handle begins. Otherwise the switch character itself.
    const char* argument;
};

SwitchChoice ScanSwitch(const char* tail);
// An unsigned decimal number, wrapping modulo 2^32; 0 if none begins here.
uint32_t ParseDecimal(const char* text);

#endif
