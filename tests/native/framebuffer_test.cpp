// The framebuffer's erase: a fill of the whole frame in 0 leaves no pixel
// drawn, whichever way it clears.
#include <gtest/gtest.h>

#include <vector>

#include "framebuffer.h"

namespace {

// A line, or a fill when fill is set (x0..y1 are then its area).
struct Step {
    bool fill;
    int x0, y0, x1, y1;
    uint8_t index;
};

struct EraseCase {
    const char* name;
    std::vector<Step> steps;
};

}

TEST(FramebufferTest, WholeFillInZeroLeavesNothingDrawn)
{
    // Dots, short enough that drawing them again would be the cheap erase.
    std::vector<Step> many;
    for (int i = 0; i < kKeptLines + 5; i++) {
        int x = i * 37 % 1000, y = i * 91 % 1000;
        many.push_back({false, x, y, x, y, (uint8_t)(i % 255 + 1)});
    }
    const EraseCase cases[] = {
        {"a few lines inside", {{false, 10, 10, 990, 20, 5}, {false, 500, 0, 501, 999, 9}, {false, 3, 3, 3, 3, 1}}},
        {"lines over the edges", {{false, -50, -50, 40, 30, 7}, {false, 1100, 990, 960, 1200, 8}}},
        {"a line far outside and across", {{false, -70000, -70000, 70000, 70000, 4}}},
        {"a part filled in another index", {{false, 10, 10, 20, 20, 3}, {true, 100, 100, 300, 200, 6}}},
        {"a part filled in 0 after lines", {{false, 0, 500, 999, 500, 2}, {true, 0, 0, 1000, 400, 0}}},
        {"more lines than are kept", many},
    };
    Framebuffer frame = Framebuffer();
    for (const EraseCase& c : cases) {
        FramebufferResize(&frame, 1000, 1000);
        for (const Step& s : c.steps) {
            if (s.fill)
                FramebufferFill(&frame, FrameArea{s.x0, s.y0, s.x1, s.y1}, s.index);
            else
                FramebufferLine(&frame, s.x0, s.y0, s.x1, s.y1, s.index);
        }
        // Twice: the second erase starts from a frame known to be clear.
        for (int erase = 0; erase < 2; erase++) {
            uint32_t fills = frame.fills;
            FramebufferLine(&frame, 400, 400, 600, 650, 200);
            FramebufferFill(&frame, FrameArea{-5, -5, 2000, 2000}, 0);
            EXPECT_EQ(fills + 1, frame.fills) << c.name;
            EXPECT_TRUE(AreaIsEmpty(frame.drawn)) << c.name;
            size_t drawn = 0;
            for (uint8_t index : frame.pixels)
                drawn += index != 0;
            EXPECT_EQ(0u, drawn) << c.name << ", erase " << erase;
        }
    }
}
