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
    // From the calendar date, in 32-bit arithmetic: dividing a FILETIME would
    // pull a 64-bit division routine into the 32-bit build.
    SYSTEMTIME now;
    GetSystemTime(&now);
    uint32_t year = now.wYear - (now.wMonth <= 2 ? 1 : 0);
    uint32_t era = year / 400;
    uint32_t yearOfEra = year - era * 400;
    uint32_t month = now.wMonth;
    uint32_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + now.wDay - 1;
    uint32_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    uint32_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400u + now.wHour * 3600u + now.wMinute * 60u + now.wSecond;
}

int32_t
TruncateToInt32(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return (int32_t)0x80000000u;
    return (int32_t)value;
}
