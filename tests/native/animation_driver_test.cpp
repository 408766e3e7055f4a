// ScreenSaverProc: what each message does, in what order, and that nothing
// leaks from tick to tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_test_support.h"

namespace {

std::vector<std::string>
LoggedCalls()
{
    std::vector<std::string> calls;
    for (int i = 0; i < SpyCallCount(); i++)
        calls.push_back(SpyCall(i));
    return calls;
}

}

TEST(AnimationDriverTest, CreationSeedsFromTheClockAndStartsTimerOne)
{
    ResetPicture();
    OffscreenSetClock(1765000000u);
    SpySetDefaultResult(77);
    HWND window = OffscreenCreateWindow(640, 480, false);
    EXPECT_EQ(77, ScreenSaverProc(window, WM_CREATE, 0, 0)) << "the host's result is returned";
    EXPECT_EQ(1, SpyDefaultProcCalls(WM_CREATE));

    ReferenceDraws d{1765000000u};
    int k = d.Next() % 5 + 10;
    EXPECT_EQ((float)k * 3.1415f, curveState.tLimit);
    EXPECT_EQ(1, paletteAnimator.drawIndex);
    EXPECT_NE(nullptr, paletteAnimator.palette);
    UINT period = 0;
    EXPECT_EQ(1u, SpyLastTimerSet(&period));
    EXPECT_EQ(1u, period);
    EXPECT_EQ(1, animationDriver.timerId);
    EXPECT_EQ(0, colourWalk.scheme);
}

TEST(AnimationDriverTest, FirstTickClearsAndDrawsFromTheStartPoint)
{
    HWND window = CreatedSaver(640, 480, 9, true);
    EXPECT_EQ(0, SpyGetCounts().erases);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    EXPECT_EQ(1, SpyGetCounts().erases);
    OffscreenLine line = OffscreenLastLine();
    EXPECT_EQ(320 + 240, line.from.x);
    EXPECT_EQ(240, line.from.y);
    EXPECT_EQ(PALETTEINDEX(1), line.colour);
    EXPECT_EQ(320 + curveState.lastX, line.to.x);
    EXPECT_EQ(240 + curveState.lastY, line.to.y);
    EXPECT_EQ(2, paletteAnimator.drawIndex);
    EXPECT_EQ(1, colourWalk.scheme) << "the first tick's figure moves the scheme to 1";

    // Consecutive segments join exactly.
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    EXPECT_EQ(line.to.x, OffscreenLastLine().from.x);
    EXPECT_EQ(line.to.y, OffscreenLastLine().from.y);
    EXPECT_EQ(PALETTEINDEX(2), OffscreenLastLine().colour);

    const Framebuffer* frame = OffscreenFramebuffer();
    EXPECT_EQ(1, frame->pixels[240 * frame->width + 560]) << "the first segment is drawn in palette index 1";
}

TEST(AnimationDriverTest, TickMakesItsCallsInOrder)
{
    HWND window = CreatedSaver(640, 480);
    SpyLogCalls(true);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    std::vector<std::string> expected = {
        "GetDC", "GetClientRect", "FillRect", "SelectPalette", "RealizePalette", "CreatePen", "SelectObject",
        "MoveToEx", "LineTo", "SelectObject", "GetPaletteEntries", "GetDeviceCaps(SIZEPALETTE)",
        "AnimatePalette", "SelectPalette", "DeleteObject", "ReleaseDC",
    };
    EXPECT_EQ(expected, LoggedCalls());
    SpyLogCalls(true);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    expected.erase(expected.begin() + 1, expected.begin() + 3);
    EXPECT_EQ(expected, LoggedCalls()) << "later ticks of a figure do not clear";
}

TEST(AnimationDriverTest, AnyTimerIdTicksAndTheResultIsTheHosts)
{
    HWND window = CreatedSaver(100, 100);
    SpySetDefaultResult(-5);
    for (WPARAM id : {(WPARAM)1, (WPARAM)2, (WPARAM)0, (WPARAM)0xFFFF}) {
        int lines = SpyGetCounts().lines;
        EXPECT_EQ(-5, ScreenSaverProc(window, WM_TIMER, id, 0));
        EXPECT_EQ(lines + 1, SpyGetCounts().lines) << "timer " << id;
    }
    EXPECT_EQ(4, SpyDefaultProcCalls(WM_TIMER));
}

TEST(AnimationDriverTest, EraseBackgroundFillsBlackAndIsNotPassedOn)
{
    HWND window = CreatedSaver(50, 40, 3, true);
    for (int i = 0; i < 30; i++)
        ScreenSaverProc(window, WM_TIMER, 1, 0);
    HDC dc = GetDC(window);
    SpySetDefaultResult(1);
    EXPECT_EQ(0, ScreenSaverProc(window, WM_ERASEBKGND, (WPARAM)dc, 0));
    ReleaseDC(window, dc);
    EXPECT_EQ(0, SpyDefaultProcCalls(WM_ERASEBKGND));
    const Framebuffer* frame = OffscreenFramebuffer();
    ASSERT_EQ(50, frame->width);
    ASSERT_EQ(40, frame->height);
    for (int i = 0; i < 50 * 40; i++)
        ASSERT_EQ(0, frame->pixels[i]);
}

