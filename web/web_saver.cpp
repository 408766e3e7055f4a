// The page's side of the picture, fed a tick at a time as every front end
// feeds it; the page paces the frames with the browser's frame callback. The
// page reads the framebuffer, the palette's colours and the areas that
// changed straight out of linear memory.
#include "frame_feed.h"
#include "picture.h"

#include <vector>

#define WEB_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

struct WebSaver {
    int width, height;
    // With the feed's drawn tiles for a page that cannot look colours up
    // itself; the page takes the area changed since it last looked.
    FrameFeed feed;
    uint32_t colours[256];
    // For that page: the frame in colour and the area changed since it was
    // last coloured.
    std::vector<uint32_t> frame;
    FrameArea uncoloured;
    // A band of a still in colour; a still keeps no frame in colour.
    std::vector<uint32_t> band;
};

WebSaver webSaver;

const uint32_t kBlack = 0xFF000000u;

}

// A fresh saver window as at process start, seeded from the given clock as the
// saver seeds itself, with a frame in colour if asked: FALSE when creation fails.
WEB_EXPORT(WebStart) BOOL
WebStart(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved, BOOL colourFrame)
{
    WebSaver& w = webSaver;
    bool running = FrameFeedStart(&w.feed, clockSeconds, width, height, sizePalette, numReserved, colourFrame);
    w.width = width;
    w.height = height;
    w.frame.assign(colourFrame ? (size_t)width * (size_t)height : 0, kBlack);
    w.band = std::vector<uint32_t>();
    w.uncoloured = w.feed.changed;
    return running ? TRUE : FALSE;
}

WEB_EXPORT(WebTicks) void
WebTicks(uint32_t count)
{
    for (uint32_t i = 0; i < count && webSaver.feed.running; i++)
        FrameFeedTick(&webSaver.feed);
}

// Logical palette indices, row by row.
WEB_EXPORT(WebPixels) const uint8_t*
WebPixels()
{
    return PictureFrame()->pixels;
}

// The palette's colours now, each as the bytes red, green, blue, 255.
WEB_EXPORT(WebColours) const uint32_t*
WebColours()
{
    FrameFeedColours(kCanvasColours, webSaver.colours);
    return webSaver.colours;
}

// The frame in colour, each pixel as the bytes red, green, blue, 255: every
// pixel drawn on since the last erase takes the colour of its index now; all
// else is black. Call WebColours first.
WEB_EXPORT(WebColourFrame) const uint32_t*
WebColourFrame()
{
    WebSaver& w = webSaver;
    if (!w.feed.running || !w.feed.recolour)
        return w.frame.data();
    const Framebuffer* frame = PictureFrame();
    RecolourArea(frame, w.uncoloured, w.colours, w.frame.data(), (size_t)w.width, false);
    w.uncoloured = FrameArea();
    FrameArea run = FrameArea();
    while (FrameFeedNextRun(&w.feed, &run))
        FrameFeedRecolour(&w.feed, run, w.colours, w.frame.data(), (size_t)w.width);
    return w.frame.data();
}

// The pixels of an area, clipped to the frame, in colour, row by row, each
// as the bytes red, green, blue, 255: index 0 black, every other the colour
// of its index now. Call WebColours first. A still goes out this way, a band
// at a time, coloured once at the end.
WEB_EXPORT(WebColourArea) const uint32_t*
WebColourArea(int left, int top, int right, int bottom)
{
    WebSaver& w = webSaver;
    FrameArea area = FrameArea();
    WidenArea(&area, FrameArea{left, top, right, bottom}, w.width, w.height);
    if (AreaIsEmpty(area))
        return w.band.data();
    const uint8_t* pixels = PictureFrame()->pixels;
    w.band.resize((size_t)(area.right - area.left) * (size_t)(area.bottom - area.top));
    uint32_t* out = w.band.data();
    for (int y = area.top; y < area.bottom; y++) {
        const uint8_t* row = pixels + (size_t)y * (size_t)w.width;
        for (int x = area.left; x < area.right; x++)
            *out++ = w.colours[row[x]];
    }
    return w.band.data();
}

// Eight numbers: the area changed since the last look, which the look
// empties, and the area drawn on since the last erase (all else is black).
WEB_EXPORT(WebTakeAreas) const int32_t*
WebTakeAreas()
{
    WebSaver& w = webSaver;
    static FrameArea taken[2];
    taken[0] = FrameFeedTake(&w.feed, 0).changed;
    taken[1] = PictureFrame()->drawn;
    if (w.feed.recolour)
        WidenArea(&w.uncoloured, taken[0], w.width, w.height);
    return &taken[0].left;
}
