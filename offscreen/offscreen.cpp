// The stand-in for the Win32 calls the picture makes: one window, and device
// contexts, pens, palettes and local blocks from small fixed pools, so that
// drawing never touches the heap. Its state is one record like the picture's
// own; lines go into the window's framebuffer when it keeps one.
#include "offscreen.h"

struct OffscreenWindow {
    int width, height;
    bool keepPixels;
    Framebuffer frame;
};

struct OffscreenPen {
    bool live;
    COLORREF colour;
};

// Only the stock black brush exists; its address is its identity.
struct OffscreenBrush {};

struct OffscreenPalette {
    bool live;
    PALETTEENTRY entries[256];
};

struct OffscreenDeviceContext {
    bool live;
    HWND window;
    HPEN pen;
    HPALETTE palette;
    POINT position;
};

struct OffscreenLocalBlock {
    bool live;
    int locks;
    uint8_t bytes[1100];
};

namespace {

const int kPens = 16;
const int kPalettes = 8;
const int kDeviceContexts = 8;
const int kLocalBlocks = 4;

struct Offscreen {
    OffscreenWindow window;
    OffscreenPen pens[kPens];
    OffscreenPalette palettes[kPalettes];
    OffscreenDeviceContext contexts[kDeviceContexts];
    OffscreenLocalBlock blocks[kLocalBlocks];
    OffscreenPen defaultPen;
    OffscreenLine lastLine;
    int sizePalette, numReserved;
    int runningTimers;
};

Offscreen offscreen;
OffscreenBrush stockBlackBrush;

bool
IsPen(HGDIOBJ object)
{
    OffscreenPen* pen = (OffscreenPen*)object;
    return pen == &offscreen.defaultPen || (pen >= offscreen.pens && pen < offscreen.pens + kPens);
}

bool
IsPalette(HGDIOBJ object)
{
    OffscreenPalette* p = (OffscreenPalette*)object;
    return p >= offscreen.palettes && p < offscreen.palettes + kPalettes && p->live;
}

bool
IsLiveContext(HDC dc)
{
    return dc >= offscreen.contexts && dc < offscreen.contexts + kDeviceContexts && dc->live;
}

bool
IsSelectedAnywhere(HGDIOBJ object)
{
    for (OffscreenDeviceContext& c : offscreen.contexts)
        if (c.live && ((HGDIOBJ)c.pen == object || (HGDIOBJ)c.palette == object))
            return true;
    return false;
}

}

void
OffscreenReset()
{
    // The frame's memory is the only memory the stand-in holds.
    FramebufferRelease(&offscreen.window.frame);
    offscreen.window = OffscreenWindow();
    for (OffscreenPen& p : offscreen.pens)
        p = OffscreenPen();
    for (OffscreenPalette& p : offscreen.palettes)
        p = OffscreenPalette();
    for (OffscreenDeviceContext& c : offscreen.contexts)
        c = OffscreenDeviceContext();
    for (OffscreenLocalBlock& b : offscreen.blocks)
        b = OffscreenLocalBlock();
    offscreen.defaultPen = OffscreenPen();
    offscreen.defaultPen.live = true;
    offscreen.lastLine = OffscreenLine();
    offscreen.sizePalette = 256;
    offscreen.numReserved = 20;
    offscreen.runningTimers = 0;
    OffscreenSetClock(0);
}

HWND
OffscreenCreateWindow(int width, int height, bool keepPixels)
{
    OffscreenWindow& w = offscreen.window;
    w.width = width;
    w.height = height;
    w.keepPixels = keepPixels;
    FramebufferResize(&w.frame, keepPixels ? width : 0, keepPixels ? height : 0);
    return &w;
}

void
OffscreenResizeWindow(HWND window, int width, int height)
{
    window->width = width;
    window->height = height;
    FramebufferResize(&window->frame, window->keepPixels ? width : 0, window->keepPixels ? height : 0);
}

void OffscreenSetDeviceCaps(int sizePalette, int numReserved)
{
    offscreen.sizePalette = sizePalette;
    offscreen.numReserved = numReserved;
}

OffscreenLine OffscreenLastLine() { return offscreen.lastLine; }

Framebuffer*
OffscreenFramebuffer()
{
    return offscreen.window.keepPixels ? &offscreen.window.frame : NULL;
}

const PALETTEENTRY*
OffscreenPaletteColours(HPALETTE palette)
{
    return IsPalette(palette) ? palette->entries : NULL;
}

// The Win32 calls themselves.

BOOL
GetClientRect(HWND window, RECT* rect)
{
    rect->left = rect->top = 0;
    rect->right = window->width;
    rect->bottom = window->height;
    return TRUE;
}

HDC
GetDC(HWND window)
{
    for (OffscreenDeviceContext& c : offscreen.contexts) {
        if (!c.live) {
            c = OffscreenDeviceContext();
            c.live = true;
            c.window = window;
            c.pen = &offscreen.defaultPen;
            return &c;
        }
    }
    return NULL;
}

int
ReleaseDC(HWND, HDC dc)
{
    if (!IsLiveContext(dc))
        return 0;
    dc->live = false;
    return 1;
}

int
GetDeviceCaps(HDC dc, int index)
{
    if (!IsLiveContext(dc))
        return 0;
    if (index == SIZEPALETTE)
        return offscreen.sizePalette;
    if (index == NUMRESERVED)
        return offscreen.numReserved;
    return 0;
}

