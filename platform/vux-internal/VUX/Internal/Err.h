// Raising errors from pure code: `error` (message and call stack) and `errorWithoutStackTrace`.
// Each raises the error exception (`ErrorCall` of the message, inside a `SomeException` whose
// context holds the call stack) at once; wrap the call in a suspended computation to raise it
// when a value is demanded (`errorValue`).
#pragma once

#include <string_view>
#include <version>
#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

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

// The C++ source position of a call: `std::source_location` where the standard library has it;
// otherwise (clang 14 with libstdc++ 12 lacks the builtin it needs) a stand-in with the same
// members, filled by the compiler's location builtins at the caller's site.
#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
class SourceLocation {
  public:
    static constexpr SourceLocation current(const char* file = __builtin_FILE(), const char* function = __builtin_FUNCTION(),
                                            unsigned line = __builtin_LINE(), unsigned column = __builtin_COLUMN()) {
        SourceLocation here;
        here.file_ = file;
        here.function_ = function;
        here.line_ = line;
        here.column_ = column;
        return here;
    }
    constexpr const char* file_name() const { return file_; }
    constexpr const char* function_name() const { return function_; }
    constexpr unsigned line() const { return line_; }
    constexpr unsigned column() const { return column_; }

  private:
    const char* file_ = "";
    const char* function_ = "";
    unsigned line_ = 0;
    unsigned column_ = 0;
};
#endif

// `error msg` raised from C++ library code: the call stack's one entry is ("error", the C++ call
// site) in the given package and module. The site's file is named relative to the source tree.
[[noreturn]] void errorAt(std::string_view message, const char* package, const char* module,
                          SourceLocation site = SourceLocation::current());

// Suspended forms: values that raise the error when demanded.
Value errorValue(Value message, Value callStack);
Value errorWithoutStackTraceValue(Value message);

}  // namespace VUX::Internal::Err
