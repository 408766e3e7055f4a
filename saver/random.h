// The process's one pseudo-random generator and the numeric conventions every
// part of the picture follows.
#ifndef TARVELIMUNDE_SAVER_RANDOM_H
#define TARVELIMUNDE_SAVER_RANDOM_H

#include <stdint.h>

struct RandomGenerator {
    uint32_t state;
};

extern RandomGenerator randomGenerator;

void SeedRandom(uint32_t seed);
// 0 to 32767: bits 16 to 30 of the state after one step.
int DrawRandom();
// The current time in whole seconds since 1970 (UTC), from the system clock.
uint32_t CurrentTimeSeconds();

// Real to integer truncates toward zero. Outside the 32-bit range (or NaN) the
// result is 0x80000000, as the x86 conversion instructions give it.
int32_t TruncateToInt32(double value);
// Stores into narrow fields keep the low bits.
inline int16_t
StoreInt16(int32_t value)
{
    return (int16_t)(uint16_t)(uint32_t)value;
}
inline uint8_t
StoreByte(int32_t value)
{
    return (uint8_t)(uint32_t)value;
}

#endif
