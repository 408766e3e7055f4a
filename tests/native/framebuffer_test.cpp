// The framebuffer's erase: a fill of the whole frame in 0 leaves no pixel
// drawn, whichever way it clears.
#include <gtest/gtest.h>

#include <vector>

#include "animation_driver.h"
#include "framebuffer.h"
#include "fresh_picture.h"
#include "offscreen_spy.h"

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
            for (size_t i = 0; i < (size_t)frame.width * (size_t)frame.height; i++)
                drawn += frame.pixels[i] != 0;
            EXPECT_EQ(0u, drawn) << c.name << ", erase " << erase;
        }
    }
    FramebufferRelease(&frame);
}

// Without memory for its pixels a frame is 0 x 0: drawing and filling it
// touch nothing, and the next resize with memory works again.
TEST(FramebufferTest, WithoutMemoryTheFrameIsEmpty)
{
    struct MemoryCase {
        const char* name;
        int width, height;  // asked for while the memory is refused
        bool resized;
        int widthAfter, heightAfter;
    };
    const MemoryCase cases[] = {
        {"a new size", 300, 200, false, 0, 0},
        {"as many pixels as there are", 100, 50, true, 100, 50},
        {"no pixels at all", 0, 0, true, 0, 0},
    };
    for (const MemoryCase& c : cases) {
        Framebuffer frame = Framebuffer();
        ASSERT_TRUE(FramebufferResize(&frame, 50, 100));
        FramebufferLine(&frame, 10, 10, 40, 90, 7);
        SpyFailFrameMemory(true);
        EXPECT_EQ(c.resized, FramebufferResize(&frame, c.width, c.height)) << c.name;
        SpyFailFrameMemory(false);
        EXPECT_EQ(c.widthAfter, frame.width) << c.name;
        EXPECT_EQ(c.heightAfter, frame.height) << c.name;
        EXPECT_EQ(c.widthAfter, frame.changed.right) << c.name;
        EXPECT_EQ(c.heightAfter, frame.changed.bottom) << c.name;
        FramebufferLine(&frame, -10, -10, 400, 300, 9);
        FramebufferFill(&frame, FrameArea{0, 0, 400, 300}, 3);
        FramebufferFill(&frame, FrameArea{0, 0, 400, 300}, 0);
        for (size_t i = 0; i < (size_t)frame.width * (size_t)frame.height; i++)
            ASSERT_EQ(0, frame.pixels[i]) << c.name;
        ASSERT_TRUE(FramebufferResize(&frame, 64, 48)) << c.name;
        EXPECT_EQ(64, frame.width);
        FramebufferRelease(&frame);
        EXPECT_TRUE(frame.pixels == NULL);
    }
}

// The picture on a window whose frame got no memory draws nowhere and runs on.
TEST(FramebufferTest, PictureRunsOnAWindowWithoutFrameMemory)
{
    ResetPicture();
    SpyFailFrameMemory(true);
    HWND window = OffscreenCreateWindow(640, 480, true);
    SpyFailFrameMemory(false);
    ASSERT_NE(-1, ScreenSaverProc(window, WM_CREATE, 0, 0));
    for (int i = 0; i < 500; i++)
        ScreenSaverProc(window, WM_TIMER, kAnimationTimer, 0);
    const Framebuffer* frame = OffscreenFramebuffer();
    ASSERT_TRUE(frame != NULL);
    EXPECT_EQ(0, frame->width);
    EXPECT_EQ(0, frame->height);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    ResetPicture();
}
