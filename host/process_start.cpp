// The process's entry point: no C runtime, so the command-line tail is cut
// here the way the runtime cuts it for WinMain, and the exit code goes
// straight to ExitProcess.
#include "startup.h"
#include "x87_precision.h"

namespace {

const char*
CommandLineTail(const char* line)
{
    const unsigned char* at = (const unsigned char*)line;
    if (*at == '"') {
        // A quoted program name ends at the closing quote, blanks and all.
        ++at;
        while (*at != '\0' && *at != '"')
            ++at;
        if (*at == '"')
            ++at;
    } else {
        while (*at > ' ')
            ++at;
    }
    while (*at != '\0' && *at <= ' ')
        ++at;
    return (const char*)at;
}

}

extern "C" void __attribute__((noreturn))
ProcessStart()
{
    RoundDoublesTo53Bits();
    HINSTANCE instance = GetModuleHandleA(NULL);
    const char* tail = CommandLineTail(GetCommandLineA());
    ExitProcess((UINT)SaverMain(instance, NULL, tail, SW_SHOWDEFAULT));
}
