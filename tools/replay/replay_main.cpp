// tarvelimunde-replay: the saver's picture without Windows.
#include <stdio.h>

#include "replay_options.h"
#include "replay_run.h"

int
main(int argc, char** argv)
{
    ReplayOptions options;
    std::string error;
    if (!ParseReplayOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "tarvelimunde-replay: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        fputs(kReplayUsage, stdout);
        return 0;
    }
    if (RunReplay(options, stdout, &error) != 0) {
        fprintf(stderr, "tarvelimunde-replay: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
