// The module's command line, in the daemon's conventions: single-dash and
// double-dash forms alike.
#ifndef TARVELIMUNDE_X11_OPTIONS_H
#define TARVELIMUNDE_X11_OPTIONS_H

#include <stdint.h>

#include <string>

// The rate's range and default, written here alone: the usage is made from
// them, and the settings file, the man page and the README are tested to agree.
const uint32_t kX11RateLow = 1;
const uint32_t kX11RateHigh = 1000;
const uint32_t kX11RateDefault = 64;

struct X11Options {
    bool root = false;
    bool install = false;
    bool help = false;
    bool hasWindowId = false;
    uint32_t windowId = 0;
    uint32_t rate = kX11RateDefault;
    bool hasSeed = false;
    uint32_t seed = 0;
    bool hasTicks = false;
    uint32_t ticks = 0;
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
