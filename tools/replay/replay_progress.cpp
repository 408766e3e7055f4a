#include "replay_progress.h"

#include <unistd.h>

namespace {

const char kLine[] = "\rtarvelimunde-replay: %3d %%";
const char kBlank[] = "\r                          \r";

// Whole percents in integers, so each is reached exactly once; a count beyond
// 2^64 / 100 ticks goes by hundredths instead.
bool
Exact(uint64_t total)
{
    return total <= UINT64_MAX / 100;
}

int
Percent(uint64_t done, uint64_t total)
{
    uint64_t percent = Exact(total) ? done * 100 / total : done / (total / 100);
    return percent > 100 ? 100 : (int)percent;
}

// The first tick after done at which the run is a whole percent further.
uint64_t
NextChange(uint64_t total, int percent, uint64_t done)
{
    if (percent >= 100)
        return UINT64_MAX;
    uint64_t next = Exact(total) ? ((percent + 1) * total + 99) / 100 : (percent + 1) * (total / 100);
    return next > done ? next : done + 1;
}

}

ReplayProgress
TerminalProgress()
{
    ReplayProgress progress = ReplayProgress();
    progress.to = isatty(fileno(stderr)) ? stderr : NULL;
    progress.afterSeconds = 1.0;
    return progress;
}

void
StartProgress(ReplayProgress* progress, uint64_t total)
{
    progress->total = total;
    progress->percent = 0;
    progress->nextChange = NextChange(total, 0, 0);
    progress->shown = false;
    progress->start = std::chrono::steady_clock::now();
}

void
AdvanceProgress(ReplayProgress* progress, uint64_t done)
{
    if (progress->to == NULL || done < progress->nextChange)
        return;
    progress->percent = Percent(done, progress->total);
    progress->nextChange = NextChange(progress->total, progress->percent, done);
    std::chrono::duration<double> lasted = std::chrono::steady_clock::now() - progress->start;
    if (lasted.count() < progress->afterSeconds)
        return;
    fprintf(progress->to, kLine, progress->percent);
    fflush(progress->to);
    progress->shown = true;
}

void
EndProgress(ReplayProgress* progress)
{
    if (progress->shown)
        fputs(kBlank, progress->to);
    progress->shown = false;
}
