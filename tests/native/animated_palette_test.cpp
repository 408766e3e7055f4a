// The palette: creation from the walk, the draw index's wrap, the three
// rotation modes and what entry 255 carries between ticks.
#include <gtest/gtest.h>

#include "picture_test_support.h"

namespace {

bool
SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b)
{
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

PALETTEENTRY
WalkColour()
{
    return PALETTEENTRY{ChannelByte(colourWalk.red), ChannelByte(colourWalk.green), ChannelByte(colourWalk.blue),
                        PC_RESERVED};
}

// A created palette whose colours are all different, so shifts are visible.
HWND
DistinctPalette(int sizePalette)
{
    ResetPicture();
    OffscreenSetDeviceCaps(sizePalette, 20);
    HWND window = OffscreenCreateWindow(64, 64, false);
    SeedRandom(5);
    StartColourWalk();
    EXPECT_TRUE(CreateAnimatedPalette(window));
    PALETTEENTRY distinct[256];
    for (int i = 0; i < 256; i++)
        distinct[i] = PALETTEENTRY{(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), PC_RESERVED};
    distinct[0] = PALETTEENTRY{0, 0, 0, PC_RESERVED};
    AnimatePalette(paletteAnimator.palette, 0, 256, distinct);
    for (int i = 0; i < 256; i++)
        paletteAnimator.entries[i] = distinct[i];
    return window;
}

}

TEST(AnimatedPaletteTest, CreationFillsEntryIWithTheWalkAfterICalls)
{
    ResetPicture();
    HWND window = OffscreenCreateWindow(640, 480, false);
    SeedRandom(77);
    StartColourWalk();
    ColourWalk walkBefore = colourWalk;
    RandomGenerator generatorBefore = randomGenerator;
    ASSERT_TRUE(CreateAnimatedPalette(window));

    ColourWalk walkAfter = colourWalk;
    colourWalk = walkBefore;
    randomGenerator = generatorBefore;
    const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
    ASSERT_NE(nullptr, shown);
    EXPECT_TRUE(SameColour(PALETTEENTRY{0, 0, 0, 0}, shown[0]));
    EXPECT_EQ(PC_RESERVED, shown[0].peFlags);
    for (int i = 1; i <= 255; i++) {
        AdvanceColourWalk(20, 10);
        EXPECT_TRUE(SameColour(WalkColour(), paletteAnimator.entries[i])) << "entry " << i;
        EXPECT_TRUE(SameColour(WalkColour(), shown[i])) << "entry " << i;
        EXPECT_EQ(PC_RESERVED, shown[i].peFlags);
    }
    EXPECT_EQ(0, memcmp(&walkAfter, &colourWalk, sizeof colourWalk));
    EXPECT_EQ(1, paletteAnimator.drawIndex);
    EXPECT_EQ(20, paletteAnimator.reservedCount);
    EXPECT_EQ(0, SpyGetCounts().liveLocalBlocks) << "the description block is freed";
    EXPECT_EQ(0, SpyGetCounts().liveDeviceContexts);
    EXPECT_EQ(1, SpyGetCounts().livePalettes);
}

TEST(AnimatedPaletteTest, PaletteMemoryFailureIsReportedAndLeavesNothing)
{
    for (bool failLock : {false, true}) {
        ResetPicture();
        HWND window = OffscreenCreateWindow(64, 64, false);
        SpyFailLocalAlloc(!failLock);
        SpyFailLocalLock(failLock);
        StartColourWalk();
        EXPECT_FALSE(CreateAnimatedPalette(window));
        EXPECT_EQ(nullptr, paletteAnimator.palette);
        EXPECT_EQ(0, SpyGetCounts().livePalettes);
        EXPECT_EQ(0, SpyGetCounts().liveLocalBlocks) << "a block that would not lock is freed";
    }
}

