// Fuzzes the module's option parsing: any argument vector ends in options
// within their ranges, or in one line naming the problem.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "x11_options.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Arguments are separated by NUL bytes, as in a real argv.
    std::vector<std::string> arguments = {"tarvelimunde"};
    std::string current;
    for (size_t i = 0; i < size; i++) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += (char)data[i];
        }
    }
    arguments.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());

    X11Options options;
    std::string error;
    X11ParseResult result = ParseX11Options((int)argv.size(), argv.data(), &options, &error);
    if (result != kOptionsParsed) {
        if (error.empty() || error.find('\n') != std::string::npos)
            abort();
        return 0;
    }
    if (options.rate < 1 || options.rate > 1000 || options.ticks > 1000000 || !error.empty())
        abort();
    return 0;
}
