// The replay itself: an offscreen window driven through ScreenSaverProc.
#ifndef TARVELIMUNDE_REPLAY_RUN_H
#define TARVELIMUNDE_REPLAY_RUN_H

#include <stdio.h>

#include <string>

#include "replay_options.h"
#include "replay_progress.h"

// 0 on success; 2 with a one-line message when an output cannot be written.
// Regular files appear only complete (see output_file.h). The ticks' progress
// goes where progress says; NULL for none.
int RunReplay(const ReplayOptions& options, FILE* standardOutput, ReplayProgress* progress, std::string* error);

#endif
