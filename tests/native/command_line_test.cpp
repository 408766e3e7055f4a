// The command-line tail as the saver reads it: which mode the first
// significant character selects, and the window handle behind "a", "p", "l".
#include <gtest/gtest.h>

#include <string>

#include "command_line.h"

namespace {

SaverMode
ModeOf(const char* tail)
{
    return ScanSwitch(tail).mode;
}

uint32_t
HandleOf(const char* tail)
{
    return ParseDecimal(ScanSwitch(tail).argument);
}

TEST(ScanSwitchTest, NothingButBlanksDashesAndSlashesMeansSetup)
{
    for (const char* tail : {"", " ", "   ", "-", "/", "- / -", "//--//", " - "})
        EXPECT_EQ(ModeOf(tail), kSetupMode) << '"' << tail << '"';
}

TEST(ScanSwitchTest, SaveInAnyCaseAndAnyPrefixIgnoringTheRest)
{
    for (const char* tail : {"/s", "-S", "s", "S", "//--s", "/save", " /s 1234", "-s:x", "/S\t"})
        EXPECT_EQ(ModeOf(tail), kFullScreenMode) << tail;
}

TEST(ScanSwitchTest, ConfigureIgnoresWhatFollows)
{
    for (const char* tail : {"/c", "/C", "/c:1234", "-c 55", "c"})
        EXPECT_EQ(ModeOf(tail), kOwnedSetupMode) << tail;
}

TEST(ScanSwitchTest, PreviewIsPOrLInAnyCase)
{
    for (const char* tail : {"/p 1", "/P 1", "/l 1", "/L 1", "p", "-l"})
        EXPECT_EQ(ModeOf(tail), kPreviewMode) << tail;
}

TEST(ScanSwitchTest, ChangePasswordIsAInAnyCase)
{
    for (const char* tail : {"/a", "/A 1234", "a5", "--a"})
        EXPECT_EQ(ModeOf(tail), kChangePasswordMode) << tail;
}

TEST(ScanSwitchTest, AnythingElseIsUnknown)
{
    const char* tails[] = {"/x", "/1", "/?", "/\ts", "\t/s", "/\rs", "/\xe9", "/\x80", "/\xff", "+s", ".s",
        "\\s", "/b", "/z", "/\x01s"};
    for (const char* tail : tails)
        EXPECT_EQ(ModeOf(tail), kUnknownMode) << tail;
}

TEST(ScanSwitchTest, EveryByteIsOneOfTheModes)
{
    // Only the nine switch letters, the three skipped characters and the end
    // of text mean anything.
    const std::string known = "aAcClLpPsS -/";
    for (int byte = 1; byte < 256; ++byte) {
        char tail[] = {(char)byte, '\0'};
        bool isKnown = known.find((char)byte) != std::string::npos;
        EXPECT_EQ(ModeOf(tail) == kUnknownMode, !isKnown) << byte;
    }
}

TEST(ScanSwitchTest, TheHandleIsReadBehindTheLetterAndItsBlanks)
{
    EXPECT_EQ(HandleOf("/p 123"), 123u);
    EXPECT_EQ(HandleOf("/p123"), 123u);
    EXPECT_EQ(HandleOf("/l 1234"), 1234u);
    EXPECT_EQ(HandleOf("-P     77"), 77u);
    EXPECT_EQ(HandleOf("/A 1234"), 1234u);
    EXPECT_EQ(HandleOf("a42"), 42u);
    EXPECT_EQ(HandleOf("/p 00012"), 12u);
    EXPECT_EQ(HandleOf("/p 12ab"), 12u);
}

TEST(ScanSwitchTest, NoOtherSeparatorIsAccepted)
{
    EXPECT_EQ(HandleOf("/p:1234"), 0u);
    EXPECT_EQ(HandleOf("/p -5"), 0u);
    EXPECT_EQ(HandleOf("/p\t12"), 0u);
    EXPECT_EQ(HandleOf("/p"), 0u);
    EXPECT_EQ(HandleOf("/p 0"), 0u);
    EXPECT_EQ(HandleOf("/a"), 0u);
    EXPECT_EQ(HandleOf("/p +7"), 0u);
}

TEST(ScanSwitchTest, TheArgumentPointsIntoTheTail)
{
    const char tail[] = "  /p   99 rest";
    SwitchChoice choice = ScanSwitch(tail);
    EXPECT_EQ(choice.argument, tail + 7);
}

TEST(ParseDecimalTest, ReadsDigitsUpToTheFirstOther)
{
    EXPECT_EQ(ParseDecimal(""), 0u);
    EXPECT_EQ(ParseDecimal("0"), 0u);
    EXPECT_EQ(ParseDecimal("7"), 7u);
    EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
    EXPECT_EQ(ParseDecimal("12 34"), 12u);
    EXPECT_EQ(ParseDecimal("12\xb3"), 12u);
    EXPECT_EQ(ParseDecimal("9/"), 9u);
    EXPECT_EQ(ParseDecimal("9:"), 9u);
}

TEST(ParseDecimalTest, SkipsNothingAndKnowsNoSign)
{
    EXPECT_EQ(ParseDecimal(" 12"), 0u);
    EXPECT_EQ(ParseDecimal("-12"), 0u);
    EXPECT_EQ(ParseDecimal("+12"), 0u);
    EXPECT_EQ(ParseDecimal("x12"), 0u);
}

TEST(ParseDecimalTest, WrapsModulo2To32)
{
    EXPECT_EQ(ParseDecimal("4294967296"), 0u);
    EXPECT_EQ(ParseDecimal("4294967297"), 1u);
    EXPECT_EQ(ParseDecimal("99999999999"), 1215752191u);
    EXPECT_EQ(ParseDecimal("123456789012345678901234567890"), 1312754386u);
}

}
