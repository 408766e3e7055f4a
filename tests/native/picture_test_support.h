// Shared helpers of the native picture tests: a fresh process state, an
// independent copy of the generator, and a search for generator states that
// make the next draws come out as a test needs.
#ifndef TARVELIMUNDE_TESTS_PICTURE_TEST_SUPPORT_H
#define TARVELIMUNDE_TESTS_PICTURE_TEST_SUPPORT_H

#include <stdint.h>

#include <functional>
#include <vector>

#include "animated_palette.h"
#include "animation_driver.h"
#include "colour_walk.h"
#include "fresh_picture.h"
#include "curve.h"
#include "offscreen_spy.h"
#include "frame_feed.h"
#include "picture.h"
#include "random.h"


// The generator written out again, to predict draws without touching the real one.
struct ReferenceDraws {
    uint32_t state;
    int Next()
    {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7FFF);
    }
};

// The first generator state from which the next draws satisfy the predicate;
// the predicate gets a fresh copy of the draws for each candidate.
inline uint32_t
FindState(const std::function<bool(ReferenceDraws&)>& wanted)
{
    for (uint32_t candidate = 0; candidate < 0x40000000u; candidate += 7) {
        ReferenceDraws draws{candidate};
        if (wanted(draws))
            return candidate;
    }
    return 0xFFFFFFFFu;
}

// A created offscreen window of the given size, as WM_CREATE leaves it.
inline HWND
CreatedSaver(int width, int height, uint32_t seed = 1234, bool keepPixels = false)
{
    CreatePicture(seed, width, height, kPictureSizePalette, kPictureNumReserved, keepPixels);
    return PictureWindow();
}

#endif
