// The drawn tiles: which tiles a front end recolours after each tick, worked
// out by hand from the pen's footprint (2 pixels left of and above a point,
// 1 right of and below it) and 32-pixel tiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawn_tiles.h"
#include "framebuffer.h"
#include "offscreen_spy.h"

namespace {

enum TileStepKind { kLine, kFill, kTick };

struct TileStep {
    TileStepKind kind;
    int x0, y0, x1, y1;  // a line's ends, or a fill's area
    uint8_t index;
};

struct TilesCase {
    const char* name;
    int width, height;
    std::vector<TileStep> steps;
    bool erased;  // what the last tick's note answers
    std::vector<FrameArea> runs;
};

const TileStep kEndTick = {kTick, 0, 0, 0, 0, 0};

std::vector<FrameArea>
Runs(const DrawnTiles& tiles)
{
    std::vector<FrameArea> runs;
    FrameArea run = FrameArea();
    while (DrawnTilesNextRun(&tiles, &run) && runs.size() < 1000)
        runs.push_back(run);
    return runs;
}

std::string
Describe(const std::vector<FrameArea>& runs)
{
    std::string text;
    for (const FrameArea& a : runs)
        text += "{" + std::to_string(a.left) + "," + std::to_string(a.top) + "," + std::to_string(a.right) + "," +
                std::to_string(a.bottom) + "} ";
    return text;
}

}

TEST(DrawnTilesTest, TilesHoldingDrawnPixelsComeInRowRuns)
{
    const TilesCase cases[] = {
        {"nothing drawn", 128, 128, {kEndTick}, false, {}},
        {"one dot", 128, 128, {{kLine, 5, 5, 5, 5, 1}, kEndTick}, false, {{0, 0, 32, 32}}},
        {"a dot on a tile corner reaches four tiles", 128, 128, {{kLine, 32, 32, 32, 32, 1}, kEndTick}, false,
         {{0, 0, 64, 32}, {0, 32, 64, 64}}},
        {"two dots apart in one row", 128, 128, {{kLine, 5, 5, 5, 5, 1}, {kLine, 70, 20, 70, 20, 2}, kEndTick},
         false, {{0, 0, 32, 32}, {64, 0, 96, 32}}},
        // The ticks' changed areas cover the whole frame; 7 of the 16 tiles hold pixels.
        {"an L: a row and a column of tiles", 128, 128,
         {{kLine, 4, 10, 100, 10, 3}, kEndTick, {kLine, 10, 40, 10, 120, 4}, kEndTick}, false,
         {{0, 0, 128, 32}, {0, 32, 32, 64}, {0, 64, 32, 96}, {0, 96, 32, 128}}},
        {"clipped at the right and bottom edges", 70, 40, {{kLine, 60, 35, 69, 39, 5}, kEndTick}, false,
         {{32, 32, 70, 40}}},
        {"a line far outside", 128, 128, {{kLine, -500, -500, -400, -450, 5}, kEndTick}, false, {}},
        {"a part filled in another index", 128, 128, {{kFill, 40, 0, 50, 10, 6}, kEndTick}, false,
         {{32, 0, 64, 32}}},
        {"an erase forgets what was drawn before it", 128, 128,
         {{kLine, 5, 5, 5, 5, 1}, kEndTick, {kFill, 0, 0, 128, 128, 0}, kEndTick}, true, {}},
        {"an erase and a line in one tick", 128, 128,
         {{kLine, 5, 5, 5, 5, 1}, kEndTick, {kFill, 0, 0, 128, 128, 0}, {kLine, 100, 100, 101, 100, 2}, kEndTick},
         true, {{96, 96, 128, 128}}},
        {"a line after the erase's tick", 128, 128,
         {{kFill, 0, 0, 128, 128, 0}, kEndTick, {kLine, 100, 40, 100, 40, 2}, kEndTick}, false,
         {{96, 32, 128, 64}}},
        {"a frame of one pixel", 1, 1, {{kLine, 0, 0, 0, 0, 9}, kEndTick}, false, {{0, 0, 1, 1}}},
    };
    for (const TilesCase& c : cases) {
        Framebuffer frame = Framebuffer();
        ASSERT_TRUE(FramebufferResize(&frame, c.width, c.height));
        DrawnTiles tiles = DrawnTiles();
        ASSERT_TRUE(DrawnTilesStart(&tiles, &frame)) << c.name;
        FramebufferTakeChanged(&frame);
        bool erased = false;
        for (const TileStep& s : c.steps) {
            if (s.kind == kLine)
                FramebufferLine(&frame, s.x0, s.y0, s.x1, s.y1, s.index);
            else if (s.kind == kFill)
                FramebufferFill(&frame, FrameArea{s.x0, s.y0, s.x1, s.y1}, s.index);
            else
                erased = DrawnTilesNote(&tiles, &frame, FramebufferTakeChanged(&frame));
        }
        EXPECT_EQ(c.erased, erased) << c.name;
        EXPECT_EQ(Describe(c.runs), Describe(Runs(tiles))) << c.name;
        DrawnTilesRelease(&tiles);
        FramebufferRelease(&frame);
    }
}

