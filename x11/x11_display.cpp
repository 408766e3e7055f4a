// Frames go out as images of palette indices converted through a 256-entry
// table; on 8-bit displays the table points at writable cells, so the colours
// flow by storing the cells alone.
#include "x11_display.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xatom.h>

X11Output x11Output;

namespace {

const uint64_t kSmallPut = 128 * 128;
const int kOwnWidth = 640;
const int kOwnHeight = 480;

int
OnXError(Display*, XErrorEvent* error)
{
    X11Output& o = x11Output;
    if (o.shmAttaching && error->request_code == o.shmOpcode)
        o.shmFailed = true;
    else if ((error->error_code == BadWindow || error->error_code == BadDrawable) && error->resourceid == o.window)
        o.windowGone = true;
    else if (o.started)
        o.unexpectedErrors++;
    return 0;
}

unsigned long
ChannelPixel(uint8_t value, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = __builtin_ctzl(mask);
    int bits = __builtin_popcountl(mask);
    unsigned long top = (1ul << bits) - 1;
    return ((value * top + 127) / 255) << shift;
}

unsigned short
Wide(uint8_t channel)
{
    return (unsigned short)(channel * 257);
}

void
HoldColour(XColor colour)
{
    X11Output& o = x11Output;
    if (o.sharedCount < 256 && XAllocColor(o.display, o.colormap, &colour))
        o.shared[o.sharedCount++] = colour;
}

// Read-only cells to pick from: a colour cube where cells are still free,
// and the colours the colormap already has.
void
HoldSharedColours()
{
    X11Output& o = x11Output;
    o.sharedCount = 0;
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
    int count = o.visual->map_entries < 256 ? o.visual->map_entries : 256;
    XColor present[256];
    for (int i = 0; i < count; i++)
        present[i].pixel = (unsigned long)i;
    XQueryColors(o.display, o.colormap, present, count);
    for (int i = 0; i < count; i++)
        HoldColour(present[i]);
}

bool
TakeWritableCells(bool install)
{
    X11Output& o = x11Output;
    if (install) {
        // Pixel value = palette index.
        o.colormap = XCreateColormap(o.display, o.window, o.visual, AllocAll);
        o.ownColormap = true;
        XSetWindowColormap(o.display, o.window, o.colormap);
        XInstallColormap(o.display, o.colormap);
        o.cellCount = o.visual->map_entries < 256 ? o.visual->map_entries : 256;
        for (int i = 0; i < 256; i++)
            o.pixelOfIndex[i] = (unsigned long)(i < o.cellCount ? i : 0);
        for (int i = 0; i < o.cellCount; i++) {
            o.cells[i].pixel = (unsigned long)i;
            o.cellIndex[i] = i;
        }
        XSetWindowBackground(o.display, o.window, 0);
        return true;
    }
    // Only the entries the picture draws with flow; like the static colours
    // Windows reserves, the rest are not the picture's, and black is shared.
    unsigned long pixels[256];
    const int count = kPictureLastDrawnIndex;
    if (!XAllocColorCells(o.display, o.colormap, False, NULL, 0, pixels, count))
        return false;
    XColor black = XColor();
    if (!XAllocColor(o.display, o.colormap, &black)) {
        XFreeColors(o.display, o.colormap, pixels, count, 0);
        return false;
    }
    for (int i = 0; i < 256; i++)
        o.pixelOfIndex[i] = black.pixel;
    for (int k = 0; k < count; k++) {
        o.cells[k].pixel = pixels[k];
        o.cellIndex[k] = k + 1;
        o.pixelOfIndex[k + 1] = pixels[k];
    }
    o.cellCount = count;
    o.shared[0] = black;
    o.sharedCount = 1;
    return true;
}

void
SetUpColours(bool install)
{
    X11Output& o = x11Output;
    int visualClass = o.visual->c_class;
    if (visualClass == TrueColor || visualClass == DirectColor) {
        o.colouring = kColourByMasks;
        return;
    }
    if ((visualClass == PseudoColor || visualClass == GrayScale) && TakeWritableCells(install)) {
        for (int k = 0; k < o.cellCount; k++)
            o.cells[k].flags = DoRed | DoGreen | DoBlue;
        o.colouring = kColourByCells;
        return;
    }
    o.colouring = kColourByNearest;
    HoldSharedColours();
    fputs("tarvelimunde: no writable colour cells here, so the colours do not flow; drawing with the nearest "
          "colours\n",
          stderr);
}

void
DropImage()
{
    X11Output& o = x11Output;
    if (o.image == NULL)
        return;
    if (o.usesShm) {
        XShmDetach(o.display, &o.shm);
        XSync(o.display, False);
        shmdt(o.shm.shmaddr);
        o.image->data = NULL;
    }
    XDestroyImage(o.image);
    o.image = NULL;
    o.usesShm = o.shmBusy = false;
}

bool
MakeSharedImage()
{
    X11Output& o = x11Output;
    o.shm = XShmSegmentInfo();
    o.image = XShmCreateImage(o.display, o.visual, (unsigned)o.depth, ZPixmap, NULL, &o.shm, (unsigned)o.width,
                              (unsigned)o.height);
    if (o.image == NULL)
        return false;
    o.shm.shmid = shmget(IPC_PRIVATE, (size_t)o.image->bytes_per_line * (size_t)o.height, IPC_CREAT | 0600);
    if (o.shm.shmid < 0) {
        XDestroyImage(o.image);
        o.image = NULL;
        return false;
    }
    o.shm.shmaddr = o.image->data = (char*)shmat(o.shm.shmid, NULL, 0);
    o.shm.readOnly = False;
    bool attached = false;
    if (o.shm.shmaddr != (char*)-1) {
        o.shmFailed = false;
        o.shmAttaching = true;
        attached = XShmAttach(o.display, &o.shm);
        XSync(o.display, False);
        o.shmAttaching = false;
        attached = attached && !o.shmFailed;
    }
    // Marked for removal at once, so that no segment outlives the process.
    shmctl(o.shm.shmid, IPC_RMID, NULL);
    if (!attached) {
        if (o.shm.shmaddr != (char*)-1)
            shmdt(o.shm.shmaddr);
        o.image->data = NULL;
        XDestroyImage(o.image);
        o.image = NULL;
        o.shmFailed = true;
        return false;
    }
    o.usesShm = true;
    return true;
}

void
MakeImage()
{
    X11Output& o = x11Output;
    if (o.shmOpcode != 0 && !o.shmFailed && MakeSharedImage())
        return;
    o.image = XCreateImage(o.display, o.visual, (unsigned)o.depth, ZPixmap, 0, NULL, (unsigned)o.width,
                           (unsigned)o.height, 32, 0);
    if (o.image != NULL)
        o.image->data = (char*)calloc((size_t)o.image->bytes_per_line, (size_t)o.height);
    if (o.image != NULL && o.image->data == NULL) {
        XDestroyImage(o.image);
        o.image = NULL;
    }
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
    X11Output& o = x11Output;
    int best = 0;
    for (int i = 1; i < o.sharedCount; i++)
        if (Distance(o.shared[i], rgb) < Distance(o.shared[best], rgb))
            best = i;
    o.pixelOfIndex[index] = o.sharedCount > 0 ? o.shared[best].pixel : BlackPixel(o.display, DefaultScreen(o.display));
    o.nearestFrame[index] = o.frameCount;
}

void
BuildMaskTable(const PictureColours& colours)
{
    X11Output& o = x11Output;
    for (int i = 0; i < 256; i++) {
        const uint8_t* c = colours.rgb[i];
        o.pixelOfIndex[i] = ChannelPixel(c[0], o.visual->red_mask) | ChannelPixel(c[1], o.visual->green_mask) |
                            ChannelPixel(c[2], o.visual->blue_mask);
    }
}

void
StoreColours(const PictureColours& colours)
{
    X11Output& o = x11Output;
    if (o.storedOnce && memcmp(&o.stored, &colours, sizeof colours) == 0)
        return;
    for (int k = 0; k < o.cellCount; k++) {
        const uint8_t* c = colours.rgb[o.cellIndex[k]];
        o.cells[k].red = Wide(c[0]);
        o.cells[k].green = Wide(c[1]);
        o.cells[k].blue = Wide(c[2]);
    }
    XStoreColors(o.display, o.colormap, o.cells, o.cellCount);
    o.stored = colours;
    o.storedOnce = true;
}

bool
NativeOrder(const XImage* image)
{
    const uint16_t probe = 1;
    bool littleEndian = *(const uint8_t*)&probe == 1;
    return image->byte_order == (littleEndian ? LSBFirst : MSBFirst);
}

// Pixels still at index 0 since the image was last converted whole are black
// there already: with skipBlack, runs of eight of them are passed over.
void
Convert(const Framebuffer* frame, FrameArea a, bool skipBlack)
{
    X11Output& o = x11Output;
    XImage* image = o.image;
    int bits = image->bits_per_pixel;
    bool direct = NativeOrder(image) && (bits == 8 || bits == 16 || bits == 32);
    uint32_t table[256];
    for (int i = 0; i < 256; i++)
        table[i] = (uint32_t)o.pixelOfIndex[i];
    if (direct && bits == 32) {
        RecolourArea(frame, a, table, (uint32_t*)image->data, (size_t)image->bytes_per_line / 4, skipBlack);
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
        } else {
            uint8_t* to = (uint8_t*)row;
            for (int x = a.left; x < a.right; x++)
                to[x] = (uint8_t)table[from[x]];
        }
    }
}

}

