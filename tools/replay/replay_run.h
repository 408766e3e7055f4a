// The replay itself: an offscreen window driven through ScreenSaverProc.
#ifndef TARVELIMUNDE_REPLAY_RUN_H
#define TARVELIMUNDE_REPLAY_RUN_H

#include <stdio.h>

#include <string>

#include "replay_options.h"

// 0 on success; 2 with a one-line message when an output cannot be written.
// Files appear only complete: each is written under a temporary name first.
int RunReplay(const ReplayOptions& options, FILE* standardOutput, std::string* error);

#endif
