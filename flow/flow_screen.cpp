// The pixels stay palette indices in the shared framebuffer; every frame
// gives each drawn pixel its index's colour of the moment in a 32-bit DIB
// section of the whole picture, and the runs of drawn tiles go from there to
// the window, so what is already drawn flows on a truecolour display as it
// does on a 256-colour one. On a palette display the system picks the
// nearest colours.
#include "flow_screen.h"

#include <string.h>

#include "frame_feed.h"

namespace {

struct FlowScreen {
    HWND window;
    int width, height;
    int originX, originY;
    FrameFeed feed;
    uint32_t table[256];  // 0x00RRGGBB, as the section's pixels are
    // The picture in colour, black where nothing is drawn.
    HDC memory;
    HBITMAP section;
    HGDIOBJ previous;
    uint32_t* pixels;
};

FlowScreen flowScreen;

int64_t
Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// An erase since the last frame turns the picture black first; then every
// drawn pixel goes out in its colour of the moment.
void
SendFrame(FeedFrame out)
{
    FlowScreen& s = flowScreen;
    if (out.frame == NULL)
        return;
    FrameFeedColours(kDibColours, s.table);
    GdiFlush();
    HDC dc = GetDC(s.window);
    if (out.erased) {
        memset(s.pixels, 0, (size_t)s.width * (size_t)s.height * sizeof *s.pixels);
        RECT picture = {s.originX, s.originY, s.originX + s.width, s.originY + s.height};
        FillRect(dc, &picture, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    FrameArea run = FrameArea();
    while (FrameFeedNextRun(&s.feed, &run)) {
        FrameFeedRecolour(&s.feed, run, s.table, s.pixels, (size_t)s.width);
        BitBlt(dc, s.originX + run.left, s.originY + run.top, run.right - run.left, run.bottom - run.top, s.memory,
            run.left, run.top, SRCCOPY);
    }
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
    BITMAPINFOHEADER header = BITMAPINFOHEADER();
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    HDC dc = GetDC(window);
    int refreshHz = dc != NULL ? GetDeviceCaps(dc, VREFRESH) : 0;
    s.memory = CreateCompatibleDC(dc);
    void* pixels = NULL;
    s.section = CreateDIBSection(dc, (const BITMAPINFO*)&header, DIB_RGB_COLORS, &pixels, NULL, 0);
    s.pixels = (uint32_t*)pixels;
    if (s.memory != NULL && s.section != NULL)
        s.previous = SelectObject(s.memory, s.section);
    if (dc != NULL)
        ReleaseDC(window, dc);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    FrameFeedPace(&s.feed, frequency.QuadPart, refreshHz, Now());
    return s.memory != NULL && s.pixels != NULL &&
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
    if (s.previous != NULL)
        SelectObject(s.memory, s.previous);
    if (s.section != NULL)
        DeleteObject(s.section);
    if (s.memory != NULL)
        DeleteDC(s.memory);
    s = FlowScreen();
}
