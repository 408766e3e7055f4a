// The indexed framebuffer and the 4-pixel pen that draws into it: what the
// stand-in draws with and what every front end shows. Palette indices only;
// colours are the front end's business.
#ifndef TARVELIMUNDE_OFFSCREEN_FRAMEBUFFER_H
#define TARVELIMUNDE_OFFSCREEN_FRAMEBUFFER_H

#include <stdint.h>

#include <vector>

// Left, top, right, bottom; right and bottom exclusive; empty when right <= left.
struct FrameArea {
    int32_t left, top, right, bottom;
};

struct Framebuffer {
    int width, height;
    std::vector<uint8_t> pixels;  // palette indices, row by row
    FrameArea changed;            // drawn or filled since a front end last took it
    FrameArea drawn;              // drawn on since the whole frame was last filled
    uint32_t fills;               // fills of the whole frame so far
};

// Resized and all 0; the whole frame counts as changed.
void FramebufferResize(Framebuffer* frame, int width, int height);
void FramebufferFill(Framebuffer* frame, FrameArea area, uint8_t index);
// A line in the round 4-pixel pen; answers the area it touched, clipped.
FrameArea FramebufferLine(Framebuffer* frame, int x0, int y0, int x1, int y1, uint8_t index);
// The changed area, emptied by the look.
FrameArea FramebufferTakeChanged(Framebuffer* frame);

bool AreaIsEmpty(FrameArea area);
// The area grown to cover another, both clipped to width x height.
void WidenArea(FrameArea* area, FrameArea other, int width, int height);

#endif
