// The cost of one tick natively: the picture's own logic, and the same tick
// with the offscreen stand-in drawing pixels.
#include <benchmark/benchmark.h>

#include "animated_palette.h"
#include "animation_driver.h"
#include "colour_walk.h"
#include "curve.h"
#include "offscreen.h"

namespace {

HWND
CreatedWindow(bool keepPixels)
{
    OffscreenReset();
    OffscreenSetClock(12345);
    HWND window = OffscreenCreateWindow(640, 480, keepPixels);
    ScreenSaverProc(window, WM_CREATE, 0, 0);
    return window;
}

// The logic alone: next point, draw index, colour walk and palette shift.
void
TickLogic(benchmark::State& state)
{
    HWND window = CreatedWindow(false);
    HDC dc = GetDC(window);
    for (auto _ : state) {
        if (curveState.t > curveState.tLimit)
            StartFigure(window, dc);
        curveState.t = curveState.t + curveState.tStep;
        EvaluatePoint();
        AdvanceDrawIndex();
        AdvanceColourWalk(kTickSegmentModulus, kTickSegmentBase);
        RotatePalette(dc);
        benchmark::DoNotOptimize(curveState.lastX);
    }
    ReleaseDC(window, dc);
}
BENCHMARK(TickLogic);

void
TickWithDrawing(benchmark::State& state)
{
    HWND window = CreatedWindow(true);
    for (auto _ : state)
        ScreenSaverProc(window, WM_TIMER, kAnimationTimer, 0);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
}
BENCHMARK(TickWithDrawing);

void
Creation(benchmark::State& state)
{
    OffscreenReset();
    HWND window = OffscreenCreateWindow(640, 480, false);
    for (auto _ : state) {
        ScreenSaverProc(window, WM_CREATE, 0, 0);
        ScreenSaverProc(window, WM_DESTROY, 0, 0);
    }
}
BENCHMARK(Creation);

}

BENCHMARK_MAIN();
