// The real picture and host when the palette description's memory cannot be
// had: this program's imports of LocalAlloc and LocalLock are routed through
// counters that refuse the saver's 1032-byte block, and the calls that would
// follow a successful creation (CreatePalette, SetTimer) and the system's
// saver flag (SystemParametersInfoA) are recorded the same way.
#include <gtest/gtest.h>

#include "animated_palette.h"
#include "animation_driver.h"
#include "saver_window.h"
#include "startup.h"
#include "test_windows.h"

extern "C" HLOCAL (WINAPI *__imp_LocalAlloc)(UINT, SIZE_T) IMPORT_SLOT(LocalAlloc, 8);
extern "C" LPVOID (WINAPI *__imp_LocalLock)(HLOCAL) IMPORT_SLOT(LocalLock, 4);
extern "C" HLOCAL (WINAPI *__imp_LocalFree)(HLOCAL) IMPORT_SLOT(LocalFree, 4);
extern "C" HPALETTE (WINAPI *__imp_CreatePalette)(const LOGPALETTE*) IMPORT_SLOT(CreatePalette, 4);
extern "C" UINT_PTR (WINAPI *__imp_SetTimer)(HWND, UINT_PTR, UINT, TIMERPROC) IMPORT_SLOT(SetTimer, 16);
extern "C" BOOL (WINAPI *__imp_SystemParametersInfoA)(UINT, UINT, PVOID, UINT) IMPORT_SLOT(SystemParametersInfoA, 16);

namespace {

enum FailPoint { kFailAllocation, kFailLock };

struct Calls {
    FailPoint failAt;
    int paletteBlockRequests;
    HLOCAL paletteBlock;
    int paletteBlockLocks;
    int paletteBlockFrees;
    int createPalette;
    int setTimer;
    int saverFlagCalls;
    UINT saverFlagActions[4];
    UINT saverFlagValues[4];
} calls;

HLOCAL (WINAPI *realLocalAlloc)(UINT, SIZE_T);
LPVOID (WINAPI *realLocalLock)(HLOCAL);
HLOCAL (WINAPI *realLocalFree)(HLOCAL);
HPALETTE (WINAPI *realCreatePalette)(const LOGPALETTE*);
UINT_PTR (WINAPI *realSetTimer)(HWND, UINT_PTR, UINT, TIMERPROC);
BOOL (WINAPI *realSystemParametersInfoA)(UINT, UINT, PVOID, UINT);

HLOCAL WINAPI
CountingLocalAlloc(UINT flags, SIZE_T bytes)
{
    if (bytes != kLogPaletteBytes)
        return realLocalAlloc(flags, bytes);
    ++calls.paletteBlockRequests;
    if (calls.failAt == kFailAllocation) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    calls.paletteBlock = realLocalAlloc(flags, bytes);
    return calls.paletteBlock;
}

LPVOID WINAPI
CountingLocalLock(HLOCAL block)
{
    if (block == NULL || block != calls.paletteBlock)
        return realLocalLock(block);
    ++calls.paletteBlockLocks;
    if (calls.failAt == kFailLock)
        return NULL;
    return realLocalLock(block);
}

HLOCAL WINAPI
CountingLocalFree(HLOCAL block)
{
    if (block != NULL && block == calls.paletteBlock)
        ++calls.paletteBlockFrees;
    return realLocalFree(block);
}

HPALETTE WINAPI
CountingCreatePalette(const LOGPALETTE* description)
{
    ++calls.createPalette;
    return realCreatePalette(description);
}

UINT_PTR WINAPI
CountingSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure)
{
    ++calls.setTimer;
    return realSetTimer(window, id, period, procedure);
}

BOOL WINAPI
RecordingSystemParametersInfoA(UINT action, UINT value, PVOID pointer, UINT update)
{
    int call = calls.saverFlagCalls++;
    calls.saverFlagActions[call & 3] = action;
    calls.saverFlagValues[call & 3] = value;
    return realSystemParametersInfoA(action, value, pointer, update);
}

// Ends a saver window that should never have been made, so that a fault shows
// as a failed expectation rather than a hung test.
DWORD WINAPI
Watchdog(void* stop)
{
    while (WaitForSingleObject((HANDLE)stop, 100) == WAIT_TIMEOUT) {
        HWND saver = FindWindowA(kSaverClassName, NULL);
        if (saver != NULL)
            PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    }
    return 0;
}

