// The framebuffer's memory from the process heap: this build has no C
// runtime to take it from.
#include "frame_memory.h"
#include "platform.h"

void*
FrameMemoryAllocate(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void
FrameMemoryFree(void* memory)
{
    if (memory != NULL)
        HeapFree(GetProcessHeap(), 0, memory);
}
