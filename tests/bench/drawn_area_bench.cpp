// What the module sends each frame on TrueColor, counted on the picture
// itself: the bounding box of the changed area and the drawn tiles (as sent
// before the tiles went out one run at a time), against the changed area and
// the runs.
//
//     tarvelimunde-drawn-area WIDTH HEIGHT TICKS SEED...
#include <stdio.h>
#include <stdlib.h>

#include "drawn_tiles.h"
#include "frame_feed.h"
#include "picture.h"

namespace {

uint64_t
Pixels(FrameArea a)
{
    return AreaIsEmpty(a) ? 0 : (uint64_t)(a.right - a.left) * (uint64_t)(a.bottom - a.top);
}

}

int
main(int argc, char** argv)
{
    if (argc < 5) {
        fputs("usage: tarvelimunde-drawn-area WIDTH HEIGHT TICKS SEED...\n", stderr);
        return 2;
    }
    int width = atoi(argv[1]), height = atoi(argv[2]);
    long ticks = atol(argv[3]);
    for (int s = 4; s < argc; s++) {
        uint32_t seed = (uint32_t)strtoul(argv[s], NULL, 10);
        if (!StartPicture(seed, width, height, kPictureSizePalette, kPictureNumReserved))
            return 1;
        DrawnTiles tiles = DrawnTiles();
        DrawnTilesStart(&tiles, PictureFrame());
        uint64_t box = 0, runs = 0, puts = 0;
        for (long n = 0; n < ticks; n++) {
            TickPicture();
            Framebuffer* frame = PictureFrame();
            FrameArea changed = FramebufferTakeChanged(frame);
            DrawnTilesNote(&tiles, frame, changed);
            FrameArea bounds = changed;
            runs += Pixels(changed);
            puts += AreaIsEmpty(changed) ? 0 : 1;
            FrameArea run = FrameArea();
            while (DrawnTilesNextRun(&tiles, &run)) {
                WidenArea(&bounds, run, width, height);
                runs += Pixels(run);
                puts++;
            }
            box += Pixels(bounds);
        }
        printf("seed %u: %dx%d, %ld ticks: bounding box %.0f pixels a frame, tiles %.0f (%.0f %%), "
               "%.1f puts a frame\n",
               seed, width, height, ticks, (double)box / ticks, (double)runs / ticks,
               box != 0 ? 100.0 * (double)runs / (double)box : 0.0, (double)puts / ticks);
        DrawnTilesRelease(&tiles);
    }
    StopPicture();
    return 0;
}
