// The curve generator: centre and radius from the client area, the random
// radii and their invariants, figure lengths and degenerate areas.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <utility>
#include <vector>

#include "picture_test_support.h"

namespace {

HWND
InitialisedCurve(int width, int height)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(width, height, false);
    InitCurve(window);
    return window;
}

// Starts a figure and counts the ticks' segments until the next figure is due.
int
SegmentsOfFigure(HWND window)
{
    HDC dc = GetDC(window);
    StartFigure(window, dc);
    ReleaseDC(window, dc);
    int segments = 0;
    do {
        curveState.t = curveState.t + curveState.tStep;
        EvaluatePoint();
        segments++;
    } while (!(curveState.t > curveState.tLimit));
    return segments;
}

}

TEST(CurveTest, CentreAndBaseRadiusFromTheClientArea)
{
    struct Case {
        int width, height, centreX, centreY, base;
    } cases[] = {
        {640, 480, 320, 240, 240}, {152, 112, 76, 56, 56}, {480, 640, 240, 320, 240},
        {0, 480, 0, 240, 0},       {1, 1, 0, 0, 0},        {2, 2, 1, 1, 1},
        {7, 9, 3, 4, 3},           {65535, 65535, 32767, 32767, 32767},
        {131068, 131068, 32767, 32767, 32767}, {70000, 10, 32767, 5, 5},
    };
    for (const Case& c : cases) {
        InitialisedCurve(c.width, c.height);
        EXPECT_EQ(c.centreX, curveState.centreX) << c.width << "x" << c.height;
        EXPECT_EQ(c.centreY, curveState.centreY) << c.width << "x" << c.height;
        EXPECT_EQ(c.base, curveState.baseRadius) << c.width << "x" << c.height;
        EXPECT_EQ(0.15f, curveState.tStep);
        EXPECT_GT(curveState.t, curveState.tLimit) << "the first tick starts a figure";
    }
}

TEST(CurveTest, FirstLimitTakesOneDrawOfTenToFourteenHalfTurns)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(100, 100, false);
    randomGenerator.state = 31337;
    ReferenceDraws d{31337};
    int k = d.Next() % 5 + 10;
    InitCurve(window);
    EXPECT_EQ((float)k * 3.1415f, curveState.tLimit);
    EXPECT_EQ(curveState.tLimit + 1.0f, curveState.t);
    EXPECT_EQ(d.state, randomGenerator.state);
}

TEST(CurveTest, StartFigureDrawsInOrderAndStartsAtTheBaseRadius)
{
    HWND window = InitialisedCurve(640, 480);
    colourWalk.scheme = 3;
    randomGenerator.state = 2024;
    ReferenceDraws d{2024};
    int rotate = d.Next() % 200;
    int k = d.Next() % 10 + 5;
    int a = d.Next();
    int pen = a % (160 + 1) + 240 / 5 + 1;
    int rolling = d.Next() % pen + 1;

    HDC dc = GetDC(window);
    int erasesBefore = SpyGetCounts().erases;
    StartFigure(window, dc);
    ReleaseDC(window, dc);
    EXPECT_EQ(rotate > 100 ? 1 : 0, paletteAnimator.rotateUp);
    EXPECT_EQ((float)k * 3.1415f, curveState.tLimit);
    EXPECT_EQ(0.0f, curveState.t);
    EXPECT_EQ(pen, curveState.penDistance);
    EXPECT_EQ(rolling, curveState.rollingRadius);
    EXPECT_EQ(240 - pen + rolling, curveState.fixedRadius);
    EXPECT_EQ(0, colourWalk.scheme) << "scheme moves on modulo 4";
    EXPECT_EQ(erasesBefore + 1, SpyGetCounts().erases) << "the client area is cleared";
    EXPECT_EQ(240, curveState.lastX);
    EXPECT_EQ(0, curveState.lastY);
    EXPECT_EQ(d.state, randomGenerator.state) << "exactly four draws";
}

