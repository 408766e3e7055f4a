// Sine and cosine after the classic fdlibm recipe: reduce the argument by pi/2
// in three parts (Cody and Waite), then evaluate minimax polynomials on
// [-pi/4, pi/4]. The reduction is exact for |x| up to 2^20 * pi/2, which covers
// every argument the curve can produce (at most about 1.45e6); beyond that it
// loses precision gradually, and past 2^50, where a double no longer holds a
// fraction of a turn, there is no meaningful answer and both give NaN.
#include "trig.h"

#include <stdint.h>

namespace {

const double kInvPio2 = 6.36619772367581382433e-01;
const double kPio2Part1 = 1.57079632673412561417e+00;
const double kPio2Part1Tail = 6.07710050650619224932e-11;
const double kPio2Part2 = 6.07710050630396597660e-11;
const double kPio2Part2Tail = 2.02226624879595063154e-21;
const double kPio2Part3 = 2.02226624871116645580e-21;
const double kPio2Part3Tail = 8.47842766036889956997e-32;
const double kPio4 = 7.85398163397448278999e-01;
const double kLargestReducible = 1125899906842624.0;

union DoubleBits {
    double value;
    uint64_t bits;
};

int
ExponentOf(double x)
{
    DoubleBits b;
    b.value = x;
    return (int)((b.bits >> 52) & 0x7FF);
}

// sin(x + tail) for |x| <= pi/4.
double
KernelSine(double x, double tail)
{
    const double s1 = -1.66666666666666324348e-01;
    const double s2 = 8.33333333332248946124e-03;
    const double s3 = -1.98412698298579493134e-04;
    const double s4 = 2.75573137070700676789e-06;
    const double s5 = -2.50507602534068634195e-08;
    const double s6 = 1.58969099521155010221e-10;
    double z = x * x;
    double v = z * x;
    double r = s2 + z * (s3 + z * (s4 + z * (s5 + z * s6)));
    return x - ((z * (0.5 * tail - v * r) - tail) - v * s1);
}

// cos(x + tail) for |x| <= pi/4.
double
KernelCosine(double x, double tail)
{
    const double c1 = 4.16666666666666019037e-02;
    const double c2 = -1.38888888888741095749e-03;
    const double c3 = 2.48015872894767294178e-05;
    const double c4 = -2.75573143513906633035e-07;
    const double c5 = 2.08757232129817482790e-09;
    const double c6 = -1.13596475577881948265e-11;
    double z = x * x;
    double w = z * z;
    double r = z * (c1 + z * (c2 + z * c3)) + w * w * (c4 + z * (c5 + z * c6));
    double hz = 0.5 * z;
    w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + (z * r - x * tail));
}

// x = n * pi/2 + (head + tail) with |head + tail| <= pi/4 (about); x >= 0.
int
ReduceByHalfPi(double x, double* head, double* tail)
{
    int64_t whole = (int64_t)(x * kInvPio2 + 0.5);
    double fn = (double)whole;
    int n = (int)(whole & 3);
    double r = x - fn * kPio2Part1;
    double w = fn * kPio2Part1Tail;
    int exponent = ExponentOf(x);
    *head = r - w;
    if (exponent - ExponentOf(*head) > 16) {
        // Heavy cancellation: take the next 33 bits of pi/2 as well.
        double t = r;
        w = fn * kPio2Part2;
        r = t - w;
        w = fn * kPio2Part2Tail - ((t - r) - w);
        *head = r - w;
        if (exponent - ExponentOf(*head) > 49) {
            t = r;
            w = fn * kPio2Part3;
            r = t - w;
            w = fn * kPio2Part3Tail - ((t - r) - w);
            *head = r - w;
        }
    }
    *tail = (r - *head) - w;
    return n;
}

}

double
SaverSine(double x)
{
    double magnitude = x < 0 ? -x : x;
    if (!(magnitude <= kLargestReducible))
        return (x - x) / (x - x);
    double sign = x < 0 ? -1.0 : 1.0;
    if (magnitude <= kPio4)
        return x < 1e-9 && x > -1e-9 ? x : KernelSine(x, 0.0);
    double head, tail;
    int n = ReduceByHalfPi(magnitude, &head, &tail);
    double value;
    switch (n & 3) {
    case 0: value = KernelSine(head, tail); break;
    case 1: value = KernelCosine(head, tail); break;
    case 2: value = -KernelSine(head, tail); break;
    default: value = -KernelCosine(head, tail); break;
    }
    return sign * value;
}

double
SaverCosine(double x)
{
    double magnitude = x < 0 ? -x : x;
    if (!(magnitude <= kLargestReducible))
        return (x - x) / (x - x);
    if (magnitude <= kPio4)
        return KernelCosine(magnitude, 0.0);
    double head, tail;
    int n = ReduceByHalfPi(magnitude, &head, &tail);
    switch (n & 3) {
    case 0: return KernelCosine(head, tail);
    case 1: return -KernelSine(head, tail);
    case 2: return -KernelCosine(head, tail);
    default: return KernelSine(head, tail);
    }
}
