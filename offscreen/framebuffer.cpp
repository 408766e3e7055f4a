// The pen is a round dot stamped along a Bresenham line, an approximation of
// GDI's 4-pixel solid pen that the replay images, the page and the X11
// module all share.
#include "framebuffer.h"

#include "frame_memory.h"

#include <stddef.h>
#include <string.h>

namespace {

// The dot reaches 2 pixels left of and above a point, 1 right of and below it.
const int kPenBefore = 2;
const int kPenAfter = 1;

void
Plot(Framebuffer* frame, int x, int y, uint8_t index)
{
    if (x >= 0 && y >= 0 && x < frame->width && y < frame->height)
        frame->pixels[(size_t)y * (size_t)frame->width + (size_t)x] = index;
}

// Centred between pixels, as a wide solid pen leaves it: the 4 x 4 square
// without its corners. Inside the frame the rows are written straight.
void
StampDot(Framebuffer* frame, int x, int y, uint8_t index)
{
    if (x >= kPenBefore && y >= kPenBefore && x + kPenAfter < frame->width && y + kPenAfter < frame->height) {
        ptrdiff_t row = frame->width;
        uint8_t* at = &frame->pixels[(size_t)y * (size_t)row + (size_t)x];
        at[-2 * row - 1] = at[-2 * row] = index;
        at[-row - 2] = at[-row - 1] = at[-row] = at[-row + 1] = index;
        at[-2] = at[-1] = at[0] = at[1] = index;
        at[row - 1] = at[row] = index;
        return;
    }
    for (int dy = -kPenBefore; dy <= kPenAfter; dy++)
        for (int dx = -kPenBefore; dx <= kPenAfter; dx++)
            if (!((dx == -kPenBefore || dx == kPenAfter) && (dy == -kPenBefore || dy == kPenAfter)))
                Plot(frame, x + dx, y + dy, index);
}

// The dot stamped along a Bresenham line; answers the pen positions.
uint64_t
Stroke(Framebuffer* frame, FrameLine line, uint8_t index)
{
    long long x = line.x0, y = line.y0;
    long long dx = line.x1 > line.x0 ? (long long)line.x1 - line.x0 : (long long)line.x0 - line.x1;
    long long dy = line.y1 > line.y0 ? (long long)line.y1 - line.y0 : (long long)line.y0 - line.y1;
    int sx = line.x0 < line.x1 ? 1 : -1, sy = line.y0 < line.y1 ? 1 : -1;
    long long error = dx - dy;
    for (;;) {
        StampDot(frame, (int)x, (int)y, index);
        if (x == line.x1 && y == line.y1)
            break;
        long long twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x += sx;
        }
        if (twice < dx) {
            error += dx;
            y += sy;
        }
    }
    return (uint64_t)(dx > dy ? dx : dy) + 1;
}

// What a pen position costs to draw again, in bytes of a plain clear.
const uint64_t kBytesPerStep = 64;

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

}

bool
AreaIsEmpty(FrameArea area)
{
    return area.right <= area.left || area.bottom <= area.top;
}

void
WidenArea(FrameArea* area, FrameArea other, int width, int height)
{
    other.left = Max(other.left, 0);
    other.top = Max(other.top, 0);
    other.right = Min(other.right, width);
    other.bottom = Min(other.bottom, height);
    if (AreaIsEmpty(other))
        return;
    if (AreaIsEmpty(*area)) {
        *area = other;
        return;
    }
    area->left = Min(area->left, other.left);
    area->top = Min(area->top, other.top);
    area->right = Max(area->right, other.right);
    area->bottom = Max(area->bottom, other.bottom);
}

bool
FramebufferResize(Framebuffer* frame, int width, int height)
{
    size_t bytes = width > 0 && height > 0 ? (size_t)width * (size_t)height : 0;
    bool kept = frame->pixels != NULL && (size_t)frame->width * (size_t)frame->height == bytes;
    if (kept) {
        memset(frame->pixels, 0, bytes);
    } else {
        FrameMemoryFree(frame->pixels);
        frame->pixels = bytes != 0 ? (uint8_t*)FrameMemoryAllocate(bytes) : NULL;
    }
    bool resized = bytes == 0 || frame->pixels != NULL;
    if (!resized)
        width = height = 0;
    frame->width = width;
    frame->height = height;
    frame->changed = FrameArea{0, 0, width, height};
    frame->drawn = FrameArea();
    frame->keptLines = 0;
    frame->keptSteps = 0;
    return resized;
}

void
FramebufferRelease(Framebuffer* frame)
{
    FrameMemoryFree(frame->pixels);
    frame->pixels = NULL;
    FramebufferResize(frame, 0, 0);
}

void
FramebufferFill(Framebuffer* frame, FrameArea area, uint8_t index)
{
    FrameArea clipped = FrameArea();
    WidenArea(&clipped, area, frame->width, frame->height);
    if (AreaIsEmpty(clipped))
        return;
    bool whole = clipped.left == 0 && clipped.top == 0 && clipped.right == frame->width &&
                 clipped.bottom == frame->height;
    uint64_t frameBytes = (uint64_t)frame->width * (uint64_t)frame->height;
    if (whole && index == 0 && frame->keptLines >= 0 && frame->keptSteps * kBytesPerStep < frameBytes) {
        for (int i = 0; i < frame->keptLines; i++)
            Stroke(frame, frame->lines[i], 0);
    } else {
        for (int y = clipped.top; y < clipped.bottom; y++)
            memset(&frame->pixels[(size_t)y * (size_t)frame->width + (size_t)clipped.left], index,
                   (size_t)(clipped.right - clipped.left));
    }
    WidenArea(&frame->changed, clipped, frame->width, frame->height);
    if (whole) {
        frame->drawn = FrameArea();
        frame->fills++;
        frame->keptLines = index == 0 ? 0 : -1;
        frame->keptSteps = 0;
    } else if (index != 0) {
        frame->keptLines = -1;
    }
}

FrameArea
FramebufferLine(Framebuffer* frame, int x0, int y0, int x1, int y1, uint8_t index)
{
    FrameLine line = {x0, y0, x1, y1};
    uint64_t steps = Stroke(frame, line, index);
    if (frame->keptLines >= 0 && frame->keptLines < kKeptLines) {
        frame->lines[frame->keptLines++] = line;
        frame->keptSteps += steps;
    } else {
        frame->keptLines = -1;
    }
    FrameArea touched = FrameArea();
    WidenArea(&touched,
              FrameArea{Min(x0, x1) - kPenBefore, Min(y0, y1) - kPenBefore,
                        Max(x0, x1) + kPenAfter + 1, Max(y0, y1) + kPenAfter + 1},
              frame->width, frame->height);
    WidenArea(&frame->changed, touched, frame->width, frame->height);
    WidenArea(&frame->drawn, touched, frame->width, frame->height);
    return touched;
}

FrameArea
FramebufferTakeChanged(Framebuffer* frame)
{
    FrameArea taken = frame->changed;
    frame->changed = FrameArea();
    return taken;
}
