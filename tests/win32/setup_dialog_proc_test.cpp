// The setup dialog as the dialog manager runs it: the shipped template 2003
// with SetupDialogProc, driven by the keys and commands a user produces.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup_dialog.h"

namespace {

struct Script {
    std::vector<UINT> keys;          // virtual keys typed at the focused control, in turn
    std::vector<WPARAM> commands;    // WM_COMMAND wParams sent before the keys
    HWND dialog;
    bool openAfterCommands;
    bool openBeforeLastKey;
    std::string verdict;
    bool focusOnOk;
    size_t step;
};

Script script;

void
Type(HWND target, UINT key)
{
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Runs inside the dialog's own modal loop, one step per timer tick.
void CALLBACK
NextStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    Script& s = script;
    if (s.dialog == NULL) {
        s.dialog = FindWindowA(NULL, "Setup");
        if (s.dialog == NULL)
            return;
        char text[128] = "";
        GetDlgItemTextA(s.dialog, IDC_DISPLAY_VERDICT, text, sizeof text);
        s.verdict = text;
        s.focusOnOk = GetFocus() == GetDlgItem(s.dialog, IDOK);
        for (WPARAM command : s.commands)
            SendMessageA(s.dialog, WM_COMMAND, command, 0);
        s.openAfterCommands = IsWindow(s.dialog) && IsWindowVisible(s.dialog);
        return;
    }
    if (s.step < s.keys.size()) {
        if (s.step + 1 == s.keys.size())
            s.openBeforeLastKey = IsWindow(s.dialog) && IsWindowVisible(s.dialog);
        Type(GetFocus(), s.keys[s.step++]);
        return;
    }
    // Nothing ended it: close it the one way that works, so the test goes on.
    if (IsWindow(s.dialog))
        PostMessageA(s.dialog, WM_COMMAND, IDOK, 0);
    KillTimer(NULL, timer);
}

INT_PTR
RunDialog(std::vector<WPARAM> commands, std::vector<UINT> keys)
{
    script = Script();
    script.commands = commands;
    script.keys = keys;
    UINT_PTR timer = SetTimer(NULL, 0, 100, NextStep);
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_SETUP), NULL,
                                     SetupDialogProc, 0);
    KillTimer(NULL, timer);
    return result;
}

}

TEST(SetupDialogProcTest, ShowsTheVerdictForThisDisplayAndFocusesOk)
{
    HDC screen = GetDC(NULL);
    bool fullPalette = GetDeviceCaps(screen, SIZEPALETTE) == 256;
    ReleaseDC(NULL, screen);
    EXPECT_EQ(1, RunDialog({}, {VK_RETURN}));
    EXPECT_EQ(fullPalette ? kPerfectDisplayText : kOtherDisplayText, script.verdict);
    EXPECT_TRUE(script.focusOnOk);
}

TEST(SetupDialogProcTest, EnterAndSpaceEndItWithOne)
{
    EXPECT_EQ(1, RunDialog({}, {VK_RETURN}));
    EXPECT_TRUE(script.openBeforeLastKey);
    EXPECT_EQ(1, RunDialog({}, {VK_SPACE}));
    EXPECT_TRUE(script.openBeforeLastKey);
}

TEST(SetupDialogProcTest, EscapeAndCancelLeaveItOpen)
{
    // Escape first; only the Enter after it ends the dialog.
    EXPECT_EQ(1, RunDialog({IDCANCEL}, {VK_ESCAPE, VK_RETURN}));
    EXPECT_TRUE(script.openAfterCommands);
    EXPECT_TRUE(script.openBeforeLastKey);
}

TEST(SetupDialogProcTest, OkWithANotificationCodeIsNotOk)
{
    EXPECT_EQ(1, RunDialog({MAKEWPARAM(IDOK, BN_DOUBLECLICKED), MAKEWPARAM(IDOK, 1), 3}, {VK_RETURN}));
    EXPECT_TRUE(script.openAfterCommands);
    EXPECT_TRUE(script.openBeforeLastKey);
}

TEST(SetupDialogProcTest, ProcedureAnswersAsADialogProcedure)
{
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    EXPECT_EQ(FALSE, SetupDialogProc(plain, WM_COMMAND, IDCANCEL, 0));
    EXPECT_EQ(FALSE, SetupDialogProc(plain, WM_PAINT, 0, 0));
    EXPECT_EQ(FALSE, SetupDialogProc(plain, WM_CLOSE, 0, 0));
    DestroyWindow(plain);
}

BOOL CALLBACK
CountChild(HWND, LPARAM count)
{
    ++*(int*)count;
    return TRUE;
}

// What the setup mode relies on: after RegisterSetupClasses every control the
// shipped template names has a class, so the dialog comes up whole.
TEST(SetupDialogProcTest, AfterRegisteringTheClassesEveryControlOfTheTemplateIsMade)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDD_SETUP), (LPCSTR)RT_DIALOG);
    ASSERT_NE(found, (HRSRC)NULL);
    const DLGTEMPLATE* shape = (const DLGTEMPLATE*)LockResource(LoadResource(instance, found));
    ASSERT_GT(shape->cdit, 0);

    ASSERT_EQ(TRUE, RegisterSetupClasses(instance));
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), NULL, SetupDialogProc, 0);
    ASSERT_NE(dialog, (HWND)NULL);
    int children = 0;
    EnumChildWindows(dialog, CountChild, (LPARAM)&children);
    EXPECT_EQ(children, shape->cdit);
    DestroyWindow(dialog);
}
