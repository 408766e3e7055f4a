// The page's side of the picture: one offscreen window driven through
// ScreenSaverProc, as the replay tool drives it. The page reads the
// framebuffer, the palette's colours and the areas that changed straight out
// of linear memory.
#include "animated_palette.h"
#include "animation_driver.h"
#include "colour_walk.h"
#include "fresh_picture.h"
#include "curve.h"
#include "offscreen.h"
#include "random.h"

#include <vector>

#define WEB_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

// Left, top, right, bottom, right and bottom exclusive; empty when right <= left.
struct Area {
    int32_t left, top, right, bottom;
};

struct WebSaver {
    HWND window;
    int width, height;
    int erases;
    // What the page takes: the area drawn since it last looked, and the area
    // drawn on since the last erase (all else is black).
    Area areas[2];
    uint32_t colours[256];
    // For a page that cannot look colours up itself: the frame in colour, and
    // where the pixels drawn on since the last erase are, each listed once.
    bool colourFrame;
    std::vector<uint32_t> frame;
    std::vector<uint32_t> drawn;
    std::vector<uint8_t> listed;
};

WebSaver webSaver;

void
Widen(Area* area, int left, int top, int right, int bottom)
{
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > webSaver.width ? webSaver.width : right;
    bottom = bottom > webSaver.height ? webSaver.height : bottom;
    if (right <= left || bottom <= top)
        return;
    if (area->right <= area->left) {
        *area = Area{left, top, right, bottom};
        return;
    }
    area->left = left < area->left ? left : area->left;
    area->top = top < area->top ? top : area->top;
    area->right = right > area->right ? right : area->right;
    area->bottom = bottom > area->bottom ? bottom : area->bottom;
}

const uint32_t kBlack = 0xFF000000u;

void
ListDrawn(const Area& area)
{
    WebSaver& w = webSaver;
    int unused;
    const uint8_t* pixels = OffscreenPixels(&unused, &unused);
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
    if (w.window != NULL)
        ScreenSaverProc(w.window, WM_DESTROY, 0, 0);
    ResetPicture();
    OffscreenSetDeviceCaps(sizePalette, numReserved);
    OffscreenSetClock(clockSeconds);
    w.window = OffscreenCreateWindow(width, height, true);
    w.width = width;
    w.height = height;
    w.erases = 0;
    w.colourFrame = colourFrame;
    size_t frameSize = colourFrame ? (size_t)width * (size_t)height : 0;
    w.frame.assign(frameSize, kBlack);
    w.listed.assign(frameSize, 0);
    w.drawn.clear();
    w.areas[0] = w.areas[1] = Area();
    Widen(&w.areas[0], 0, 0, width, height);
    if (ScreenSaverProc(w.window, WM_CREATE, 0, 0) == -1) {
        w.window = NULL;
        return FALSE;
    }
    return TRUE;
}

WEB_EXPORT(WebTicks) void
WebTicks(uint32_t count)
{
    WebSaver& w = webSaver;
    for (uint32_t i = 0; i < count && w.window != NULL; i++) {
        ScreenSaverProc(w.window, WM_TIMER, kAnimationTimer, 0);
        if (OffscreenGetCounts().erases != w.erases) {
            w.erases = OffscreenGetCounts().erases;
            w.areas[1] = Area();
            Widen(&w.areas[0], 0, 0, w.width, w.height);
            if (w.colourFrame)
                ForgetDrawn();
        }
        // The pen's dot reaches 2 pixels left and up of a point, 1 right and down.
        OffscreenLine line = OffscreenLastLine();
        int left = (line.from.x < line.to.x ? line.from.x : line.to.x) - 2;
        int top = (line.from.y < line.to.y ? line.from.y : line.to.y) - 2;
        int right = (line.from.x < line.to.x ? line.to.x : line.from.x) + 2;
        int bottom = (line.from.y < line.to.y ? line.to.y : line.from.y) + 2;
        Widen(&w.areas[0], left, top, right, bottom);
        Widen(&w.areas[1], left, top, right, bottom);
        if (w.colourFrame) {
            Area segment = Area();
            Widen(&segment, left, top, right, bottom);
            ListDrawn(segment);
        }
    }
}

// Logical palette indices, row by row.
WEB_EXPORT(WebPixels) const uint8_t*
WebPixels()
{
    int width, height;
    return OffscreenPixels(&width, &height);
}

// The palette's colours now, each as the bytes red, green, blue, 255.
WEB_EXPORT(WebColours) const uint32_t*
WebColours()
{
    const PALETTEENTRY* entries = OffscreenPaletteColours(paletteAnimator.palette);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY e = entries ? entries[i] : PALETTEENTRY();
        webSaver.colours[i] = e.peRed | (uint32_t)e.peGreen << 8 | (uint32_t)e.peBlue << 16 | 0xFF000000u;
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
    int unused;
    const uint8_t* pixels = OffscreenPixels(&unused, &unused);
    for (uint32_t i : w.drawn)
        w.frame[i] = w.colours[pixels[i]];
    return w.frame.data();
}

// The two areas as eight numbers; the first is emptied by the look.
WEB_EXPORT(WebTakeAreas) const int32_t*
WebTakeAreas()
{
    static Area taken[2];
    taken[0] = webSaver.areas[0];
    taken[1] = webSaver.areas[1];
    webSaver.areas[0] = Area();
    return &taken[0].left;
}
