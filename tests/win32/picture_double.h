// The picture of host_tests, a saver of its own: its ScreenSaverProc records
// what reaches it and passes everything on to SaverDefaultProc.
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
