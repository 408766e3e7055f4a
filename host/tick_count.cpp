// The system's millisecond tick count, as the close protocol reads it.
#include "close_protocol.h"

uint32_t
ReadTickCount()
{
    return GetTickCount();
}
