// File plumbing shared by the PASSWORD.CPL and MPR.DLL test doubles.
#include "double_log.h"

#include <cstdio>

namespace {

bool
DoublePath(const char *fileName, char *path, DWORD size)
{
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TARVELIMUNDE_DOUBLE_DIR", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return false;
    return std::snprintf(path, size, "%s\\%s", folder, fileName) < static_cast<int>(size);
}

// Up to size bytes of a setting file into text; how many were read, 0 without the file.
DWORD
ReadDoubleFile(const char *fileName, char *text, DWORD size)
{
    char path[MAX_PATH];
    if (!DoublePath(fileName, path, sizeof path))
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD read = 0;
    if (!ReadFile(file, text, size, &read, nullptr))
        read = 0;
    CloseHandle(file);
    return read;
}

}

void
AppendDoubleLog(const char *fileName, const char *line)
{
    char path[MAX_PATH];
    if (!DoublePath(fileName, path, sizeof path))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

char
ReadDoubleSetting(const char *fileName)
{
    char text[2] = "";
    return ReadDoubleFile(fileName, text, 1) == 1 ? text[0] : 0;
}

bool
DoubleFileExists(const char *fileName)
{
    char path[MAX_PATH];
    return DoublePath(fileName, path, sizeof path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool
ReadDoubleText(const char *fileName, char *text, DWORD size)
{
    DWORD read = ReadDoubleFile(fileName, text, size);
    if (read == 0 || read >= size)
        return false;
    text[read] = 0;
    return true;
}

void
DescribeWindow(HWND window, char *text, int size)
{
    char className[128] = "";
    char title[128] = "";
    if (window && IsWindow(window)) {
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
    }
    std::snprintf(text, size, "%s|%s", className, title);
}
