// Bytes are compared as they stand: a tab is not a blank, and bytes above
// 0x7F are never letters.
#include "command_line.h"

namespace {

const char kBlank = ' ';

const char*
SkipBlanks(const char* text)
{
    while (*text == kBlank)
        ++text;
    return text;
}

}

SwitchChoice
ScanSwitch(const char* tail)
{
    const char* at = tail;
    while (*at == kBlank || *at == '-' || *at == '/')
        ++at;
    SwitchChoice choice;
    choice.argument = at;
    switch (*at) {
    case '\0':
        choice.mode = kSetupMode;
        break;
    case 'c':
    case 'C':
        choice.mode = kOwnedSetupMode;
        break;
    case 'a':
    case 'A':
        choice.mode = kChangePasswordMode;
        choice.argument = SkipBlanks(at + 1);
        break;
    case 'p':
    case 'P':
    case 'l':
    case 'L':
        choice.mode = kPreviewMode;
        choice.argument = SkipBlanks(at + 1);
        break;
    case 's':
    case 'S':
        choice.mode = kFullScreenMode;
        break;
    default:
        choice.mode = kUnknownMode;
        break;
    }
    return choice;
}

uint32_t
ParseDecimal(const char* text)
{
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + (uint32_t)(*text - '0');
    return value;
}