uint64_t
Pixels(FrameArea a)
{
    return AreaIsEmpty(a) ? 0 : (uint64_t)(a.right - a.left) * (uint64_t)(a.bottom - a.top);
}

void
Put(FrameArea a, bool shm, bool last)
{
    X11Output& o = x11Output;
    unsigned width = (unsigned)(a.right - a.left), height = (unsigned)(a.bottom - a.top);
    if (shm) {
        XShmPutImage(o.display, o.window, o.gc, o.image, a.left, a.top, a.left, a.top, width, height, last);
        o.shmBusy = o.shmBusy || last;
    } else {
        XPutImage(o.display, o.window, o.gc, o.image, a.left, a.top, a.left, a.top, width, height);
    }
}

}

bool
OpenOutput(Display* display, bool ownWindow, Window target, bool install, std::string* error)
{
    X11Output& o = x11Output;
    o = X11Output();
    o.display = display;
    XSetErrorHandler(OnXError);
    int screen = DefaultScreen(display);
    if (ownWindow) {
        XSetWindowAttributes attributes = XSetWindowAttributes();
        attributes.background_pixel = BlackPixel(display, screen);
        attributes.event_mask = ExposureMask | StructureNotifyMask;
        target = XCreateWindow(display, RootWindow(display, screen), 0, 0, kOwnWidth, kOwnHeight, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        o.ownWindow = true;
        XStoreName(display, target, "Tarvelimunde");
        o.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, target, &o.deleteWindow, 1);
    }
    o.window = target;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, target, &attributes) || o.windowGone) {
        char id[32];
        snprintf(id, sizeof id, "0x%lx", (unsigned long)target);
        *error = std::string("no window ") + id;
        return false;
    }
    // Other windows are only watched: a size change, their end, exposures.
    if (!o.ownWindow)
        XSelectInput(display, target, ExposureMask | StructureNotifyMask);
    o.visual = attributes.visual;
    o.depth = attributes.depth;
    o.width = attributes.width;
    o.height = attributes.height;
    o.colormap = attributes.colormap != None ? attributes.colormap : DefaultColormap(display, screen);
    SetUpColours(install);
    int firstEvent, firstError;
    if (XShmQueryExtension(display) && XQueryExtension(display, "MIT-SHM", &o.shmOpcode, &firstEvent, &firstError))
        o.shmCompletion = XShmGetEventBase(display) + ShmCompletion;
    else
        o.shmOpcode = 0;
    o.gc = XCreateGC(display, target, 0, NULL);
    MakeImage();
    if (o.ownWindow)
        XMapWindow(display, target);
    XSync(display, False);
    if (o.windowGone) {
        *error = "the window went away";
        return false;
    }
    o.started = true;
    return true;
}

