// The X side as the main loop sees it: the window drawn on (x11_window.cpp),
// its colours (x11_colours.cpp), the image the frames go out through
// (x11_image.cpp), and the feed's frames themselves, converted a tile at a
// time (x11_display.cpp).
#ifndef TARVELIMUNDE_X11_DISPLAY_H
#define TARVELIMUNDE_X11_DISPLAY_H

#include <X11/Xlib.h>

#include <string>

#include "frame_feed.h"
#include "x11_colours.h"
#include "x11_image.h"
#include "x11_window.h"

// Draws on target, or on a window of its own. False with a one-line message
// when the target names no window or there is no memory for the image.
bool OpenOutput(Display* display, bool ownWindow, Window target, bool install, std::string* error);
// A new image for a new size; false with a one-line message without one.
bool ResizeOutput(int width, int height, std::string* error);
// Whether each frame recolours every drawn pixel (TrueColor and DirectColor).
bool OutputRecolours();
// The frame's changed area out to the window in the colours of the moment,
// and the feed's drawn tiles in their new colours; colours alone where the
// cells hold them.
void PresentFrame(const FrameFeed* feed, FeedFrame out);
void CloseOutput();

#endif
