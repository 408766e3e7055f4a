// The stand-in's state is one record like the picture's own; objects come from
// small fixed pools so that drawing never touches the heap.
#include "offscreen.h"

#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "framebuffer.h"

struct OffscreenWindow {
    int width, height;
    bool keepPixels;
    Framebuffer frame;
};

struct OffscreenPen {
    bool live;
    COLORREF colour;
};

struct OffscreenBrush {
    int stock;
};

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
    size_t size;
};

namespace {

const int kPens = 16;
const int kPalettes = 8;
const int kDeviceContexts = 8;
const int kLocalBlocks = 4;
const int kMaxCalls = 4096;

struct Offscreen {
    OffscreenWindow window;
    bool windowExists;
    OffscreenPen pens[kPens];
    OffscreenPalette palettes[kPalettes];
    OffscreenDeviceContext contexts[kDeviceContexts];
    OffscreenLocalBlock blocks[kLocalBlocks];
    OffscreenPen defaultPen;
    OffscreenCounts counts;
    OffscreenLine lastLine;
    int sizePalette, numReserved;
    uint32_t clock;
    bool failLocalAlloc, failLocalLock, failCreatePalette, failSetTimer;
    UINT_PTR timerSet, timerKilled;
    UINT timerPeriod;
    bool logCalls;
    int callCount;
    const char* calls[kMaxCalls];
    LRESULT defaultResult;
    int defaultCalls[0x10000];
    std::map<int, std::string> dialogTexts;
    bool dialogEnded;
    intptr_t dialogResult;
};

Offscreen offscreen;
OffscreenBrush stockBlackBrush = {BLACK_BRUSH};

void
Log(const char* call)
{
    if (offscreen.logCalls && offscreen.callCount < kMaxCalls)
        offscreen.calls[offscreen.callCount++] = call;
}

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
    offscreen.window = OffscreenWindow();
    offscreen.windowExists = false;
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
    offscreen.counts = OffscreenCounts();
    offscreen.lastLine = OffscreenLine();
    offscreen.sizePalette = 256;
    offscreen.numReserved = 20;
    offscreen.clock = 0;
    offscreen.failLocalAlloc = offscreen.failLocalLock = false;
    offscreen.failCreatePalette = offscreen.failSetTimer = false;
    offscreen.timerSet = offscreen.timerKilled = 0;
    offscreen.timerPeriod = 0;
    offscreen.logCalls = false;
    offscreen.callCount = 0;
    offscreen.defaultResult = 0;
    memset(offscreen.defaultCalls, 0, sizeof offscreen.defaultCalls);
    offscreen.dialogTexts.clear();
    offscreen.dialogEnded = false;
    offscreen.dialogResult = 0;
}

