// The module's command line, in the daemon's conventions: single-dash and
// double-dash forms alike.
#ifndef TARVELIMUNDE_X11_OPTIONS_H
#define TARVELIMUNDE_X11_OPTIONS_H

#include <stdint.h>

#include <string>

struct X11Options {
    bool root = false;
    bool window = false;
    bool install = false;
    bool help = false;
    bool hasWindowId = false;
    uint32_t windowId = 0;
    uint32_t rate = 64;
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

extern const char kX11Usage[];

X11ParseResult ParseX11Options(int argc, const char* const* argv, X11Options* options, std::string* error);

// Decimal or 0x hexadecimal, 32 bits at most.
bool ParseWindowId(const char* text, uint32_t* id);

// Text from outside made fit for a one-line message.
std::string QuotedArgument(const char* text);

#endif
