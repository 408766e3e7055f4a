# 64-bit Windows: the same program for x64 machines, and the build the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARVELIMUNDE_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVELIMUNDE_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARVELIMUNDE_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${TARVELIMUNDE_TRIPLET}-windres)
# This winnt.h includes every x86 intrinsic header, whose target pragmas cost
# most of a second a file; nothing here uses them, and the code is the same.
set(CMAKE_C_FLAGS_INIT -D_X86INTRIN_H_INCLUDED)
set(CMAKE_CXX_FLAGS_INIT -D_X86INTRIN_H_INCLUDED)
set(CMAKE_FIND_ROOT_PATH /usr/${TARVELIMUNDE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Its programs run here under Wine's loader for this architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
