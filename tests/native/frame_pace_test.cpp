// The frames a front end shows for ticks of a given period on displays of a
// given refresh, counted over ten seconds of its clock in nanoseconds.
#include <gtest/gtest.h>

#include "frame_pace.h"

namespace {

const int64_t kSecond = 1000000000;
const int kSeconds = 10;

struct PaceCase {
    const char* name;
    int64_t tickPeriod;  // ns
    int refreshHz;
    double atLeast, atMost;  // frames a second
};

// The frames shown for ticks from one moment to another.
int
Frames(FramePace* pace, int64_t from, int64_t until, int64_t tickPeriod)
{
    int frames = 0;
    for (int64_t now = from; now < until; now += tickPeriod)
        if (FramePaceDue(pace, now)) {
            FramePaceShown(pace, now);
            frames++;
        }
    return frames;
}

class FramePaceTest : public testing::TestWithParam<PaceCase> {};

TEST_P(FramePaceTest, ShowsWhatTheDisplayCanAndNoMore)
{
    const PaceCase& c = GetParam();
    FramePace pace;
    FramePaceStart(&pace, kSecond, c.refreshHz, 0);
    int frames = Frames(&pace, 0, kSeconds * kSecond, c.tickPeriod);
    EXPECT_GE(frames, c.atLeast * kSeconds);
    // The first frame goes at once, at the start of its refresh.
    EXPECT_LE(frames, c.atMost * kSeconds + 1);
}

// Windows' timer ticks 64 times a second, Wine's about 100; a 1 ms timer at
// a fine resolution, and a slow rate.
INSTANTIATE_TEST_SUITE_P(Ticks, FramePaceTest, testing::Values(
    PaceCase{"Windows64HzOn60Hz", 15625000, 60, 58, 60},
    PaceCase{"Windows64HzOn144Hz", 15625000, 144, 64, 64},
    PaceCase{"Wine100HzOn60Hz", 10000000, 60, 59.9, 60},
    PaceCase{"Wine100HzOn144Hz", 10000000, 144, 100, 100},
    PaceCase{"Fine1000HzOn60Hz", 1000000, 60, 59.9, 60},
    PaceCase{"Fine1000HzOn144Hz", 1000000, 144, 143.9, 144},
    PaceCase{"Slow50HzOn60Hz", 20000000, 60, 50, 50},
    PaceCase{"Slow50HzOn144Hz", 20000000, 144, 50, 50},
    PaceCase{"UnsaidRefreshIs60Hz", 1000000, 1, 59.9, 60}),
    [](const testing::TestParamInfo<PaceCase>& info) { return std::string(info.param.name); });

// A stalled front end owes the display one frame at most, not the ones it missed.
TEST(FramePace, AStallBringsNoBurst)
{
    FramePace pace;
    FramePaceStart(&pace, kSecond, 60, 0);
    FramePaceShown(&pace, 0);
    // Six refreshes and the one owed; a burst would be a hundred.
    EXPECT_LE(Frames(&pace, 5 * kSecond, 5 * kSecond + kSecond / 10, kSecond / 1000), 8);
}

}
