// A long replay's progress: one line, "tarvelimunde-replay: NN %", rewritten
// in place with \r and cleared at the end. Shown only on a terminal, and only
// once the run has lasted a while, so short runs and redirected output stay
// as they are.
#ifndef TARVELIMUNDE_REPLAY_PROGRESS_H
#define TARVELIMUNDE_REPLAY_PROGRESS_H

#include <stdint.h>
#include <stdio.h>

#include <chrono>

struct ReplayProgress {
    FILE* to;              // NULL for no progress
    double afterSeconds;   // quiet until the run has lasted this long
    uint64_t total;
    uint64_t nextChange;   // the first tick of the next whole percent
    int percent;
    bool shown;
    std::chrono::steady_clock::time_point start;
};

// Progress for an interactive run: to standard error when that is a terminal,
// after about a second.
ReplayProgress TerminalProgress();

void StartProgress(ReplayProgress* progress, uint64_t total);
// After each tick; it writes at most once a whole percent.
void AdvanceProgress(ReplayProgress* progress, uint64_t done);
void EndProgress(ReplayProgress* progress);

#endif
