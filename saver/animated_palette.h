// The animated palette: 256 PC_RESERVED entries filled from the colour walk,
// the draw index that cycles through the display's free entries, and the
// per-tick rotation.
#ifndef TARVELIMUNDE_SAVER_ANIMATED_PALETTE_H
#define TARVELIMUNDE_SAVER_ANIMATED_PALETTE_H

#include <stdint.h>

#include "platform.h"

struct PaletteAnimator {
    PALETTEENTRY entries[256];
    HPALETTE palette;
    int32_t drawIndex;
    int32_t reservedCount;
    int32_t rotateUp;
};

extern PaletteAnimator paletteAnimator;

// LOGPALETTE with all 256 entries: a 4-byte header and 256 four-byte entries.
const unsigned kLogPaletteBytes = 1032;

// Fills, creates and measures; FALSE when the palette description's memory
// cannot be had.
BOOL CreateAnimatedPalette(HWND window);
void AdvanceDrawIndex();
void RotatePalette(HDC dc);

#endif
