// Memory for the framebuffer and what front ends keep beside it. A build
// without the C runtime defines these itself, so they have a file of their
// own (frame_memory.cpp) and C names.
#ifndef TARVELIMUNDE_OFFSCREEN_FRAME_MEMORY_H
#define TARVELIMUNDE_OFFSCREEN_FRAME_MEMORY_H

#include <stddef.h>

// A zeroed block, or NULL when there is none that large.
extern "C" void* FrameMemoryAllocate(size_t bytes);
// NULL is allowed.
extern "C" void FrameMemoryFree(void* block);

#endif
