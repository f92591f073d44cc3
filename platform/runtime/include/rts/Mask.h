// Masking asynchronous exceptions, and catching exceptions.
//
// A thread is in one of three states, as `getMaskingState#` answers them:
//   0  unmasked: an asynchronous exception is raised at the next safe point;
//   1  masked and uninterruptible: none is raised until the thread leaves this state;
//   2  masked and interruptible: one is raised only in a blocking wait that actually blocks, or
//      when the thread returns to the unmasked state.
// Each primitive runs its action in the state it names and restores the previous state afterwards,
// also when the action raises. Returning to the unmasked state raises at once an exception that
// arrived while masked.
#pragma once

#include <cstdint>

#include "rts/Threads.h"

namespace rts {

enum class MaskingState : uint8_t { Unmasked = 0, MaskedUninterruptible = 1, MaskedInterruptible = 2 };

// `getMaskingState#`: 0, 1 or 2 as above.
int64_t getMaskingState_hash();
MaskingState masking_state();

// `maskAsyncExceptions#`, `maskUninterruptible#`, `unmaskAsyncExceptions#`: run the IO action in
// the named state, then restore the previous one; return the action's result.
Value maskAsyncExceptions_hash(const Value& action);
Value maskUninterruptible_hash(const Value& action);
Value unmaskAsyncExceptions_hash(const Value& action);

// `catch#`: runs the IO action; if it raises a language exception, runs the handler (a function
// of the exception value and the state token) and returns its result. The handler runs masked
// interruptibly when the caller was unmasked (a caller already masked keeps its state); the
// caller's state is restored afterwards. Re-raising the caught exception (`rethrow`, or `raise` of
// the same value) passes it on unchanged, with everything it carried.
Value catch_hash(const Value& action, const Value& handler);

// The same mechanisms for C++ bodies.

// Runs `body()` in `state`, restoring the previous state afterwards.
template <class F>
auto with_masking_state(MaskingState state, F&& body) -> decltype(body());
// Runs `body()`; on a language exception runs `handler(e)` under the same masking rule as catch#.
template <class F, class H>
auto catch_exception(F&& body, H&& handler) -> decltype(body());

namespace detail {
// Sets the calling thread's state and returns the previous one (no delivery).
MaskingState exchange_masking_state(MaskingState state);
// Restores `previous` after a masked section ended normally: raises a pending exception when
// `previous` is unmasked.
void leave_masking_state(MaskingState previous);
// Entering the unmasked state: raises a pending exception at once.
void entered_unmasked();
}  // namespace detail

template <class F>
auto with_masking_state(MaskingState state, F&& body) -> decltype(body()) {
    MaskingState previous = detail::exchange_masking_state(state);
    if (state == MaskingState::Unmasked) {
        try {
            detail::entered_unmasked();
        } catch (...) {
            detail::exchange_masking_state(previous);
            throw;
        }
    }
    if constexpr (std::is_void_v<decltype(body())>) {
        try {
            body();
        } catch (...) {
            detail::exchange_masking_state(previous);
            throw;
        }
        detail::leave_masking_state(previous);
    } else {
        auto r = [&] {
            try {
                return body();
            } catch (...) {
                detail::exchange_masking_state(previous);
                throw;
            }
        }();
        detail::leave_masking_state(previous);
        return r;
    }
}

template <class F, class H>
auto catch_exception(F&& body, H&& handler) -> decltype(body()) {
    MaskingState outer = masking_state();
    try {
        return body();
    } catch (const Exception& e) {
        MaskingState inside = outer == MaskingState::Unmasked ? MaskingState::MaskedInterruptible : outer;
        return with_masking_state(inside, [&] { return handler(e); });
    }
}

}  // namespace rts
