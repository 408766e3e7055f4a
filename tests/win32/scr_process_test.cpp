// The shipped Tarvelimunde.scr as a process: its exit codes, the single
// running full-screen saver, and the crash guard proved with a fault that
// only the test PASSWORD.CPL can cause.
//
// Wine 8's UnhandledExceptionFilter starts the debugger named under
// HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug (winedbg by
// default, which takes the crashed program over; with "Auto" "0" it first
// asks in a message box). The test prefix (tests/wine/wine-env.sh) sets
// "Auto" to "1" and "Debugger" to a program that does not exist, so the
// start fails and the filter answers EXCEPTION_EXECUTE_HANDLER, as Windows
// does when no debugger is registered.
#include <gtest/gtest.h>

#include <string>

#include "test_windows.h"

namespace {

std::string
Beside(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
}

class ScrProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The shipped module beside the test PASSWORD.CPL, where it looks first.
        scr = Beside("Tarvelimunde.scr");
        // The build tree keeps it one folder up from the tests.
        std::string shipped = Beside("..\\Tarvelimunde.scr");
        ASSERT_TRUE(CopyFileA(shipped.c_str(), scr.c_str(), FALSE)) << shipped;
        process = PROCESS_INFORMATION();
        // The folder where the test tells the saver's PASSWORD.CPL what to do; the saver inherits its name.
        doubles = Beside("doubles");
        CreateDirectoryA(doubles.c_str(), NULL);
        SetEnvironmentVariableA("TARVELIMUNDE_DOUBLE_DIR", doubles.c_str());
    }
    void TellTheVerifier(const char* setting, const char* value)
    {
        HANDLE file = CreateFileA((doubles + "\\" + setting).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
            FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << setting;
        DWORD written = 0;
        WriteFile(file, value, lstrlenA(value), &written, NULL);
        CloseHandle(file);
    }
    void TearDown() override
    {
        if (process.hProcess != NULL) {
            TerminateProcess(process.hProcess, 99);
            // Gone before the next test copies over its file.
            WaitForSingleObject(process.hProcess, CeilingMs());
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (const char* setting : {"verify-fault", "verify-filter"})
            DeleteFileA((doubles + "\\" + setting).c_str());
        RemoveDirectoryA(doubles.c_str());
        SetEnvironmentVariableA("TARVELIMUNDE_DOUBLE_DIR", NULL);
        RemoveUsePassword();
        if (other != NULL)
            DestroyWindow(other);
    }
    void Start(const char* tail)
    {
        std::string line = "\"" + scr + "\" " + tail;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(scr.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process));
    }
    // The saver's window, once its thread answers messages: its message loop runs.
    HWND WaitForSaverWindow()
    {
        return AwaitWindow([] {
            HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
            return saver != NULL && SendMessageTimeoutA(saver, WM_NULL, 0, 0, SMTO_NORMAL, CeilingMs(), NULL)
                ? saver : (HWND)NULL;
        });
    }
    DWORD ExitCode()
    {
        if (WaitForSingleObject(process.hProcess, CeilingMs()) != WAIT_OBJECT_0)
            return 0xDEADDEAD;
        DWORD code = 0xDEADBEEF;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // Runs the full-screen saver with a password and presses a key, which
    // makes it call the verifier.
    DWORD RunAndPressAKey()
    {
        SetUsePasswordNumber(1);
        Start("/s");
        HWND saver = WaitForSaverWindow();
        EXPECT_NE(saver, (HWND)NULL);
        PostMessageA(saver, WM_KEYDOWN, 'A', 0);
        return ExitCode();
    }
    std::string scr;
    std::string doubles;
    PROCESS_INFORMATION process;
    HWND other = NULL;
};

TEST_F(ScrProcessTest, AnUnknownSwitchEndsWithMinusOne)
{
    Start("/x");
    EXPECT_EQ(ExitCode(), 0xFFFFFFFFu);
}

TEST_F(ScrProcessTest, APreviewWithoutWindowEndsWithMinusOne)
{
    Start("/p 0");
    EXPECT_EQ(ExitCode(), 0xFFFFFFFFu);
}

TEST_F(ScrProcessTest, FullScreenEndsWithZeroOnAKey)
{
    Start("/s");
    HWND saver = WaitForSaverWindow();
    ASSERT_NE(saver, (HWND)NULL);
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(ScrProcessTest, ASecondFullScreenSaverEndsWithZeroAndCreatesNothing)
{
    Start("/s");
    HWND first = WaitForSaverWindow();
    ASSERT_NE(first, (HWND)NULL);
    PROCESS_INFORMATION firstProcess = process;
    process = PROCESS_INFORMATION();
    Start("/s");
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(FindWindowExA(NULL, first, "WindowsScreenSaverClass", "Screen Saver"), (HWND)NULL);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = firstProcess;
    PostMessageA(first, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(ScrProcessTest, WithPasswordTheVerifiersYesEndsWithZero)
{
    EXPECT_EQ(RunAndPressAKey(), 0u);
}

TEST_F(ScrProcessTest, AnAccessViolationIsCaughtAndTheSaverFlagCleared)
{
    // The recovery's result is SetSaverRunning(0)'s: TRUE under Wine.
    TellTheVerifier("verify-fault", "access");
    EXPECT_EQ(RunAndPressAKey(), 1u);
}

TEST_F(ScrProcessTest, ARaisedExceptionThatTheFilterHandlesEndsTheSame)
{
    TellTheVerifier("verify-fault", "raise");
    TellTheVerifier("verify-filter", "handle");
    EXPECT_EQ(RunAndPressAKey(), 1u);
}

TEST_F(ScrProcessTest, AnExceptionTheFilterContinuesLetsTheSaverGoOn)
{
    // Execution resumes in the verifier, whose yes then closes normally.
    TellTheVerifier("verify-fault", "raise");
    TellTheVerifier("verify-filter", "continue");
    EXPECT_EQ(RunAndPressAKey(), 0u);
}

}