HWND
OffscreenCreateWindow(int width, int height, bool keepPixels)
{
    OffscreenWindow& w = offscreen.window;
    w.width = width;
    w.height = height;
    w.keepPixels = keepPixels;
    FramebufferResize(&w.frame, keepPixels ? width : 0, keepPixels ? height : 0);
    offscreen.windowExists = true;
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

void OffscreenSetClock(uint32_t secondsSince1970) { offscreen.clock = secondsSince1970; }
void OffscreenFailLocalAlloc(bool fail) { offscreen.failLocalAlloc = fail; }
void OffscreenFailLocalLock(bool fail) { offscreen.failLocalLock = fail; }
void OffscreenFailCreatePalette(bool fail) { offscreen.failCreatePalette = fail; }
void OffscreenFailSetTimer(bool fail) { offscreen.failSetTimer = fail; }
const OffscreenCounts& OffscreenGetCounts() { return offscreen.counts; }
OffscreenLine OffscreenLastLine() { return offscreen.lastLine; }
UINT_PTR OffscreenLastTimerKilled() { return offscreen.timerKilled; }

UINT_PTR
OffscreenLastTimerSet(UINT* period)
{
    if (period)
        *period = offscreen.timerPeriod;
    return offscreen.timerSet;
}

const uint8_t*
OffscreenPixels(int* width, int* height)
{
    *width = offscreen.window.width;
    *height = offscreen.window.height;
    return offscreen.window.keepPixels ? offscreen.window.frame.pixels.data() : NULL;
}

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

void OffscreenLogCalls(bool on) { offscreen.logCalls = on; offscreen.callCount = 0; }
int OffscreenCallCount() { return offscreen.callCount; }
const char* OffscreenCall(int index) { return offscreen.calls[index]; }
void OffscreenSetDefaultResult(LRESULT result) { offscreen.defaultResult = result; }

int
OffscreenDefaultProcCalls(UINT message)
{
    return message < 0x10000 ? offscreen.defaultCalls[message] : 0;
}

const char*
OffscreenDialogText(int control)
{
    auto found = offscreen.dialogTexts.find(control);
    return found == offscreen.dialogTexts.end() ? NULL : found->second.c_str();
}

bool
OffscreenDialogEnded(intptr_t* result)
{
    *result = offscreen.dialogResult;
    return offscreen.dialogEnded;
}

// The Win32 calls themselves.

BOOL
GetClientRect(HWND window, RECT* rect)
{
    Log("GetClientRect");
    rect->left = rect->top = 0;
    rect->right = window->width;
    rect->bottom = window->height;
    return TRUE;
}

HDC
GetDC(HWND window)
{
    Log("GetDC");
    for (OffscreenDeviceContext& c : offscreen.contexts) {
        if (!c.live) {
            c = OffscreenDeviceContext();
            c.live = true;
            c.window = window;
            c.pen = &offscreen.defaultPen;
            offscreen.counts.liveDeviceContexts++;
            return &c;
        }
    }
    return NULL;
}

int
ReleaseDC(HWND, HDC dc)
{
    Log("ReleaseDC");
    if (!IsLiveContext(dc))
        return 0;
    dc->live = false;
    offscreen.counts.liveDeviceContexts--;
    return 1;
}

int
GetDeviceCaps(HDC dc, int index)
{
    Log(index == SIZEPALETTE ? "GetDeviceCaps(SIZEPALETTE)" : "GetDeviceCaps(NUMRESERVED)");
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
    Log("FillRect");
    if (!IsLiveContext(dc) || brush != &stockBlackBrush)
        return 0;
    offscreen.counts.erases++;
    if (dc->window->keepPixels)
        FramebufferFill(&dc->window->frame, FrameArea{rect->left, rect->top, rect->right, rect->bottom}, 0);
    return 1;
}

HPEN
CreatePen(int style, int width, COLORREF colour)
{
    Log("CreatePen");
    if (style != PS_SOLID || width != 4)
        return NULL;
    for (OffscreenPen& p : offscreen.pens) {
        if (!p.live) {
            p.live = true;
            p.colour = colour;
            offscreen.counts.livePens++;
            return &p;
        }
    }
    return NULL;
}

HGDIOBJ
SelectObject(HDC dc, HGDIOBJ object)
{
    Log("SelectObject");
    if (!IsLiveContext(dc) || !IsPen(object) || !((HPEN)object)->live)
        return NULL;
    HPEN previous = dc->pen;
    dc->pen = (HPEN)object;
    return previous;
}

BOOL
DeleteObject(HGDIOBJ object)
{
    Log("DeleteObject");
    // Like GDI, an object still selected into a device context is not deleted.
    if (object == NULL || IsSelectedAnywhere(object))
        return FALSE;
    if (IsPen(object) && object != &offscreen.defaultPen && ((HPEN)object)->live) {
        ((HPEN)object)->live = false;
        offscreen.counts.livePens--;
        return TRUE;
    }
    if (IsPalette(object)) {
        ((HPALETTE)object)->live = false;
        offscreen.counts.livePalettes--;
        return TRUE;
    }
    return FALSE;
}

BOOL
MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    Log("MoveToEx");
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
    Log("LineTo");
    if (!IsLiveContext(dc))
        return FALSE;
    POINT to = {x, y};
    offscreen.lastLine.from = dc->position;
    offscreen.lastLine.to = to;
    offscreen.lastLine.colour = dc->pen->colour;
    offscreen.counts.lines++;
    if (dc->window->keepPixels && dc->pen != &offscreen.defaultPen)
        FramebufferLine(&dc->window->frame, dc->position.x, dc->position.y, x, y, (uint8_t)(dc->pen->colour & 0xFF));
    dc->position = to;
    return TRUE;
}

