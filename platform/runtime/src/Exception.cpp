// Raising language exceptions and the runtime's own failures.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "ThreadState.h"

namespace rts {

namespace {
ExceptionHooks hooks;
}

const char* rts_error_text(RtsError e) {
    switch (e) {
        case RtsError::NonTermination: return "<<loop>>";
        case RtsError::StackOverflow: return "stack overflow";
        case RtsError::HeapOverflow: return "heap overflow";
        case RtsError::Overflow: return "arithmetic overflow";
        case RtsError::Underflow: return "arithmetic underflow";
        case RtsError::DivideByZero: return "divide by zero";
        case RtsError::ThreadKilled: return "thread killed";
        case RtsError::CompactionFailed:
            return "compaction failed: cannot compact functions, mutable objects, weak references or thread "
                   "identities";
        case RtsError::None: return "exception";
    }
    __builtin_unreachable();
}

void set_exception_hooks(const ExceptionHooks& h) { hooks = h; }
const ExceptionHooks& exception_hooks() { return hooks; }

std::string display(const Exception& e) {
    if (e.value() && hooks.display) return hooks.display(e.value());
    return rts_error_text(e.kind());
}

const char* Exception::what() const noexcept {
    try {
        if (text_.empty()) text_ = display(*this);
        return text_.c_str();
    } catch (...) {
        return rts_error_text(kind_);
    }
}

void raise(Value exception) { throw Exception(std::move(exception), RtsError::None, false); }
void raise_async(Value exception) { throw Exception(std::move(exception), RtsError::None, true); }

void raise(RtsError kind) {
    Value v;
    if (hooks.make) v = hooks.make(kind);
    bool async = kind == RtsError::StackOverflow || kind == RtsError::HeapOverflow;
    throw Exception(std::move(v), kind, async);
}

void rethrow(const Exception& e) { throw e; }

void assert_failed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: runtime check failed: %s\n", file, line, what);
    std::abort();
}

void stack_overflow_cold() { raise(RtsError::StackOverflow); }

}  // namespace rts
