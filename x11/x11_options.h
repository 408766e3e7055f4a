// The module's command line, in the daemon's conventions: single-dash and
// double-dash forms alike.
#ifndef TARVELIMUNDE_X11_OPTIONS_H
#define TARVELIMUNDE_X11_OPTIONS_H

#include <stdint.h>

#include <string>

#include "picture_options.h"

struct X11Options {
    PictureOptions picture;
    bool root = false;
    bool install = false;
    bool hasWindowId = false;
    uint32_t windowId = 0;
};

enum X11ParseResult {
    kOptionsParsed,
    kOptionsBad,     // an unknown option or a value out of range: the usage follows the message
    kWindowIdBad,    // not a window id: the message alone
};

std::string X11Usage();

X11ParseResult ParseX11Options(int argc, const char* const* argv, X11Options* options, std::string* error);

// Decimal or 0x hexadecimal, 32 bits at most.
bool ParseWindowId(const char* text, uint32_t* id);

#endif
