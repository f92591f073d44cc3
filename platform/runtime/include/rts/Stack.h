// Stack depth. C++ recursion stands in for the language's growable stack: evaluation that can go
// deep runs on a thread with a large reserved stack, and `force` and `apply` compare the stack
// pointer with the thread's limit, raising the stack-overflow exception instead of crashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "rts/Object.h"

namespace rts {

// The lowest address the calling thread's evaluation may reach (0 until the thread is known).
extern constinit thread_local uintptr_t tls_stack_limit __attribute__((tls_model("initial-exec")));

[[noreturn]] void stack_overflow_cold();
void init_thread_cold();

// The stack pointer, read without making the caller set up a frame pointer.
RTS_INLINE uintptr_t stack_pointer() {
#if defined(__x86_64__)
    uintptr_t sp;
    asm("mov %%rsp, %0" : "=r"(sp));
    return sp;
#else
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
#endif
}

RTS_INLINE void stack_check() {
    if (RTS_UNLIKELY(stack_pointer() < tls_stack_limit)) stack_overflow_cold();
}

// Reserved stack of the threads made by run_on_large_stack.
inline constexpr size_t kLargeStackBytes = size_t(1) << 30;

// Runs `body` on a fresh thread whose stack is `stack_bytes` long (reserved, touched only as it is
// used), waits for it, and passes on any exception it raised.
void run_on_large_stack(const std::function<void()>& body, size_t stack_bytes = kLargeStackBytes);

// Overrides the calling thread's stack limit to `bytes` below the current frame; tests use it to
// reach the limit quickly. Returns the previous limit, for restore_stack_limit.
uintptr_t limit_stack_depth(size_t bytes);
void restore_stack_limit(uintptr_t previous);

}  // namespace rts
