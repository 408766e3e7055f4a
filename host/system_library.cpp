#include "system_library.h"

namespace {

// Room for a backslash and an 8.3 name with its terminator.
const UINT kNameRoom = 1 + 12 + 1;

}

HMODULE
LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH - kNameRoom);
    if (length == 0 || length >= MAX_PATH - kNameRoom)
        return NULL;
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    return LoadLibraryA(path);
}
