// The picture's side of this build, built against the stand-in like the
// picture itself: its default procedure is the host's, across the relay.
#include "flow_picture.h"

#include "animation_driver.h"
#include "picture.h"

// The picture passes each message on unchanged, so what reaches here is
// the real window's message that the relay is carrying.
LRESULT CALLBACK
SaverDefaultProc(HWND, UINT, WPARAM, LPARAM)
{
    return PassToHost();
}

bool
StartFlowPicture(uint32_t clockSeconds, int width, int height)
{
    return StartPicture(clockSeconds, width, height, kPictureSizePalette, kPictureNumReserved);
}

FrameArea
TickFlowPicture()
{
    TickPicture();
    Framebuffer* frame = PictureFrame();
    return frame != NULL ? FramebufferTakeChanged(frame) : FrameArea();
}

void
StopFlowPicture()
{
    StopPicture();
}

const Framebuffer*
FlowFrame()
{
    return PictureFrame();
}

void
ReadFlowColourTable(uint32_t table[256])
{
    PictureColours colours;
    ReadPictureColours(&colours);
    for (int i = 0; i < 256; i++)
        table[i] = (uint32_t)colours.rgb[i][0] << 16 | (uint32_t)colours.rgb[i][1] << 8 | colours.rgb[i][2];
    table[0] = 0;
}

intptr_t
RelayToPicture(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    // The picture's ScreenSaverProc, renamed in this build (cmake/flow.cmake).
    return PictureScreenSaverProc(PictureWindow(), message, wParam, lParam);
}
