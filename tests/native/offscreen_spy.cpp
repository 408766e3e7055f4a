// The spies stand between the picture and the stand-in at link time, so the
// stand-in knows nothing of them and the page and the tools link none of them:
// - The Win32 calls and OffscreenReset: the tests link with ld's
//   --wrap=NAME for each (cmake/native.cmake), which sends every call of NAME
//   to __wrap_NAME here; that one logs, counts or fails and calls the
//   stand-in's own as __real_NAME.
// - SaverDefaultProc, SetDlgItemTextA and EndDialog: defined here, in an
//   object the tests link directly, so the linker never takes the stand-in's
//   plain versions (offscreen/default_procedures.cpp) from its library.
#include "offscreen_spy.h"

#include <string.h>

#include <map>
#include <string>

#include "animation_driver.h"

namespace {

const int kMaxCalls = 4096;

struct Spy {
    SpyCounts counts;
    bool failLocalAlloc, failLocalLock, failCreatePalette, failSetTimer;
    bool failFrameMemory;
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

Spy spy;

void
Log(const char* call)
{
    if (spy.logCalls && spy.callCount < kMaxCalls)
        spy.calls[spy.callCount++] = call;
}

}

const SpyCounts& SpyGetCounts() { return spy.counts; }
void SpyFailLocalAlloc(bool fail) { spy.failLocalAlloc = fail; }
void SpyFailLocalLock(bool fail) { spy.failLocalLock = fail; }
void SpyFailCreatePalette(bool fail) { spy.failCreatePalette = fail; }
void SpyFailSetTimer(bool fail) { spy.failSetTimer = fail; }
void SpyFailFrameMemory(bool fail) { spy.failFrameMemory = fail; }
UINT_PTR SpyLastTimerKilled() { return spy.timerKilled; }

UINT_PTR
SpyLastTimerSet(UINT* period)
{
    if (period)
        *period = spy.timerPeriod;
    return spy.timerSet;
}

void SpyLogCalls(bool on) { spy.logCalls = on; spy.callCount = 0; }
int SpyCallCount() { return spy.callCount; }
const char* SpyCall(int index) { return spy.calls[index]; }
void SpySetDefaultResult(LRESULT result) { spy.defaultResult = result; }

int
SpyDefaultProcCalls(UINT message)
{
    return message < 0x10000 ? spy.defaultCalls[message] : 0;
}

const char*
SpyDialogText(int control)
{
    auto found = spy.dialogTexts.find(control);
    return found == spy.dialogTexts.end() ? NULL : found->second.c_str();
}

bool
SpyDialogEnded(intptr_t* result)
{
    *result = spy.dialogResult;
    return spy.dialogEnded;
}

extern "C" {

void __real_OffscreenReset();
BOOL __real_GetClientRect(HWND, RECT*);
HDC __real_GetDC(HWND);
int __real_ReleaseDC(HWND, HDC);
int __real_GetDeviceCaps(HDC, int);
int __real_FillRect(HDC, const RECT*, HBRUSH);
HPEN __real_CreatePen(int, int, COLORREF);
HGDIOBJ __real_SelectObject(HDC, HGDIOBJ);
BOOL __real_DeleteObject(HGDIOBJ);
BOOL __real_MoveToEx(HDC, int, int, POINT*);
BOOL __real_LineTo(HDC, int, int);
HPALETTE __real_CreatePalette(const LOGPALETTE*);
HPALETTE __real_SelectPalette(HDC, HPALETTE, BOOL);
UINT __real_RealizePalette(HDC);
UINT __real_GetPaletteEntries(HPALETTE, UINT, UINT, PALETTEENTRY*);
BOOL __real_AnimatePalette(HPALETTE, UINT, UINT, const PALETTEENTRY*);
UINT_PTR __real_SetTimer(HWND, UINT_PTR, UINT, TIMERPROC);
BOOL __real_KillTimer(HWND, UINT_PTR);
HLOCAL __real_LocalAlloc(UINT, size_t);
void* __real_LocalLock(HLOCAL);
BOOL __real_LocalUnlock(HLOCAL);
HLOCAL __real_LocalFree(HLOCAL);
void* __real_FrameMemoryAllocate(size_t);

void
__wrap_OffscreenReset()
{
    __real_OffscreenReset();
    spy.counts = SpyCounts();
    spy.failLocalAlloc = spy.failLocalLock = spy.failCreatePalette = spy.failSetTimer = false;
    spy.failFrameMemory = false;
    spy.timerSet = spy.timerKilled = 0;
    spy.timerPeriod = 0;
    spy.logCalls = false;
    spy.callCount = 0;
    spy.defaultResult = 0;
    memset(spy.defaultCalls, 0, sizeof spy.defaultCalls);
    spy.dialogTexts.clear();
    spy.dialogEnded = false;
    spy.dialogResult = 0;
}

BOOL
__wrap_GetClientRect(HWND window, RECT* rect)
{
    Log("GetClientRect");
    return __real_GetClientRect(window, rect);
}

HDC
__wrap_GetDC(HWND window)
{
    Log("GetDC");
    HDC dc = __real_GetDC(window);
    if (dc != NULL)
        spy.counts.liveDeviceContexts++;
    return dc;
}

int
__wrap_ReleaseDC(HWND window, HDC dc)
{
    Log("ReleaseDC");
    int released = __real_ReleaseDC(window, dc);
    if (released)
        spy.counts.liveDeviceContexts--;
    return released;
}

int
__wrap_GetDeviceCaps(HDC dc, int index)
{
    Log(index == SIZEPALETTE ? "GetDeviceCaps(SIZEPALETTE)" : "GetDeviceCaps(NUMRESERVED)");
    return __real_GetDeviceCaps(dc, index);
}

int
__wrap_FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    Log("FillRect");
    int filled = __real_FillRect(dc, rect, brush);
    if (filled)
        spy.counts.erases++;
    return filled;
}

HPEN
__wrap_CreatePen(int style, int width, COLORREF colour)
{
    Log("CreatePen");
    HPEN pen = __real_CreatePen(style, width, colour);
    if (pen != NULL)
        spy.counts.livePens++;
    return pen;
}

HGDIOBJ
__wrap_SelectObject(HDC dc, HGDIOBJ object)
{
    Log("SelectObject");
    return __real_SelectObject(dc, object);
}

BOOL
__wrap_DeleteObject(HGDIOBJ object)
{
    Log("DeleteObject");
    // Only pens and palettes can be deleted; the stand-in knows its palettes.
    bool palette = OffscreenPaletteColours((HPALETTE)object) != NULL;
    BOOL deleted = __real_DeleteObject(object);
    if (deleted)
        (palette ? spy.counts.livePalettes : spy.counts.livePens)--;
    return deleted;
}

BOOL
__wrap_MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    Log("MoveToEx");
    return __real_MoveToEx(dc, x, y, previous);
}

