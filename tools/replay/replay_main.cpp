// tarvelimunde-replay: the saver's picture without Windows.
#include <stdio.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "replay_options.h"
#include "replay_run.h"
#ifdef _WIN32
#include "../../host/x87_precision.h"
#endif

int
main(int argc, char** argv)
{
#ifdef _WIN32
    // Traces byte for byte as on Linux, and doubles rounded as the saver's
    // own start-up rounds them.
    _setmode(_fileno(stdout), _O_BINARY);
    RoundDoublesTo53Bits();
#endif
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
    ReplayProgress progress = TerminalProgress();
    if (RunReplay(options, stdout, &progress, &error) != 0) {
        fprintf(stderr, "tarvelimunde-replay: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
