// The picture as at process start, for everything that runs it again and
// again in one process on the stand-in (the replay tool, the web page, tests):
// every record zero and the stand-in at its defaults.
#ifndef TARVELIMUNDE_OFFSCREEN_FRESH_PICTURE_H
#define TARVELIMUNDE_OFFSCREEN_FRESH_PICTURE_H

#include "animated_palette.h"
#include "animation_driver.h"
#include "colour_walk.h"
#include "curve.h"
#include "offscreen.h"
#include "random.h"

inline void
ResetPicture()
{
    curveState = CurveState();
    colourWalk = ColourWalk();
    paletteAnimator = PaletteAnimator();
    animationDriver = AnimationDriver();
    randomGenerator = RandomGenerator();
    OffscreenReset();
}

#endif
