// SaverMain's switch scan and the four modes, run in this process: each mode
// that opens something is ended from a timer inside its own loop.
#include <gtest/gtest.h>

#include "mpr_double.h"
#include "picture_double.h"
#include "saver_window.h"
#include "startup.h"
#include "test_windows.h"

namespace {

struct Ending {
    HWND dialog;
    HWND dialogOwner;
    HWND saverWindow;
    HWND saverParent;
    RECT saverRect;
    char saverTitle[32];
    LONG_PTR saverStyle;
    LONG_PTR saverExStyle;
    DWORD started;
} ending;

void CALLBACK
CloseTheDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA(NULL, "Test setup");
    if (!ending.started)
        ending.started = GetTickCount();
    if (dialog == NULL && GetTickCount() - ending.started < CeilingMs())
        return;
    KillTimer(NULL, timer);
    ending.dialog = dialog;
    ending.dialogOwner = GetWindow(dialog, GW_OWNER);
    SendMessageA(dialog, WM_COMMAND, 1, 0);
}

void CALLBACK
RecordAndCloseTheSaver(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    HWND saver = hostState.saverWindow;
    ending.saverWindow = saver;
    ending.saverParent = GetParent(saver);
    GetWindowRect(saver, &ending.saverRect);
    GetWindowTextA(saver, ending.saverTitle, sizeof ending.saverTitle);
    ending.saverStyle = GetWindowLongPtrA(saver, GWL_STYLE);
    ending.saverExStyle = GetWindowLongPtrA(saver, GWL_EXSTYLE);
    if (hostState.isPreview)
        DestroyWindow(saver);
    else
        PostMessageA(saver, WM_KEYDOWN, 'Q', 0);
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHostState();
        ClearPictureLog();
        DrainQueue();
        ending = Ending();
    }
    void TearDown() override
    {
        if (other != NULL)
            DestroyWindow(other);
        if (front != NULL)
            DestroyWindow(front);
        UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
        RemoveUsePassword();
        DrainQueue();
        ResetHostState();
    }
    int32_t Main(const char* tail)
    {
        return SaverMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL);
    }
    int32_t MainWithWindow(const char* format, HWND window)
    {
        char tail[64];
        wsprintfA(tail, format, (unsigned)(UINT_PTR)window);
        return Main(tail);
    }
    HWND other = NULL;
    HWND front = NULL;
};

TEST_F(StartupTest, UnknownSwitchCharactersEndWithMinusOne)
{
    const char* tails[] = {"/x", "/1", "/?", "/\ts", "\ts", "x", "-/-q", "/\xe9", "/\x80s"};
    for (const char* tail : tails) {
        EXPECT_EQ(Main(tail), -1) << tail;
        EXPECT_EQ(hostState.saverWindow, (HWND)NULL);
    }
    EXPECT_EQ(pictureLog.count, 0);
}

TEST_F(StartupTest, PreviewWithoutAWindowEndsWithMinusOne)
{
    const char* tails[] = {"/p", "/p 0", "/p -5", "/p:1234", "/p 4294967295", "/l"};
    for (const char* tail : tails)
        EXPECT_EQ(Main(tail), -1) << tail;
    EXPECT_EQ(pictureLog.count, 0);
}

TEST_F(StartupTest, PreviewRunsInsideTheGivenWindow)
{
    const char* formats[] = {"/p %u", "/p%u", "/l %u", "-P   %u", "/p 000%uab"};
    for (const char* format : formats) {
        other = CreatePlainWindow("display properties");
        ending = Ending();
        SetTimer(NULL, 0, 50, RecordAndCloseTheSaver);
        EXPECT_EQ(MainWithWindow(format, other), 0) << format;
        EXPECT_EQ(ending.saverParent, other);
        EXPECT_STREQ(ending.saverTitle, "Preview");
        EXPECT_EQ(ending.saverStyle & 0xFFFF0000, (LONG_PTR)0x52000000) << format;
        EXPECT_EQ(ending.saverExStyle & WS_EX_TOPMOST, 0);
        RECT client;
        GetClientRect(other, &client);
        EXPECT_EQ(ending.saverRect.right - ending.saverRect.left, client.right);
        EXPECT_EQ(hostState.isPreview, 1);
        DestroyWindow(other);
        other = NULL;
        UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
        ResetHostState();
    }
}

