// A tick count for the tests: the system's, moved by an offset, or frozen.
#ifndef TARVELIMUNDE_TESTS_TICK_DOUBLE_H
#define TARVELIMUNDE_TESTS_TICK_DOUBLE_H

#include <stdint.h>

struct TestTicks {
    int frozen;
    uint32_t value;
    uint32_t offset;
    int reads;
};

extern TestTicks testTicks;

#endif
