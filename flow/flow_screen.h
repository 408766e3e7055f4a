// The real window's pixels: the picture's framebuffer, fed a tick at a time,
// sent through a 256-entry colour table, the tiles drawn since the last erase
// each frame.
#ifndef TARVELIMUNDE_FLOW_FLOW_SCREEN_H
#define TARVELIMUNDE_FLOW_FLOW_SCREEN_H

#include <stdint.h>

#include "platform.h"

// A fresh picture of width x height, seeded from clockSeconds, shown with its
// top-left at originX, originY of the window's client area: false when it or
// its memory cannot be had.
bool StartScreen(HWND window, uint32_t clockSeconds, int width, int height, int originX, int originY);
// The picture's top-left moved to originX, originY of the client area.
void PlaceScreen(int originX, int originY);
// One tick of the picture, and a frame when one is due.
void TickScreen();
// The whole client area black, as the exact builds erase it.
void EraseScreen(HWND window, HDC dc);
void StopScreen();

#endif