HGDIOBJ
GetStockObject(int object)
{
    return object == BLACK_BRUSH ? &stockBlackBrush : NULL;
}

int
FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!IsLiveContext(dc) || brush != &stockBlackBrush)
        return 0;
    if (dc->window->keepPixels)
        FramebufferFill(&dc->window->frame, FrameArea{rect->left, rect->top, rect->right, rect->bottom}, 0);
    return 1;
}

HPEN
CreatePen(int style, int width, COLORREF colour)
{
    if (style != PS_SOLID || width != 4)
        return NULL;
    for (OffscreenPen& p : offscreen.pens) {
        if (!p.live) {
            p.live = true;
            p.colour = colour;
            return &p;
        }
    }
    return NULL;
}

HGDIOBJ
SelectObject(HDC dc, HGDIOBJ object)
{
    if (!IsLiveContext(dc) || !IsPen(object) || !((HPEN)object)->live)
        return NULL;
    HPEN previous = dc->pen;
    dc->pen = (HPEN)object;
    return previous;
}

BOOL
DeleteObject(HGDIOBJ object)
{
    // Like GDI, an object still selected into a device context is not deleted.
    if (object == NULL || IsSelectedAnywhere(object))
        return FALSE;
    if (IsPen(object) && object != &offscreen.defaultPen && ((HPEN)object)->live) {
        ((HPEN)object)->live = false;
            return TRUE;
    }
    if (IsPalette(object)) {
        ((HPALETTE)object)->live = false;
            return TRUE;
    }
    return FALSE;
}

BOOL
MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    if (!IsLiveContext(dc))
        return FALSE;
    if (previous)
        *previous = dc->position;
    dc->position.x = x;
    dc->position.y = y;
    return TRUE;
}

BOOL
LineTo(HDC dc, int x, int y)
{
    if (!IsLiveContext(dc))
        return FALSE;
    POINT to = {x, y};
    offscreen.lastLine.from = dc->position;
    offscreen.lastLine.to = to;
    offscreen.lastLine.colour = dc->pen->colour;
    if (dc->window->keepPixels && dc->pen != &offscreen.defaultPen)
        FramebufferLine(&dc->window->frame, dc->position.x, dc->position.y, x, y, (uint8_t)(dc->pen->colour & 0xFF));
    dc->position = to;
    return TRUE;
}

HPALETTE
CreatePalette(const LOGPALETTE* description)
{
    if (description == NULL || description->palVersion != 0x300)
        return NULL;
    for (OffscreenPalette& p : offscreen.palettes) {
        if (!p.live) {
            p = OffscreenPalette();
            p.live = true;
            UINT count = description->palNumEntries > 256 ? 256 : description->palNumEntries;
            const PALETTEENTRY* source = description->palPalEntry;
            for (UINT i = 0; i < count; i++)
                p.entries[i] = source[i];
            return &p;
        }
    }
    return NULL;
}

HPALETTE
SelectPalette(HDC dc, HPALETTE palette, BOOL)
{
    if (!IsLiveContext(dc) || (palette != NULL && !IsPalette(palette)))
        return NULL;
    HPALETTE previous = dc->palette;
    dc->palette = palette;
    // A DC always has some palette selected; NULL stands for the default one.
    return previous;
}

UINT
RealizePalette(HDC dc)
{
    return IsLiveContext(dc) && dc->palette != NULL ? 0 : (UINT)-1;
}

UINT
GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    if (!IsPalette(palette) || start >= 256)
        return 0;
    if (count > 256 - start)
        count = 256 - start;
    for (UINT i = 0; i < count; i++)
        entries[i] = palette->entries[start + i];
    return count;
}

BOOL
AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    if (!IsPalette(palette) || start >= 256)
        return FALSE;
    if (count > 256 - start)
        count = 256 - start;
    // Only entries the palette marks PC_RESERVED can be animated.
    for (UINT i = 0; i < count; i++) {
        PALETTEENTRY& target = palette->entries[start + i];
        if (target.peFlags & PC_RESERVED)
            target = entries[i];
    }
    return TRUE;
}

UINT_PTR
SetTimer(HWND, UINT_PTR id, UINT, TIMERPROC)
{
    offscreen.runningTimers++;
    return id;
}

BOOL
KillTimer(HWND, UINT_PTR)
{
    if (offscreen.runningTimers == 0)
        return FALSE;
    offscreen.runningTimers--;
    return TRUE;
}

HLOCAL
LocalAlloc(UINT, size_t bytes)
{
    if (bytes > sizeof(OffscreenLocalBlock().bytes))
        return NULL;
    for (OffscreenLocalBlock& b : offscreen.blocks) {
        if (!b.live) {
            b = OffscreenLocalBlock();
            b.live = true;
            return &b;
        }
    }
    return NULL;
}

void*
LocalLock(HLOCAL block)
{
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL || !b->live)
        return NULL;
    b->locks++;
    return b->bytes;
}

BOOL
LocalUnlock(HLOCAL block)
{
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL || !b->live || b->locks == 0)
        return FALSE;
    return --b->locks != 0;
}

HLOCAL
LocalFree(HLOCAL block)
{
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL)
        return NULL;
    if (!b->live)
        return block;
    b->live = false;
    return NULL;
}

LRESULT
DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}
