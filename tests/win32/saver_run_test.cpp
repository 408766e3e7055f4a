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

// The saver's 1 ms timer keeps its queue busy, so the test drives it from a
// second thread: it watches the running saver and posts the user's input.
struct Script {
    HWND parent;
    int drawIndexMoved;
    int verifierCalls;
    int stillOpenAfterRefusal;
    int previewSurvivedInput;
    int ended;
} script;

PasswordDouble*
VerifierOf(HMODULE library)
{
    return ((PasswordDoubleStateProc)(void*)GetProcAddress(library, "PasswordDoubleState"))();
}

HWND
AwaitSaverWindow()
{
    return AwaitWindow([] { return *(HWND volatile*)&hostState.saverWindow; });
}

bool
AwaitCalls(PasswordDouble* verifier, int calls)
{
    return AwaitCondition([=] { return *(volatile int*)&verifier->calls >= calls; });
}

// The picture draws one segment a tick, each in the next palette entry. A
// tick comes only when no posted message is left, so once it has come, all
// that was posted before has been handled.
bool
AwaitTickFrom(int32_t drawIndex)
{
    return AwaitCondition([=] { return *(volatile int32_t*)&paletteAnimator.drawIndex != drawIndex; });
}

DWORD WINAPI
DrivePasswordRun(void*)
{
    HWND saver = AwaitSaverWindow();
    if (saver == NULL)
        return 1;
    script.drawIndexMoved = AwaitTickFrom(1);
    PasswordDouble* verifier = VerifierOf(hostState.verifierModule);
    verifier->answer = 0;
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    AwaitCalls(verifier, 1);
    // Drawing again after the refusal, with nothing else asked.
    script.stillOpenAfterRefusal = AwaitTickFrom(*(volatile int32_t*)&paletteAnimator.drawIndex) && IsWindow(saver);
    script.verifierCalls = verifier->calls;
    // A close within 200 ms of the refusal would be swallowed without asking.
    while (GetTickCount() - *(volatile uint32_t*)&hostState.lastVerifyTick < 200u)
        Sleep(1);
    verifier->answer = 1;
    PostMessageA(saver, WM_LBUTTONDOWN, 0, 0);
    return 0;
}

DWORD WINAPI
DrivePreview(void*)
{
    HWND saver = AwaitSaverWindow();
    if (saver == NULL)
        return 1;
    script.drawIndexMoved = AwaitTickFrom(1);
    SendMessageA(saver, WM_KEYDOWN, 'A', 0);
    SendMessageA(saver, WM_LBUTTONDOWN, 0, 0);
    // A close the input might have posted comes before the next tick.
    script.previewSurvivedInput = AwaitTickFrom(*(volatile int32_t*)&paletteAnimator.drawIndex) && IsWindow(saver);
    PostMessageA(script.parent, WM_CLOSE, 0, 0);
    return 0;
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
    HANDLE driver = CreateThread(NULL, 0, DrivePasswordRun, NULL, 0, NULL);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/s", SW_SHOWNORMAL), 0);
    WaitForSingleObject(driver, CeilingMs());
    CloseHandle(driver);
    EXPECT_TRUE(script.drawIndexMoved);
    EXPECT_EQ(script.verifierCalls, 1);
    EXPECT_TRUE(script.stillOpenAfterRefusal);
    EXPECT_EQ(hostState.closing, 1);
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
}

TEST_F(SaverRunTest, PreviewDrawsIgnoresInputAndEndsWithItsParent)
{
    HWND parent = CreatePlainWindow("monitor");
    script.parent = parent;
    char tail[32];
    wsprintfA(tail, "/p %u", (unsigned)(UINT_PTR)parent);
    HANDLE driver = CreateThread(NULL, 0, DrivePreview, NULL, 0, NULL);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL), 0);
    WaitForSingleObject(driver, CeilingMs());
    CloseHandle(driver);
    EXPECT_TRUE(script.drawIndexMoved);
    EXPECT_TRUE(script.previewSurvivedInput);
    EXPECT_EQ(hostState.closing, 0);
    EXPECT_FALSE(IsWindow(parent));
}

}
