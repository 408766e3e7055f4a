// The one structured exception guard around everything the process does:
// a crash that the system's unhandled-exception filter says to handle ends
// in the recovery procedure instead of taking the process down.
#ifndef TARVELIMUNDE_HOST_CRASH_GUARD_H
#define TARVELIMUNDE_HOST_CRASH_GUARD_H

#include <stdint.h>

typedef int32_t (*GuardedBody)(void* context);
typedef int32_t (*GuardRecovery)();

// Returns body(context); after a crash that UnhandledExceptionFilter answers
// with EXCEPTION_EXECUTE_HANDLER, the frames inside are unwound and the result
// is recovery() instead.
extern "C" int32_t RunGuarded(GuardedBody body, void* context, GuardRecovery recovery);

#endif