TEST(DrawnTilesTest, OtherSizesAndNoMemoryMarkNothing)
{
    Framebuffer frame = Framebuffer();
    ASSERT_TRUE(FramebufferResize(&frame, 100, 100));
    DrawnTiles tiles = DrawnTiles();
    ASSERT_TRUE(DrawnTilesStart(&tiles, &frame));
    Framebuffer other = Framebuffer();
    ASSERT_TRUE(FramebufferResize(&other, 100, 99));
    FramebufferLine(&other, 50, 50, 50, 50, 1);
    EXPECT_FALSE(DrawnTilesNote(&tiles, &other, FramebufferTakeChanged(&other))) << "a frame of another size";
    EXPECT_EQ("", Describe(Runs(tiles)));

    ASSERT_TRUE(FramebufferResize(&frame, 300, 300));
    SpyFailFrameMemory(true);
    EXPECT_FALSE(DrawnTilesStart(&tiles, &frame)) << "no memory for the marks";
    SpyFailFrameMemory(false);
    FramebufferLine(&frame, 50, 50, 50, 50, 1);
    EXPECT_FALSE(DrawnTilesNote(&tiles, &frame, FramebufferTakeChanged(&frame)));
    EXPECT_EQ("", Describe(Runs(tiles)));
    ASSERT_TRUE(DrawnTilesStart(&tiles, &frame)) << "memory again";
    FramebufferLine(&frame, 50, 50, 50, 50, 1);
    DrawnTilesNote(&tiles, &frame, FramebufferTakeChanged(&frame));
    EXPECT_EQ("{32,32,64,64} ", Describe(Runs(tiles)));
    DrawnTilesRelease(&tiles);
    FramebufferRelease(&frame);
    FramebufferRelease(&other);
}

// Runs of eight pixels at 0 keep what the target holds; all else is looked up.
TEST(DrawnTilesTest, RecolourSkipsOnlyWholeRunsOfZero)
{
    Framebuffer frame = Framebuffer();
    ASSERT_TRUE(FramebufferResize(&frame, 20, 2));
    frame.pixels[8] = 5;   // row 0: eight zeros, then a chunk with a 5, then a tail of four
    frame.pixels[20 + 3] = 7;
    uint32_t table[256];
    for (int i = 0; i < 256; i++)
        table[i] = 1000 + (uint32_t)i;
    struct RecolourCase {
        const char* name;
        FrameArea area;
        bool skipZero;
        // What each pixel holds after, from a target of 1s: 0 for the sentinel.
        int row0[20], row1[20];
    };
    const RecolourCase cases[] = {
        {"skipping zeros", {0, 0, 20, 2}, true,
         {0, 0, 0, 0, 0, 0, 0, 0, 1005, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
         {1000, 1000, 1000, 1007, 1000, 1000, 1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 1000, 1000, 1000, 1000}},
        {"every pixel", {0, 0, 20, 2}, false,
         {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1005, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
          1000, 1000},
         {1000, 1000, 1000, 1007, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
          1000, 1000}},
        {"clipped to the frame", {18, 1, 40, 9}, true, {0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1000, 1000}},
    };
    for (const RecolourCase& c : cases) {
        uint32_t target[40];
        for (uint32_t& t : target)
            t = 1;
        RecolourArea(&frame, c.area, table, target, 20, c.skipZero);
        for (int x = 0; x < 20; x++) {
            EXPECT_EQ(c.row0[x] != 0 ? (uint32_t)c.row0[x] : 1u, target[x]) << c.name << ", row 0, x " << x;
            EXPECT_EQ(c.row1[x] != 0 ? (uint32_t)c.row1[x] : 1u, target[20 + x]) << c.name << ", row 1, x " << x;
        }
    }
    FramebufferRelease(&frame);
}

// Recolouring only the drawn blocks of each run gives what recolouring the
// whole frame gives, on a frame whose edges cut tiles and blocks.
TEST(DrawnTilesTest, TheDrawnBlocksOfTheRunsAreTheWholeRecolouring)
{
    Framebuffer frame = Framebuffer();
    ASSERT_TRUE(FramebufferResize(&frame, 101, 70));
    DrawnTiles tiles = DrawnTiles();
    ASSERT_TRUE(DrawnTilesStart(&tiles, &frame));
    FramebufferTakeChanged(&frame);
    const FrameLine lines[] = {{3, 3, 97, 66}, {100, 0, 0, 69}, {50, 10, 52, 10}, {99, 68, 99, 68}};
    for (const FrameLine& l : lines) {
        FramebufferLine(&frame, l.x0, l.y0, l.x1, l.y1, (uint8_t)(l.x0 + 1));
        DrawnTilesNote(&tiles, &frame, FramebufferTakeChanged(&frame));
    }
    uint32_t table[256];
    for (int i = 0; i < 256; i++)
        table[i] = 7000 + (uint32_t)i;
    std::vector<uint32_t> whole(101 * 70), drawn(101 * 70, table[0]);
    RecolourArea(&frame, FrameArea{0, 0, 101, 70}, table, whole.data(), 101, false);
    for (FrameArea run : Runs(tiles))
        RecolourDrawn(&tiles, &frame, run, table, drawn.data(), 101);
    EXPECT_EQ(whole, drawn);
    DrawnTilesRelease(&tiles);
    FramebufferRelease(&frame);
}
