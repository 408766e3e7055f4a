// The close protocol's tick source in the tests.
#include "tick_double.h"

#include "close_protocol.h"

TestTicks testTicks;

uint32_t
ReadTickCount()
{
    ++testTicks.reads;
    if (testTicks.frozen)
        return testTicks.value;
    return GetTickCount() + testTicks.offset;
}
