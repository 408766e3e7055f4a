// The Windows build of the replay tool checks the picture's arithmetic through
// its trace; it has no image libraries, so it writes no images.
#include "replay_images.h"

bool
WriteIndexedPng(const std::string&, const uint8_t*, int, int, const PALETTEENTRY*, std::string* error)
{
    *error = "images are not built into this replay tool";
    return false;
}

GifOutput*
OpenGif(const std::string&, int, int, std::string* error)
{
    *error = "images are not built into this replay tool";
    return NULL;
}

bool
AddGifFrame(GifOutput*, const uint8_t*, const PALETTEENTRY*, int, std::string* error)
{
    *error = "images are not built into this replay tool";
    return false;
}

bool
CloseGif(GifOutput*, std::string* error)
{
    *error = "images are not built into this replay tool";
    return false;
}
