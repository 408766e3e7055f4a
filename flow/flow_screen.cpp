// The pixels stay palette indices in the shared framebuffer; every frame
// gives each index its colour of the moment, so what is already drawn
// flows on a truecolour display as it does on a 256-colour one. On a
// palette display the system picks the nearest colours.
#include "flow_screen.h"

#include "frame_feed.h"
#include "frame_memory.h"

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
    FrameFeed feed;
    // One run of tiles at a time, its rows padded as a DIB's are.
    uint8_t* run;
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

// An erase since the last frame turns the picture's area black first; then
// every drawn pixel goes out in its colour of the moment.
void
SendFrame(FeedFrame out)
{
    FlowScreen& s = flowScreen;
    if (out.frame == NULL)
        return;
    FrameFeedColours(kDibColours, s.table.colours);
    HDC dc = GetDC(s.window);
    if (out.erased) {
        RECT picture = {s.originX, s.originY, s.originX + s.width, s.originY + s.height};
        FillRect(dc, &picture, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    FrameArea run = FrameArea();
    while (FrameFeedNextRun(&s.feed, &run))
        SendRun(dc, out.frame, run);
    ReleaseDC(s.window, dc);
}

}

bool
StartScreen(HWND window, uint32_t clockSeconds, int width, int height, int originX, int originY)
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
    s.run = (uint8_t*)FrameMemoryAllocate((size_t)((width + 3) & ~3) * kDrawnTile);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    HDC dc = GetDC(window);
    int refreshHz = dc != NULL ? GetDeviceCaps(dc, VREFRESH) : 0;
    if (dc != NULL)
        ReleaseDC(window, dc);
    FrameFeedPace(&s.feed, frequency.QuadPart, refreshHz, Now());
    return s.run != NULL &&
        FrameFeedStart(&s.feed, clockSeconds, width, height, kPictureSizePalette, kPictureNumReserved, true);
}

void
PlaceScreen(int originX, int originY)
{
    flowScreen.originX = originX;
    flowScreen.originY = originY;
}

void
TickScreen()
{
    FlowScreen& s = flowScreen;
    FrameFeedTick(&s.feed);
    int64_t now = Now();
    if (FrameFeedDue(&s.feed, now))
        SendFrame(FrameFeedTake(&s.feed, now));
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
    FrameFeedStop(&s.feed);
    FrameMemoryFree(s.run);
    s.run = NULL;
}
