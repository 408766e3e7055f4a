// Doubles rounded to 53 bits on the x87, as under the Microsoft runtime, so
// that the picture's arithmetic is the same on x87 as on SSE. Nothing on
// other processors.
#ifndef TARVELIMUNDE_HOST_X87_PRECISION_H
#define TARVELIMUNDE_HOST_X87_PRECISION_H

inline __attribute__((always_inline)) void
RoundDoublesTo53Bits()
{
#if defined(__i386__)
    unsigned short controlWord = 0x27F;
    __asm__ __volatile__("fldcw %0" : : "m"(controlWord));
#endif
}

#endif
