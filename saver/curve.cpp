// Radii are drawn so that (R - r) + d is always the base radius: every figure
// starts at (baseRadius, 0) and never leaves the square around that circle.
#include "curve.h"

#include "animated_palette.h"
#include "colour_walk.h"
#include "random.h"
#include "trig.h"

CurveState curveState;

namespace {

int32_t
ClampSide(int32_t side)
{
    return side > kLargestSide ? kLargestSide : side;
}

}

void
InitCurve(HWND window)
{
    CurveState& c = curveState;
    RECT client;
    GetClientRect(window, &client);
    // The radii are 16-bit: a larger side (a preview parent that large on NT)
    // would wrap the base radius negative and leave a divisor of 0. Every
    // area up to the limit draws as it always did.
    int32_t width = ClampSide(client.right - client.left);
    int32_t height = ClampSide(client.bottom - client.top);
    c.baseRadius = StoreInt16((height < width ? height : width) / 2);
    c.centreX = StoreInt16(width / 2);
    c.centreY = StoreInt16(height / 2);
    int32_t k = DrawRandom() % 5 + 10;
    c.tLimit = (float)k * kHalfTurn;
    c.t = c.tLimit + kFirstFigureOffset;
    c.tStep = kCurveStep;
}

void
StartFigure(HWND window, HDC dc)
{
    CurveState& c = curveState;
    paletteAnimator.rotateUp = DrawRandom() % 200 > 100 ? 1 : 0;
    int32_t k = DrawRandom() % 10 + 5;
    c.tLimit = (float)k * kHalfTurn;
    c.t = 0.0f;

    int32_t base = c.baseRadius;
    int32_t q = TruncateToInt32((double)base / kPenDistanceDivisor);
    c.penDistance = StoreInt16(DrawRandom() % (q + 1) + base / 5 + 1);
    c.rollingRadius = StoreInt16(DrawRandom() % c.penDistance + 1);
    c.fixedRadius = StoreInt16(base - c.penDistance + c.rollingRadius);

    colourWalk.scheme = (colourWalk.scheme + 1) % 4;

    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EvaluatePoint();
}

void
EvaluatePoint()
{
    CurveState& c = curveState;
    int32_t d = c.fixedRadius - c.rollingRadius;
    int32_t r = c.rollingRadius;
    double t = c.t;
    double a = (double)d * t / (double)r;
    double x = (double)d * SaverCosine(t) + (double)c.penDistance * SaverCosine(a);
    double y = (double)d * SaverSine(t) - (double)c.penDistance * SaverSine(a);
    c.lastX = StoreInt16(TruncateToInt32(x));
    c.lastY = StoreInt16(TruncateToInt32(y));
}
