// Masking states and catch#.
#include "rts/Mask.h"

#include "ThreadState.h"

namespace rts {

namespace detail {

MaskingState exchange_masking_state(MaskingState state) {
    ThreadState* ts = thread_state();
    auto previous = static_cast<MaskingState>(ts->mask);
    ts->mask = static_cast<uint8_t>(state);
    return previous;
}

void leave_masking_state(MaskingState previous) {
    ThreadState* ts = thread_state();
    ts->mask = static_cast<uint8_t>(previous);
    if (previous == MaskingState::Unmasked) async_safe_point(ts);
}

void entered_unmasked() { async_safe_point(thread_state()); }

}  // namespace detail

MaskingState masking_state() { return static_cast<MaskingState>(thread_state()->mask); }

int64_t getMaskingState_hash() { return thread_state()->mask; }

Value maskAsyncExceptions_hash(const Value& action) {
    return with_masking_state(MaskingState::MaskedInterruptible, [&] { return run_io(action); });
}

Value maskUninterruptible_hash(const Value& action) {
    return with_masking_state(MaskingState::MaskedUninterruptible, [&] { return run_io(action); });
}

Value unmaskAsyncExceptions_hash(const Value& action) {
    return with_masking_state(MaskingState::Unmasked, [&] { return run_io(action); });
}

Value catch_hash(const Value& action, const Value& handler) {
    return catch_exception([&] { return run_io(action); },
                           [&](const Exception& e) -> Value {
                               // A runtime failure raised before the base layer registered its
                               // maker has no language value to hand to a handler.
                               if (!e.value()) rethrow(e);
                               return apply(handler, e.value(), realWorld_hash());
                           });
}

}  // namespace rts
