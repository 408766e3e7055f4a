// When a front end shows a frame: after every tick that the display can
// show, and never more often than it refreshes. Times are in the front end's
// own clock, whatever its units.
#ifndef TARVELIMUNDE_OFFSCREEN_FRAME_PACE_H
#define TARVELIMUNDE_OFFSCREEN_FRAME_PACE_H

#include <stdint.h>

// The refresh a display that does not say its own is taken to have.
const int kDefaultRefreshHz = 60;

struct FramePace {
    int64_t refreshPeriod;
    int64_t early;      // how much sooner than its slot a frame may go
    int64_t nextFrame;  // the slot of the next frame
};

// From now on, for a clock of unitsPerSecond and a display of refreshHz; 0
// or 1, as Windows answers for "the default", stand for kDefaultRefreshHz.
void FramePaceStart(FramePace* pace, int64_t unitsPerSecond, int refreshHz, int64_t now);
// Whether a frame may go out now, and the first moment it may.
bool FramePaceDue(const FramePace* pace, int64_t now);
int64_t FramePaceWhen(const FramePace* pace);
// A frame went out now: the next one waits for the next refresh.
void FramePaceShown(FramePace* pace, int64_t now);

#endif
