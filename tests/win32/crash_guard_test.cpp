// The crash guard, with the system's UnhandledExceptionFilter replaced in this
// program's import table so that each verdict can be chosen: 1 unwinds into
// the recovery, 0 passes the exception on, -1 resumes where it was raised.
#include <gtest/gtest.h>

#include "crash_guard.h"
#include "test_windows.h"

extern "C" LONG (WINAPI *__imp_UnhandledExceptionFilter)(EXCEPTION_POINTERS*) IMPORT_SLOT(UnhandledExceptionFilter, 4);

namespace {

const DWORD kTestException = 0xE0C0FFEE;

struct FilterCalls {
    LONG verdicts[4];
    int calls;
    DWORD codes[4];
    int contextGiven;
} filter;

LONG WINAPI
ScriptedFilter(EXCEPTION_POINTERS* pointers)
{
    int call = filter.calls++;
    filter.codes[call & 3] = pointers->ExceptionRecord->ExceptionCode;
    filter.contextGiven += pointers->ContextRecord != NULL;
    return filter.verdicts[call & 3];
}

int recoveries;
int afterRaise;

int32_t
Recover()
{
    ++recoveries;
    return 4321;
}

int32_t
RecoverOuter()
{
    ++recoveries;
    return 8765;
}

__attribute__((noinline)) void
RaiseDeep(int depth)
{
    if (depth == 0) {
        RaiseException(kTestException, 0, 0, NULL);
        ++afterRaise;
        return;
    }
    RaiseDeep(depth - 1);
    __asm__ __volatile__("" ::: "memory");
}

int32_t
Raises(void*)
{
    RaiseDeep(3);
    return 11;
}

int32_t
Faults(void* target)
{
    // Only ever called with NULL: through a volatile, so that the compiler
    // cannot turn the store into a trap instruction.
    int* volatile pointer = (int*)target;
    *pointer = 1;
    return 12;
}

int32_t
Returns(void* value)
{
    return (int32_t)(INT_PTR)value;
}

int32_t
GuardsRaises(void*)
{
    return RunGuarded(Raises, NULL, Recover);
}

// Crashes again, but not for ever: a guard that took its own recovery's
// crash would otherwise come back here without end.
int32_t
RecoverAndRaise()
{
    if (++recoveries < 3)
        RaiseException(kTestException, 0, 0, NULL);
    return 1234;
}

int32_t
GuardsRaisesWithACrashingRecovery(void*)
{
    return RunGuarded(Raises, NULL, RecoverAndRaise);
}

class CrashGuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        filter = FilterCalls();
        recoveries = 0;
        afterRaise = 0;
        saved = RouteImport(&__imp_UnhandledExceptionFilter, ScriptedFilter);
    }
    void TearDown() override { RouteImport(&__imp_UnhandledExceptionFilter, saved); }
    LONG (WINAPI *saved)(EXCEPTION_POINTERS*);
};

TEST_F(CrashGuardTest, WithoutACrashTheBodysResultIsReturned)
{
    EXPECT_EQ(RunGuarded(Returns, (void*)(INT_PTR)-7, Recover), -7);
    EXPECT_EQ(RunGuarded(Returns, (void*)(INT_PTR)0, Recover), 0);
    EXPECT_EQ(filter.calls, 0);
    EXPECT_EQ(recoveries, 0);
}

TEST_F(CrashGuardTest, ExecuteHandlerUnwindsIntoTheRecovery)
{
    filter.verdicts[0] = EXCEPTION_EXECUTE_HANDLER;
    EXPECT_EQ(RunGuarded(Raises, NULL, Recover), 4321);
    EXPECT_EQ(filter.calls, 1);
    EXPECT_EQ(filter.codes[0], kTestException);
    EXPECT_EQ(filter.contextGiven, 1);
    EXPECT_EQ(recoveries, 1);
    EXPECT_EQ(afterRaise, 0);
}

TEST_F(CrashGuardTest, AnAccessViolationIsCaughtTheSameWay)
{
    filter.verdicts[0] = EXCEPTION_EXECUTE_HANDLER;
    filter.verdicts[1] = EXCEPTION_EXECUTE_HANDLER;
    EXPECT_EQ(RunGuarded(Faults, NULL, Recover), 4321);
#if defined(__i386__)
    // 32-bit Wine under qemu's user-mode emulator is not told which fault it
    // was, and reports the page fault as an illegal instruction.
    if (filter.codes[0] == (DWORD)EXCEPTION_ILLEGAL_INSTRUCTION)
        filter.codes[0] = EXCEPTION_ACCESS_VIOLATION;
#endif
    EXPECT_EQ(filter.codes[0], (DWORD)EXCEPTION_ACCESS_VIOLATION);
    // And the guard can be entered again afterwards.
    EXPECT_EQ(RunGuarded(Faults, NULL, Recover), 4321);
    EXPECT_EQ(recoveries, 2);
}

TEST_F(CrashGuardTest, TheRecoveryLeavesTheCallersRegistersAsTheyWere)
{
    filter.verdicts[0] = EXCEPTION_EXECUTE_HANDLER;
    volatile int32_t values[6] = {1, 2, 3, 4, 5, 6};
    int32_t a = values[0], b = values[1], c = values[2], d = values[3], e = values[4], f = values[5];
    int32_t result = RunGuarded(Raises, NULL, Recover);
    int32_t g = values[0] * 2, h = values[1] * 3;
    EXPECT_EQ(result, 4321);
    EXPECT_EQ(a + b * 10 + c * 100 + d * 1000 + e * 10000 + f * 100000, 654321);
    EXPECT_EQ(g + h, 8);
}

TEST_F(CrashGuardTest, ContinueExecutionResumesWhereTheExceptionWasRaised)
{
    filter.verdicts[0] = EXCEPTION_CONTINUE_EXECUTION;
    EXPECT_EQ(RunGuarded(Raises, NULL, Recover), 11);
    EXPECT_EQ(afterRaise, 1);
    EXPECT_EQ(recoveries, 0);
}

TEST_F(CrashGuardTest, ContinueSearchPassesTheExceptionOutOfTheGuard)
{
    // The inner guard is answered 0, the outer one 1.
    filter.verdicts[0] = EXCEPTION_CONTINUE_SEARCH;
    filter.verdicts[1] = EXCEPTION_EXECUTE_HANDLER;
    EXPECT_EQ(RunGuarded(GuardsRaises, NULL, RecoverOuter), 8765);
    EXPECT_EQ(filter.calls, 2);
    EXPECT_EQ(recoveries, 1);
}

TEST_F(CrashGuardTest, ACrashInTheRecoveryLeavesTheGuard)
{
    for (LONG& verdict : filter.verdicts)
        verdict = EXCEPTION_EXECUTE_HANDLER;
    EXPECT_EQ(RunGuarded(GuardsRaisesWithACrashingRecovery, NULL, RecoverOuter), 8765);
    // The inner guard's crash, then the recovery's, which only the outer guard sees.
    EXPECT_EQ(filter.calls, 2);
    EXPECT_EQ(recoveries, 2);
}

}
