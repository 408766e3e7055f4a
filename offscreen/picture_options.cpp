#include "picture_options.h"

#include <string.h>

#include "argument_text.h"

namespace {

struct NumberOption {
    const char* name;
    uint64_t low, high;
};

const NumberOption kNumbers[] = {{"rate", kRateLow, kRateHigh}, {"seed", 0, 4294967295u}, {"ticks", 0, 1000000}};

}

bool
IsOption(const char* argument, const char* name)
{
    if (argument[0] != '-')
        return false;
    const char* rest = argument[1] == '-' ? argument + 2 : argument + 1;
    return strcmp(rest, name) == 0;
}

PictureOptionRead
ReadPictureOption(int argc, const char* const* argv, int* i, PictureOptions* options, std::string* error)
{
    const char* a = argv[*i];
    if (IsOption(a, "help")) {
        options->help = true;
        return kPictureOptionRead;
    }
    for (const NumberOption& n : kNumbers) {
        if (!IsOption(a, n.name))
            continue;
        std::string range = std::to_string(n.low) + " to " + std::to_string(n.high);
        if (*i + 1 >= argc) {
            *error = std::string("--") + n.name + " needs a number, " + range;
            return kPictureOptionBad;
        }
        uint64_t value;
        const char* text = argv[++*i];
        if (!ParseNumber(text, n.high, 10, &value) || value < n.low) {
            *error = std::string("--") + n.name + ": " + Quoted(text) + " is not " + range;
            return kPictureOptionBad;
        }
        if (&n == &kNumbers[0]) {
            options->rate = (uint32_t)value;
        } else if (&n == &kNumbers[1]) {
            options->seed = (uint32_t)value;
            options->hasSeed = true;
        } else {
            options->ticks = (uint32_t)value;
            options->hasTicks = true;
        }
        return kPictureOptionRead;
    }
    return kNotPictureOption;
}

std::string
PictureOptionsUsage()
{
    return "  --rate N         ticks a second, " + std::to_string(kRateLow) + " to " + std::to_string(kRateHigh) +
           " (default " + std::to_string(kRateDefault) +
           ")\n"
           "  --seed N         0 to 4294967295 (default: the clock)\n"
           "  --ticks N        run N ticks at once, 0 to 1000000, show that still and stop ticking\n"
           "  --help           this text\n";
}
