// Language exceptions in C++: one exception type carries the language's exception value.
//
// The runtime sits below the library that defines the exception types, so the failures it raises
// itself (non-termination, stack overflow, arithmetic...) are its own kinds. When the base layer
// is loaded it registers a maker that turns each kind into the language's exception value; from
// then on a handler sees only language values and never the difference.
#pragma once

#include <exception>
#include <string>

#include "rts/Object.h"

namespace rts {

// The failures the runtime raises itself, with their standard texts.
enum class RtsError : uint8_t {
    NonTermination,    // "<<loop>>"
    StackOverflow,     // "stack overflow"
    HeapOverflow,      // "heap overflow"
    Overflow,          // "arithmetic overflow"
    Underflow,         // "arithmetic underflow"
    DivideByZero,      // "divide by zero"
    ThreadKilled,      // "thread killed" (killThread)
    CompactionFailed,  // "compaction failed: ..." (a value a compact region cannot hold)
    None,              // not a runtime failure
};
const char* rts_error_text(RtsError e);

class Exception : public std::exception {
  public:
    Exception(Value value, RtsError kind, bool async)
        : value_(std::move(value)), kind_(kind), async_(async) {}
    // The language's exception value; null for a runtime failure raised before any maker was
    // registered.
    const Value& value() const { return value_; }
    // Which runtime failure this is, or RtsError::None for any other exception.
    RtsError kind() const { return kind_; }
    // Asynchronous exceptions (stack and heap overflow, exceptions thrown to a thread) leave a
    // suspended computation that they interrupt unevaluated, so it runs again on the next demand.
    bool is_async() const { return async_; }
    const char* what() const noexcept override;

  private:
    Value value_;
    RtsError kind_;
    bool async_;
    mutable std::string text_;
};

// Raising: never returns. Cold and out of line so throwing code is not copied into callers.
[[noreturn]] void raise(Value exception);
[[noreturn]] void raise_async(Value exception);
[[noreturn]] void raise(RtsError kind);
[[noreturn]] void rethrow(const Exception& e);

// Hooks that the base layer installs when it is loaded.
struct ExceptionHooks {
    // The language value for a runtime failure.
    Value (*make)(RtsError kind) = nullptr;
    // The text of an exception value (`displayException`).
    std::string (*display)(const Value& exception) = nullptr;
};
void set_exception_hooks(const ExceptionHooks& hooks);
const ExceptionHooks& exception_hooks();

// The text of an exception: the base layer's display, or the runtime failure's text.
std::string display(const Exception& e);

}  // namespace rts
