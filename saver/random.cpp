// The shared generator: a linear congruential one, state * 214013 + 2531011
// modulo 2^32, drawing bits 16 to 30.
#include "random.h"
#include "platform.h"

RandomGenerator randomGenerator;

void
SeedRandom(uint32_t seed)
{
    randomGenerator.state = seed;
}

int
DrawRandom()
{
    randomGenerator.state = randomGenerator.state * 214013u + 2531011u;
    return (int)((randomGenerator.state >> 16) & 0x7FFF);
}

uint32_t
CurrentTimeSeconds()
{
    // FILETIME counts 100 ns intervals since 1601; 1970 is 11644473600 s later.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = ((uint64_t)now.dwHighDateTime << 32) | now.dwLowDateTime;
    uint64_t seconds = ticks / 10000000u;
    return (uint32_t)(seconds - 11644473600ull);
}

int32_t
TruncateToInt32(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return (int32_t)0x80000000u;
    return (int32_t)value;
}
