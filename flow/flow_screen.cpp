// The pixels stay palette indices in the shared framebuffer; every frame
// gives each index its colour of the moment, so what is already drawn
// flows on a truecolour display as it does on a 256-colour one. On a
// palette display the system picks the nearest colours.
#include "flow_screen.h"

#include "drawn_tiles.h"
#include "flow_picture.h"
#include "frame_memory.h"
#include "frame_pace.h"

namespace {

struct ScreenColours {
    BITMAPINFOHEADER header;
    uint32_t colours[256];  // RGBQUADs
};

struct FlowScreen {
    HWND window;
    int width, height;
    int originX, originY;
    ScreenColours table;
    DrawnTiles tiles;
    // An erase since the last frame: the picture's area goes black first.
    bool erased;
    // One run of tiles at a time, its rows padded as a DIB's are.
    uint8_t* run;
    FramePace pace;  // at most a frame a tick, and a refresh
};

FlowScreen flowScreen;

int64_t
Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void
SendRun(HDC dc, const Framebuffer* frame, FrameArea run)
{
    FlowScreen& s = flowScreen;
    int width = run.right - run.left, height = run.bottom - run.top;
    int stride = (width + 3) & ~3;
    for (int y = 0; y < height; y++) {
        const uint8_t* from = frame->pixels + (size_t)(run.top + y) * (size_t)frame->width + run.left;
        uint8_t* to = s.run + (size_t)y * (size_t)stride;
        for (int x = 0; x < width; x++)
            to[x] = from[x];
    }
    s.table.header.biWidth = stride;
    s.table.header.biHeight = -height;
    SetDIBitsToDevice(dc, s.originX + run.left, s.originY + run.top, (DWORD)width, (DWORD)height, 0, 0, 0,
        (UINT)height, s.run, (const BITMAPINFO*)&s.table, DIB_RGB_COLORS);
}

void
SendFrame()
{
    FlowScreen& s = flowScreen;
    const Framebuffer* frame = FlowFrame();
    if (frame == NULL || frame->width != s.width || frame->height != s.height)
        return;
    ReadFlowColourTable(s.table.colours);
    HDC dc = GetDC(s.window);
    if (s.erased) {
        RECT picture = {s.originX, s.originY, s.originX + s.width, s.originY + s.height};
        FillRect(dc, &picture, (HBRUSH)GetStockObject(BLACK_BRUSH));
        s.erased = false;
    }
    FrameArea run = FrameArea();
    while (DrawnTilesNextRun(&s.tiles, &run))
        SendRun(dc, frame, run);
    ReleaseDC(s.window, dc);
}

}

bool
StartScreen(HWND window, int width, int height, int originX, int originY)
{
    FlowScreen& s = flowScreen;
    s.window = window;
    s.width = width;
    s.height = height;
    s.originX = originX;
    s.originY = originY;
    s.table.header = BITMAPINFOHEADER();
    s.table.header.biSize = sizeof(BITMAPINFOHEADER);
    s.table.header.biPlanes = 1;
    s.table.header.biBitCount = 8;
    s.table.header.biCompression = BI_RGB;
    s.table.header.biClrUsed = 256;
    s.erased = false;
    s.run = (uint8_t*)FrameMemoryAllocate((size_t)((width + 3) & ~3) * kDrawnTile);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    HDC dc = GetDC(window);
    int refreshHz = dc != NULL ? GetDeviceCaps(dc, VREFRESH) : 0;
    if (dc != NULL)
        ReleaseDC(window, dc);
    FramePaceStart(&s.pace, frequency.QuadPart, refreshHz, Now());
    return s.run != NULL;
}

void
PlaceScreen(int originX, int originY)
{
    flowScreen.originX = originX;
    flowScreen.originY = originY;
}

void
ShowTick(FrameArea changed)
{
    FlowScreen& s = flowScreen;
    const Framebuffer* frame = FlowFrame();
    // The tiles follow the frame, which the picture sizes at its creation.
    if (s.tiles.marks == NULL && !DrawnTilesStart(&s.tiles, frame))
        return;
    if (DrawnTilesNote(&s.tiles, frame, changed))
        s.erased = true;
    int64_t now = Now();
    if (!FramePaceDue(&s.pace, now))
        return;
    FramePaceShown(&s.pace, now);
    SendFrame();
}

void
EraseScreen(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void
StopScreen()
{
    FlowScreen& s = flowScreen;
    DrawnTilesRelease(&s.tiles);
    FrameMemoryFree(s.run);
    s.run = NULL;
}
