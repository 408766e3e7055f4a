// A stand-in for the picture's ScreenSaverProc that records what reaches it
// and passes everything on to SaverDefaultProc, as the picture does.
#ifndef TARVELIMUNDE_TESTS_PICTURE_DOUBLE_H
#define TARVELIMUNDE_TESTS_PICTURE_DOUBLE_H

#include <windows.h>

struct PictureLog {
    UINT messages[512];
    int count;
    int refuseCreate;
};

extern PictureLog pictureLog;

void ClearPictureLog();
int PictureReceived(UINT message);

#endif