TEST(AnimationDriverTest, OtherMessagesArePassedOnUnchanged)
{
    HWND window = CreatedSaver(100, 100);
    SpySetDefaultResult(1234);
    EXPECT_EQ(1234, ScreenSaverProc(window, 0x000F, 0, 0));
    EXPECT_EQ(1234, ScreenSaverProc(window, 0x8000, 0, 0));
    EXPECT_EQ(1, SpyDefaultProcCalls(0x000F));
    EXPECT_EQ(1, SpyDefaultProcCalls(0x8000));
    EXPECT_EQ(0, SpyGetCounts().lines);
}

TEST(AnimationDriverTest, DestroyReleasesPaletteAndTimer)
{
    HWND window = CreatedSaver(100, 100);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    EXPECT_EQ(0, SpyGetCounts().livePalettes);
    EXPECT_EQ(0, SpyGetCounts().runningTimers);
    EXPECT_EQ(1u, SpyLastTimerKilled());
    EXPECT_EQ(1, SpyDefaultProcCalls(WM_DESTROY));
}

TEST(AnimationDriverTest, DestroyWithoutCreationDeletesAndKillsNothing)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(100, 100, false);
    SpyLogCalls(true);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    EXPECT_TRUE(LoggedCalls().empty());
    EXPECT_EQ(1, SpyDefaultProcCalls(WM_DESTROY));
}

TEST(AnimationDriverTest, FailedPaletteMemoryFailsCreationWithoutATimer)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(100, 100, false);
    SpyFailLocalAlloc(true);
    SpySetDefaultResult(0);
    EXPECT_EQ(-1, ScreenSaverProc(window, WM_CREATE, 0, 0));
    EXPECT_EQ(0, SpyDefaultProcCalls(WM_CREATE)) << "not passed on";
    EXPECT_EQ(0u, SpyLastTimerSet(NULL));
    EXPECT_EQ(0, animationDriver.timerId);

    SpyLogCalls(true);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    for (const std::string& call : LoggedCalls()) {
        EXPECT_NE("DeleteObject", call);
        EXPECT_NE("KillTimer", call);
    }
}

TEST(AnimationDriverTest, TimerThatCannotStartIsNotKilled)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(100, 100, false);
    SpyFailSetTimer(true);
    EXPECT_EQ(0, ScreenSaverProc(window, WM_CREATE, 0, 0));
    EXPECT_EQ(0, animationDriver.timerId);
    SpyLogCalls(true);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    for (const std::string& call : LoggedCalls())
        EXPECT_NE("KillTimer", call);
}

TEST(AnimationDriverTest, TicksLeakNothing)
{
    for (bool failPalette : {false, true}) {
        ResetPicture();
        SpyFailCreatePalette(failPalette);
        HWND window = OffscreenCreateWindow(320, 240, true);
        ScreenSaverProc(window, WM_CREATE, 0, 0);
        SpyCounts before = SpyGetCounts();
        for (int i = 0; i < 5000; i++)
            ScreenSaverProc(window, WM_TIMER, 1, 0);
        SpyCounts after = SpyGetCounts();
        EXPECT_EQ(before.livePens, after.livePens);
        EXPECT_EQ(before.livePalettes, after.livePalettes);
        EXPECT_EQ(0, after.liveDeviceContexts);
        EXPECT_EQ(0, after.liveLocalBlocks);
        EXPECT_EQ(5000, after.lines - before.lines);
        ScreenSaverProc(window, WM_DESTROY, 0, 0);
        EXPECT_EQ(0, SpyGetCounts().livePalettes);
    }
}

TEST(AnimationDriverTest, EmptyClientAreaStillTicksAtTheCentre)
{
    HWND window = CreatedSaver(0, 300);
    for (int i = 0; i < 300; i++) {
        ScreenSaverProc(window, WM_TIMER, 1, 0);
        OffscreenLine line = OffscreenLastLine();
        ASSERT_EQ(0, line.from.x);
        ASSERT_EQ(150, line.from.y);
        ASSERT_EQ(0, line.to.x);
        ASSERT_EQ(150, line.to.y);
    }
}

TEST(AnimationDriverTest, LaterResizeChangesTheClearedAreaButNotTheFigures)
{
    HWND window = CreatedSaver(200, 100, 4, true);
    OffscreenResizeWindow(window, 400, 300);
    for (int i = 0; i < 400; i++)
        ScreenSaverProc(window, WM_TIMER, 1, 0);
    EXPECT_EQ(100, curveState.centreX);
    EXPECT_EQ(50, curveState.centreY);
    EXPECT_EQ(50, curveState.baseRadius);
}
