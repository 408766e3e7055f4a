#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "offscreen_spy.h"
#include "setup_dialog.h"

namespace {

const int kOkCommand = 1;
const int kCancelCommand = 2;
const int kDoubleClicked = 5;  // BN_DOUBLECLICKED

WPARAM
Command(int control, int notification)
{
    return (WPARAM)(((unsigned)notification << 16) | (unsigned)control);
}

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OffscreenReset();
        dialog = OffscreenCreateWindow(362, 190, false);
    }

    // Initialises a fresh dialog on a display with the given palette size and
    // returns the verdict line.
    std::string VerdictFor(int sizePalette)
    {
        SetUp();
        OffscreenSetDeviceCaps(sizePalette, 20);
        EXPECT_EQ(TRUE, SetupDialogProc(dialog, WM_INITDIALOG, 0, 0));
        const char* text = SpyDialogText(IDC_DISPLAY_VERDICT);
        return text ? text : "(not set)";
    }

    HWND dialog = NULL;
};

TEST_F(SetupDialogTest, FullPaletteDisplayIsPerfect)
{
    EXPECT_EQ("Your video regime is perfect", VerdictFor(256));
}

TEST_F(SetupDialogTest, AnyOtherPaletteSizeAsksFor256Colours)
{
    for (int size : {0, 16, 2, 255, 257, 65536}) {
        SCOPED_TRACE(size);
        EXPECT_EQ("This program looks better in 256 colour mode", VerdictFor(size));
    }
}

TEST_F(SetupDialogTest, InitialisationSetsOnlyTheVerdictAndReleasesTheDeviceContext)
{
    SpyLogCalls(true);
    EXPECT_EQ(TRUE, SetupDialogProc(dialog, WM_INITDIALOG, 0, 0));
    EXPECT_EQ(0, SpyGetCounts().liveDeviceContexts);
    std::vector<std::string> calls;
    for (int i = 0; i < SpyCallCount(); i++)
        calls.push_back(SpyCall(i));
    EXPECT_EQ((std::vector<std::string>{"GetDC", "GetDeviceCaps(SIZEPALETTE)", "ReleaseDC"}), calls);
    for (int control : {1, 65535, -1})
        EXPECT_EQ(nullptr, SpyDialogText(control)) << control;
    intptr_t result = 0;
    EXPECT_FALSE(SpyDialogEnded(&result));
}

TEST_F(SetupDialogTest, OkEndsTheDialogWithOne)
{
    EXPECT_EQ(TRUE, SetupDialogProc(dialog, WM_COMMAND, Command(kOkCommand, 0), 0));
    intptr_t result = 0;
    EXPECT_TRUE(SpyDialogEnded(&result));
    EXPECT_EQ(1, result);
}

TEST_F(SetupDialogTest, OtherCommandsLeaveTheDialogOpen)
{
    const WPARAM others[] = {
        Command(kCancelCommand, 0),          // Escape
        Command(kOkCommand, kDoubleClicked), // control 1, but a notification
        Command(kOkCommand, 1),
        Command(IDC_DISPLAY_VERDICT, 0),
        0,
    };
    for (WPARAM wParam : others) {
        SCOPED_TRACE(wParam);
        EXPECT_EQ(FALSE, SetupDialogProc(dialog, WM_COMMAND, wParam, 0));
        intptr_t result = 0;
        EXPECT_FALSE(SpyDialogEnded(&result));
    }
}

TEST_F(SetupDialogTest, OtherMessagesAreNotHandled)
{
    for (UINT message : {(UINT)WM_CREATE, (UINT)WM_DESTROY, (UINT)WM_CLOSE, (UINT)WM_TIMER, 0x0112u}) {
        SCOPED_TRACE(message);
        EXPECT_EQ(FALSE, SetupDialogProc(dialog, message, Command(kOkCommand, 0), 0));
    }
    intptr_t result = 0;
    EXPECT_FALSE(SpyDialogEnded(&result));
    EXPECT_EQ(nullptr, SpyDialogText(IDC_DISPLAY_VERDICT));
    EXPECT_EQ(0, SpyGetCounts().liveDeviceContexts);
}

}
