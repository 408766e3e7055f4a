#include "x11_colours.h"

#include <stdio.h>
#include <string.h>

#include "frame_feed.h"
#include "x11_window.h"

X11Colours x11Colours;

namespace {

unsigned short
Wide(uint8_t channel)
{
    return (unsigned short)(channel * 257);
}

void
HoldColour(XColor colour)
{
    if (x11Colours.sharedCount < 256 && XAllocColor(x11Window.display, x11Colours.colormap, &colour))
        x11Colours.shared[x11Colours.sharedCount++] = colour;
}

// Read-only cells to pick from: a colour cube where cells are still free,
// and the colours the colormap already has.
void
HoldSharedColours()
{
    x11Colours.sharedCount = 0;
    const int levels = 5;
    for (int r = 0; r < levels; r++)
        for (int g = 0; g < levels; g++)
            for (int b = 0; b < levels; b++) {
                XColor c = XColor();
                c.red = (unsigned short)(r * 65535 / (levels - 1));
                c.green = (unsigned short)(g * 65535 / (levels - 1));
                c.blue = (unsigned short)(b * 65535 / (levels - 1));
                HoldColour(c);
            }
    int count = x11Window.visual->map_entries < 256 ? x11Window.visual->map_entries : 256;
    XColor present[256];
    for (int i = 0; i < count; i++)
        present[i].pixel = (unsigned long)i;
    XQueryColors(x11Window.display, x11Colours.colormap, present, count);
    for (int i = 0; i < count; i++)
        HoldColour(present[i]);
}

bool
TakeWritableCells(bool install)
{
    if (install) {
        // Pixel value = palette index.
        x11Colours.colormap = XCreateColormap(x11Window.display, x11Window.window, x11Window.visual, AllocAll);
        x11Colours.ownColormap = true;
        XSetWindowColormap(x11Window.display, x11Window.window, x11Colours.colormap);
        XInstallColormap(x11Window.display, x11Colours.colormap);
        x11Colours.cellCount = x11Window.visual->map_entries < 256 ? x11Window.visual->map_entries : 256;
        for (int i = 0; i < 256; i++)
            x11Colours.pixelOfIndex[i] = (unsigned long)(i < x11Colours.cellCount ? i : 0);
        for (int i = 0; i < x11Colours.cellCount; i++) {
            x11Colours.cells[i].pixel = (unsigned long)i;
            x11Colours.cellIndex[i] = i;
        }
        XSetWindowBackground(x11Window.display, x11Window.window, 0);
        return true;
    }
    // Only the entries the picture draws with flow; like the static colours
    // Windows reserves, the rest are not the picture's, and black is shared.
    unsigned long pixels[256];
    const int count = kPictureLastDrawnIndex;
    if (!XAllocColorCells(x11Window.display, x11Colours.colormap, False, NULL, 0, pixels, count))
        return false;
    XColor black = XColor();
    if (!XAllocColor(x11Window.display, x11Colours.colormap, &black)) {
        XFreeColors(x11Window.display, x11Colours.colormap, pixels, count, 0);
        return false;
    }
    for (int i = 0; i < 256; i++)
        x11Colours.pixelOfIndex[i] = black.pixel;
    for (int k = 0; k < count; k++) {
        x11Colours.cells[k].pixel = pixels[k];
        x11Colours.cellIndex[k] = k + 1;
        x11Colours.pixelOfIndex[k + 1] = pixels[k];
    }
    x11Colours.cellCount = count;
    x11Colours.shared[0] = black;
    x11Colours.sharedCount = 1;
    return true;
}

double
Distance(const XColor& c, const uint8_t* rgb)
{
    double r = c.red / 257.0 - rgb[0], g = c.green / 257.0 - rgb[1], b = c.blue / 257.0 - rgb[2];
    return r * r + g * g + b * b;
}

void
PickNearest(int index, const uint8_t* rgb)
{
    int best = 0;
    for (int i = 1; i < x11Colours.sharedCount; i++)
        if (Distance(x11Colours.shared[i], rgb) < Distance(x11Colours.shared[best], rgb))
            best = i;
    x11Colours.pixelOfIndex[index] = x11Colours.sharedCount > 0
        ? x11Colours.shared[best].pixel
        : BlackPixel(x11Window.display, DefaultScreen(x11Window.display));
    x11Colours.nearestFrame[index] = x11Colours.frameCount;
}

void
BuildMaskTable()
{
    const Visual* v = x11Window.visual;
    uint32_t table[256];
    FrameFeedColours(ColourPacking{(uint32_t)v->red_mask, (uint32_t)v->green_mask, (uint32_t)v->blue_mask, 0},
                     table);
    for (int i = 0; i < 256; i++)
        x11Colours.pixelOfIndex[i] = table[i];
}

void
StoreColours(const PictureColours& colours)
{
    if (x11Colours.storedOnce && memcmp(&x11Colours.stored, &colours, sizeof colours) == 0)
        return;
    for (int k = 0; k < x11Colours.cellCount; k++) {
        const uint8_t* c = colours.rgb[x11Colours.cellIndex[k]];
        x11Colours.cells[k].red = Wide(c[0]);
        x11Colours.cells[k].green = Wide(c[1]);
        x11Colours.cells[k].blue = Wide(c[2]);
    }
    XStoreColors(x11Window.display, x11Colours.colormap, x11Colours.cells, x11Colours.cellCount);
    x11Colours.stored = colours;
    x11Colours.storedOnce = true;
}

}

void
SetUpColours(bool install)
{
    x11Colours = X11Colours();
    x11Colours.colormap = x11Window.colormap;
    int visualClass = x11Window.visual->c_class;
    if (visualClass == TrueColor || visualClass == DirectColor) {
        x11Colours.colouring = kColourByMasks;
        return;
    }
    if ((visualClass == PseudoColor || visualClass == GrayScale) && TakeWritableCells(install)) {
        for (int k = 0; k < x11Colours.cellCount; k++)
            x11Colours.cells[k].flags = DoRed | DoGreen | DoBlue;
        x11Colours.colouring = kColourByCells;
        return;
    }
    x11Colours.colouring = kColourByNearest;
    HoldSharedColours();
    fputs("tarvelimunde: no writable colour cells here, so the colours do not flow; drawing with the nearest "
          "colours\n",
          stderr);
}

void
TakeColours(const Framebuffer* frame, FrameArea area)
{
    x11Colours.frameCount++;
    if (x11Colours.colouring == kColourByMasks) {
        BuildMaskTable();
        return;
    }
    PictureColours colours;
    ReadPictureColours(&colours);
    if (x11Colours.colouring == kColourByCells)
        StoreColours(colours);
    else
        for (int y = area.top; y < area.bottom; y++) {
            const uint8_t* row = frame->pixels + (size_t)y * (size_t)frame->width;
            for (int x = area.left; x < area.right; x++)
                if (x11Colours.nearestFrame[row[x]] != x11Colours.frameCount)
                    PickNearest(row[x], colours.rgb[row[x]]);
        }
}
