// SaverWindowProc's share of the messages, in full screen, in the preview and
// once the saver is closing: what it answers itself, what it forwards to the
// picture and what it hands straight to DefWindowProcA.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include "picture_double.h"
#include "saver_window.h"
#include "test_windows.h"

namespace {

class SaverWindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHostState();
        ClearPictureLog();
        DrainQueue();
        ShowArrowCursor();
    }
    void TearDown() override
    {
        if (window != NULL && IsWindow(window))
            DestroyWindow(window);
        if (parent != NULL)
            DestroyWindow(parent);
        DrainQueue();
        ResetHostState();
    }
    HWND OpenFullScreen()
    {
        window = CreateSaverTestWindow(NULL);
        return window;
    }
    HWND OpenPreview()
    {
        parent = CreatePlainWindow("control panel");
        window = CreateSaverTestWindow(parent);
        return window;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SaverWindowProc(window, message, wParam, lParam);
    }
    HWND window = NULL;
    HWND parent = NULL;
};

const UINT kInputMessages[] = {
    WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
};

TEST_F(SaverWindowProcTest, FullScreenCreationRecordsTheCursorHidesItAndForwards)
{
    SetCursorPos(150, 120);
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    EXPECT_EQ(hostState.lastCursor.x, 150);
    EXPECT_EQ(hostState.lastCursor.y, 120);
    EXPECT_TRUE(CursorHidden());
    EXPECT_EQ(PictureReceived(WM_CREATE), 1);
}

TEST_F(SaverWindowProcTest, PreviewCreationRecordsTheCursorAndLeavesItShown)
{
    SetCursorPos(40, 30);
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    EXPECT_EQ(hostState.lastCursor.x, 40);
    EXPECT_EQ(hostState.lastCursor.y, 30);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(PictureReceived(WM_CREATE), 1);
}

TEST_F(SaverWindowProcTest, RefusedCreationFailsTheWindow)
{
    pictureLog.refuseCreate = 1;
    EXPECT_EQ(OpenFullScreen(), (HWND)NULL);
}

// Under Wine, as on Windows with input methods, user32 has IMM32.DLL loaded
// already, so the input method is always present here.
TEST_F(SaverWindowProcTest, InputMethodIsDetachedAtCreationAndGivenBackAtDestruction)
{
    ASSERT_NE(GetModuleHandleA("IMM32.DLL"), (HMODULE)NULL);
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    EXPECT_EQ(hostState.immModule, GetModuleHandleA("IMM32.DLL"));
    EXPECT_EQ((void*)hostState.immAssociateContext,
        (void*)GetProcAddress(GetModuleHandleA("IMM32.DLL"), "ImmAssociateContext"));
    ASSERT_NE(hostState.savedImeContext, (InputContext)NULL);
    HIMC during = ImmGetContext(window);
    EXPECT_EQ(during, (HIMC)NULL);

    EXPECT_EQ(Send(WM_DESTROY), 0);
    HIMC after = ImmGetContext(window);
    EXPECT_EQ((InputContext)after, hostState.savedImeContext);
    ImmReleaseContext(window, after);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(PictureReceived(WM_DESTROY), 1);
}

TEST_F(SaverWindowProcTest, DestructionRestoresNoInputContextThatWasNotSaved)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    hostState.savedImeContext = NULL;
    Send(WM_DESTROY);
    EXPECT_EQ(ImmGetContext(window), (HIMC)NULL);

    // Without the library the saved context is not used either.
    HIMC saved = ImmCreateContext();
    hostState.savedImeContext = saved;
    hostState.immModule = NULL;
    Send(WM_DESTROY);
    EXPECT_EQ(ImmGetContext(window), (HIMC)NULL);
    ImmDestroyContext(saved);
}

TEST_F(SaverWindowProcTest, TitleChangesAreRefusedInBothModes)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, (LPARAM) "other"), 0);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
    EXPECT_EQ(PictureReceived(WM_SETTEXT), 0);
    DestroyWindow(window);

    ClearPictureLog();
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, (LPARAM) "other"), 0);
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Preview");
    EXPECT_EQ(PictureReceived(WM_SETTEXT), 0);
}

TEST_F(SaverWindowProcTest, PaintHidesTheCursorInFullScreenAndForwards)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    ShowArrowCursor();
    Send(WM_PAINT);
    EXPECT_TRUE(CursorHidden());
    EXPECT_EQ(PictureReceived(WM_PAINT), 1);
}

TEST_F(SaverWindowProcTest, PaintInThePreviewForwardsWithoutHidingTheCursor)
{
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    ShowArrowCursor();
    Send(WM_PAINT);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(PictureReceived(WM_PAINT), 1);
}

