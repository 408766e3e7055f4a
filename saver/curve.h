// The curve generator: random hypotrochoids that reach exactly out to the base
// radius, evaluated one point at a time.
#ifndef TARVELIMUNDE_SAVER_CURVE_H
#define TARVELIMUNDE_SAVER_CURVE_H

#include <stdint.h>

#include "platform.h"

struct CurveState {
    int16_t centreX, centreY;
    int16_t baseRadius;
    int16_t fixedRadius;
    int16_t rollingRadius;
    int16_t penDistance;
    float t;
    float tLimit;
    float tStep;
    int16_t lastX, lastY;
};

extern CurveState curveState;

// 3.1415 as a float, not pi: the length unit of a figure.
const float kHalfTurn = 3.1415f;
const float kFirstFigureOffset = 1.0f;
const float kCurveStep = 0.15f;
const double kPenDistanceDivisor = 1.5;
const int32_t kLargestSide = 65535;

void InitCurve(HWND window);
void StartFigure(HWND window, HDC dc);
void EvaluatePoint();

#endif
