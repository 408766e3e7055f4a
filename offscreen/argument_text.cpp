#include "argument_text.h"

#include <stdio.h>

bool
ParseNumber(const char* text, uint64_t max, int base, uint64_t* value)
{
    if (text == NULL || *text == '\0')
        return false;
    uint64_t v = 0;
    for (const char* p = text; *p; p++) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            return false;
        if (v > (max - (uint64_t)digit) / (uint64_t)base)
            return false;
        v = v * (uint64_t)base + (uint64_t)digit;
    }
    *value = v;
    return true;
}

std::string
Quoted(const std::string& text)
{
    std::string shown = "'";
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '\\' || c == '\'') {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        } else {
            shown += (char)c;
        }
    }
    return shown + "'";
}
