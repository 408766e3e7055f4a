// Records the messages that SaverWindowProc forwards.
#include "picture_double.h"

#include "animation_driver.h"

PictureLog pictureLog;

void
ClearPictureLog()
{
    pictureLog.count = 0;
    pictureLog.refuseCreate = 0;
}

int
PictureReceived(UINT message)
{
    int times = 0;
    for (int i = 0; i < pictureLog.count && i < 512; ++i)
        times += pictureLog.messages[i] == message;
    return times;
}

extern "C" LRESULT CALLBACK
ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (pictureLog.count < 512)
        pictureLog.messages[pictureLog.count] = message;
    ++pictureLog.count;
    if (message == WM_CREATE && pictureLog.refuseCreate)
        return -1;
    return SaverDefaultProc(window, message, wParam, lParam);
}
