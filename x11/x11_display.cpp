// Frames go out as images of palette indices converted through a 256-entry
// table; on 8-bit displays the table points at writable cells, so the colours
// flow by storing the cells alone.
#include "x11_display.h"

#include <string.h>

namespace {

const uint64_t kSmallPut = 128 * 128;

bool
NativeOrder(const XImage* image)
{
    const uint16_t probe = 1;
    bool littleEndian = *(const uint8_t*)&probe == 1;
    return image->byte_order == (littleEndian ? LSBFirst : MSBFirst);
}

// Pixels still at index 0 since the image was last converted whole are black
// there already: for a run of the feed's tiles, only their drawn blocks are
// converted where the pixels are 32 bits.
void
Convert(const Framebuffer* frame, FrameArea a, const FrameFeed* runOf, const uint32_t* table, bool identity)
{
    XImage* image = x11Image.image;
    int bits = image->bits_per_pixel;
    bool direct = NativeOrder(image) && (bits == 8 || bits == 16 || bits == 32);
    if (direct && bits == 32) {
        if (runOf != NULL)
            FrameFeedRecolour(runOf, a, table, (uint32_t*)image->data, (size_t)image->bytes_per_line / 4);
        else
            RecolourArea(frame, a, table, (uint32_t*)image->data, (size_t)image->bytes_per_line / 4, false);
        return;
    }
    for (int y = a.top; y < a.bottom; y++) {
        const uint8_t* from = frame->pixels + (size_t)y * (size_t)frame->width;
        char* row = image->data + (size_t)y * (size_t)image->bytes_per_line;
        if (!direct) {
            for (int x = a.left; x < a.right; x++)
                XPutPixel(image, x, y, table[from[x]]);
        } else if (bits == 16) {
            uint16_t* to = (uint16_t*)row;
            for (int x = a.left; x < a.right; x++)
                to[x] = (uint16_t)table[from[x]];
        } else if (identity) {
            memcpy(row + a.left, from + a.left, (size_t)(a.right - a.left));
        } else {
            uint8_t* to = (uint8_t*)row;
            for (int x = a.left; x < a.right; x++)
                to[x] = (uint8_t)table[from[x]];
        }
    }
}

std::string
ImageFailure()
{
    return "no memory for an image of " + std::to_string(x11Window.width) + "x" + std::to_string(x11Window.height);
}

uint64_t
Pixels(FrameArea a)
{
    return AreaIsEmpty(a) ? 0 : (uint64_t)(a.right - a.left) * (uint64_t)(a.bottom - a.top);
}

}

bool
OpenOutput(Display* display, bool ownWindow, Window target, bool install, std::string* error)
{
    if (!OpenWindow(display, ownWindow, target, error))
        return false;
    SetUpColours(install);
    if (!OpenImage()) {
        *error = ImageFailure();
        return false;
    }
    return ShowWindow(error);
}

bool
ResizeOutput(int width, int height, std::string* error)
{
    DropImage();
    x11Window.width = width;
    x11Window.height = height;
    if (MakeImage())
        return true;
    *error = ImageFailure();
    return false;
}

bool
OutputRecolours()
{
    return x11Colours.colouring == kColourByMasks;
}

void
PresentFrame(const FrameFeed* feed, FeedFrame out)
{
    const Framebuffer* frame = out.frame;
    FrameArea area = FrameArea();
    WidenArea(&area, out.changed, x11Window.width, x11Window.height);
    if (frame == NULL || x11Image.image == NULL || frame->width != x11Window.width ||
        frame->height != x11Window.height) {
        TakeColours(NULL, FrameArea());
        return;
    }
    TakeColours(frame, area);
    // The pixels of the moment, once a frame; with a colormap of its own they are the indices themselves.
    uint32_t table[256];
    bool identity = true;
    for (int i = 0; i < 256; i++) {
        table[i] = (uint32_t)x11Colours.pixelOfIndex[i];
        identity = identity && table[i] == (uint32_t)i;
    }
    // The area that changed, then every drawn pixel in its colour again.
    // Recolouring, the area needs converting only after an erase or into a
    // fresh image: its drawn pixels are in the runs, and the rest holds
    // index 0's colour already.
    if (!feed->recolour || out.erased || !x11Image.converted) {
        Convert(frame, area, NULL, table, identity);
        x11Image.converted = x11Image.converted || (area.left == 0 && area.top == 0 &&
                                                    area.right == frame->width && area.bottom == frame->height);
    }
    uint64_t pixels = Pixels(area);
    int puts = AreaIsEmpty(area) ? 0 : 1;
    FrameArea run = FrameArea();
    while (FrameFeedNextRun(feed, &run)) {
        Convert(frame, run, feed, table, identity);
        pixels += Pixels(run);
        puts++;
    }
    // A frame of small areas goes in the requests themselves, which spares
    // the completion event and the wake-up it brings. Requests are done in
    // order, so the last one's completion tells of all.
    bool shm = x11Image.usesShm && pixels > kSmallPut;
    if (!AreaIsEmpty(area))
        PutArea(area, shm, --puts == 0);
    run = FrameArea();
    while (FrameFeedNextRun(feed, &run))
        PutArea(run, shm, --puts == 0);
}

void
CloseOutput()
{
    // Colours and the GC go with the connection; the segment is ours to detach.
    if (x11Window.display == NULL)
        return;
    DropImage();
    CloseWindow();
}