void
ResizeOutput(int width, int height)
{
    X11Output& o = x11Output;
    DropImage();
    o.width = width;
    o.height = height;
    MakeImage();
}

bool
OutputBusy()
{
    return x11Output.shmBusy;
}

bool
HandleOutputEvent(const XEvent& event)
{
    X11Output& o = x11Output;
    if (o.shmCompletion == 0 || event.type != o.shmCompletion)
        return false;
    o.shmBusy = false;
    return true;
}

void
StartOutputFrame(const Framebuffer* frame)
{
    X11Output& o = x11Output;
    if (o.colouring == kColourByMasks)
        DrawnTilesStart(&o.drawnTiles, frame);
}

void
NoteDrawn(const Framebuffer* frame, FrameArea changed)
{
    X11Output& o = x11Output;
    if (o.colouring == kColourByMasks)
        DrawnTilesNote(&o.drawnTiles, frame, changed);
}

void
PresentFrame(const Framebuffer* frame, FrameArea area, const PictureColours& colours)
{
    X11Output& o = x11Output;
    o.frameCount++;
    if (o.colouring == kColourByMasks)
        BuildMaskTable(colours);
    else if (o.colouring == kColourByCells)
        StoreColours(colours);
    FrameArea clipped = FrameArea();
    WidenArea(&clipped, area, o.width, o.height);
    area = clipped;
    if (frame == NULL || o.image == NULL || frame->width != o.width || frame->height != o.height)
        return;
    if (o.colouring == kColourByNearest) {
        for (int y = area.top; y < area.bottom; y++) {
            const uint8_t* row = frame->pixels + (size_t)y * (size_t)frame->width;
            for (int x = area.left; x < area.right; x++)
                if (o.nearestFrame[row[x]] != o.frameCount)
                    PickNearest(row[x], colours.rgb[row[x]]);
        }
    }
    // The area that changed, then every drawn pixel in its colour again.
    Convert(frame, area, false);
    uint64_t pixels = Pixels(area);
    int puts = AreaIsEmpty(area) ? 0 : 1;
    FrameArea run = FrameArea();
    while (o.colouring == kColourByMasks && DrawnTilesNextRun(&o.drawnTiles, &run)) {
        Convert(frame, run, true);
        pixels += Pixels(run);
        puts++;
    }
    // A frame of small areas goes in the requests themselves, which spares
    // the completion event and the wake-up it brings. Requests are done in
    // order, so the last one's completion tells of all.
    bool shm = o.usesShm && pixels > kSmallPut;
    if (!AreaIsEmpty(area))
        Put(area, shm, --puts == 0);
    run = FrameArea();
    while (o.colouring == kColourByMasks && DrawnTilesNextRun(&o.drawnTiles, &run))
        Put(run, shm, --puts == 0);
}

void
CloseOutput()
{
    // Colours and the GC go with the connection; the segment is ours to detach.
    X11Output& o = x11Output;
    if (o.display == NULL)
        return;
    DropImage();
    DrawnTilesRelease(&o.drawnTiles);
    if (o.ownWindow && !o.windowGone)
        XDestroyWindow(o.display, o.window);
    XSync(o.display, False);
    o.display = NULL;
}
