// The optional system libraries (the password verifier and changer) are taken
// from the system folder only: by bare name the loader would search the
// saver's folder and the current one first, where anybody can put a
// "PASSWORD.CPL" that says yes.
#ifndef TARVELIMUNDE_HOST_SYSTEM_LIBRARY_H
#define TARVELIMUNDE_HOST_SYSTEM_LIBRARY_H

#include "platform.h"

// LoadLibraryA of the system folder's file of that name (an 8.3 name); NULL
// when it is not there or the path would not fit.
HMODULE LoadSystemLibrary(const char* name);

#endif