TEST(CurveTest, RotationIsUpwardOnlyAbove100)
{
    HWND window = InitialisedCurve(100, 100);
    for (int remainder : {0, 100, 101, 199}) {
        randomGenerator.state = FindState([&](ReferenceDraws& d) { return d.Next() % 200 == remainder; });
        HDC dc = GetDC(window);
        StartFigure(window, dc);
        ReleaseDC(window, dc);
        EXPECT_EQ(remainder > 100 ? 1 : 0, paletteAnimator.rotateUp) << remainder;
    }
}

TEST(CurveTest, RadiiKeepTheirInvariantsForEveryBaseRadius)
{
    SeedRandom(99);
    for (int base = 0; base <= 3000; base += base < 40 ? 1 : 37) {
        HWND window = InitialisedCurve(2 * base, 2 * base + 1);
        SeedRandom((uint32_t)base * 7919u);
        int q = 2 * base / 3;
        int lowest = 1 << 30, highest = 0;
        for (int figure = 0; figure < 400; figure++) {
            HDC dc = GetDC(window);
            StartFigure(window, dc);
            ReleaseDC(window, dc);
            const CurveState& c = curveState;
            ASSERT_GE(c.penDistance, 1);
            ASSERT_GE(c.rollingRadius, 1);
            ASSERT_LE(c.rollingRadius, c.penDistance);
            ASSERT_EQ(base, (c.fixedRadius - c.rollingRadius) + c.penDistance);
            ASSERT_GE(c.penDistance, base / 5 + 1);
            ASSERT_LE(c.penDistance, q + base / 5 + 1);
            if (base >= 7) {
                ASSERT_GE(c.fixedRadius - c.rollingRadius, 1) << "base " << base;
            }
            lowest = std::min(lowest, (int)c.penDistance);
            highest = std::max(highest, (int)c.penDistance);
        }
        if (base <= 60) {
            EXPECT_EQ(base / 5 + 1, lowest) << base;
            EXPECT_EQ(q + base / 5 + 1, highest) << base;
        }
    }
}

TEST(CurveTest, FullScreenPenDistanceRange)
{
    HWND window = InitialisedCurve(640, 480);
    SeedRandom(1);
    int lowest = 1000, highest = 0;
    for (int figure = 0; figure < 20000; figure++) {
        HDC dc = GetDC(window);
        StartFigure(window, dc);
        ReleaseDC(window, dc);
        lowest = std::min(lowest, (int)curveState.penDistance);
        highest = std::max(highest, (int)curveState.penDistance);
    }
    EXPECT_EQ(49, lowest);
    EXPECT_EQ(209, highest);
}

TEST(CurveTest, FigureOfKHalfTurnsHas21KSegments)
{
    const char* endOfT[] = {"15.74998", "18.89998", "22.04997", "25.19996", "28.34995",
                            "31.49994", "34.64997", "37.80000", "40.95004", "44.10007"};
    HWND window = InitialisedCurve(640, 480);
    for (int k = 5; k <= 14; k++) {
        randomGenerator.state = FindState([&](ReferenceDraws& d) { d.Next(); return d.Next() % 10 + 5 == k; });
        EXPECT_EQ(21 * k, SegmentsOfFigure(window)) << "k " << k;
        char printed[32];
        snprintf(printed, sizeof printed, "%.5f", curveState.t);
        EXPECT_STREQ(endOfT[k - 5], printed) << "k " << k;
    }
}

TEST(CurveTest, FigureGoesOnAtExactlyTheLimit)
{
    HWND window = CreatedSaver(200, 200);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    int erases = SpyGetCounts().erases;
    curveState.t = curveState.tLimit;
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    EXPECT_EQ(erases, SpyGetCounts().erases) << "no new figure at equality";
    curveState.t = nextafterf(curveState.tLimit, 100.0f);
    ScreenSaverProc(window, WM_TIMER, 1, 0);
    EXPECT_EQ(erases + 1, SpyGetCounts().erases);
}

