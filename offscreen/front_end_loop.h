// What the loops of the Linux front ends share: a monotonic clock, the ticks
// due on it, and the ending signals as reads.
#ifndef TARVELIMUNDE_OFFSCREEN_FRONT_END_LOOP_H
#define TARVELIMUNDE_OFFSCREEN_FRONT_END_LOOP_H

#include <stdint.h>

#include "frame_feed.h"

const int64_t kNanoseconds = 1000000000;

struct TickClock {
    int64_t period;
    int64_t next;
    int maxCatchUp;
};

// CLOCK_MONOTONIC in nanoseconds.
int64_t MonotonicNow();

// rate ticks a second from now.
void TickClockStart(TickClock* clock, uint32_t rate, int64_t now);
// The ticks due by now; a late process catches up, but only so far.
void TickClockRun(TickClock* clock, FrameFeed* feed, int64_t now);

// SIGTERM and SIGINT blocked and read from the descriptor answered, so that
// a loop ends them between requests; -1, with errno, when they cannot be.
int ReadEndingSignals();

#endif