class PaletteFailureTest : public ::testing::TestWithParam<FailPoint> {
protected:
    void SetUp() override
    {
        ResetHostState();
        DrainQueue();
        paletteAnimator = PaletteAnimator();
        animationDriver = AnimationDriver();
        calls = Calls();
        calls.failAt = GetParam();
        realLocalAlloc = RouteImport(&__imp_LocalAlloc, CountingLocalAlloc);
        realLocalLock = RouteImport(&__imp_LocalLock, CountingLocalLock);
        realLocalFree = RouteImport(&__imp_LocalFree, CountingLocalFree);
        realCreatePalette = RouteImport(&__imp_CreatePalette, CountingCreatePalette);
        realSetTimer = RouteImport(&__imp_SetTimer, CountingSetTimer);
        realSystemParametersInfoA = RouteImport(&__imp_SystemParametersInfoA, RecordingSystemParametersInfoA);
        stop = CreateEventA(NULL, TRUE, FALSE, NULL);
        watchdog = CreateThread(NULL, 0, Watchdog, stop, 0, NULL);
    }
    void TearDown() override
    {
        SetEvent(stop);
        WaitForSingleObject(watchdog, CeilingMs());
        CloseHandle(watchdog);
        CloseHandle(stop);
        RouteImport(&__imp_LocalAlloc, realLocalAlloc);
        RouteImport(&__imp_LocalLock, realLocalLock);
        RouteImport(&__imp_LocalFree, realLocalFree);
        RouteImport(&__imp_CreatePalette, realCreatePalette);
        RouteImport(&__imp_SetTimer, realSetTimer);
        RouteImport(&__imp_SystemParametersInfoA, realSystemParametersInfoA);
        UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
        RemoveUsePassword();
        DrainQueue();
        ResetHostState();
    }
    // The block was asked for once, and nothing that a created palette
    // would lead to happened.
    void ExpectNothingMade()
    {
        EXPECT_EQ(calls.paletteBlockRequests, 1);
        if (GetParam() == kFailLock) {
            EXPECT_EQ(calls.paletteBlockLocks, 1);
            EXPECT_EQ(calls.paletteBlockFrees, 1) << "the unlockable block was not given back";
        } else {
            EXPECT_EQ(calls.paletteBlockLocks, 0);
        }
        EXPECT_EQ(calls.createPalette, 0);
        EXPECT_EQ(calls.setTimer, 0);
        EXPECT_EQ(paletteAnimator.palette, (HPALETTE)NULL);
        EXPECT_EQ(animationDriver.timerId, 0);
        EXPECT_EQ(hostState.saverWindow, (HWND)NULL);
        EXPECT_EQ(FindWindowA(kSaverClassName, NULL), (HWND)NULL);
        EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
        EXPECT_EQ(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
        EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
    }
    HANDLE stop;
    HANDLE watchdog;
};

TEST_P(PaletteFailureTest, FullScreenWithoutPasswordFailsWithMinusOneAndNeverTouchesTheSaverFlag)
{
    EXPECT_EQ(RunSaverWindow(NULL), -1);
    ExpectNothingMade();
    EXPECT_EQ(calls.saverFlagCalls, 0);
}

TEST_P(PaletteFailureTest, FullScreenWithPasswordUnloadsTheVerifierAndClearsTheSaverFlag)
{
    SetUsePasswordNumber(1);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/s", SW_SHOWNORMAL), -1);
    ExpectNothingMade();
    ASSERT_EQ(calls.saverFlagCalls, 2);
    EXPECT_EQ(calls.saverFlagActions[0], 97u);
    EXPECT_EQ(calls.saverFlagValues[0], 1u);
    EXPECT_EQ(calls.saverFlagActions[1], 97u);
    EXPECT_EQ(calls.saverFlagValues[1], 0u);
}

TEST_P(PaletteFailureTest, FullScreenThroughSaverMainWithoutPasswordEndsWithMinusOne)
{
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, "/s", SW_SHOWNORMAL), -1);
    ExpectNothingMade();
    EXPECT_EQ(calls.saverFlagCalls, 0);
}

TEST_P(PaletteFailureTest, PreviewFailsWithMinusOneAndLeavesItsParentEmpty)
{
    HWND parent = CreatePlainWindow("monitor");
    char tail[32];
    wsprintfA(tail, "/p %u", (unsigned)(UINT_PTR)parent);
    EXPECT_EQ(SaverMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL), -1);
    ExpectNothingMade();
    EXPECT_EQ(FindWindowExA(parent, NULL, kSaverClassName, NULL), (HWND)NULL);
    EXPECT_TRUE(IsWindow(parent));
    EXPECT_EQ(calls.saverFlagCalls, 0);
    DestroyWindow(parent);
}

// A second attempt in the same process, with the memory back, makes a saver
// that draws: the failure left nothing in the way.
TEST_P(PaletteFailureTest, AfterTheFailureASaverCanStillBeMade)
{
    EXPECT_EQ(RunSaverWindow(NULL), -1);
    calls.paletteBlockRequests = 0;
    calls.failAt = (FailPoint)-1;
    UnregisterClassA(kSaverClassName, GetModuleHandleA(NULL));
    ResetHostState();
    // The watchdog ends this one with a key once it exists.
    EXPECT_EQ(RunSaverWindow(NULL), 0);
    EXPECT_EQ(calls.paletteBlockRequests, 1);
    EXPECT_EQ(calls.createPalette, 1);
    EXPECT_EQ(calls.setTimer, 1);
}

INSTANTIATE_TEST_SUITE_P(MemoryFault, PaletteFailureTest, ::testing::Values(kFailAllocation, kFailLock),
    [](const ::testing::TestParamInfo<FailPoint>& info) {
        return std::string(info.param == kFailAllocation ? "LocalAllocFails" : "LocalLockFails");
    });

}
