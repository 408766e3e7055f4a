// SaverDefaultProc's steps in their order: preview and closing pass all to
// DefWindowProcA, then close and verify requests, then the span of a
// verification, then cursor hiding and input turned into close requests.
#include <gtest/gtest.h>

#include "test_windows.h"

extern "C" BOOL (WINAPI *__imp_GetCursorPos)(POINT*) IMPORT_SLOT(GetCursorPos, 4);

namespace {

HWND verifiedWindow;
int verifications;

BOOL WINAPI
AnswerSeven(HWND window)
{
    verifiedWindow = window;
    ++verifications;
    return 7;
}

class SaverDefaultProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHostState();
        DrainQueue();
        window = CreatePlainWindow();
        ShowArrowCursor();
        verifiedWindow = NULL;
        verifications = 0;
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        DrainQueue();
        ResetHostState();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SaverDefaultProc(window, message, wParam, lParam);
    }
    void MoveTo(int x, int y)
    {
        SetCursorPos(x, y);
        // The message's own position is not what counts.
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(600, 400));
    }
    HWND window;
};

const UINT kClosingInput[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};

TEST_F(SaverDefaultProcTest, PreviewHandsEverythingToDefWindowProc)
{
    hostState.isPreview = 1;
    hostState.verifyPassword = AnswerSeven;
    for (UINT message : kClosingInput)
        Send(message);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    EXPECT_EQ(Send(WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(Send(VerifyRequest), 0);
    EXPECT_EQ(verifications, 0);
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(hostState.closing, 0);
}

TEST_F(SaverDefaultProcTest, ClosingHandsEverythingToDefWindowProc)
{
    hostState.closing = 1;
    hostState.verifyPassword = AnswerSeven;
    for (UINT message : kClosingInput)
        Send(message);
    SetCursorPos(0, 0);
    hostState.lastCursor = {300, 300};
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    EXPECT_EQ(Send(WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(Send(VerifyRequest), 0);
    Send(WM_CLOSE);
    EXPECT_EQ(verifications, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverDefaultProcTest, CloseWithoutVerifierDestroysAtOnce)
{
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(hostState.closing, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverDefaultProcTest, VerifyRequestIsAnsweredByTheVerifierOrWithOne)
{
    EXPECT_EQ(Send(VerifyRequest), 1);
    hostState.verifyPassword = AnswerSeven;
    EXPECT_EQ(Send(VerifyRequest), 7);
    EXPECT_EQ(verifiedWindow, window);
    EXPECT_EQ(verifications, 1);
}

TEST_F(SaverDefaultProcTest, DuringAVerificationCloseIsSwallowedAndInputIgnored)
{
    hostState.verifying = 1;
    hostState.verifyPassword = AnswerSeven;
    hostState.lastCursor = {1, 1};
    SetCursorPos(77, 66);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(hostState.lastCursor.x, 77);
    EXPECT_EQ(hostState.lastCursor.y, 66);
    // Still answered: it comes before the verification test.
    EXPECT_EQ(Send(VerifyRequest), 7);
    for (UINT message : kClosingInput)
        Send(message);
    SetCursorPos(200, 200);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    EXPECT_EQ(Send(WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    Send(WM_SHOWWINDOW, TRUE);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(hostState.lastCursor.x, 77);
}

TEST_F(SaverDefaultProcTest, SetCursorHidesItAndAnswersTrue)
{
    EXPECT_EQ(Send(WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_TRUE(CursorHidden());
}

TEST_F(SaverDefaultProcTest, ShowingTheWindowHidesTheCursorAndHidingItDoesNot)
{
    Send(WM_SHOWWINDOW, FALSE);
    EXPECT_FALSE(CursorHidden());
    Send(WM_SHOWWINDOW, TRUE);
    EXPECT_TRUE(CursorHidden());
}

TEST_F(SaverDefaultProcTest, KeyPressesAndButtonsPostOneCloseEach)
{
    for (UINT message : kClosingInput) {
        Send(message);
        MSG posted;
        ASSERT_TRUE(PeekMessageA(&posted, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << message;
        EXPECT_EQ(posted.wParam, 0u);
        EXPECT_EQ(posted.lParam, 0);
        EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    }
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverDefaultProcTest, ReleasesCharactersDoubleClicksAndDeactivationCloseNothing)
{
    const UINT harmless[] = {WM_KEYUP, WM_SYSKEYUP, WM_CHAR, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP,
        WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MOUSEWHEEL};
    for (UINT message : harmless)
        Send(message);
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
}

TEST_F(SaverDefaultProcTest, MouseTravelOfFourStaysAndFiveCloses)
{
    hostState.lastCursor = {100, 100};
    MoveTo(102, 102);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    EXPECT_EQ(hostState.lastCursor.x, 100);
    EXPECT_EQ(hostState.lastCursor.y, 100);
    MoveTo(103, 102);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 1);
    EXPECT_EQ(hostState.lastCursor.x, 103);
    EXPECT_EQ(hostState.lastCursor.y, 102);
}

TEST_F(SaverDefaultProcTest, SmallMovesAddUpAgainstTheSameReference)
{
    hostState.lastCursor = {100, 100};
    MoveTo(101, 100);
    MoveTo(99, 101);
    MoveTo(98, 98);
    MoveTo(100, 96);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    MoveTo(97, 98);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 1);
    EXPECT_EQ(hostState.lastCursor.x, 97);
    EXPECT_EQ(hostState.lastCursor.y, 98);
    // The new reference: one more pixel is not another close.
    MoveTo(98, 98);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
}

BOOL WINAPI
Refuse(HWND)
{
    return FALSE;
}

// While the input desktop is switched GetCursorPos fails and writes nothing;
// the stand-in writes a far-off point to show it is not read.
BOOL WINAPI
FailingGetCursorPos(POINT* point)
{
    point->x = -30000;
    point->y = 30000;
    return FALSE;
}

TEST_F(SaverDefaultProcTest, AnUnreadableCursorIsNoMovement)
{
    BOOL (WINAPI *real)(POINT*) = RouteImport(&__imp_GetCursorPos, FailingGetCursorPos);
    hostState.lastCursor = {100, 100};
    MoveTo(300, 300);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    // A refused close keeps the last known position as the reference.
    hostState.verifyPassword = Refuse;
    Send(WM_CLOSE);
    RouteImport(&__imp_GetCursorPos, real);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(hostState.lastCursor.x, 100);
    EXPECT_EQ(hostState.lastCursor.y, 100);
}

TEST_F(SaverDefaultProcTest, MouseTravelIsMeasuredInScreenCoordinatesBothWays)
{
    hostState.lastCursor = {200, 150};
    MoveTo(196, 150);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 0);
    MoveTo(200, 145);
    EXPECT_EQ(CountQueued(window, WM_CLOSE), 1);
}

}
