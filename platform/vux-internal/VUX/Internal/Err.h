// Raising errors from pure code: `error` (message and call stack) and `errorWithoutStackTrace`.
// Each raises the error exception (`ErrorCall` of the message, inside a `SomeException` whose
// context holds the call stack) at once; wrap the call in a suspended computation to raise it
// when a value is demanded (`errorValue`).
#pragma once

#include <source_location>
#include <string_view>

#include "rts/rts.h"

namespace VUX::Internal::Err {

using rts::Value;

// `error msg` where the call stack's top entry is ("error", the call site). A frozen or empty
// stack is kept as given.
[[noreturn]] void errorWithCallStack(Value message, const Value& callStack);
[[noreturn]] inline void error(Value message, const Value& callStack) { errorWithCallStack(std::move(message), callStack); }
// `errorWithoutStackTrace msg`: the same exception with an empty call stack.
[[noreturn]] void errorWithoutStackTrace(Value message);
// `undefined`: "Prelude.undefined" with the call stack given.
[[noreturn]] void undefined(const Value& callStack);

// `error msg` raised from C++ library code: the call stack's one entry is ("error", the C++ call
// site) in the given package and module. The site's file is named relative to the source tree.
[[noreturn]] void errorAt(std::string_view message, const char* package, const char* module,
                          std::source_location site = std::source_location::current());

// Suspended forms: values that raise the error when demanded.
Value errorValue(Value message, Value callStack);
Value errorWithoutStackTraceValue(Value message);

}  // namespace VUX::Internal::Err
