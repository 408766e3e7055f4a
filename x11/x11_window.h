// The module's window: its own or one it is given, and the connection's
// errors that concern it.
#ifndef TARVELIMUNDE_X11_WINDOW_H
#define TARVELIMUNDE_X11_WINDOW_H

#include <X11/Xlib.h>

#include <string>

struct X11Window {
    Display* display;
    Window window;
    bool ownWindow;
    Atom protocols, deleteWindow;
    Visual* visual;
    int depth;
    int width, height;
    Colormap colormap;  // the window's, as found
    bool started;
    bool windowGone;
    int unexpectedErrors;
};

extern X11Window x11Window;

// Target, or a window of its own, looked at and watched. False with a
// one-line message when the target names no window.
bool OpenWindow(Display* display, bool ownWindow, Window target, std::string* error);
// Mapped if it is its own, and the requests so far done: false with a
// one-line message when the window went meanwhile.
bool ShowWindow(std::string* error);
// The refresh of the monitor that shows the window's middle, in whole hertz
// rounded down; 0 where RandR does not say.
int RefreshRate();
void CloseWindow();

#endif
