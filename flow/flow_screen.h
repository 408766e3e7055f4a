// The real window's pixels: the picture's framebuffer sent through a
// 256-entry colour table, the tiles drawn since the last erase each frame.
#ifndef TARVELIMUNDE_FLOW_FLOW_SCREEN_H
#define TARVELIMUNDE_FLOW_FLOW_SCREEN_H

#include "framebuffer.h"
#include "platform.h"

// A picture of width x height shown with its top-left at originX, originY
// of the window's client area: false when its memory cannot be had.
bool StartScreen(HWND window, int width, int height, int originX, int originY);
// After a tick, with the area it changed: notes what it drew, and sends a
// frame when one is due.
void ShowTick(FrameArea changed);
// The whole client area black, as the exact builds erase it.
void EraseScreen(HWND window, HDC dc);
void StopScreen();

#endif
