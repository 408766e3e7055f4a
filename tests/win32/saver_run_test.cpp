// The host with the real picture: a full-screen and a preview saver run their
// message loops and draw, and the full-screen one closes on input, after the
// verifier's consent when a password is in force.
#include <gtest/gtest.h>

#include "animated_palette.h"
#include "curve.h"
#include "password_double.h"
#include "saver_window.h"
#include "startup.h"
#include "test_windows.h"

namespace {

struct Script {
    int step;
    int ticksSeen;
    int drawIndexMoved;
    int verifierCalls;
    int stillOpenAfterRefusal;
    int previewSurvivedInput;
    PasswordDouble* verifier;
} script;

PasswordDouble*
VerifierOf(HMODULE library)
{
    return ((PasswordDoubleStateProc)(void*)GetProcAddress(library, "PasswordDoubleState"))();
}

// Every 150 ms: look at the running saver, then give it the next input.
void CALLBACK
DrivePasswordRun(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND saver = hostState.saverWindow;
    switch (script.step++) {
    case 0:
        script.drawIndexMoved = paletteAnimator.drawIndex != 1;
        script.verifier = VerifierOf(hostState.verifierModule);
        script.verifier->answer = 0;
        PostMessageA(saver, WM_KEYDOWN, 'A', 0);
        break;
    case 1:
        script.verifierCalls = script.verifier->calls;
        script.stillOpenAfterRefusal = IsWindow(saver);
        script.verifier->answer = 1;
        PostMessageA(saver, WM_LBUTTONDOWN, 0, 0);
        break;
    default:
        KillTimer(NULL, timer);
        break;
    }
}

void CALLBACK
DrivePreview(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND saver = hostState.saverWindow;
    switch (script.step++) {
    case 0:
        script.drawIndexMoved = paletteAnimator.drawIndex != 1;
        SendMessageA(saver, WM_KEYDOWN, 'A', 0);
        SendMessageA(saver, WM_LBUTTONDOWN, 0, 0);
        break;
    case 1:
        script.previewSurvivedInput = IsWindow(saver);
        DestroyWindow(GetParent(saver));
        KillTimer(NULL, timer);
        break;
    }
}

class SaverRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHostState();
        DrainQueue();
        script = Script();
    }
    void TearDown() override
    {
        UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
        RemoveUsePassword();
        DrainQueue();
        ResetHostState();
    }
};

TEST_F(SaverRunTest, FullScreenWithPasswordAsksAndStaysUntilTheAnswerIsYes)
{
    SetUsePasswordNumber(1);
    SetTimer(NULL, 0, 150, DrivePasswordRun);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/s", SW_SHOWNORMAL), 0);
    EXPECT_TRUE(script.drawIndexMoved);
    EXPECT_EQ(script.verifierCalls, 1);
    EXPECT_TRUE(script.stillOpenAfterRefusal);
    EXPECT_GE(script.step, 2);
    EXPECT_NE(hostState.closing, 0);
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
    EXPECT_EQ(paletteAnimator.palette == NULL, false);
}

TEST_F(SaverRunTest, PreviewDrawsIgnoresInputAndEndsWithItsParent)
{
    HWND parent = CreatePlainWindow("monitor");
    char tail[32];
    wsprintfA(tail, "/p %u", (unsigned)(UINT_PTR)parent);
    SetTimer(NULL, 0, 150, DrivePreview);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL), 0);
    EXPECT_TRUE(script.drawIndexMoved);
    EXPECT_TRUE(script.previewSurvivedInput);
    EXPECT_EQ(hostState.closing, 0);
    EXPECT_FALSE(IsWindow(parent));
}

}
