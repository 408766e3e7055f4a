// Fuzzes the replay tool's argument parsing: any argument vector ends in options
// within their ranges or in one line naming the problem.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_arguments.h"
#include "replay_options.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzArguments arguments;
    SplitArguments("tarvelimunde-replay", data, size, &arguments);
    std::vector<const char*>& argv = arguments.argv;

    ReplayOptions options;
    std::string error;
    if (!ParseReplayOptions((int)argv.size(), argv.data(), &options, &error)) {
        if (error.empty() || error.find('\n') != std::string::npos)
            abort();
        return 0;
    }
    if (options.width < 0 || options.width > 65535 || options.height < 0 || options.height > 65535 ||
        options.reserved < 0 || options.reserved > 256 || options.paletteSize < 0 || options.paletteSize > 65536 ||
        options.every < 1)
        abort();
    return 0;
}