TEST(AnimatedPaletteTest, DrawIndexWrapsAfter255MinusReserved)
{
    struct Case {
        int reserved;
        std::vector<int> sequence;
    } cases[] = {
        {20, {}},
        {0, {}},
        {253, {2, 1, 2, 1, 2}},
        {254, {1, 1, 1, 1}},
        {300, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        paletteAnimator.drawIndex = 1;
        paletteAnimator.reservedCount = c.reserved;
        if (!c.sequence.empty()) {
            for (int expected : c.sequence) {
                AdvanceDrawIndex();
                EXPECT_EQ(expected, paletteAnimator.drawIndex) << "reserved " << c.reserved;
            }
            continue;
        }
        int top = 255 - c.reserved;
        for (int expected = 2; expected <= top; expected++) {
            AdvanceDrawIndex();
            ASSERT_EQ(expected, paletteAnimator.drawIndex);
        }
        AdvanceDrawIndex();
        EXPECT_EQ(1, paletteAnimator.drawIndex) << "after " << top;
    }
}

TEST(AnimatedPaletteTest, UpwardTickShiftsUpAndInsertsAtOne)
{
    DistinctPalette(256);
    paletteAnimator.rotateUp = 1;
    PALETTEENTRY before[256];
    memcpy(before, paletteAnimator.entries, sizeof before);
    colourWalk.red = 11.5f;
    colourWalk.green = 22.5f;
    colourWalk.blue = 33.5f;
    HDC dc = GetDC(NULL);
    RotatePalette(dc);
    ReleaseDC(NULL, dc);
    const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
    EXPECT_TRUE(SameColour(PALETTEENTRY{11, 22, 33, 0}, shown[1]));
    for (int k = 2; k <= 254; k++)
        ASSERT_TRUE(SameColour(before[k - 1], shown[k])) << k;
    EXPECT_TRUE(SameColour(before[254], paletteAnimator.entries[255]));
    EXPECT_TRUE(SameColour(before[255], shown[255])) << "entry 255 is never animated";
    EXPECT_TRUE(SameColour(PALETTEENTRY{0, 0, 0, 0}, shown[0]));
    for (int k = 0; k <= 255; k++)
        ASSERT_EQ(PC_RESERVED, paletteAnimator.entries[k].peFlags);
}

TEST(AnimatedPaletteTest, DownwardTickShiftsDownAndParksTheNewColourIn255)
{
    DistinctPalette(256);
    paletteAnimator.rotateUp = 0;
    PALETTEENTRY before[256];
    memcpy(before, paletteAnimator.entries, sizeof before);
    colourWalk.red = 200.0f;
    HDC dc = GetDC(NULL);
    RotatePalette(dc);
    const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
    for (int k = 1; k <= 253; k++)
        ASSERT_TRUE(SameColour(before[k + 1], shown[k])) << k;
    EXPECT_TRUE(SameColour(before[255], shown[254]));
    EXPECT_TRUE(SameColour(WalkColour(), paletteAnimator.entries[255]));
    EXPECT_TRUE(SameColour(before[255], shown[255]));

    // The next tick shows it at 254, one tick after the walk produced it.
    PALETTEENTRY parked = paletteAnimator.entries[255];
    colourWalk.red = 100.0f;
    RotatePalette(dc);
    ReleaseDC(NULL, dc);
    EXPECT_TRUE(SameColour(parked, shown[254]));
}

TEST(AnimatedPaletteTest, WithoutAFullPaletteEntryOneStaysAndDirectionIsIgnored)
{
    for (int size : {0, 16, 255, 257}) {
        DistinctPalette(size);
        paletteAnimator.rotateUp = 1;
        PALETTEENTRY before[256];
        memcpy(before, paletteAnimator.entries, sizeof before);
        HDC dc = GetDC(NULL);
        RotatePalette(dc);
        ReleaseDC(NULL, dc);
        const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
        EXPECT_TRUE(SameColour(before[1], shown[1])) << size;
        for (int k = 2; k <= 253; k++)
            ASSERT_TRUE(SameColour(before[k + 1], shown[k])) << k;
        EXPECT_TRUE(SameColour(before[255], shown[254]));
        EXPECT_TRUE(SameColour(WalkColour(), paletteAnimator.entries[255]));
    }
}

TEST(AnimatedPaletteTest, Entry255CarriesAcrossAChangeOfDirection)
{
    DistinctPalette(256);
    HDC dc = GetDC(NULL);
    paletteAnimator.rotateUp = 1;
    colourWalk.red = 50.0f;
    RotatePalette(dc);
    PALETTEENTRY shiftedOut = paletteAnimator.entries[255];
    paletteAnimator.rotateUp = 0;
    colourWalk.red = 60.0f;
    RotatePalette(dc);
    const PALETTEENTRY* shown = OffscreenPaletteColours(paletteAnimator.palette);
    EXPECT_TRUE(SameColour(shiftedOut, shown[254])) << "downward after upward shows the colour shifted out";

    // Upward after downward overwrites the parked colour before it is ever shown.
    PALETTEENTRY showingAt254 = shown[254];
    paletteAnimator.rotateUp = 1;
    colourWalk.red = 70.0f;
    RotatePalette(dc);
    ReleaseDC(NULL, dc);
    EXPECT_TRUE(SameColour(showingAt254, paletteAnimator.entries[255]));
    EXPECT_TRUE(SameColour(WalkColour(), shown[1]));
}
