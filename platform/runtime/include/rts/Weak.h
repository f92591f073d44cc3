// Weak references with finalizers, and keeping a value alive.
//
// A weak reference observes a key without keeping it alive. With reference counting the key
// becomes unreachable when its count reaches zero; the free path then marks every weak reference
// to it dead (`deRefWeak#` answers nothing from then on) and queues their finalizers. Finalizers
// never run inside a release: a finalizer thread, started with the first finalizer, runs them one
// after another. Each finalizer runs exactly once: when its key dies, or earlier through
// `finalizeWeak#`, whichever comes first.
//
// What a weak reference holds: its value and finalizer are counted references, so a value or
// finalizer that refers to the key keeps the key alive (counting cannot tell those references from
// others). The common case is covered: a value that is the key itself is not counted, and a
// finalizer that needs the key is given it as an argument (mk_weak_finalizing_value) instead of
// capturing it; the key is then kept, unreachable from anything else, until that finalizer has run.
//
// Which objects can be keys: any heap object. Static objects (never freed) never die; their weak
// references only end through `finalizeWeak#`. Mailboxes, mutable references, thread ids,
// functions and suspended computations carry a mark in their header, so freeing other objects of
// those kinds costs one bit test; constructors, partial applications and byte arrays used as keys
// are found in a side table that the free path consults only while such a key exists.
//
// At exit, finalizers that are queued but not yet started are dropped, and keys still alive are
// not finalized; a finalizer running at that moment is allowed to finish.
#pragma once

#include <atomic>

#include "rts/Threads.h"

namespace rts {

// `mkWeak#`: a weak reference to `key` with `value` and a finalizer (an IO action, or a null
// reference for none).
Value mkWeak_hash(const Value& key, Value value, Value finalizer);
// `mkWeakNoFinalizer#`.
Value mkWeakNoFinalizer_hash(const Value& key, Value value);
// A weak reference whose finalizer is `finalizer(value)`: a function of the value and the state
// token. Use it when the finalizer needs the key (with value == key), so that it does not capture
// the key and keep it alive.
Value mk_weak_finalizing_value(const Value& key, Value value, Value finalizer);

// `deRefWeak#`: the value while the key is alive, else a null reference.
Value deRefWeak_hash(const Value& weak);
// `finalizeWeak#`: kills the weak reference and runs its finalizer in the calling thread, now;
// answers whether a finalizer ran (false when it had none or had already been finalized).
bool finalizeWeak_hash(const Value& weak);

// Blocks until every finalizer queued so far has run (tests and orderly shutdown).
void wait_for_finalizers();

// `keepAlive#`: runs the IO action while holding a reference to `x`; returns its result.
Value keepAlive_hash(const Value& x, const Value& action);

namespace detail {
// The header mark of keys of the kinds that have room for it (their tag is otherwise unused).
inline constexpr uint8_t kWeakKeyMark = 0x80;
// weak_side_keys (rts/Object.h) counts the live weak references keyed on the other kinds.
RTS_INLINE bool weak_key_marked(const Object* o) {
    switch (o->kind) {
        case Kind::Con:
        case Kind::Pap:
        case Kind::Bytes: return RTS_UNLIKELY(weak_side_keys.load(std::memory_order_acquire) != 0);
        default: return RTS_UNLIKELY((o->tag & kWeakKeyMark) != 0);
    }
}
// Called by the free path for a marked object whose count reached zero: kills its weak
// references and queues their finalizers. Answers false when the object must not be freed (a
// finalizer keeps it, or `deRefWeak#` revived it concurrently).
bool weak_key_dying(Object* o);
}  // namespace detail

}  // namespace rts
