// What cannot be seen of the saver from outside, under Wine (or Windows): how
// many timer ticks it handles a second against a bare window with the same
// 1 ms timer, and whether its object counts grow over a long run. Start-up,
// CPU time and memory are measured on the shipped .scr files instead
// (scr_from_outside.py).
//
//   saver_bench bare SECONDS    a bare window with a 1 ms timer
//   saver_bench saver SECONDS   the full-screen saver, closed after SECONDS
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "close_protocol.h"
#include "route_import.h"
#include "saver_window.h"

extern "C" HPEN (WINAPI *__imp_CreatePen)(int, int, COLORREF) IMPORT_SLOT(CreatePen, 12);
extern "C" HPALETTE (WINAPI *__imp_CreatePalette)(const LOGPALETTE*) IMPORT_SLOT(CreatePalette, 4);
extern "C" BOOL (WINAPI *__imp_DeleteObject)(HGDIOBJ) IMPORT_SLOT(DeleteObject, 4);
extern "C" HDC (WINAPI *__imp_GetDC)(HWND) IMPORT_SLOT(GetDC, 4);
extern "C" int (WINAPI *__imp_ReleaseDC)(HWND, HDC) IMPORT_SLOT(ReleaseDC, 8);

namespace {

struct Measurement {
    DWORD seconds;
    DWORD startTick;
    long ticks;
    // At the first tick, half way and at the end.
    DWORD gdiObjects[3], userObjects[3];
    bool halfSampled;
    // At the moment the close is sent, while the saver still runs.
    long ticksAtEnd;
    DWORD endTick;
    bool closeSent;
};

Measurement measurement;

// Wine answers 0 to GetGuiResources, so the GDI objects the saver holds are
// counted here, by routing its imports of the calls that make and free them
// through counters.
long liveGdiObjects;

HPEN (WINAPI *realCreatePen)(int, int, COLORREF);
HPALETTE (WINAPI *realCreatePalette)(const LOGPALETTE*);
BOOL (WINAPI *realDeleteObject)(HGDIOBJ);
HDC (WINAPI *realGetDC)(HWND);
int (WINAPI *realReleaseDC)(HWND, HDC);

HPEN WINAPI
CountedCreatePen(int style, int width, COLORREF colour)
{
    HPEN pen = realCreatePen(style, width, colour);
    liveGdiObjects += pen != NULL;
    return pen;
}

HPALETTE WINAPI
CountedCreatePalette(const LOGPALETTE* description)
{
    HPALETTE palette = realCreatePalette(description);
    liveGdiObjects += palette != NULL;
    return palette;
}

BOOL WINAPI
CountedDeleteObject(HGDIOBJ object)
{
    BOOL deleted = realDeleteObject(object);
    liveGdiObjects -= deleted != FALSE;
    return deleted;
}

HDC WINAPI
CountedGetDC(HWND window)
{
    HDC dc = realGetDC(window);
    liveGdiObjects += dc != NULL;
    return dc;
}

int WINAPI
CountedReleaseDC(HWND window, HDC dc)
{
    int released = realReleaseDC(window, dc);
    liveGdiObjects -= released != 0;
    return released;
}

void
CountGdiObjects()
{
    realCreatePen = RouteImport(&__imp_CreatePen, CountedCreatePen);
    realCreatePalette = RouteImport(&__imp_CreatePalette, CountedCreatePalette);
    realDeleteObject = RouteImport(&__imp_DeleteObject, CountedDeleteObject);
    realGetDC = RouteImport(&__imp_GetDC, CountedGetDC);
    realReleaseDC = RouteImport(&__imp_ReleaseDC, CountedReleaseDC);
}

void
Sample(int when)
{
    measurement.gdiObjects[when] = (DWORD)liveGdiObjects;
    measurement.userObjects[when] = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
}

// Counts each timer message as it is taken off the queue, and ends the run.
void
CountTick(HWND window, UINT message)
{
    if (message != WM_TIMER)
        return;
    Measurement& m = measurement;
    if (m.ticks++ == 0) {
        m.startTick = GetTickCount();
        Sample(0);
    }
    if (!m.halfSampled && GetTickCount() - m.startTick >= m.seconds * 500) {
        m.halfSampled = true;
        Sample(1);
    }
    if (!m.closeSent && GetTickCount() - m.startTick >= m.seconds * 1000) {
        m.closeSent = true;
        m.ticksAtEnd = m.ticks;
        m.endTick = GetTickCount();
        Sample(2);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK
SeeMessage(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* message = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && message->hwnd != NULL)
        CountTick(message->hwnd, message->message);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK
BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void
RunBareWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "BareTimerWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BareTimerWindow", "Bare", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL, NULL,
                                  windowClass.hInstance, NULL);
    SetTimer(window, 1, 1, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}

int
main(int argc, char** argv)
{
    if (argc != 3 || (strcmp(argv[1], "bare") != 0 && strcmp(argv[1], "saver") != 0)) {
        fprintf(stderr, "usage: saver_bench bare|saver SECONDS\n");
        return 2;
    }
    measurement.seconds = (DWORD)atoi(argv[2]);
    CountGdiObjects();
    SetWindowsHookExA(WH_GETMESSAGE, SeeMessage, NULL, GetCurrentThreadId());
    bool saver = strcmp(argv[1], "saver") == 0;
    if (saver) {
        hostState.instance = GetModuleHandleA(NULL);
        RunSaverWindow(NULL);
    } else {
        RunBareWindow();
    }
    Measurement& m = measurement;
    double elapsed = (m.endTick - m.startTick) / 1000.0;
    printf("ticks %ld\n", m.ticksAtEnd);
    printf("ticks_per_second %.1f\n", elapsed > 0 ? m.ticksAtEnd / elapsed : 0.0);
    printf("saver_gdi_objects %lu %lu %lu\n", (unsigned long)m.gdiObjects[0], (unsigned long)m.gdiObjects[1],
           (unsigned long)m.gdiObjects[2]);
    printf("user_objects_reported %lu %lu %lu\n", (unsigned long)m.userObjects[0],
           (unsigned long)m.userObjects[1], (unsigned long)m.userObjects[2]);
    return 0;
}
