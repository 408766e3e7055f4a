// A module that carries the saver's resources and export with nothing else in
// it, so the resources can be checked before and apart from the saver itself.
#include <windows.h>

extern "C" LRESULT CALLBACK
ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI
WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
