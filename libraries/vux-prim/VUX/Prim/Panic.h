// Ways in which compiled code stops the program. None of them returns; none raises an exception
// that a handler could catch: they mark states that correct code never reaches.
#pragma once

#include "rts/rts.h"

namespace VUX::Prim::Panic {

// Reports `message` (a NUL-terminated text) on standard error and stops the program.
[[noreturn]] void panicError(const char* message);

// A constant whose first evaluation panics with "entered absent sum field!".
extern rts::Constant absentSumFieldError;

// An argument that the compiler found unused was entered after all: reports "entered absent
// argument: " and `message` on standard error and stops the program.
[[noreturn]] void absentError(const char* message);
[[noreturn]] void absentConstraintError(const char* message);

}  // namespace VUX::Prim::Panic
