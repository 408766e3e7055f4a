// GCC has no __try, so the guard's frame is built by hand: an exception
// registration record on fs:[0] on x86, unwind data with a language handler
// on x64. The handler asks UnhandledExceptionFilter and obeys its verdict.
#include "crash_guard.h"

#include "platform.h"

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* frame,
    CONTEXT* context, void* dispatch);

#if defined(__i386__)

// The guard's frame, from fs:[0] upward: previous record, handler, the guard's
// ebp and the recovery procedure. UnwindToGuard unwinds the frames above it,
// takes the stack back to it and calls the recovery; RtlUnwind is written in
// assembly here because it does not keep ebx, esi and edi.
extern "C" void UnwindToGuard(void* frame, EXCEPTION_RECORD* record) __attribute__((noreturn));

__asm__(
    ".text\n"
    ".globl _RunGuarded\n"
    "_RunGuarded:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl 16(%ebp)\n"
    "    pushl %ebp\n"
    "    pushl $_GuardHandler\n"
    "    pushl %fs:0\n"
    "    movl %esp, %fs:0\n"
    "    pushl 12(%ebp)\n"
    "    call *8(%ebp)\n"
    "    addl $4, %esp\n"
    "GuardLeave:\n"
    "    popl %ecx\n"
    "    movl %ecx, %fs:0\n"
    "    addl $12, %esp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n"
    ".globl _UnwindToGuard\n"
    "_UnwindToGuard:\n"
    "    pushl $0\n"
    "    pushl 12(%esp)\n"
    "    pushl $GuardRecoveryPoint\n"
    "    pushl 16(%esp)\n"
    "    call *__imp__RtlUnwind@16\n"
    "GuardRecoveryPoint:\n"
    "    movl 4(%esp), %esp\n"
    "    movl 8(%esp), %ebp\n"
    // A second crash in the recovery must not come back here.
    "    movl (%esp), %ecx\n"
    "    movl %ecx, %fs:0\n"
    "    call *12(%esp)\n"
    "    jmp GuardLeave\n");

#elif defined(__x86_64__)

// The recovery slot lies at the frame's [rsp+32], above the callee's home
// area; RtlUnwind resumes at GuardRecoveryPoint with rsp back at the frame.
// The recovery is a procedure of its own, outside the guarded range: its
// unwind data describes the same frame but names no handler, so a crash in
// the recovery goes on to the guard's caller instead of coming back here.
extern "C" void GuardRecoveryPoint();

__asm__(
    ".text\n"
    ".globl RunGuarded\n"
    ".def RunGuarded; .scl 2; .type 32; .endef\n"
    ".seh_proc RunGuarded\n"
    "RunGuarded:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_handler GuardHandler, @except\n"
    "    .seh_endprologue\n"
    "    movq %r8, 32(%rsp)\n"
    "    movq %rcx, %rax\n"
    "    movq %rdx, %rcx\n"
    "    call *%rax\n"
    // Keeps the return address out of what the unwinder would take for
    // the epilogue, where it calls no handler.
    "    nop\n"
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n"
    ".def GuardRecovery; .scl 3; .type 32; .endef\n"
    ".seh_proc GuardRecovery\n"
    "GuardRecovery:\n"
    // Never run: it only gives the unwinder RunGuarded's frame.
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    ".globl GuardRecoveryPoint\n"
    "GuardRecoveryPoint:\n"
    "    call *32(%rsp)\n"
    // As in RunGuarded: the return address stays out of the epilogue.
    "    nop\n"
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n");

#endif

extern "C" EXCEPTION_DISPOSITION __cdecl
GuardHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context, void*)
{
    // Unwinding passes through here on the way to the recovery; nothing to do.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers = {record, context};
    LONG verdict = UnhandledExceptionFilter(&pointers);
    if (verdict == EXCEPTION_CONTINUE_EXECUTION)
        return ExceptionContinueExecution;
    if (verdict != EXCEPTION_EXECUTE_HANDLER)
        return ExceptionContinueSearch;
#if defined(__i386__)
    UnwindToGuard(frame, record);
#else
    RtlUnwind(frame, (void*)GuardRecoveryPoint, record, NULL);
#endif
    return ExceptionContinueSearch;
}
