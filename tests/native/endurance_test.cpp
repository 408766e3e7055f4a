// Long runs: hours of ticks on every kind of client area, checking each tick,
// and proof that a tick allocates nothing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <new>

#include "picture_test_support.h"

namespace {

long allocations = 0;

// Ticks per client area: an hour at 100 ticks a second when asked for, a tenth of it by default.
uint64_t
SoakTicks()
{
    const char* asked = getenv("TARVELIMUNDE_SOAK_TICKS");
    return asked ? strtoull(asked, NULL, 10) : 36000;
}

}

// Everything the C++ allocator and direct malloc calls of our own code hand out is counted.
void*
operator new(size_t size)
{
    allocations++;
    void* block = malloc(size ? size : 1);
    if (block == NULL)
        throw std::bad_alloc();
    return block;
}

void
operator delete(void* block) noexcept
{
    free(block);
}

void
operator delete(void* block, size_t) noexcept
{
    free(block);
}

extern "C" void* __real_malloc(size_t size);
extern "C" void*
__wrap_malloc(size_t size)
{
    allocations++;
    return __real_malloc(size);
}

TEST(EnduranceTest, TicksAllocateNothing)
{
    for (bool keepPixels : {false, true}) {
        HWND window = CreatedSaver(640, 480, 21, keepPixels);
        ScreenSaverProc(window, WM_TIMER, 1, 0);
        long before = allocations;
        SpyCounts countsBefore = SpyGetCounts();
        for (int i = 0; i < 20000; i++)
            ScreenSaverProc(window, WM_TIMER, 1, 0);
        EXPECT_EQ(before, allocations);
        EXPECT_EQ(countsBefore.liveLocalBlocks, SpyGetCounts().liveLocalBlocks);
        EXPECT_EQ(countsBefore.livePens, SpyGetCounts().livePens);
    }
}

TEST(EnduranceTest, LongRunsKeepEveryInvariant)
{
    const struct {
        int width, height;
    } areas[] = {{0, 0}, {1, 1}, {2, 2}, {7, 7}, {152, 112}, {640, 480}, {1920, 1080}, {65535, 65535}};
    uint64_t ticks = SoakTicks();
    for (const auto& area : areas) {
        HWND window = CreatedSaver(area.width, area.height, (uint32_t)(area.width * 7919 + 3));
        const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
        PALETTEENTRY shownLast = shown[255];
        int base = curveState.baseRadius;
        int top = 255 - paletteAnimator.reservedCount;
        SpyCounts start = SpyGetCounts();
        for (uint64_t n = 1; n <= ticks; n++) {
            int pen = paletteAnimator.drawIndex;
            ScreenSaverProc(window, WM_TIMER, 1, 0);
            OffscreenLine line = OffscreenLastLine();
            ASSERT_LE(abs(line.to.x - curveState.centreX), base) << area.width << " tick " << n;
            ASSERT_LE(abs(line.to.y - curveState.centreY), base) << area.width << " tick " << n;
            ASSERT_EQ(PALETTEINDEX(pen), line.colour);
            ASSERT_GE(pen, 1);
            ASSERT_LE(pen, top);
            for (float channel : {colourWalk.red, colourWalk.green, colourWalk.blue}) {
                ASSERT_GE(TruncateToInt32(channel), 0);
                ASSERT_LE(TruncateToInt32(channel), 255);
            }
            ASSERT_EQ(0, shown[0].peRed | shown[0].peGreen | shown[0].peBlue);
            ASSERT_EQ(0, memcmp(&shownLast, &shown[255], sizeof shownLast)) << "entry 255 is never animated";
            ASSERT_EQ(start.livePens, SpyGetCounts().livePens);
            ASSERT_EQ(0, SpyGetCounts().liveDeviceContexts);
        }
        ScreenSaverProc(window, WM_DESTROY, 0, 0);
        EXPECT_EQ(0, SpyGetCounts().livePalettes);
        EXPECT_EQ(0, SpyGetCounts().runningTimers);
    }
}