TEST_F(SaverWindowProcTest, PaintWhileClosingGoesToDefWindowProc)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    hostState.closing = 1;
    ShowArrowCursor();
    InvalidateRect(window, NULL, FALSE);
    Send(WM_PAINT);
    // DefWindowProcA's painting validates the window.
    EXPECT_FALSE(GetUpdateRect(window, NULL, FALSE));
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(PictureReceived(WM_PAINT), 0);
}

TEST_F(SaverWindowProcTest, HelpRequestsInThePreviewGoToTheParent)
{
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    DrainQueue();
    EXPECT_EQ(Send(WM_CONTEXTMENU, (WPARAM)window, MAKELPARAM(12, 34)), 1);
    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, parent, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
    EXPECT_EQ(posted.wParam, (WPARAM)parent);
    EXPECT_EQ(posted.lParam, MAKELPARAM(12, 34));
    // Wine refuses to post WM_HELP; the answer is 1 all the same.
    EXPECT_EQ(Send(WM_HELP, 0, 0), 1);
    EXPECT_EQ(PictureReceived(WM_CONTEXTMENU), 0);
    EXPECT_EQ(PictureReceived(WM_HELP), 0);
}

TEST_F(SaverWindowProcTest, HelpRequestsOfAPreviewWithoutParentAreStillAnswered)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    hostState.isPreview = 1;
    DrainQueue();
    EXPECT_EQ(Send(WM_CONTEXTMENU, 0, 5), 1);
    EXPECT_EQ(Send(WM_HELP, 0, 0), 1);
    EXPECT_EQ(PictureReceived(WM_CONTEXTMENU), 0);
    EXPECT_EQ(CountQueued(NULL, WM_CONTEXTMENU), 0);
}

TEST_F(SaverWindowProcTest, HelpRequestsInFullScreenAreForwarded)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    Send(WM_CONTEXTMENU, (WPARAM)window, 0);
    Send(WM_HELP, 0, 0);
    EXPECT_EQ(PictureReceived(WM_CONTEXTMENU), 1);
    EXPECT_EQ(PictureReceived(WM_HELP), 1);
}

TEST_F(SaverWindowProcTest, InputIsForwardedUntilClosing)
{
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    for (UINT message : kInputMessages)
        Send(message, 0, 0);
    for (UINT message : kInputMessages)
        EXPECT_EQ(PictureReceived(message), 1) << message;

    ClearPictureLog();
    hostState.closing = 1;
    for (UINT message : kInputMessages)
        Send(message, 0, 0);
    for (UINT message : kInputMessages)
        EXPECT_EQ(PictureReceived(message), 0) << message;
}

TEST_F(SaverWindowProcTest, InputWhileClosingNeverReachesTheCloseProtocol)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    hostState.closing = 1;
    DrainQueue();
    Send(WM_KEYDOWN, 'A', 0);
    Send(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
}

TEST_F(SaverWindowProcTest, FullScreenSwallowsTheThreeSwitchingCommands)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_NEXTWINDOW), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_PREVWINDOW), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(PictureReceived(WM_SYSCOMMAND), 0);
    // The command is compared whole: its low bits are not masked off.
    Send(WM_SYSCOMMAND, SC_NEXTWINDOW | 1);
    EXPECT_EQ(PictureReceived(WM_SYSCOMMAND), 1);
}

TEST_F(SaverWindowProcTest, OtherSystemCommandsAreForwardedAndSoCanClose)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    Send(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(PictureReceived(WM_SYSCOMMAND), 1);
    EXPECT_EQ(PictureReceived(WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindowProcTest, PreviewForwardsEverySystemCommand)
{
    ASSERT_NE(OpenPreview(), (HWND)NULL);
    Send(WM_SYSCOMMAND, SC_NEXTWINDOW);
    Send(WM_SYSCOMMAND, SC_PREVWINDOW);
    EXPECT_EQ(PictureReceived(WM_SYSCOMMAND), 2);
}

TEST_F(SaverWindowProcTest, TimerIsForwardedUntilClosing)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    Send(WM_TIMER, 1);
    Send(WM_TIMER, 7);
    EXPECT_EQ(PictureReceived(WM_TIMER), 2);
    hostState.closing = 1;
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    EXPECT_EQ(PictureReceived(WM_TIMER), 2);
}

TEST_F(SaverWindowProcTest, EverythingElseIsForwardedAlways)
{
    ASSERT_NE(OpenFullScreen(), (HWND)NULL);
    ClearPictureLog();
    hostState.closing = 1;
    const UINT others[] = {WM_ERASEBKGND, WM_SETCURSOR, WM_SHOWWINDOW, VerifyRequest, WM_KEYUP, WM_CHAR};
    for (UINT message : others)
        Send(message, 0, 0);
    for (UINT message : others)
        EXPECT_EQ(PictureReceived(message), 1) << message;
    Send(WM_CLOSE);
    EXPECT_EQ(PictureReceived(WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(window));
}

}
