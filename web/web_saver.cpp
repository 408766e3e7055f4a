// The page's side of the picture: one offscreen window driven through
// ScreenSaverProc, as the replay tool drives it. The page reads the
// framebuffer, the palette's colours and the areas that changed straight out
// of linear memory.
#include "drawn_tiles.h"
#include "picture.h"

#include <vector>

#define WEB_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

struct WebSaver {
    bool running;
    int width, height;
    // What the page takes: the area changed since it last looked.
    FrameArea changed;
    uint32_t colours[256];
    // For a page that cannot look colours up itself: the frame in colour, the
    // area changed since it was last coloured, and the tiles drawn on since
    // the last erase, which take their colours again each frame.
    bool colourFrame;
    std::vector<uint32_t> frame;
    FrameArea uncoloured;
    DrawnTiles drawnTiles;
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
    Framebuffer* frame = NULL;
    if (StartPicture(clockSeconds, width, height, sizePalette, numReserved))
        frame = PictureFrame();
    // A frame without its memory is empty: nothing to show.
    w.running = frame != NULL && frame->width == width && frame->height == height;
    w.width = width;
    w.height = height;
    w.colourFrame = colourFrame;
    w.frame.assign(colourFrame ? (size_t)width * (size_t)height : 0, kBlack);
    w.band = std::vector<uint32_t>();
    if (colourFrame && w.running)
        w.running = DrawnTilesStart(&w.drawnTiles, frame);
    else
        DrawnTilesRelease(&w.drawnTiles);
    w.changed = w.running ? FramebufferTakeChanged(frame) : FrameArea();
    w.uncoloured = w.changed;
    return w.running ? TRUE : FALSE;
}

WEB_EXPORT(WebTicks) void
WebTicks(uint32_t count)
{
    WebSaver& w = webSaver;
    for (uint32_t i = 0; i < count && w.running; i++) {
        TickPicture();
        Framebuffer* frame = PictureFrame();
        FrameArea tick = FramebufferTakeChanged(frame);
        WidenArea(&w.changed, tick, w.width, w.height);
        if (w.colourFrame) {
            WidenArea(&w.uncoloured, tick, w.width, w.height);
            DrawnTilesNote(&w.drawnTiles, frame, tick);
        }
    }
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
    PictureColours colours;
    ReadPictureColours(&colours);
    for (int i = 0; i < 256; i++) {
        const uint8_t* c = colours.rgb[i];
        webSaver.colours[i] = c[0] | (uint32_t)c[1] << 8 | (uint32_t)c[2] << 16 | 0xFF000000u;
    }
    return webSaver.colours;
}

// The frame in colour, each pixel as the bytes red, green, blue, 255: every
// pixel drawn on since the last erase takes the colour of its index now; all
// else is black. Call WebColours first.
WEB_EXPORT(WebColourFrame) const uint32_t*
WebColourFrame()
{
    WebSaver& w = webSaver;
    if (!w.running || !w.colourFrame)
        return w.frame.data();
    uint32_t table[256];
    for (int i = 0; i < 256; i++)
        table[i] = i != 0 ? w.colours[i] : kBlack;
    const Framebuffer* frame = PictureFrame();
    RecolourArea(frame, w.uncoloured, table, w.frame.data(), (size_t)w.width, false);
    w.uncoloured = FrameArea();
    FrameArea run = FrameArea();
    while (DrawnTilesNextRun(&w.drawnTiles, &run))
        RecolourArea(frame, run, table, w.frame.data(), (size_t)w.width, true);
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
            *out++ = row[x] != 0 ? w.colours[row[x]] : kBlack;
    }
    return w.band.data();
}

// Eight numbers: the area changed since the last look, which the look
// empties, and the area drawn on since the last erase (all else is black).
WEB_EXPORT(WebTakeAreas) const int32_t*
WebTakeAreas()
{
    static FrameArea taken[2];
    taken[0] = webSaver.changed;
    taken[1] = PictureFrame()->drawn;
    webSaver.changed = FrameArea();
    return &taken[0].left;
}
