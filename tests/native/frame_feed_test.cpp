// The feed every front end takes its frames from: what a frame carries, when
// one is due, and the colours packed as each kind of screen takes them.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "frame_feed.h"
#include "picture.h"

namespace {

const int64_t kUnitsASecond = 1000;

struct FeedTest : testing::Test {
    FrameFeed feed = FrameFeed();
    void TearDown() override { FrameFeedStop(&feed); }
};

TEST_F(FeedTest, AFrameTakesWhatTheTicksAndExposuresChanged)
{
    ASSERT_TRUE(FrameFeedStart(&feed, 1, 96, 64, kPictureSizePalette, kPictureNumReserved, true));
    FrameFeedPace(&feed, kUnitsASecond, 60, 0);
    FeedFrame first = FrameFeedTake(&feed, 0);
    EXPECT_EQ(first.changed.right, 96);
    EXPECT_EQ(first.changed.bottom, 64);
    // Nothing new: no frame, however long it waits.
    EXPECT_FALSE(FrameFeedDue(&feed, 10 * kUnitsASecond));

    // Beyond the frame is clipped off.
    FrameFeedShowAgain(&feed, FrameArea{90, 60, 200, 200});
    FeedFrame exposed = FrameFeedTake(&feed, 10 * kUnitsASecond);
    EXPECT_EQ(exposed.changed.left, 90);
    EXPECT_EQ(exposed.changed.right, 96);
    EXPECT_EQ(exposed.changed.bottom, 64);

    // Ticks until one has drawn: a frame is wanted.
    for (int i = 0; i < 1000 && AreaIsEmpty(feed.changed); i++)
        FrameFeedTick(&feed);
    ASSERT_FALSE(AreaIsEmpty(feed.changed));
    EXPECT_TRUE(FrameFeedDue(&feed, 11 * kUnitsASecond));
    FrameArea run = FrameArea();
    EXPECT_TRUE(FrameFeedNextRun(&feed, &run));
    FrameFeedTake(&feed, 11 * kUnitsASecond);
    EXPECT_TRUE(AreaIsEmpty(feed.changed));
    // The drawn tiles stay until an erase: every frame recolours them.
    run = FrameArea();
    EXPECT_TRUE(FrameFeedNextRun(&feed, &run));
}

TEST_F(FeedTest, APaletteScreenKeepsNoTiles)
{
    ASSERT_TRUE(FrameFeedStart(&feed, 1, 96, 64, kPictureSizePalette, kPictureNumReserved, false));
    for (int i = 0; i < 200; i++)
        FrameFeedTick(&feed);
    FrameArea run = FrameArea();
    EXPECT_FALSE(FrameFeedNextRun(&feed, &run));
}

struct PackingCase {
    const char* name;
    ColourPacking packing;
    int shift[3], bits[3];  // where red, green and blue land, and their widths
};

class PackingTest : public testing::TestWithParam<PackingCase> {};

// Each channel where the screen wants it, at the nearest value its width has.
TEST_P(PackingTest, EachChannelLandsInItsMask)
{
    const PackingCase& c = GetParam();
    ASSERT_TRUE(StartPicture(7, 64, 64, kPictureSizePalette, kPictureNumReserved));
    PictureColours colours;
    ReadPictureColours(&colours);
    uint32_t table[256];
    FrameFeedColours(c.packing, table);
    StopPicture();
    EXPECT_EQ(table[0], c.packing.always) << "the background is black";
    for (int i = 1; i < 256; i++) {
        EXPECT_EQ(table[i] & c.packing.always, c.packing.always);
        for (int channel = 0; channel < 3; channel++) {
            int top = (1 << c.bits[channel]) - 1;
            int got = (int)(table[i] >> c.shift[channel]) & top;
            // Within half a step of the palette's own value: |got / top - value / 255| <= 1 / (2 top).
            EXPECT_LE(abs(got * 255 * 2 - colours.rgb[i][channel] * top * 2), 255) << "entry " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, PackingTest, testing::Values(
    PackingCase{"Dib", kDibColours, {16, 8, 0}, {8, 8, 8}},
    PackingCase{"Canvas", kCanvasColours, {0, 8, 16}, {8, 8, 8}},
    PackingCase{"X565", ColourPacking{0xF800, 0x07E0, 0x001F, 0}, {11, 5, 0}, {5, 6, 5}}),
    [](const testing::TestParamInfo<PackingCase>& info) { return std::string(info.param.name); });

}
