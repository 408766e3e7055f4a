// Images of the offscreen framebuffer, shown through the palette of the moment:
// an indexed PNG and an animated GIF (libpng and giflib do the encoding).
#ifndef TARVELIMUNDE_REPLAY_IMAGES_H
#define TARVELIMUNDE_REPLAY_IMAGES_H

#include <stdint.h>

#include <string>

#include "offscreen_win32.h"

bool WriteIndexedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                     const PALETTEENTRY* colours, std::string* error);

struct GifOutput;
GifOutput* OpenGif(const std::string& path, int width, int height, std::string* error);
// delay in hundredths of a second.
bool AddGifFrame(GifOutput* gif, const uint8_t* pixels, const PALETTEENTRY* colours, int delay,
                 std::string* error);
bool CloseGif(GifOutput* gif, std::string* error);

#endif
