// The palette animation needs a palette of exactly 256 entries.
#include "setup_dialog.h"

bool
DisplaySuitsPicture(HDC dc)
{
    return GetDeviceCaps(dc, SIZEPALETTE) == 256;
}
