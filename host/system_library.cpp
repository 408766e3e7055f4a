#include "system_library.h"

HMODULE
LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    if (path[length - 1] != '\\')
        path[length++] = '\\';
    for (const char* c = name; *c != '\0'; c++) {
        if (length + 1 >= MAX_PATH)
            return NULL;
        path[length++] = *c;
    }
    path[length] = '\0';
    return LoadLibraryA(path);
}
