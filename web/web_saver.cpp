// The page's side of the picture: one offscreen window driven through
// ScreenSaverProc, as the replay tool drives it. The page reads the
// framebuffer, the palette's colours and the areas that changed straight out
// of linear memory.
#include "picture.h"

#include <vector>

#define WEB_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

struct WebSaver {
    bool running;
    int width, height;
    uint32_t fills;
    // What the page takes: the area changed since it last looked.
    FrameArea changed;
    uint32_t colours[256];
    // For a page that cannot look colours up itself: the frame in colour, and
    // where the pixels drawn on since the last erase are, each listed once.
    bool colourFrame;
    std::vector<uint32_t> frame;
    std::vector<uint32_t> drawn;
    std::vector<uint8_t> listed;
    // A band of a still in colour; a still keeps no frame in colour.
    std::vector<uint32_t> band;
};

WebSaver webSaver;

const uint32_t kBlack = 0xFF000000u;

void
ListDrawn(FrameArea area)
{
    WebSaver& w = webSaver;
    const uint8_t* pixels = PictureFrame()->pixels;
    for (int y = area.top; y < area.bottom; y++) {
        for (size_t i = (size_t)y * w.width + area.left, end = (size_t)y * w.width + area.right; i < end; i++) {
            if (pixels[i] != 0 && !w.listed[i]) {
                w.listed[i] = 1;
                w.drawn.push_back((uint32_t)i);
            }
        }
    }
}

void
ForgetDrawn()
{
    WebSaver& w = webSaver;
    for (uint32_t i : w.drawn) {
        w.frame[i] = kBlack;
        w.listed[i] = 0;
    }
    w.drawn.clear();
}

}

// A fresh saver window as at process start, seeded from the given clock as the
// saver seeds itself, with a frame in colour if asked: FALSE when creation fails.
WEB_EXPORT(WebStart) BOOL
WebStart(uint32_t clockSeconds, int width, int height, int sizePalette, int numReserved, BOOL colourFrame)
{
    WebSaver& w = webSaver;
    w.running = StartPicture(clockSeconds, width, height, sizePalette, numReserved);
    w.width = width;
    w.height = height;
    w.fills = 0;
    w.colourFrame = colourFrame;
    size_t frameSize = colourFrame ? (size_t)width * (size_t)height : 0;
    w.frame.assign(frameSize, kBlack);
    w.listed.assign(frameSize, 0);
    w.drawn.clear();
    w.band = std::vector<uint32_t>();
    w.changed = FramebufferTakeChanged(PictureFrame());
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
        if (!w.colourFrame)
            continue;
        // After an erase only what was drawn since is new.
        if (frame->fills != w.fills) {
            w.fills = frame->fills;
            ForgetDrawn();
            tick = frame->drawn;
        }
        ListDrawn(tick);
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
    const uint8_t* pixels = PictureFrame()->pixels;
    for (uint32_t i : w.drawn)
        w.frame[i] = w.colours[pixels[i]];
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
