// The colour strategy: how palette indices become pixels on this visual.
#ifndef TARVELIMUNDE_X11_COLOURS_H
#define TARVELIMUNDE_X11_COLOURS_H

#include <X11/Xlib.h>

#include "framebuffer.h"
#include "picture.h"

enum X11Colouring {
    kColourByMasks,    // TrueColor and DirectColor: the colours go into the pixels each frame
    kColourByCells,    // writable cells: the colours are stored, the pixels stay
    kColourByNearest,  // neither: the nearest shared colours, no flow
};

struct X11Colours {
    Colormap colormap;
    bool ownColormap;
    X11Colouring colouring;
    // The pixel each palette index is drawn with.
    unsigned long pixelOfIndex[256];
    // Writable cells and the palette index each one shows.
    XColor cells[256];
    int cellIndex[256];
    int cellCount;
    PictureColours stored;
    bool storedOnce;
    // The shared colours the nearest ones are picked from.
    XColor shared[256];
    int sharedCount;
    uint32_t nearestFrame[256];
    uint32_t frameCount;
};

extern X11Colours x11Colours;

// The strategy for the window's visual, with --install a colormap of its own.
void SetUpColours(bool install);
// The picture's colours of the moment: the table of pixels or the stored
// cells, and for the nearest colours those of the indices in the frame's area.
void TakeColours(const Framebuffer* frame, FrameArea area);

#endif
