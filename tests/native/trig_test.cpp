// Our sine and cosine against the C library's, over the arguments the curve uses.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "trig.h"

namespace {

// Distance in units in the last place, relative to the library's result.
double
UlpError(double ours, double library)
{
    if (ours == library)
        return 0;
    return fabs(ours - library) / (nextafter(fabs(library), INFINITY) - fabs(library));
}

double
WorstError(double from, double to, int samples)
{
    double worst = 0;
    uint32_t state = 12345;
    for (int i = 0; i < samples; i++) {
        state = state * 1664525u + 1013904223u;
        double x = from + (to - from) * (state / 4294967296.0);
        worst = fmax(worst, UlpError(SaverSine(x), sin(x)));
        worst = fmax(worst, UlpError(SaverCosine(x), cos(x)));
    }
    return worst;
}

}

TEST(TrigTest, ExactWhereTheFigureStarts)
{
    EXPECT_EQ(0.0, SaverSine(0.0));
    EXPECT_EQ(1.0, SaverCosine(0.0));
    EXPECT_EQ(1.0, SaverCosine(-0.0));
}

TEST(TrigTest, WithinOneUlpOfTheLibraryOverTheCurveRange)
{
    // t runs to about 44; a = D t / r reaches about 1.45e6.
    EXPECT_LE(WorstError(-1.0, 1.0, 200000), 1.0);
    EXPECT_LE(WorstError(0.0, 45.0, 200000), 1.0);
    EXPECT_LE(WorstError(-45.0, 0.0, 100000), 1.0);
    EXPECT_LE(WorstError(1e3, 1.5e6, 200000), 1.0);
}

TEST(TrigTest, HardCasesNearMultiplesOfHalfPi)
{
    // Arguments next to multiples of pi/2 cancel heavily in the reduction.
    for (int n = 1; n < 900000; n += 997) {
        double x = n * 1.5707963267948966;
        for (double probe : {x, nextafter(x, 0), nextafter(x, INFINITY)}) {
            EXPECT_NEAR(SaverSine(probe), sin(probe), 1e-15 + fabs(sin(probe)) * 4e-16) << probe;
            EXPECT_NEAR(SaverCosine(probe), cos(probe), 1e-15 + fabs(cos(probe)) * 4e-16) << probe;
        }
    }
}

TEST(TrigTest, NoAnswerForInfinityOrNaN)
{
    EXPECT_TRUE(isnan(SaverSine(INFINITY)));
    EXPECT_TRUE(isnan(SaverCosine(-INFINITY)));
    EXPECT_TRUE(isnan(SaverSine(NAN)));
    EXPECT_TRUE(isnan(SaverCosine(1e300)));
}
