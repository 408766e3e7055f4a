// The X side: the window drawn on, its colours and the image the frames go
// out through.
#ifndef TARVELIMUNDE_X11_DISPLAY_H
#define TARVELIMUNDE_X11_DISPLAY_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <string>

#include "drawn_tiles.h"
#include "framebuffer.h"
#include "picture.h"

enum X11Colouring {
    kColourByMasks,    // TrueColor and DirectColor: the colours go into the pixels each frame
    kColourByCells,    // writable cells: the colours are stored, the pixels stay
    kColourByNearest,  // neither: the nearest shared colours, no flow
};

struct X11Output {
    Display* display;
    Window window;
    bool ownWindow;
    Atom deleteWindow;
    Visual* visual;
    int depth;
    int width, height;
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
    // On TrueColor only the tiles drawn since the last erase are recoloured
    // and sent each frame.
    DrawnTiles drawnTiles;
    XImage* image;
    XShmSegmentInfo shm;
    bool usesShm, shmBusy, shmFailed, shmAttaching;
    int shmOpcode, shmCompletion;
    GC gc;
    bool started;
    bool windowGone;
    int unexpectedErrors;
};

extern X11Output x11Output;

// Draws on target, or on a window of its own. False with a one-line message
// when the target names no window.
bool OpenOutput(Display* display, bool ownWindow, Window target, bool install, std::string* error);
// A new image for a new size.
void ResizeOutput(int width, int height);
// A fresh picture's frame, and what each tick changed in it: the tiles
// drawn in (TrueColor and DirectColor).
void StartOutputFrame(const Framebuffer* frame);
void NoteDrawn(const Framebuffer* frame, FrameArea changed);
// Area of the frame out to the window in the colours given, and the drawn
// pixels in their new colours; colours alone where the cells hold them.
void PresentFrame(const Framebuffer* frame, FrameArea area, const PictureColours& colours);
// Waiting for the server to finish with the last image.
bool OutputBusy();
// Completion of an image; answers whether the event was one.
bool HandleOutputEvent(const XEvent& event);
void CloseOutput();

#endif