TEST(CurveTest, PointsNeverLeaveTheBaseRadius)
{
    for (int size : {0, 1, 2, 3, 4, 7, 13, 15, 112, 480}) {
        HWND window = InitialisedCurve(size + 5, size);
        SeedRandom((uint32_t)size);
        int base = curveState.baseRadius;
        for (int figure = 0; figure < 60; figure++) {
            HDC dc = GetDC(window);
            StartFigure(window, dc);
            ReleaseDC(window, dc);
            ASSERT_EQ(base, curveState.lastX);
            ASSERT_EQ(0, curveState.lastY);
            while (!(curveState.t > curveState.tLimit)) {
                curveState.t = curveState.t + curveState.tStep;
                EvaluatePoint();
                ASSERT_LE(abs(curveState.lastX), base);
                ASSERT_LE(abs(curveState.lastY), base);
            }
        }
    }
}

TEST(CurveTest, DegenerateAreas)
{
    // No width or height: base 0, D = -1, every point the centre.
    HWND window = InitialisedCurve(0, 300);
    HDC dc = GetDC(window);
    StartFigure(window, dc);
    EXPECT_EQ(1, curveState.penDistance);
    EXPECT_EQ(1, curveState.rollingRadius);
    EXPECT_EQ(0, curveState.fixedRadius);
    for (int i = 0; i < 50; i++) {
        curveState.t = curveState.t + curveState.tStep;
        EvaluatePoint();
        ASSERT_EQ(0, curveState.lastX);
        ASSERT_EQ(0, curveState.lastY);
    }
    ReleaseDC(window, dc);

    // Base 1: D = 0, every point (1, 0).
    window = InitialisedCurve(2, 2);
    dc = GetDC(window);
    StartFigure(window, dc);
    EXPECT_EQ(1, curveState.penDistance);
    EXPECT_EQ(1, curveState.rollingRadius);
    EXPECT_EQ(1, curveState.fixedRadius);
    for (int i = 0; i < 50; i++) {
        curveState.t = curveState.t + curveState.tStep;
        EvaluatePoint();
        ASSERT_EQ(1, curveState.lastX);
        ASSERT_EQ(0, curveState.lastY);
    }
    ReleaseDC(window, dc);

    // Bases 2, 3, 5 and 6 collapse to the point (base, 0) when the pen distance reaches the base.
    for (int base : {2, 3, 5, 6}) {
        window = InitialisedCurve(2 * base, 2 * base);
        int q = 2 * base / 3;
        randomGenerator.state = FindState([&](ReferenceDraws& d) {
            d.Next();
            d.Next();
            return d.Next() % (q + 1) + base / 5 + 1 == base;
        });
        dc = GetDC(window);
        StartFigure(window, dc);
        ReleaseDC(window, dc);
        EXPECT_EQ(curveState.fixedRadius, curveState.rollingRadius) << base;
        for (int i = 0; i < 100; i++) {
            curveState.t = curveState.t + curveState.tStep;
            EvaluatePoint();
            ASSERT_EQ(base, curveState.lastX);
            ASSERT_EQ(0, curveState.lastY);
        }
    }
}

// Sides beyond 65535 once wrapped the 16-bit base radius negative and divided
// by zero on the first tick; now they draw exactly what the clamped area draws.
class OversizedAreaTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(OversizedAreaTest, DrawsAsTheAreaClampedTo65535)
{
    auto [width, height] = GetParam();
    std::vector<CurveState> expected;
    HWND window = CreatedSaver(width < 65535 ? width : 65535, height < 65535 ? height : 65535, 4711);
    for (int tick = 0; tick < 2000; tick++) {
        ScreenSaverProc(window, WM_TIMER, 1, 0);
        expected.push_back(curveState);
    }
    window = CreatedSaver(width, height, 4711);
    for (const CurveState& want : expected) {
        ScreenSaverProc(window, WM_TIMER, 1, 0);
        ASSERT_EQ(0, memcmp(&want, &curveState, sizeof want)) << "tick " << &want - expected.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, OversizedAreaTest,
    ::testing::Values(std::make_pair(131068, 131068), std::make_pair(70000, 10)));
