// The options every Linux front end takes alike, in the daemon's
// conventions: single-dash and double-dash forms the same, every value whole
// and in range, so a typo in a command line never runs something else quietly.
#ifndef TARVELIMUNDE_OFFSCREEN_PICTURE_OPTIONS_H
#define TARVELIMUNDE_OFFSCREEN_PICTURE_OPTIONS_H

#include <stdint.h>

#include <string>

// The rate's range and default, written here alone: the usages are made from
// them, and the settings file, the man pages and the README are tested to agree.
const uint32_t kRateLow = 1;
const uint32_t kRateHigh = 1000;
const uint32_t kRateDefault = 64;

struct PictureOptions {
    bool help = false;
    uint32_t rate = kRateDefault;
    bool hasSeed = false;
    uint32_t seed = 0;
    bool hasTicks = false;
    uint32_t ticks = 0;
};

enum PictureOptionRead {
    kNotPictureOption,
    kPictureOptionRead,
    kPictureOptionBad,  // a value missing or out of range: *error says which
};

// -name and --name alike.
bool IsOption(const char* argument, const char* name);

// argv[*i] as --rate, --seed, --ticks or --help; *i moves past a value it takes.
PictureOptionRead ReadPictureOption(int argc, const char* const* argv, int* i, PictureOptions* options,
                                    std::string* error);

// Their lines of a usage text.
std::string PictureOptionsUsage();

#endif
