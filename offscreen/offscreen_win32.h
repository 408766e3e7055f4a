// A stand-in for the few Win32 calls the picture makes, so that the same sources
// build and run natively. It draws into an 8-bit indexed framebuffer. The exact
// saver never holds it; Tarvelimunde Flow draws its picture through it.
#ifndef TARVELIMUNDE_OFFSCREEN_WIN32_H
#define TARVELIMUNDE_OFFSCREEN_WIN32_H

#include <stddef.h>
#include <stdint.h>

#define CALLBACK
#define WINAPI
#ifndef NULL
#define NULL 0
#endif
#define FALSE 0
#define TRUE 1

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uintptr_t UINT_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;
typedef void* HGDIOBJ;
typedef void* HLOCAL;
typedef struct OffscreenModule* HINSTANCE;
typedef struct OffscreenWindow* HWND;
typedef struct OffscreenDeviceContext* HDC;
typedef struct OffscreenPen* HPEN;
typedef struct OffscreenBrush* HBRUSH;
typedef struct OffscreenPalette* HPALETTE;
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagRECT {
    int32_t left, top, right, bottom;
} RECT;

typedef struct tagPOINT {
    int32_t x, y;
} POINT;

typedef struct tagPALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
} PALETTEENTRY;

typedef struct tagLOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
} LOGPALETTE;

typedef struct _SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
} SYSTEMTIME;

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_ERASEBKGND 0x0014
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113

#define PS_SOLID 0
#define BLACK_BRUSH 4
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define PC_RESERVED 0x01
#define LMEM_MOVEABLE 0x0002
#define PALETTEINDEX(i) ((COLORREF)(0x01000000 | (DWORD)(WORD)(i)))

// C names, as Win32 gives them, so that a program can put its own layer
// around them at link time (ld --wrap). Not under Windows, where kernel32
// exports some of the same names.
#ifndef _WIN32
extern "C" {
#endif
BOOL GetClientRect(HWND window, RECT* rect);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);
HGDIOBJ GetStockObject(int object);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
HPEN CreatePen(int style, int width, COLORREF colour);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
HPALETTE CreatePalette(const LOGPALETTE* description);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
HLOCAL LocalAlloc(UINT flags, size_t bytes);
void* LocalLock(HLOCAL block);
BOOL LocalUnlock(HLOCAL block);
HLOCAL LocalFree(HLOCAL block);
void GetSystemTime(SYSTEMTIME* now);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int control, const char* text);
BOOL EndDialog(HWND dialog, intptr_t result);
#ifndef _WIN32
}
#endif

#endif