BOOL
__wrap_LineTo(HDC dc, int x, int y)
{
    Log("LineTo");
    BOOL drawn = __real_LineTo(dc, x, y);
    if (drawn)
        spy.counts.lines++;
    return drawn;
}

HPALETTE
__wrap_CreatePalette(const LOGPALETTE* description)
{
    Log("CreatePalette");
    HPALETTE palette = spy.failCreatePalette ? NULL : __real_CreatePalette(description);
    if (palette != NULL)
        spy.counts.livePalettes++;
    return palette;
}

HPALETTE
__wrap_SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground)
{
    Log("SelectPalette");
    return __real_SelectPalette(dc, palette, forceBackground);
}

UINT
__wrap_RealizePalette(HDC dc)
{
    Log("RealizePalette");
    return __real_RealizePalette(dc);
}

UINT
__wrap_GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    Log("GetPaletteEntries");
    return __real_GetPaletteEntries(palette, start, count, entries);
}

BOOL
__wrap_AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    Log("AnimatePalette");
    BOOL animated = __real_AnimatePalette(palette, start, count, entries);
    if (animated)
        spy.counts.animations++;
    return animated;
}

UINT_PTR
__wrap_SetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    Log("SetTimer");
    if (spy.failSetTimer)
        return 0;
    UINT_PTR set = __real_SetTimer(window, id, period, procedure);
    if (set != 0) {
        spy.timerSet = id;
        spy.timerPeriod = period;
        spy.counts.runningTimers++;
    }
    return set;
}

BOOL
__wrap_KillTimer(HWND window, UINT_PTR id)
{
    Log("KillTimer");
    spy.timerKilled = id;
    BOOL killed = __real_KillTimer(window, id);
    if (killed)
        spy.counts.runningTimers--;
    return killed;
}

HLOCAL
__wrap_LocalAlloc(UINT flags, size_t bytes)
{
    Log("LocalAlloc");
    HLOCAL block = spy.failLocalAlloc ? NULL : __real_LocalAlloc(flags, bytes);
    if (block != NULL)
        spy.counts.liveLocalBlocks++;
    return block;
}

void*
__wrap_FrameMemoryAllocate(size_t bytes)
{
    return spy.failFrameMemory ? NULL : __real_FrameMemoryAllocate(bytes);
}

void*
__wrap_LocalLock(HLOCAL block)
{
    Log("LocalLock");
    return spy.failLocalLock ? NULL : __real_LocalLock(block);
}

BOOL
__wrap_LocalUnlock(HLOCAL block)
{
    Log("LocalUnlock");
    return __real_LocalUnlock(block);
}

HLOCAL
__wrap_LocalFree(HLOCAL block)
{
    Log("LocalFree");
    HLOCAL left = __real_LocalFree(block);
    if (block != NULL && left == NULL)
        spy.counts.liveLocalBlocks--;
    return left;
}

}

LRESULT CALLBACK
SaverDefaultProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message < 0x10000)
        spy.defaultCalls[message]++;
    return spy.defaultResult;
}

BOOL
SetDlgItemTextA(HWND, int control, const char* text)
{
    spy.dialogTexts[control] = text ? text : "";
    return TRUE;
}

BOOL
EndDialog(HWND, intptr_t result)
{
    spy.dialogEnded = true;
    spy.dialogResult = result;
    return TRUE;
}
