// Strict parsing: a value must be whole and in range, so a typo in a
// programs: line never runs something else quietly.
#include "x11_options.h"

#include "argument_text.h"

#include <stdio.h>
#include <string.h>

std::string
X11Usage()
{
    return std::string("usage: tarvelimunde [options]\n"
                       "Random hypotrochoid figures in flowing colours, for XScreenSaver.\n"
                       "  --root           draw on the window XSCREENSAVER_WINDOW names, or on the root window\n"
                       "  --window         draw in a window of its own (the default)\n"
                       "  --window-id ID   draw into the window ID (decimal or 0x hex); wins over --root\n"
                       "  --install        a colormap of its own on 8-bit (PseudoColor) displays\n"
                       "  --rate N         ticks a second, ") +
           std::to_string(kX11RateLow) + " to " + std::to_string(kX11RateHigh) + " (default " +
           std::to_string(kX11RateDefault) +
           ")\n"
           "  --seed N         0 to 4294967295 (default: the clock)\n"
           "  --ticks N        run N ticks at once, 0 to 1000000, show that still and stop ticking\n"
           "  --help           this text\n";
}

namespace {

struct NumberOption {
    const char* name;
    uint64_t low, high;
};

const NumberOption kRate = {"rate", kX11RateLow, kX11RateHigh};
const NumberOption kSeed = {"seed", 0, 4294967295u};
const NumberOption kTicks = {"ticks", 0, 1000000};

bool
IsOption(const char* argument, const char* name)
{
    // -name and --name are the same option.
    if (argument[0] != '-')
        return false;
    const char* rest = argument[1] == '-' ? argument + 2 : argument + 1;
    return strcmp(rest, name) == 0;
}

X11ParseResult
Bad(std::string* error, const std::string& message)
{
    *error = message;
    return kOptionsBad;
}

}

bool
ParseWindowId(const char* text, uint32_t* id)
{
    uint64_t value;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ParseNumber(hex ? text + 2 : text, 0xFFFFFFFFu, hex ? 16 : 10, &value))
        return false;
    *id = (uint32_t)value;
    return true;
}

X11ParseResult
ParseX11Options(int argc, const char* const* argv, X11Options* options, std::string* error)
{
    X11Options o;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (IsOption(a, "root")) {
            o.root = true;
        } else if (IsOption(a, "window")) {
            // The default: a window of its own unless --root or --window-id.
        } else if (IsOption(a, "install")) {
            o.install = true;
        } else if (IsOption(a, "help")) {
            o.help = true;
        } else if (IsOption(a, "window-id")) {
            if (i + 1 >= argc)
                return Bad(error, "--window-id needs a window id");
            if (!ParseWindowId(argv[++i], &o.windowId)) {
                *error = "--window-id: " + Quoted(argv[i]) + " is not a window id";
                return kWindowIdBad;
            }
            o.hasWindowId = true;
        } else if (IsOption(a, kRate.name) || IsOption(a, kSeed.name) || IsOption(a, kTicks.name)) {
            const NumberOption& n = IsOption(a, kRate.name) ? kRate : IsOption(a, kSeed.name) ? kSeed : kTicks;
            std::string range = std::to_string(n.low) + " to " + std::to_string(n.high);
            if (i + 1 >= argc)
                return Bad(error, std::string("--") + n.name + " needs a number, " + range);
            uint64_t value;
            if (!ParseNumber(argv[++i], n.high, 10, &value) || value < n.low)
                return Bad(error, std::string("--") + n.name + ": " + Quoted(argv[i]) + " is not " + range);
            if (&n == &kRate) {
                o.rate = (uint32_t)value;
            } else if (&n == &kSeed) {
                o.seed = (uint32_t)value;
                o.hasSeed = true;
            } else {
                o.ticks = (uint32_t)value;
                o.hasTicks = true;
            }
        } else {
            return Bad(error, "unknown option " + Quoted(a));
        }
    }
    *options = o;
    return kOptionsParsed;
}
