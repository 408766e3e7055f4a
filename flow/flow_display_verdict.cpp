// This build shows the flow on every display of 16 bits or more, through
// its colour table; on a palette display it is judged as the exact builds
// judge it.
#include "setup_dialog.h"

bool
DisplaySuitsPicture(HDC dc)
{
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) >= 16 || GetDeviceCaps(dc, SIZEPALETTE) == 256;
}
