// The stand-in's clock, and the calendar that turns it into GetSystemTime's
// answer. Worked out here rather than by gmtime, whose range differs between
// C libraries (32-bit MinGW's time_t has 32 bits and ends in 2038).
#include "offscreen.h"

namespace {

uint32_t clockSeconds;

}

void OffscreenSetClock(uint32_t secondsSince1970) { clockSeconds = secondsSince1970; }

void
GetSystemTime(SYSTEMTIME* now)
{
    uint64_t seconds = clockSeconds;
    int64_t days = (int64_t)(seconds / 86400);
    uint32_t inDay = (uint32_t)(seconds % 86400);
    int64_t shifted = days + 719468;  // days since 0000-03-01
    int64_t era = shifted / 146097;
    int64_t dayOfEra = shifted - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    now->wYear = (WORD)(yearOfEra + era * 400 + (month <= 2));
    now->wMonth = (WORD)month;
    now->wDayOfWeek = (WORD)((days + 4) % 7);  // 1970-01-01 was a Thursday
    now->wDay = (WORD)(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    now->wHour = (WORD)(inDay / 3600);
    now->wMinute = (WORD)(inDay / 60 % 60);
    now->wSecond = (WORD)(inDay % 60);
    now->wMilliseconds = 0;
}
