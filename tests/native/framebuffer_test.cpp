// The framebuffer: the pen's footprint against pictures worked out by hand,
// and the erase, where a fill of the whole frame in 0 leaves no pixel drawn,
// whichever way it clears.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
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

namespace {

// A line drawn on a frame of the picture's size, and the frame as it must be
// afterwards: '#' in the line's index, '.' untouched. Each picture is worked
// out by hand from the dot (the 4 x 4 square without its corners, reaching 2
// pixels left of and above each point of the line and 1 right of and below
// it) and the line's points.
struct FootprintCase {
    const char* name;
    FrameLine line;
    std::vector<const char*> picture;
};

}

TEST(FramebufferTest, ThePenLeavesTheFootprintWorkedOutByHand)
{
    const FootprintCase cases[] = {
        {"a dot: a line of no length", {5, 4, 5, 4}, {
            "..........",
            "..........",
            "....##....",
            "...####...",
            "...####...",
            "....##....",
            "..........",
            "..........",
        }},
        {"one pixel long", {3, 3, 4, 3}, {
            "........",
            "..###...",
            ".#####..",
            ".#####..",
            "..###...",
            "........",
        }},
        {"horizontal, drawn right to left", {6, 3, 2, 3}, {
            "..........",
            ".######...",
            "########..",
            "########..",
            ".######...",
            "..........",
        }},
        {"vertical", {4, 2, 4, 5}, {
            "...##..",
            "..####.",
            "..####.",
            "..####.",
            "..####.",
            "..####.",
            "...##..",
            ".......",
        }},
        {"diagonal", {2, 2, 5, 5}, {
            ".##.....",
            "####....",
            "#####...",
            ".#####..",
            "..#####.",
            "...####.",
            "....##..",
            "........",
        }},
        {"clipped at the left edge", {0, 3, 0, 3}, {
            "......",
            "#.....",
            "##....",
            "##....",
            "#.....",
            "......",
        }},
        {"clipped at the top edge", {3, 0, 3, 0}, {
            ".####.",
            "..##..",
            "......",
        }},
        {"clipped at the right edge", {5, 3, 5, 3}, {
            "......",
            "....##",
            "...###",
            "...###",
            "....##",
            "......",
        }},
        {"clipped at the bottom edge", {3, 5, 3, 5}, {
            "......",
            "......",
            "......",
            "..##..",
            ".####.",
            ".####.",
        }},
        {"a point just past the right edge still reaches in", {6, 3, 6, 3}, {
            "......",
            ".....#",
            "....##",
            "....##",
            ".....#",
            "......",
        }},
        {"a point just past the left edge reaches only its centre rows", {-1, 3, -1, 3}, {
            "......",
            "......",
            "#.....",
            "#.....",
            "......",
            "......",
        }},
        {"a point 3 pixels above reaches nothing", {3, -3, 3, -3}, {
            "......",
            "......",
        }},
    };
    const uint8_t kIndex = 7;
    Framebuffer frame = Framebuffer();
    for (const FootprintCase& c : cases) {
        int width = (int)strlen(c.picture[0]), height = (int)c.picture.size();
        ASSERT_TRUE(FramebufferResize(&frame, width, height)) << c.name;
        FrameArea touched = FramebufferLine(&frame, c.line.x0, c.line.y0, c.line.x1, c.line.y1, kIndex);
        FrameArea expectedArea = FrameArea();
        std::string got, expected;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                expected += c.picture[y][x];
                got += frame.pixels[(size_t)(y * width + x)] == kIndex ? '#'
                       : frame.pixels[(size_t)(y * width + x)] == 0 ? '.' : '?';
                if (c.picture[y][x] == '#')
                    WidenArea(&expectedArea, FrameArea{x, y, x + 1, y + 1}, width, height);
            }
            expected += '\n';
            got += '\n';
        }
        EXPECT_EQ(expected, got) << c.name;
        // The area answered covers what was drawn (the dot's corners may be in it), within the frame.
        if (AreaIsEmpty(expectedArea)) {
            EXPECT_TRUE(AreaIsEmpty(touched)) << c.name;
        } else {
            EXPECT_TRUE(touched.left <= expectedArea.left && touched.top <= expectedArea.top &&
                        touched.right >= expectedArea.right && touched.bottom >= expectedArea.bottom) << c.name;
            EXPECT_TRUE(touched.left >= 0 && touched.top >= 0 && touched.right <= width && touched.bottom <= height)
                << c.name;
        }
    }
    FramebufferRelease(&frame);
}
