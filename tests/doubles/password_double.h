// The test stand-in for the system's PASSWORD.CPL. What it answers and does
// while "asking" is set by the test:
// - in-process, through PasswordDoubleState;
// - for another process, through files in TARVELIMUNDE_DOUBLE_DIR (see double_log.h):
//     verify-answer   "1" accepts, anything else refuses
//     verify-hold     while it exists, messages are pumped, as a password
//                     dialog waiting for the user would
//     verify-fault    "access" writes through a null pointer, "raise" raises
//                     kDoubleException
//     verify-filter   "handle" or "continue": installs a top-level exception
//                     filter answering 1 or -1 first
//   and it logs each call to verify-begin.log (at once) and verify.log.
// The answer: the file's, else the state's (1).
#ifndef TARVELIMUNDE_TESTS_PASSWORD_DOUBLE_H
#define TARVELIMUNDE_TESTS_PASSWORD_DOUBLE_H

#include <windows.h>

const DWORD kDoubleException = 0xE0545653;

struct PasswordDouble {
    int answer;
    int calls;
    int depth;
    int deepest;
    HWND lastWindow;
    // Called while the user would be typing; may pump, post and send.
    void (*whileAsking)(HWND window);
};

typedef PasswordDouble* (*PasswordDoubleStateProc)();

#endif
