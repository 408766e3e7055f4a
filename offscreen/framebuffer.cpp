// The pen is a round dot stamped along a Bresenham line, an approximation of
// GDI's 4-pixel solid pen that the replay images, the page and the X11
// module all share.
#include "framebuffer.h"

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
// without its corners.
void
StampDot(Framebuffer* frame, int x, int y, uint8_t index)
{
    for (int dy = -kPenBefore; dy <= kPenAfter; dy++)
        for (int dx = -kPenBefore; dx <= kPenAfter; dx++)
            if (!((dx == -kPenBefore || dx == kPenAfter) && (dy == -kPenBefore || dy == kPenAfter)))
                Plot(frame, x + dx, y + dy, index);
}

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

void
FramebufferResize(Framebuffer* frame, int width, int height)
{
    frame->width = width;
    frame->height = height;
    frame->pixels.assign((size_t)width * (size_t)height, 0);
    frame->changed = FrameArea{0, 0, width, height};
    frame->drawn = FrameArea();
}

void
FramebufferFill(Framebuffer* frame, FrameArea area, uint8_t index)
{
    FrameArea clipped = FrameArea();
    WidenArea(&clipped, area, frame->width, frame->height);
    if (AreaIsEmpty(clipped))
        return;
    for (int y = clipped.top; y < clipped.bottom; y++)
        memset(&frame->pixels[(size_t)y * (size_t)frame->width + (size_t)clipped.left], index,
               (size_t)(clipped.right - clipped.left));
    WidenArea(&frame->changed, clipped, frame->width, frame->height);
    if (clipped.left == 0 && clipped.top == 0 && clipped.right == frame->width && clipped.bottom == frame->height) {
        frame->drawn = FrameArea();
        frame->fills++;
    }
}

FrameArea
FramebufferLine(Framebuffer* frame, int x0, int y0, int x1, int y1, uint8_t index)
{
    long long x = x0, y = y0;
    long long dx = x1 > x0 ? (long long)x1 - x0 : (long long)x0 - x1;
    long long dy = y1 > y0 ? (long long)y1 - y0 : (long long)y0 - y1;
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long error = dx - dy;
    for (;;) {
        StampDot(frame, (int)x, (int)y, index);
        if (x == x1 && y == y1)
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
