// Command-line options of tarvelimunde-replay.
#ifndef TARVELIMUNDE_REPLAY_OPTIONS_H
#define TARVELIMUNDE_REPLAY_OPTIONS_H

#include <stdint.h>

#include <string>

struct ReplayOptions {
    uint32_t seed = 1;
    int width = 640;
    int height = 480;
    uint64_t ticks = 1000;
    int paletteSize = 256;
    int reserved = 20;
    std::string trace;      // "-" for stdout, empty for none
    std::string png;
    std::string gif;
    uint64_t every = 1;
    bool help = false;
};

// The largest image the tool will hold in memory, in pixels.
const uint64_t kMaxImagePixels = 1ull << 28;

extern const char kReplayUsage[];

// Fills options from argv; on a bad argument returns false with a one-line
// message naming the problem.
bool ParseReplayOptions(int argc, const char* const* argv, ReplayOptions* options, std::string* error);

#endif
