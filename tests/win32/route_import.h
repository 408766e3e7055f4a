// How a Windows test replaces a system function: it routes this program's
// import of it to a stand-in and back, at run time. The program calls every
// system function through its import table slot, __imp_Name, which the test
// declares with IMPORT_SLOT and rewrites with RouteImport:
//
//   extern "C" BOOL (WINAPI *__imp_GetCursorPos)(POINT*) IMPORT_SLOT(GetCursorPos, 4);
//   real = RouteImport(&__imp_GetCursorPos, FailingGetCursorPos);
//   ...
//   RouteImport(&__imp_GetCursorPos, real);
//
// The host's sources are linked unchanged, so the calls routed are the very
// ones the shipped saver makes.
#ifndef TARVELIMUNDE_TESTS_ROUTE_IMPORT_H
#define TARVELIMUNDE_TESTS_ROUTE_IMPORT_H

#include <windows.h>

// The slot's linker name: on x86 it carries the underscore and the stdcall
// decoration (the argument bytes).
#if defined(__i386__)
#define IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#else
#define IMPORT_SLOT(name, bytes)
#endif

// Points the slot at the replacement and returns what was there.
template <typename Procedure>
Procedure
RouteImport(Procedure* slot, Procedure replacement)
{
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    Procedure previous = *slot;
    *slot = replacement;
    return previous;
}

#endif
