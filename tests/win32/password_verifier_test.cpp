// LoadPasswordVerifier and UnloadPasswordVerifier against the desktop setting
// "ScreenSaveUsePassword" in its many shapes, with the test PASSWORD.CPL.
#include <gtest/gtest.h>

#include "password_double.h"
#include "test_windows.h"

extern "C" BOOL (WINAPI *__imp_SystemParametersInfoA)(UINT, UINT, PVOID, UINT) IMPORT_SLOT(SystemParametersInfoA, 16);

namespace {

class PasswordVerifierTest : public ::testing::Test {
protected:
    void SetUp() override { ResetHostState(); }
    void TearDown() override
    {
        UnloadPasswordVerifier();
        RemoveUsePassword();
        ResetHostState();
    }
    bool LoadedWith(DWORD type, const void* data, DWORD size)
    {
        SetUsePassword(type, data, size);
        LoadPasswordVerifier();
        bool loaded = hostState.verifierModule != NULL;
        EXPECT_EQ(loaded, hostState.verifyPassword != NULL);
        UnloadPasswordVerifier();
        return loaded;
    }
};

TEST_F(PasswordVerifierTest, AMissingValueMeansNoVerifier)
{
    RemoveUsePassword();
    LoadPasswordVerifier();
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
}

TEST_F(PasswordVerifierTest, AFourByteValueCountsByItsIntegerWhateverItsType)
{
    DWORD zero = 0, one = 1, high = 0x01000000;
    EXPECT_FALSE(LoadedWith(REG_DWORD, &zero, 4));
    EXPECT_TRUE(LoadedWith(REG_DWORD, &one, 4));
    EXPECT_TRUE(LoadedWith(REG_DWORD, &high, 4));
    EXPECT_FALSE(LoadedWith(REG_BINARY, &zero, 4));
    EXPECT_TRUE(LoadedWith(REG_BINARY, &one, 4));
    EXPECT_TRUE(LoadedWith(REG_DWORD_BIG_ENDIAN, &one, 4));
}

TEST_F(PasswordVerifierTest, TextZeroTurnsThePasswordOn)
{
    EXPECT_TRUE(LoadedWith(REG_SZ, "0", 2));
    EXPECT_TRUE(LoadedWith(REG_SZ, "1", 2));
    EXPECT_FALSE(LoadedWith(REG_SZ, "", 1));
}

TEST_F(PasswordVerifierTest, AShorterValueFillsOnlyTheLowBytesOfAZeroedInteger)
{
    const BYTE one[] = {1};
    const BYTE zeroes[] = {0, 0, 0};
    const BYTE third[] = {0, 0, 1};
    EXPECT_TRUE(LoadedWith(REG_BINARY, one, 1));
    EXPECT_FALSE(LoadedWith(REG_BINARY, zeroes, 3));
    EXPECT_TRUE(LoadedWith(REG_BINARY, third, 3));
    EXPECT_FALSE(LoadedWith(REG_BINARY, zeroes, 0));
}

TEST_F(PasswordVerifierTest, ALongerValueCannotBeReadAndMeansNoVerifier)
{
    const BYTE five[] = {1, 1, 1, 1, 1};
    EXPECT_FALSE(LoadedWith(REG_BINARY, five, 5));
    EXPECT_FALSE(LoadedWith(REG_SZ, "1234", 5));
}

TEST_F(PasswordVerifierTest, LoadedVerifierIsTheLibrarysEntry)
{
    SetUsePasswordNumber(1);
    LoadPasswordVerifier();
    HMODULE library = GetModuleHandleA("PASSWORD.CPL");
    ASSERT_NE(library, (HMODULE)NULL);
    EXPECT_EQ(hostState.verifierModule, library);
    EXPECT_EQ((void*)hostState.verifyPassword, (void*)GetProcAddress(library, "VerifyScreenSavePwd"));
}

TEST_F(PasswordVerifierTest, LoadingAgainUnloadsFirst)
{
    SetUsePasswordNumber(1);
    LoadPasswordVerifier();
    PasswordDouble* first = ((PasswordDoubleStateProc)(void*)GetProcAddress(hostState.verifierModule,
        "PasswordDoubleState"))();
    first->calls = 42;
    LoadPasswordVerifier();
    ASSERT_NE(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
    PasswordDouble* second = ((PasswordDoubleStateProc)(void*)GetProcAddress(hostState.verifierModule,
        "PasswordDoubleState"))();
    // A fresh copy of the library: the old one was freed in between.
    EXPECT_EQ(second->calls, 0);
}

TEST_F(PasswordVerifierTest, UnloadingFreesTheLibraryAndClearsBoth)
{
    SetUsePasswordNumber(1);
    LoadPasswordVerifier();
    UnloadPasswordVerifier();
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
    // Nothing loaded: nothing to do.
    UnloadPasswordVerifier();
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
}

// The system's saver flag as the host sets it: the import of
// SystemParametersInfoA is routed through a recorder (Wine's own ignores the
// action), which answers what the test chooses.
struct SaverFlagCalls {
    int count;
    UINT actions[4];
    UINT values[4];
    BOOL answer;
} flagCalls;

BOOL WINAPI
RecordSaverFlag(UINT action, UINT value, PVOID, UINT)
{
    int call = flagCalls.count++;
    flagCalls.actions[call & 3] = action;
    flagCalls.values[call & 3] = value;
    return flagCalls.answer;
}

class SaverFlagTest : public PasswordVerifierTest {
protected:
    void SetUp() override
    {
        PasswordVerifierTest::SetUp();
        flagCalls = SaverFlagCalls();
        flagCalls.answer = TRUE;
        realSystemParametersInfoA = RouteImport(&__imp_SystemParametersInfoA, RecordSaverFlag);
    }
    void TearDown() override
    {
        PasswordVerifierTest::TearDown();
        RouteImport(&__imp_SystemParametersInfoA, realSystemParametersInfoA);
    }
    BOOL (WINAPI *realSystemParametersInfoA)(UINT, UINT, PVOID, UINT);
};

TEST_F(SaverFlagTest, SetWhenTheVerifierIsLoadedAndClearedWhenItIsUnloaded)
{
    SetUsePasswordNumber(1);
    LoadPasswordVerifier();
    ASSERT_EQ(flagCalls.count, 1);
    EXPECT_EQ(flagCalls.actions[0], 97u);
    EXPECT_EQ(flagCalls.values[0], 1u);
    UnloadPasswordVerifier();
    ASSERT_EQ(flagCalls.count, 2);
    EXPECT_EQ(flagCalls.actions[1], 97u);
    EXPECT_EQ(flagCalls.values[1], 0u);
}

TEST_F(SaverFlagTest, UntouchedWithoutAPassword)
{
    SetUsePasswordNumber(0);
    LoadPasswordVerifier();
    UnloadPasswordVerifier();
    EXPECT_EQ(flagCalls.count, 0);
}

TEST_F(SaverFlagTest, TheSystemsAnswerIsPassedBackAsItIs)
{
    for (BOOL answer : {FALSE, TRUE, (BOOL)5}) {
        flagCalls.answer = answer;
        EXPECT_EQ(SetSaverRunning(0), answer);
    }
    EXPECT_EQ(flagCalls.values[0], 0u);
}

}

// Runs only beside the PASSWORD.CPL without the entry (see CMakeLists.txt).
TEST(PasswordLibraryWithoutEntryTest, IsFreedAgainAndLeavesNoVerifier)
{
    ResetHostState();
    HMODULE probe = LoadLibraryA("PASSWORD.CPL");
    ASSERT_NE(probe, (HMODULE)NULL);
    ASSERT_EQ(GetProcAddress(probe, "VerifyScreenSavePwd"), (FARPROC)NULL);
    FreeLibrary(probe);

    SetUsePasswordNumber(1);
    LoadPasswordVerifier();
    EXPECT_EQ(hostState.verifierModule, (HMODULE)NULL);
    EXPECT_EQ(hostState.verifyPassword, (VerifyScreenSavePwdProc)NULL);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), (HMODULE)NULL);
    RemoveUsePassword();
}
