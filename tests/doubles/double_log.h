// Where the test doubles write what they were asked and read what to answer:
// files in the folder named by TARVELIMUNDE_DOUBLE_DIR, the one way a test
// steers a double in another process.
#pragma once

#include <windows.h>

// Appends one line to the named file in the doubles' folder; no folder set, nothing written.
void
AppendDoubleLog(const char *fileName, const char *line);

// First character of the named file in the doubles' folder, or 0 when there is none.
char
ReadDoubleSetting(const char *fileName);

// Whether the named file is in the doubles' folder.
bool
DoubleFileExists(const char *fileName);

// The named file's text in the doubles' folder, when it is there and fits.
bool
ReadDoubleText(const char *fileName, char *text, DWORD size);

// Class and title of a window, as "class|title", for the logs.
void
DescribeWindow(HWND window, char *text, int size);
