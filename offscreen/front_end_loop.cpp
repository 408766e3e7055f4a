#include "front_end_loop.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

int64_t
MonotonicNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * kNanoseconds + now.tv_nsec;
}

void
TickClockStart(TickClock* clock, uint32_t rate, int64_t now)
{
    clock->period = kNanoseconds / rate;
    clock->next = now;
    clock->maxCatchUp = (int)rate / 4 + 1;
}

void
TickClockRun(TickClock* clock, FrameFeed* feed, int64_t now)
{
    if (now < clock->next)
        return;
    for (int n = 0; n < clock->maxCatchUp && now >= clock->next; n++) {
        FrameFeedTick(feed);
        clock->next += clock->period;
    }
    if (now >= clock->next)
        clock->next = now + clock->period;
}

int
ReadEndingSignals()
{
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    int fd = signalfd(-1, &ending, SFD_CLOEXEC);
    // Blocked only once they can be read: blocked and unread, SIGTERM could no longer end the program.
    if (fd >= 0)
        sigprocmask(SIG_BLOCK, &ending, NULL);
    return fd;
}
