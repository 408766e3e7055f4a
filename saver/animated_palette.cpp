// Entries 0 to 254 are read back and animated every tick; entry 255 is never
// animated and serves as the slot a colour waits in (downward) or leaves by
// (upward).
#include "animated_palette.h"

#include "colour_walk.h"

PaletteAnimator paletteAnimator;

namespace {

void
SetEntryColour(PALETTEENTRY* entry)
{
    entry->peRed = ChannelByte(colourWalk.red);
    entry->peGreen = ChannelByte(colourWalk.green);
    entry->peBlue = ChannelByte(colourWalk.blue);
}

}

BOOL
CreateAnimatedPalette(HWND window)
{
    PaletteAnimator& p = paletteAnimator;
    for (int i = 1; i <= 255; i++) {
        AdvanceColourWalk(kCreationSegmentModulus, kCreationSegmentBase);
        SetEntryColour(&p.entries[i]);
        p.entries[i].peFlags = PC_RESERVED;
    }

    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, kLogPaletteBytes);
    LOGPALETTE* description = (LOGPALETTE*)LocalLock(block);
    if (description == NULL) {
        LocalFree(block);
        return FALSE;
    }
    description->palVersion = 0x300;
    description->palNumEntries = 256;
    PALETTEENTRY* slots = description->palPalEntry;
    slots[0].peRed = 0;
    slots[0].peGreen = 0;
    slots[0].peBlue = 0;
    slots[0].peFlags = PC_RESERVED;
    for (int i = 1; i <= 255; i++)
        slots[i] = p.entries[i];
    p.palette = CreatePalette(description);
    LocalUnlock(block);
    LocalFree(block);

    p.drawIndex = 1;
    HDC dc = GetDC(window);
    p.reservedCount = GetDeviceCaps(dc, NUMRESERVED);
    ReleaseDC(window, dc);
    return TRUE;
}

void
AdvanceDrawIndex()
{
    paletteAnimator.drawIndex++;
    if (255 - paletteAnimator.reservedCount < paletteAnimator.drawIndex)
        paletteAnimator.drawIndex = 1;
}

void
RotatePalette(HDC dc)
{
    PaletteAnimator& p = paletteAnimator;
    PALETTEENTRY* e = p.entries;
    GetPaletteEntries(p.palette, 0, 255, e);
    if (GetDeviceCaps(dc, SIZEPALETTE) != 256) {
        // Not a full 256-entry palette: entry 1 stays put, the rest flow down.
        for (int i = 2; i <= 254; i++)
            e[i] = e[i + 1];
        SetEntryColour(&e[255]);
    } else if (p.rotateUp != 0) {
        for (int i = 255; i >= 2; i--)
            e[i] = e[i - 1];
        SetEntryColour(&e[1]);
    } else {
        for (int i = 1; i <= 254; i++)
            e[i] = e[i + 1];
        SetEntryColour(&e[255]);
    }
    AnimatePalette(p.palette, 0, 255, e);
}
