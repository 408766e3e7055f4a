// VerifyBeforeClose with the test PASSWORD.CPL: when it asks, what the answer
// does, the 200 ms after a verification, the tick counter's wrap, and what
// reaches the window while the verifier waits for the user.
#include <gtest/gtest.h>

#include "password_double.h"
#include "picture_double.h"
#include "route_import.h"
#include "test_windows.h"

extern "C" DWORD (WINAPI *__imp_GetTickCount)() IMPORT_SLOT(GetTickCount, 0);

namespace {

// The close protocol's clock here: frozen at a value, or the system's moved
// by an offset so that it passes the counter's wrap.
struct TestTicks {
    int frozen;
    uint32_t value;
    uint32_t offset;
    int reads;
} testTicks;

DWORD (WINAPI *systemTickCount)();

DWORD WINAPI
TestTickCount()
{
    ++testTicks.reads;
    if (testTicks.frozen)
        return testTicks.value;
    return systemTickCount() + testTicks.offset;
}

struct DuringAsking {
    int queuedTimers;
    int closesSeen;
    LRESULT nestedAnswer;
    int windowAliveAfterClose;
    POINT cursorAfterClose;
    uint32_t tickAfterAnswer;
    int showCursor;
} during;

PasswordDouble* verifier;

void
CountTimersAndMoveTheClock(HWND window)
{
    MSG peeked;
    while (PeekMessageA(&peeked, window, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++during.queuedTimers;
    testTicks.value = during.tickAfterAnswer;
    if (during.showCursor)
        ShowArrowCursor();
}

// A verifier that runs a message loop of its own while it waits, as the real
// one's dialog does, and meanwhile sees the user press keys, a close request
// arrive and another program ask for a verification.
void
PumpWhileAsking(HWND window)
{
    if (verifier->depth > 1)
        return;
    SetCursorPos(10, 20);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
        if (message.message == WM_CLOSE)
            ++during.closesSeen;
        DispatchMessageA(&message);
        if (message.message == WM_CLOSE) {
            during.windowAliveAfterClose = IsWindow(window);
            during.cursorAfterClose = hostState.lastCursor;
        }
    }
    during.nestedAnswer = SendMessageA(window, VerifyRequest, 0, 0);
    // The key and the click must not have asked for another close.
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++during.closesSeen;
}

class VerifyBeforeCloseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHostState();
        ClearPictureLog();
        DrainQueue();
        during = DuringAsking();
        testTicks = TestTicks();
        testTicks.frozen = 1;
        systemTickCount = RouteImport(&__imp_GetTickCount, TestTickCount);
        SetUsePasswordNumber(1);
        LoadPasswordVerifier();
        ASSERT_NE(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
        verifier = ((PasswordDoubleStateProc)(void*)GetProcAddress(hostState.verifierModule,
            "PasswordDoubleState"))();
        window = CreateSaverTestWindow(NULL);
        ASSERT_NE(window, (HWND)NULL);
    }
    void TearDown() override
    {
        RouteImport(&__imp_GetTickCount, systemTickCount);
        UnloadPasswordVerifier();
        RemoveUsePassword();
        if (IsWindow(window))
            DestroyWindow(window);
        DrainQueue();
        ResetHostState();
    }
    int32_t AskAt(uint32_t tick, int answer)
    {
        testTicks.value = tick;
        during.tickAfterAnswer = tick;
        verifier->answer = answer;
        return VerifyBeforeClose(window);
    }
    HWND window;
};

TEST_F(VerifyBeforeCloseTest, WithoutVerifierTheWindowMayCloseAtOnce)
{
    UnloadPasswordVerifier();
    testTicks.reads = 0;
    EXPECT_EQ(VerifyBeforeClose(window), 1);
    EXPECT_EQ(hostState.closing, 1);
    EXPECT_EQ(testTicks.reads, 0);
}

TEST_F(VerifyBeforeCloseTest, TheFirstVerificationAsksWhateverTheTick)
{
    verifier->whileAsking = CountTimersAndMoveTheClock;
    during.tickAfterAnswer = 0xFFFFFFFEu;
    testTicks.value = 3;
    verifier->answer = 1;
    EXPECT_EQ(VerifyBeforeClose(window), 1);
    EXPECT_EQ(verifier->calls, 1);
    EXPECT_EQ(verifier->lastWindow, window);
    EXPECT_EQ(hostState.closing, 1);
    EXPECT_EQ(hostState.verifying, 0);
    // Read again after the answer: the interval counts from the end.
    EXPECT_EQ(hostState.lastVerifyTick, 0xFFFFFFFEu);
}

TEST_F(VerifyBeforeCloseTest, TheAnswerBecomesTheClosingFlagAsItIs)
{
    EXPECT_EQ(AskAt(1000, 5), 5);
    EXPECT_EQ(hostState.closing, 5);
}

TEST_F(VerifyBeforeCloseTest, ARefusalKeepsTheSaverAndHidesTheCursorAgain)
{
    verifier->whileAsking = CountTimersAndMoveTheClock;
    during.showCursor = 1;
    EXPECT_EQ(AskAt(1000, 0), 0);
    EXPECT_EQ(hostState.closing, 0);
    EXPECT_EQ(hostState.verifying, 0);
    EXPECT_TRUE(CursorHidden());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(VerifyBeforeCloseTest, PendingTimerMessagesAreRemovedTwiceBeforeAsking)
{
    verifier->whileAsking = CountTimersAndMoveTheClock;
    for (int i = 0; i < 3; ++i)
        PostMessageA(window, WM_TIMER, 1, 0);
    AskAt(1000, 0);
    EXPECT_EQ(during.queuedTimers, 1);
}

TEST_F(VerifyBeforeCloseTest, NoNewQuestionWithin200MsOfTheLastAnswer)
{
    ASSERT_EQ(AskAt(1000, 0), 0);
    EXPECT_EQ(AskAt(1199, 1), 0);
    EXPECT_EQ(verifier->calls, 1);
    EXPECT_EQ(hostState.lastVerifyTick, 1000u);
    EXPECT_EQ(AskAt(1200, 1), 1);
    EXPECT_EQ(verifier->calls, 2);
}

TEST_F(VerifyBeforeCloseTest, TheIntervalHoldsAcrossTheTickCounterWrap)
{
    // Refused 96 ms before the wrap.
    ASSERT_EQ(AskAt(0xFFFFFFA0u, 0), 0);
    EXPECT_EQ(hostState.lastVerifyTick, 0xFFFFFFA0u);
    EXPECT_EQ(AskAt(16, 1), 0);
    EXPECT_EQ(AskAt(0x67, 1), 0);
    EXPECT_EQ(verifier->calls, 1);
    EXPECT_EQ(AskAt(0x68, 1), 1);
    EXPECT_EQ(verifier->calls, 2);
}

TEST_F(VerifyBeforeCloseTest, AVerificationEnded256MsBeforeTheWrapAllowsOneAt16)
{
    hostState.lastVerifyTick = 0xFFFFFF00u;
    EXPECT_EQ(AskAt(16, 1), 1);
    EXPECT_EQ(verifier->calls, 1);
}

TEST_F(VerifyBeforeCloseTest, TheIntervalHoldsWhileTheRealClockWraps)
{
    // The system's clock, shifted so that it passes zero during the test.
    testTicks.frozen = 0;
    testTicks.offset = 0u - systemTickCount() - 100u;
    verifier->answer = 0;
    ASSERT_EQ(VerifyBeforeClose(window), 0);
    EXPECT_GT(hostState.lastVerifyTick, 0xFFFFFF00u);
    EXPECT_EQ(VerifyBeforeClose(window), 0);
    EXPECT_EQ(verifier->calls, 1);
    // Until the shifted clock is 200 ms past the refusal, counted here apart
    // from the code under test.
    const uint32_t due = hostState.lastVerifyTick + 200u;
    while ((int32_t)(systemTickCount() + testTicks.offset - due) < 0)
        Sleep(1);
    ASSERT_LT(systemTickCount() + testTicks.offset, 1000u);
    verifier->answer = 1;
    EXPECT_EQ(VerifyBeforeClose(window), 1);
    EXPECT_EQ(verifier->calls, 2);
}

TEST_F(VerifyBeforeCloseTest, WhileAskingClosesAreSwallowedInputIgnoredAndRequestsAnswered)
{
    verifier->whileAsking = PumpWhileAsking;
    hostState.lastCursor = {300, 300};
    testTicks.value = 50;
    verifier->answer = 1;
    EXPECT_EQ(VerifyBeforeClose(window), 1);
    EXPECT_EQ(during.closesSeen, 1);
    EXPECT_TRUE(during.windowAliveAfterClose);
    EXPECT_EQ(during.cursorAfterClose.x, 10);
    EXPECT_EQ(during.cursorAfterClose.y, 20);
    // The request from elsewhere reached the verifier a second time.
    EXPECT_EQ(during.nestedAnswer, 1);
    EXPECT_EQ(verifier->calls, 2);
    EXPECT_EQ(verifier->deepest, 2);
    EXPECT_EQ(PictureReceived(WM_KEYDOWN), 1);
    EXPECT_EQ(hostState.closing, 1);
}

TEST_F(VerifyBeforeCloseTest, AClosingRequestGoesThroughTheWholeChain)
{
    verifier->answer = 0;
    testTicks.value = 5000;
    SetCursorPos(60, 70);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(hostState.lastCursor.x, 60);
    EXPECT_EQ(PictureReceived(VerifyRequest), 1);

    // Input straight after the refusal asks nothing.
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    MSG close;
    ASSERT_TRUE(PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DispatchMessageA(&close);
    EXPECT_EQ(verifier->calls, 1);
    EXPECT_TRUE(IsWindow(window));

    testTicks.value = 5200;
    verifier->answer = 1;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier->calls, 2);
    EXPECT_FALSE(IsWindow(window));
}

}
