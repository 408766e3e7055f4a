// Double-precision sine and cosine of our own, so that the shipped saver needs no
// C runtime and the native replay computes exactly the same points.
#ifndef TARVELIMUNDE_SAVER_TRIG_H
#define TARVELIMUNDE_SAVER_TRIG_H

double SaverSine(double x);
double SaverCosine(double x);

#endif
