// Buffers in anonymous shared memory: fresh memory is zero, which is black.
#include <sys/mman.h>
#include <unistd.h>

#include "wayland_client.h"

namespace {

void
Released(void* data, wl_buffer*)
{
    ((WaylandBuffer*)data)->busy = false;
}

const wl_buffer_listener kBufferListener = {Released};

}

bool
MakeBuffer(WaylandBuffer* buffer, int width, int height)
{
    *buffer = WaylandBuffer();
    size_t stride = (size_t)width * 4;
    size_t bytes = stride * (size_t)height;
    if (width <= 0 || height <= 0 || bytes > INT32_MAX)
        return false;
    int fd = memfd_create("tarvelimunde", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    void* pixels = MAP_FAILED;
    if (ftruncate(fd, (off_t)bytes) == 0)
        pixels = mmap(NULL, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(wayland.shm, fd, (int32_t)bytes);
    buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, (int32_t)stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer);
    buffer->pixels = (uint32_t*)pixels;
    buffer->bytes = bytes;
    buffer->width = width;
    buffer->height = height;
    buffer->stale = true;
    return true;
}

void
DropBuffer(WaylandBuffer* buffer)
{
    if (buffer->buffer != NULL)
        wl_buffer_destroy(buffer->buffer);
    if (buffer->pixels != NULL)
        munmap(buffer->pixels, buffer->bytes);
    *buffer = WaylandBuffer();
}

// One the compositor does not hold, of this size; NULL while both are held
// or without the memory.
WaylandBuffer*
FreeBuffer(WaylandSurface* surface, int width, int height)
{
    for (WaylandBuffer& b : surface->buffers) {
        if (b.busy)
            continue;
        if (b.buffer != NULL && b.width == width && b.height == height)
            return &b;
        DropBuffer(&b);
        return MakeBuffer(&b, width, height) ? &b : NULL;
    }
    return NULL;
}
