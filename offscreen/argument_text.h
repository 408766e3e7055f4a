// Text from outside, as the module and the replay tool read and show it:
// numbers read strictly, and arguments quoted for one-line messages.
#ifndef TARVELIMUNDE_OFFSCREEN_ARGUMENT_TEXT_H
#define TARVELIMUNDE_OFFSCREEN_ARGUMENT_TEXT_H

#include <stdint.h>

#include <string>

// Digits of base 10 or 16 alone, no sign or blank, at most max: false for
// anything else, NULL and the empty text included.
bool ParseNumber(const char* text, uint64_t max, int base, uint64_t* value);

// Quoted, with control and non-ASCII bytes, the backslash and the quote escaped.
std::string Quoted(const std::string& text);

#endif
