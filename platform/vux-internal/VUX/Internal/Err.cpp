#include "VUX/Internal/Err.h"

#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Stack.h"

namespace VUX::Internal::Err {

void errorWithCallStack(Value message, const Value& callStack) {
    rts::raise(Exception::SomeException(Exception::inst_Exception_ErrorCall(), callStack,
                                        Exception::ErrorCall(std::move(message))));
}

namespace {
// A C++ file name relative to the source tree: from its last "libraries/", "platform/" or "deps/".
const char* treeRelative(const char* file) {
    std::string_view f(file);
    size_t best = std::string_view::npos;
    for (std::string_view root : {"libraries/", "platform/", "deps/"}) {
        size_t at = f.rfind(root);
        if (at != std::string_view::npos && (best == std::string_view::npos || at > best)) best = at;
    }
    return best == std::string_view::npos ? file : file + best;
}
}  // namespace

void errorAt(std::string_view message, const char* package, const char* module, SourceLocation site) {
    auto line = static_cast<int64_t>(site.line());
    auto col = static_cast<int64_t>(site.column());
    Value stack = Stack::callStack({{"error", {package, module, treeRelative(site.file_name()), line, col, line, col}}});
    errorWithCallStack(List::fromBytes(message), stack);
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
