#include "VUX/Internal/Err.h"

#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Stack.h"

namespace VUX::Internal::Err {

void errorWithCallStack(Value message, const Value& callStack) {
    rts::raise(Exception::SomeException(Exception::inst_Exception_ErrorCall.value(), callStack,
                                        Exception::ErrorCall(std::move(message))));
}

void errorWithoutStackTrace(Value message) { errorWithCallStack(std::move(message), Stack::EmptyCallStack()); }

void undefined(const Value& callStack) { errorWithCallStack(List::fromBytes("Prelude.undefined"), callStack); }

Value errorValue(Value message, Value callStack) {
    return rts::delay([message, callStack]() -> Value { errorWithCallStack(message, callStack); });
}

Value errorWithoutStackTraceValue(Value message) {
    return rts::delay([message]() -> Value { errorWithoutStackTrace(message); });
}

}  // namespace VUX::Internal::Err
