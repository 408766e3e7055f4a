// The colour walk: targets by scheme, steps per segment, float rounding.
#include <gtest/gtest.h>

#include "picture_test_support.h"

namespace {

void
ChooseFrom(uint32_t state, int scheme)
{
    randomGenerator.state = state;
    colourWalk.scheme = scheme;
    ChooseColourTarget();
}

}

class ColourWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPicture();
        colourWalk.segmentLength = 10;
    }
};

TEST_F(ColourWalkTest, SchemeZeroDarkBlueOnlyWhenRedAndGreenAreBothAbove128)
{
    uint32_t both129 = FindState([](ReferenceDraws& d) { return d.Next() % 255 == 128 && d.Next() % 255 == 128; });
    ReferenceDraws d{both129};
    d.Next();
    d.Next();
    int third = d.Next();
    ChooseFrom(both129, 0);
    EXPECT_EQ(129.0f, colourWalk.targetRed);
    EXPECT_EQ(129.0f, colourWalk.targetGreen);
    EXPECT_EQ((float)(third % 128 + 1), colourWalk.targetBlue);
    EXPECT_EQ(d.state, randomGenerator.state) << "exactly three draws";

    uint32_t red128 = FindState([](ReferenceDraws& d) { return d.Next() % 255 == 127 && d.Next() % 255 > 200; });
    d = ReferenceDraws{red128};
    d.Next();
    d.Next();
    third = d.Next();
    ChooseFrom(red128, 0);
    EXPECT_EQ(128.0f, colourWalk.targetRed);
    EXPECT_EQ((float)(third % 128 + 128), colourWalk.targetBlue);
    EXPECT_EQ(d.state, randomGenerator.state);
}

TEST_F(ColourWalkTest, SchemeTwoSwapsRedAndBlue)
{
    uint32_t both200 = FindState([](ReferenceDraws& d) { return d.Next() % 255 == 199 && d.Next() % 255 == 199; });
    ReferenceDraws d{both200};
    d.Next();
    d.Next();
    int third = d.Next();
    ChooseFrom(both200, 2);
    EXPECT_EQ(200.0f, colourWalk.targetBlue);
    EXPECT_EQ(200.0f, colourWalk.targetGreen);
    EXPECT_EQ((float)(third % 128 + 1), colourWalk.targetRed);
    EXPECT_GE(colourWalk.targetRed, 1.0f);
    EXPECT_LE(colourWalk.targetRed, 128.0f);
}

TEST_F(ColourWalkTest, PureSchemesPickBySevenBandsOfTen)
{
    struct Band {
        int k;
        float red, green, blue;
    } bands[] = {
        {69, 255, 255, 255}, {60, 255, 255, 255}, {59, 255, 0, 0}, {40, 0, 255, 0}, {39, 0, 0, 255},
        {29, 255, 255, 0},   {10, 255, 0, 255},   {9, 0, 255, 255}, {0, 0, 255, 255},
    };
    for (int scheme : {1, 3}) {
        for (const Band& band : bands) {
            uint32_t state = FindState([&](ReferenceDraws& d) { return d.Next() % 70 == band.k; });
            ChooseFrom(state, scheme);
            EXPECT_EQ(band.red, colourWalk.targetRed) << "k " << band.k;
            EXPECT_EQ(band.green, colourWalk.targetGreen) << "k " << band.k;
            EXPECT_EQ(band.blue, colourWalk.targetBlue) << "k " << band.k;
            ReferenceDraws once{state};
            once.Next();
            EXPECT_EQ(once.state, randomGenerator.state) << "one draw";
        }
    }
}

TEST_F(ColourWalkTest, ShortestSegmentMakesFourStepsThenPicksWithoutMoving)
{
    colourWalk.segmentLength = 5;
    colourWalk.segmentStep = 0;
    colourWalk.deltaRed = 10.0f;
    for (int call = 1; call <= 4; call++) {
        AdvanceColourWalk(15, 5);
        EXPECT_EQ(10.0f * call, colourWalk.red);
    }
    randomGenerator.state = 99;
    ReferenceDraws d{99};
    int length = d.Next() % 15 + 5;
    AdvanceColourWalk(15, 5);
    EXPECT_EQ(40.0f, colourWalk.red) << "the fifth call does not step";
    EXPECT_EQ(length, colourWalk.segmentLength);
    EXPECT_EQ(0, colourWalk.segmentStep);
    // The new deltas divide by the new length.
    EXPECT_FLOAT_EQ((float)((colourWalk.targetRed - 40.0) / length), colourWalk.deltaRed);
}

TEST_F(ColourWalkTest, BlackTowardsRedInTenStopsAt229)
{
    colourWalk.segmentLength = 10;
    colourWalk.targetRed = 255;
    colourWalk.deltaRed = (float)((255.0 - 0.0) / 10);
    EXPECT_EQ(25.5f, colourWalk.deltaRed);
    for (int call = 1; call <= 9; call++)
        AdvanceColourWalk(15, 5);
    EXPECT_EQ(229.5f, colourWalk.red);
    EXPECT_EQ(229, ChannelByte(colourWalk.red));
    AdvanceColourWalk(15, 5);
    EXPECT_EQ(229.5f, colourWalk.red);
}

TEST_F(ColourWalkTest, FloatSumsCanFallJustShortOfAWholeNumber)
{
    colourWalk.segmentLength = 12;
    colourWalk.deltaRed = (float)(4.0 / 12);
    for (int i = 0; i < 9; i++)
        StepColour();
    EXPECT_LT(colourWalk.red, 3.0f);
    EXPECT_EQ(2, ChannelByte(colourWalk.red));
}

TEST_F(ColourWalkTest, StartDrawsLengthThenSchemeZeroTarget)
{
    colourWalk.scheme = 3;
    randomGenerator.state = 4242;
    ReferenceDraws d{4242};
    int length = d.Next() % 20 + 10;
    float red = (float)(d.Next() % 255 + 1);
    float green = (float)(d.Next() % 255 + 1);
    d.Next();
    StartColourWalk();
    EXPECT_EQ(length, colourWalk.segmentLength);
    EXPECT_EQ(0, colourWalk.scheme);
    EXPECT_EQ(0, colourWalk.segmentStep);
    EXPECT_EQ(red, colourWalk.targetRed);
    EXPECT_EQ(green, colourWalk.targetGreen);
    EXPECT_EQ(d.state, randomGenerator.state);
    EXPECT_EQ(0.0f, colourWalk.red) << "the walk starts from black";
    EXPECT_EQ((float)(red / (double)length), colourWalk.deltaRed);
}

TEST_F(ColourWalkTest, ChannelsStayInRangeOverALongWalk)
{
    SeedRandom(7);
    StartColourWalk();
    for (int i = 0; i < 200000; i++) {
        if (i % 300 == 0)
            colourWalk.scheme = (colourWalk.scheme + 1) % 4;
        AdvanceColourWalk(15, 5);
        for (float channel : {colourWalk.red, colourWalk.green, colourWalk.blue}) {
            ASSERT_GT(channel, -0.001f);
            ASSERT_LT(channel, 255.001f);
        }
        ASSERT_GE(colourWalk.segmentLength, 5);
        ASSERT_LE(colourWalk.segmentLength, 19);
    }
}
