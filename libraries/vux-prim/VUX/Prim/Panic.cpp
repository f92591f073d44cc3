#include "VUX/Prim/Panic.h"

#include <cstdio>
#include <cstdlib>
#include "rts/Profiling.h"

VUX_MODULE("VUX.Prim.Panic");

namespace VUX::Prim::Panic {

namespace {

// Standard output is flushed first so that lines written before the stop are not lost with the
// buffer; the message goes to the unbuffered standard error; abort leaves a core for debugging.
[[noreturn]] void stop(const char* prefix, const char* message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s%s\n", prefix, message);
    std::abort();
}

}  // namespace

void panicError(const char* message) { VUX_FUNCTION; stop("panic: ", message); }

RTS_CONSTANT(absentSumFieldError) { VUX_CAF("absentSumFieldError"); panicError("entered absent sum field!"); }

void absentError(const char* message) { VUX_FUNCTION; stop("entered absent argument: ", message); }
void absentConstraintError(const char* message) { VUX_FUNCTION; absentError(message); }

}  // namespace VUX::Prim::Panic
