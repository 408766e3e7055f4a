// One message at a time: nothing is remembered of what was drawn, so WM_PAINT
// is not ours and an erased area stays black until new segments cross it.
#include "animation_driver.h"

#include "animated_palette.h"
#include "colour_walk.h"
#include "curve.h"
#include "random.h"

AnimationDriver animationDriver;

namespace {

// -1 when the palette cannot be built; the message is then not passed on.
BOOL
OnCreate(HWND window)
{
    SeedRandom(CurrentTimeSeconds());
    InitCurve(window);
    StartColourWalk();
    if (!CreateAnimatedPalette(window))
        return FALSE;
    animationDriver.timerId = (uint16_t)SetTimer(window, kAnimationTimer, kTimerPeriod, NULL);
    return TRUE;
}

void
OnTimer(HWND window)
{
    CurveState& c = curveState;
    HDC dc = GetDC(window);
    if (c.t > c.tLimit)
        StartFigure(window, dc);
    HPALETTE previousPalette = SelectPalette(dc, paletteAnimator.palette, FALSE);
    RealizePalette(dc);
    HPEN pen = CreatePen(PS_SOLID, kPenWidth, PALETTEINDEX((WORD)paletteAnimator.drawIndex));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    MoveToEx(dc, c.centreX + c.lastX, c.centreY + c.lastY, NULL);
    c.t = c.t + c.tStep;
    EvaluatePoint();
    LineTo(dc, c.centreX + c.lastX, c.centreY + c.lastY);
    SelectObject(dc, previousPen);
    AdvanceDrawIndex();
    AdvanceColourWalk(kTickSegmentModulus, kTickSegmentBase);
    RotatePalette(dc);
    SelectPalette(dc, previousPalette, FALSE);
    DeleteObject(pen);
    ReleaseDC(window, dc);
}

void
OnEraseBackground(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void
OnDestroy(HWND window)
{
    if (paletteAnimator.palette != NULL)
        DeleteObject(paletteAnimator.palette);
    if (animationDriver.timerId != 0)
        KillTimer(window, kAnimationTimer);
}

}

extern "C" LRESULT CALLBACK
ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (!OnCreate(window))
            return -1;
        break;
    case WM_TIMER:
        OnTimer(window);
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(window, (HDC)wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    }
    return SaverDefaultProc(window, message, wParam, lParam);
}
