// The test stand-in for the system's PASSWORD.CPL: its answer and what it
// does while "asking" are set by the test, in-process through
// PasswordDoubleState or, for a child process, through the environment:
//   TARVELIMUNDE_PASSWORD_ANSWER  the answer (a decimal number; default 1)
//   TARVELIMUNDE_PASSWORD_FAULT   "access" writes through a null pointer,
//                                 "raise" raises kDoubleException
//   TARVELIMUNDE_PASSWORD_FILTER  "handle" or "continue": installs a top-level
//                                 exception filter answering 1 or -1 first
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
