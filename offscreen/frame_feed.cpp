#include "frame_feed.h"

#include "picture.h"

namespace {

uint32_t
Channel(uint8_t value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = __builtin_ctz(mask);
    uint32_t top = mask >> shift;
    return (uint32_t)((value * (uint64_t)top + 127) / 255) << shift;
}

}

bool
FrameFeedStart(FrameFeed* feed, uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved,
               bool recolour)
{
    FramePace pace = feed->pace;
    FrameFeedStop(feed);
    *feed = FrameFeed();
    feed->pace = pace;
    feed->recolour = recolour;
    if (!StartPicture(clockSeconds, width, height, sizePalette, numReserved))
        return false;
    Framebuffer* frame = PictureFrame();
    // A frame without its memory is empty: nothing to show.
    if (frame == NULL || frame->width != width || frame->height != height)
        return false;
    if (recolour && !DrawnTilesStart(&feed->tiles, frame))
        return false;
    FramebufferTakeChanged(frame);
    feed->changed = FrameArea{0, 0, width, height};
    feed->wanted = true;
    feed->running = true;
    return true;
}

void
FrameFeedStop(FrameFeed* feed)
{
    StopPicture();
    DrawnTilesRelease(&feed->tiles);
    feed->running = false;
}

void
FrameFeedTick(FrameFeed* feed)
{
    if (!feed->running)
        return;
    TickPicture();
    Framebuffer* frame = PictureFrame();
    FrameArea changed = FramebufferTakeChanged(frame);
    if (feed->recolour && DrawnTilesNote(&feed->tiles, frame, changed))
        feed->erased = true;
    WidenArea(&feed->changed, changed, frame->width, frame->height);
    feed->wanted = true;
}

void
FrameFeedShowAgain(FrameFeed* feed, FrameArea area)
{
    const Framebuffer* frame = PictureFrame();
    if (!feed->running || frame == NULL)
        return;
    WidenArea(&feed->changed, area, frame->width, frame->height);
    feed->wanted = true;
}

void
FrameFeedPace(FrameFeed* feed, int64_t unitsPerSecond, int refreshHz, int64_t now)
{
    FramePaceStart(&feed->pace, unitsPerSecond, refreshHz, now);
}

bool
FrameFeedDue(const FrameFeed* feed, int64_t now)
{
    return feed->running && feed->wanted && FramePaceDue(&feed->pace, now);
}

int64_t
FrameFeedWhen(const FrameFeed* feed)
{
    return FramePaceWhen(&feed->pace);
}

FeedFrame
FrameFeedTake(FrameFeed* feed, int64_t now)
{
    FeedFrame out = {feed->running ? PictureFrame() : NULL, feed->changed, feed->erased};
    FramePaceShown(&feed->pace, now);
    feed->changed = FrameArea();
    feed->erased = false;
    feed->wanted = false;
    return out;
}

bool
FrameFeedNextRun(const FrameFeed* feed, FrameArea* run)
{
    return feed->running && feed->recolour && DrawnTilesNextRun(&feed->tiles, run);
}

void
FrameFeedRecolour(const FrameFeed* feed, FrameArea run, const uint32_t* table, uint32_t* target, size_t stride)
{
    if (feed->running && feed->recolour)
        RecolourDrawn(&feed->tiles, PictureFrame(), run, table, target, stride);
}

void
FrameFeedColours(ColourPacking packing, uint32_t table[256])
{
    PictureColours colours;
    ReadPictureColours(&colours);
    for (int i = 0; i < 256; i++) {
        const uint8_t* c = colours.rgb[i];
        table[i] = i == 0 ? packing.always
                          : Channel(c[0], packing.redMask) | Channel(c[1], packing.greenMask) |
                                Channel(c[2], packing.blueMask) | packing.always;
    }
}
