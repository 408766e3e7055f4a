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
#include "saver_window.h"

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

// Points this module's import of `name` at `replacement`; returns the original.
void*
RouteImport(const char* name, void* replacement)
{
    BYTE* base = (BYTE*)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* headers = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress); d->Name; d++) {
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            void* original = (void*)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return NULL;
}

void
CountGdiObjects()
{
    realCreatePen = (decltype(realCreatePen))RouteImport("CreatePen", (void*)CountedCreatePen);
    realCreatePalette = (decltype(realCreatePalette))RouteImport("CreatePalette", (void*)CountedCreatePalette);
    realDeleteObject = (decltype(realDeleteObject))RouteImport("DeleteObject", (void*)CountedDeleteObject);
    realGetDC = (decltype(realGetDC))RouteImport("GetDC", (void*)CountedGetDC);
    realReleaseDC = (decltype(realReleaseDC))RouteImport("ReleaseDC", (void*)CountedReleaseDC);
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
