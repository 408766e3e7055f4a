// Fuzzes the command-line scan and ParseDecimal against the switch table
// written out again: every tail ends in one defined mode, the handle text
// starts where the table says, and the number wraps modulo 2^32.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "command_line.h"

namespace {

SaverMode
ExpectedMode(const std::string& tail, size_t* at)
{
    size_t i = 0;
    while (i < tail.size() && (tail[i] == ' ' || tail[i] == '-' || tail[i] == '/'))
        i++;
    *at = i;
    if (i == tail.size())
        return kSetupMode;
    switch (tail[i]) {
    case 'a': case 'A': return kChangePasswordMode;
    case 'c': case 'C': return kOwnedSetupMode;
    case 'p': case 'P': case 'l': case 'L': return kPreviewMode;
    case 's': case 'S': return kFullScreenMode;
    }
    return kUnknownMode;
}

uint32_t
ExpectedNumber(const char* text)
{
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        value = (uint32_t)(((uint64_t)value * 10 + (uint64_t)(*text - '0')) & 0xFFFFFFFFu);
    return value;
}

}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The tail ends at its first NUL, as the process start-up hands it over.
    std::string tail((const char*)data, size);
    tail = tail.c_str();
    size_t at = 0;
    SaverMode expected = ExpectedMode(tail, &at);
    SwitchChoice choice = ScanSwitch(tail.c_str());
    if (choice.mode != expected)
        abort();
    if (expected == kPreviewMode || expected == kChangePasswordMode) {
        size_t handle = at + 1;
        while (handle < tail.size() && tail[handle] == ' ')
            handle++;
        if (choice.argument != tail.c_str() + handle)
            abort();
        if (ParseDecimal(choice.argument) != ExpectedNumber(tail.c_str() + handle))
            abort();
    }
    if (ParseDecimal(tail.c_str()) != ExpectedNumber(tail.c_str()))
        abort();
    return 0;
}