HPALETTE
CreatePalette(const LOGPALETTE* description)
{
    Log("CreatePalette");
    if (offscreen.failCreatePalette || description == NULL || description->palVersion != 0x300)
        return NULL;
    for (OffscreenPalette& p : offscreen.palettes) {
        if (!p.live) {
            p = OffscreenPalette();
            p.live = true;
            UINT count = description->palNumEntries > 256 ? 256 : description->palNumEntries;
            const PALETTEENTRY* source = description->palPalEntry;
            for (UINT i = 0; i < count; i++)
                p.entries[i] = source[i];
            offscreen.counts.livePalettes++;
            return &p;
        }
    }
    return NULL;
}

HPALETTE
SelectPalette(HDC dc, HPALETTE palette, BOOL)
{
    Log("SelectPalette");
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
    Log("RealizePalette");
    return IsLiveContext(dc) && dc->palette != NULL ? 0 : (UINT)-1;
}

UINT
GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    Log("GetPaletteEntries");
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
    Log("AnimatePalette");
    if (!IsPalette(palette) || start >= 256)
        return FALSE;
    offscreen.counts.animations++;
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
SetTimer(HWND, UINT_PTR id, UINT period, TIMERPROC)
{
    Log("SetTimer");
    if (offscreen.failSetTimer)
        return 0;
    offscreen.timerSet = id;
    offscreen.timerPeriod = period;
    offscreen.counts.runningTimers++;
    return id;
}

BOOL
KillTimer(HWND, UINT_PTR id)
{
    Log("KillTimer");
    offscreen.timerKilled = id;
    if (offscreen.counts.runningTimers == 0)
        return FALSE;
    offscreen.counts.runningTimers--;
    return TRUE;
}

HLOCAL
LocalAlloc(UINT, size_t bytes)
{
    Log("LocalAlloc");
    if (offscreen.failLocalAlloc || bytes > sizeof(OffscreenLocalBlock().bytes))
        return NULL;
    for (OffscreenLocalBlock& b : offscreen.blocks) {
        if (!b.live) {
            b = OffscreenLocalBlock();
            b.live = true;
            b.size = bytes;
            offscreen.counts.liveLocalBlocks++;
            return &b;
        }
    }
    return NULL;
}

void*
LocalLock(HLOCAL block)
{
    Log("LocalLock");
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL || offscreen.failLocalLock || !b->live)
        return NULL;
    b->locks++;
    return b->bytes;
}

BOOL
LocalUnlock(HLOCAL block)
{
    Log("LocalUnlock");
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL || !b->live || b->locks == 0)
        return FALSE;
    return --b->locks != 0;
}

HLOCAL
LocalFree(HLOCAL block)
{
    Log("LocalFree");
    OffscreenLocalBlock* b = (OffscreenLocalBlock*)block;
    if (b == NULL)
        return NULL;
    if (!b->live)
        return block;
    b->live = false;
    offscreen.counts.liveLocalBlocks--;
    return NULL;
}

void
GetSystemTime(SYSTEMTIME* now)
{
    // The calendar worked out here rather than by gmtime, whose range differs
    // between C libraries (32-bit MinGW's time_t has 32 bits and ends in 2038).
    uint64_t seconds = offscreen.clock;
    int64_t days = (int64_t)(seconds / 86400);
    uint32_t inDay = (uint32_t)(seconds % 86400);
    int64_t shifted = days + 719468;  // days since 0000-03-01
    int64_t era = shifted / 146097;
    int64_t dayOfEra = shifted - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    now->wYear = (WORD)(yearOfEra + era * 400 + (month <= 2));
    now->wMonth = (WORD)month;
    now->wDayOfWeek = (WORD)((days + 4) % 7);  // 1970-01-01 was a Thursday
    now->wDay = (WORD)(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    now->wHour = (WORD)(inDay / 3600);
    now->wMinute = (WORD)(inDay / 60 % 60);
    now->wSecond = (WORD)(inDay % 60);
    now->wMilliseconds = 0;
}

LRESULT
DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

LRESULT CALLBACK
SaverDefaultProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message < 0x10000)
        offscreen.defaultCalls[message]++;
    return offscreen.defaultResult;
}

BOOL
SetDlgItemTextA(HWND, int control, const char* text)
{
    offscreen.dialogTexts[control] = text ? text : "";
    return TRUE;
}

BOOL
EndDialog(HWND, intptr_t result)
{
    offscreen.dialogEnded = true;
    offscreen.dialogResult = result;
    return TRUE;
}
