// Byte arrays and mutable references.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rts/Object.h"

namespace rts {

// A byte array: the header, its length in bytes, then the bytes (16-byte aligned). Objects never
// move, so every byte array is pinned: its address stays valid for a direct foreign call.
struct BytesObject {
    Object header;
    uint64_t length;
    // bytes follow
};
static_assert(sizeof(BytesObject) == 16);

RTS_INLINE uint8_t* bytes_data(const Value& b) {
    return reinterpret_cast<uint8_t*>(b.get()) + sizeof(BytesObject);
}
RTS_INLINE size_t bytes_length(const Value& b) { return reinterpret_cast<BytesObject*>(b.get())->length; }
RTS_INLINE bool bytes_mutable(const Value& b) { return b->tag == 1; }

// A new byte array of `length` bytes, zero-filled. Mutable until frozen.
Value new_byte_array(size_t length);
// Freezing only changes the mark: the object is the same (no copy).
void freeze_byte_array(const Value& b);
// A new immutable byte array holding a copy of [data, data + length).
Value byte_array_from(const void* data, size_t length);

// A mutable reference: one reference field, read and written atomically with respect to each
// other (a striped lock keeps a reader's retain from racing a writer's release).
Value new_mut_var(Value initial);
Value read_mut_var(const Value& r);
void write_mut_var(const Value& r, Value v);
// Replaces the contents with f(old) computed by the caller's function under the lock; returns the
// old value. `f` must not touch the same reference.
template <class F>
Value modify_mut_var(const Value& r, F&& f);

namespace detail {
void mut_var_lock(Object* r);
void mut_var_unlock(Object* r);
Object*& mut_var_slot(Object* r);
}  // namespace detail

template <class F>
Value modify_mut_var(const Value& r, F&& f) {
    detail::mut_var_lock(r.get());
    Object*& slot = detail::mut_var_slot(r.get());
    Value old = Value::adopt(slot);
    try {
        slot = Value(f(static_cast<const Value&>(old))).detach();
    } catch (...) {
        slot = Value(old).detach();
        detail::mut_var_unlock(r.get());
        throw;
    }
    detail::mut_var_unlock(r.get());
    return old;
}

}  // namespace rts
