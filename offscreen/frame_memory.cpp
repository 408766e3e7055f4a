// Frame memory from the C runtime, where there is one.
#include "frame_memory.h"

#include <stdlib.h>

void*
FrameMemoryAllocate(size_t bytes)
{
    return calloc(bytes != 0 ? bytes : 1, 1);
}

void
FrameMemoryFree(void* block)
{
    free(block);
}
