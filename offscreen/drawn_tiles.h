// Which tiles of a frame hold pixels drawn since its last erase. Every frame
// moves every palette entry, so on a display without a palette every drawn
// pixel must take its colour again each frame: a front end sends or
// recolours these tiles, not the figure's bounding box.
#ifndef TARVELIMUNDE_OFFSCREEN_DRAWN_TILES_H
#define TARVELIMUNDE_OFFSCREEN_DRAWN_TILES_H

#include <stddef.h>
#include <stdint.h>

#include "framebuffer.h"

// A tile's side in pixels: a few pen widths, and rows long enough to send.
const int kDrawnTile = 32;
// A tile's blocks, kDrawnBlock pixels a side: a figure's line crosses few of
// them, and only those are recoloured.
const int kDrawnBlock = 8;
const int kBlocksAcross = kDrawnTile / kDrawnBlock;

struct DrawnTiles {
    int width, height;  // the frame's
    int columns, rows;
    // One a tile, row by row: a bit for each of its blocks that holds drawn
    // pixels, row by row from bit 0; from FrameMemoryAllocate.
    uint16_t* marks;
    uint32_t fills;     // the frame's fills at the last note
};

// For a fresh frame: its size, nothing marked. Without the memory it has
// no tiles, marks nothing and answers false.
bool DrawnTilesStart(DrawnTiles* tiles, const Framebuffer* frame);
void DrawnTilesRelease(DrawnTiles* tiles);
// After each tick, with the area it changed (FramebufferTakeChanged): the
// tiles it drew in are marked; after an erase only what was drawn since is.
// Nothing for a frame of another size. Answers whether the frame was erased.
bool DrawnTilesNote(DrawnTiles* tiles, const Framebuffer* frame, FrameArea changed);
// The marked tiles in runs along each row of tiles, top to bottom, left to
// right, as areas clipped to the frame: the run after *run, or the first one
// for an empty *run. False when there is none.
bool DrawnTilesNextRun(const DrawnTiles* tiles, FrameArea* run);

// An area's palette indices through a table into 32-bit pixels: target is
// the pixel at 0, 0 of rows of stride pixels. With skipZero, runs of eight
// pixels at 0 are passed over, for a target that holds table[0] there
// already (drawn pixels go back to 0 only by an erase, which changes them).
void RecolourArea(const Framebuffer* frame, FrameArea area, const uint32_t* table, uint32_t* target,
                  size_t stride, bool skipZero);
// The same for the drawn blocks of a run's tiles alone, into a target that
// holds table[0] wherever the frame is 0.
void RecolourDrawn(const DrawnTiles* tiles, const Framebuffer* frame, FrameArea run, const uint32_t* table,
                   uint32_t* target, size_t stride);

#endif