TEST_F(StartupTest, FullScreenRunsUntilTheFirstKeyWithoutPassword)
{
    const char* tails[] = {"/s", "-S", "s", "//--s", "/save", "  /s 1234"};
    for (const char* tail : tails) {
        ending = Ending();
        SetTimer(NULL, 0, 50, RecordAndCloseTheSaver);
        EXPECT_EQ(Main(tail), 0) << tail;
        EXPECT_STREQ(ending.saverTitle, "Screen Saver");
        EXPECT_EQ(ending.saverParent, (HWND)NULL);
        EXPECT_EQ(ending.saverStyle & 0xFFFF0000, (LONG_PTR)0x96000000);
        EXPECT_NE(ending.saverExStyle & WS_EX_TOPMOST, 0);
        EXPECT_EQ(ending.saverRect.right - ending.saverRect.left, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(ending.saverRect.bottom - ending.saverRect.top, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_FALSE(IsWindow(ending.saverWindow));
        EXPECT_EQ(hostState.closing, 1);
        UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
        ResetHostState();
    }
}

TEST_F(StartupTest, AnExistingFullScreenSaverIsBroughtForwardInstead)
{
    WNDCLASSA saverClass = {};
    saverClass.lpfnWndProc = DefWindowProcA;
    saverClass.hInstance = GetModuleHandleA(NULL);
    saverClass.lpszClassName = kSaverClassName;
    ASSERT_TRUE(RegisterClassA(&saverClass));
    other = CreateWindowExA(0, kSaverClassName, "Screen Saver", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
        NULL, NULL, GetModuleHandleA(NULL), NULL);
    front = CreatePlainWindow("in front");
    SetForegroundWindow(front);
    SetUsePasswordNumber(1);
    EXPECT_EQ(Main("/s"), 0);
    EXPECT_EQ(hostState.saverWindow, (HWND)NULL);
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(pictureLog.count, 0);
    EXPECT_EQ(GetForegroundWindow(), other);
}

TEST_F(StartupTest, AClassThatCannotBeRegisteredEndsWithMinusOneAndUnloads)
{
    WNDCLASSA saverClass = {};
    saverClass.lpfnWndProc = DefWindowProcA;
    saverClass.hInstance = GetModuleHandleA(NULL);
    saverClass.lpszClassName = kSaverClassName;
    ASSERT_TRUE(RegisterClassA(&saverClass));
    SetUsePasswordNumber(1);
    EXPECT_EQ(Main("/s"), kNoSaverWindow);
    EXPECT_EQ(hostState.saverWindow, (HWND)NULL);
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
}

TEST_F(StartupTest, AWindowThatCannotBeCreatedEndsWithMinusOne)
{
    pictureLog.refuseCreate = 1;
    EXPECT_EQ(Main("/s"), kNoSaverWindow);
    EXPECT_EQ(hostState.saverWindow, (HWND)NULL);
    EXPECT_EQ(PictureReceived(WM_CREATE), 1);
}

TEST_F(StartupTest, SetupModesShowTheDialogAndReturnItsResult)
{
    const char* tails[] = {"", "   ", "- / -"};
    for (const char* tail : tails) {
        ending = Ending();
        SetTimer(NULL, 0, 20, CloseTheDialog);
        EXPECT_EQ(Main(tail), 1) << tail;
        EXPECT_NE(ending.dialog, (HWND)NULL);
        EXPECT_EQ(ending.dialogOwner, (HWND)NULL);
    }
}

TEST_F(StartupTest, ConfigureShowsTheDialogOwnedByTheForegroundWindow)
{
    other = CreatePlainWindow("display properties");
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    SetTimer(NULL, 0, 20, CloseTheDialog);
    EXPECT_EQ(Main("/c:1234"), 1);
    EXPECT_EQ(ending.dialogOwner, other);
}

// These run in processes of their own (see CMakeLists.txt): Wine prefers
// its own mpr.dll unless told at process start to take the one beside the
// program ("mpr=n"), or none at all ("mpr=").
class ChangePasswordTest : public StartupTest {
protected:
    void SetUp() override
    {
        StartupTest::SetUp();
        // Held here so that its record outlives the program's FreeLibrary.
        library = LoadLibraryA("MPR.DLL");
        ASSERT_NE(library, (HMODULE)NULL);
        MprDoubleStateProc stateOf = (MprDoubleStateProc)(void*)GetProcAddress(library, "MprDoubleState");
        ASSERT_NE(stateOf, (MprDoubleStateProc)NULL);
        mpr = stateOf();
        *mpr = MprDouble();
    }
    void TearDown() override
    {
        FreeLibrary(library);
        StartupTest::TearDown();
    }
    HMODULE library = NULL;
    MprDouble* mpr = NULL;
};

TEST_F(ChangePasswordTest, AWindowGivenIsTheOwner)
{
    other = CreatePlainWindow("display properties");
    EXPECT_EQ(MainWithWindow("/A %u", other), 0);
    EXPECT_EQ(mpr->calls, 1);
    EXPECT_STREQ(mpr->provider, "SCRSAVE");
    EXPECT_EQ(mpr->owner, other);
    EXPECT_EQ(mpr->third, 0u);
    EXPECT_EQ(mpr->fourth, (void*)NULL);
}

TEST_F(ChangePasswordTest, WithoutAWindowTheForegroundWindowIsTheOwner)
{
    other = CreatePlainWindow("display properties");
    SetForegroundWindow(other);
    const char* tails[] = {"/a", "-a 0", "/a 999999"};
    for (const char* tail : tails) {
        mpr->owner = NULL;
        EXPECT_EQ(Main(tail), 0) << tail;
        EXPECT_EQ(mpr->owner, other) << tail;
    }
    EXPECT_EQ(mpr->calls, 3);
}

TEST(ChangePasswordWithoutLibraryTest, EndsWithZero)
{
    ASSERT_EQ(LoadLibraryA("MPR.DLL"), (HMODULE)NULL);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/a", SW_SHOWNORMAL), 0);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/a 12", SW_SHOWNORMAL), 0);
}

}
