// Fuzzes the module's option parsing: any argument vector ends in options
// within their ranges, or in one line naming the problem.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_arguments.h"
#include "x11_options.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzArguments arguments;
    SplitArguments("tarvelimunde", data, size, &arguments);
    std::vector<const char*>& argv = arguments.argv;

    X11Options options;
    std::string error;
    X11ParseResult result = ParseX11Options((int)argv.size(), argv.data(), &options, &error);
    if (result != kOptionsParsed) {
        if (error.empty() || error.find('\n') != std::string::npos)
            abort();
        return 0;
    }
    if (options.picture.rate < 1 || options.picture.rate > 1000 || options.picture.ticks > 1000000 || !error.empty())
        abort();
    return 0;
}
