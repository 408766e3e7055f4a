// From the picture's ticks to a front end's frames, the same for every front
// end: what each tick changed and the tiles it drew in, the frames paced to
// the display, and the colours of the moment packed as the screen takes its
// pixels. A front end keeps only how an area reaches its screen and where
// its clock and refresh rate come from. Plain types only: the Flow build's
// real side, which sees the real Win32 types, uses it too.
#ifndef TARVELIMUNDE_OFFSCREEN_FRAME_FEED_H
#define TARVELIMUNDE_OFFSCREEN_FRAME_FEED_H

#include <stdint.h>

#include "drawn_tiles.h"
#include "frame_pace.h"
#include "framebuffer.h"

// What a 256-colour display answers; the front ends that show the flow say so.
const int kPictureSizePalette = 256;
const int kPictureNumReserved = 20;
// The picture draws with entries 1 to this one; the rest stay as created.
const int kPictureLastDrawnIndex = 255 - kPictureNumReserved;

// How a screen takes a colour in 32 bits: each channel scaled to its mask's
// width and shifted into it, and bits that every pixel has (an opaque alpha).
struct ColourPacking {
    uint32_t redMask, greenMask, blueMask, always;
};

// A DIB's colour table (RGBQUAD) and a canvas's ImageData (bytes red, green,
// blue, alpha, on a little-endian machine).
const ColourPacking kDibColours = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0};
const ColourPacking kCanvasColours = {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u};

struct FrameFeed {
    bool running;
    // A screen without a palette: every drawn pixel takes its colour again
    // each frame, so the drawn tiles are kept.
    bool recolour;
    DrawnTiles tiles;
    FrameArea changed;  // changed or to be shown again, not yet out
    bool erased;        // the frame was erased since the last one went out
    bool wanted;        // a tick or an exposure since then
    FramePace pace;
};

// What goes out: the frame, the area that changed since the last one, and
// whether it was erased meanwhile (when recolouring, the tiles show what was
// drawn since: FrameFeedNextRun).
struct FeedFrame {
    const Framebuffer* frame;
    FrameArea changed;
    bool erased;
};

// A fresh picture of this size, on a display that answers these
// capabilities; the whole frame is to be shown. False without the picture
// or, when recolouring, the tiles' memory.
bool FrameFeedStart(FrameFeed* feed, uint32_t clockSeconds, int width, int height, int sizePalette,
                    int numReserved, bool recolour);
void FrameFeedStop(FrameFeed* feed);
// One tick of the picture, noted; a frame is wanted after it, since every
// tick moves the colours.
void FrameFeedTick(FrameFeed* feed);
// Part of the screen to be shown again (an exposure).
void FrameFeedShowAgain(FrameFeed* feed, FrameArea area);

// Frames paced to a display of refreshHz by a clock of unitsPerSecond (see
// FramePaceStart). A front end whose platform paces its frames (the
// browser's frame callback) never asks.
void FrameFeedPace(FrameFeed* feed, int64_t unitsPerSecond, int refreshHz, int64_t now);
// Whether a frame is wanted and may go out now; the first moment it may.
bool FrameFeedDue(const FrameFeed* feed, int64_t now);
int64_t FrameFeedWhen(const FrameFeed* feed);
// The frame going out now; what it changed and its erase are then taken.
FeedFrame FrameFeedTake(FrameFeed* feed, int64_t now);
// The runs of tiles drawn in since the last erase (DrawnTilesNextRun); none
// unless recolouring.
bool FrameFeedNextRun(const FrameFeed* feed, FrameArea* run);
// A run's drawn pixels through a packed table into 32-bit pixels that hold
// table[0] wherever the frame is 0 (RecolourDrawn).
void FrameFeedRecolour(const FrameFeed* feed, FrameArea run, const uint32_t* table, uint32_t* target,
                       size_t stride);

// The picture's colours of the moment as the screen takes them; index 0,
// the background, black, as the exact builds fill it.
void FrameFeedColours(ColourPacking packing, uint32_t table[256]);

#endif
