// The indexed framebuffer and the 4-pixel pen that draws into it: what the
// stand-in draws with and what every front end shows. Palette indices only;
// colours are the front end's business.
#ifndef TARVELIMUNDE_OFFSCREEN_FRAMEBUFFER_H
#define TARVELIMUNDE_OFFSCREEN_FRAMEBUFFER_H

#include <stddef.h>
#include <stdint.h>

// Left, top, right, bottom; right and bottom exclusive; empty when right <= left.
struct FrameArea {
    int32_t left, top, right, bottom;
};

// A line as drawn: from x0, y0 to x1, y1.
struct FrameLine {
    int32_t x0, y0, x1, y1;
};

// Lines kept for a cheap erase: more than a figure of the saver has.
const int kKeptLines = 1024;

struct Framebuffer {
    int width, height;
    uint8_t* pixels;              // palette indices, row by row; from FrameMemoryAllocate
    FrameArea changed;            // drawn or filled since a front end last took it
    FrameArea drawn;              // drawn on since the whole frame was last filled
    uint32_t fills;               // fills of the whole frame so far
    // Every line drawn since the frame was last all 0, while that is known and
    // they are few: drawing them again in 0 erases a large frame for a
    // fraction of clearing it all. keptLines is -1 when unknown.
    FrameLine lines[kKeptLines];
    int keptLines;
    uint64_t keptSteps;           // pen positions along them
};

// Resized and all 0; the whole frame counts as changed. Without the memory
// it is left 0 x 0 and answers false.
bool FramebufferResize(Framebuffer* frame, int width, int height);
// The memory given back; the frame is 0 x 0.
void FramebufferRelease(Framebuffer* frame);
void FramebufferFill(Framebuffer* frame, FrameArea area, uint8_t index);
// A line in the round 4-pixel pen; answers the area it touched, clipped.
FrameArea FramebufferLine(Framebuffer* frame, int x0, int y0, int x1, int y1, uint8_t index);
// The changed area, emptied by the look.
FrameArea FramebufferTakeChanged(Framebuffer* frame);

bool AreaIsEmpty(FrameArea area);
// The area grown to cover another, both clipped to width x height.
void WidenArea(FrameArea* area, FrameArea other, int width, int height);

#endif
