#include "frame_pace.h"

void
FramePaceStart(FramePace* pace, int64_t unitsPerSecond, int refreshHz, int64_t now)
{
    int hz = refreshHz > 1 ? refreshHz : kDefaultRefreshHz;
    pace->refreshPeriod = unitsPerSecond / hz;
    // A tick a little early for its refresh still gets it, so that ticks as
    // fast as the refresh are each shown despite the timer's jitter.
    pace->early = pace->refreshPeriod / 8;
    pace->nextFrame = now;
}

bool
FramePaceDue(const FramePace* pace, int64_t now)
{
    return now >= FramePaceWhen(pace);
}

int64_t
FramePaceWhen(const FramePace* pace)
{
    return pace->nextFrame - pace->early;
}

void
FramePaceShown(FramePace* pace, int64_t now)
{
    // Slots follow one another rather than the last frame, so that ticks a
    // little faster than the refresh skip only what the refresh cannot show;
    // after a stall at most one slot is owed, never a burst.
    int64_t slot = pace->nextFrame > now - pace->refreshPeriod ? pace->nextFrame : now - pace->refreshPeriod;
    pace->nextFrame = slot + pace->refreshPeriod;
}
