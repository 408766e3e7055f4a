// Fuzzes the option parsing of the module and of the Wayland client, which
// share the picture's options: any argument vector ends in options within
// their ranges, or in one line naming the problem.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_arguments.h"
#include "wayland_options.h"
#include "x11_options.h"

namespace {

void
Check(bool parsed, const PictureOptions& picture, const std::string& error)
{
    if (parsed ? picture.rate < 1 || picture.rate > 1000 || picture.ticks > 1000000 || !error.empty()
               : error.empty() || error.find('\n') != std::string::npos)
        abort();
}

}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzArguments arguments;
    SplitArguments("tarvelimunde", data, size, &arguments);
    std::vector<const char*>& argv = arguments.argv;

    X11Options options;
    std::string error;
    Check(ParseX11Options((int)argv.size(), argv.data(), &options, &error) == kOptionsParsed, options.picture, error);
    WaylandOptions wayland;
    std::string waylandError;
    Check(ParseWaylandOptions((int)argv.size(), argv.data(), &wayland, &waylandError), wayland.picture,
          waylandError);
    return 0;
}
