// Byte arrays and mutable references.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rts/Object.h"

namespace rts {

// A byte array: the header, its length in bytes, then the bytes (16-byte aligned). Objects never
// move, so every byte array is pinned: its address stays valid for a direct foreign call.
//
// The length can only go down (shrink_byte_array), and the block is not resized then: the
// header's nwords byte keeps the class of the block as it was allocated (0 for a block of the
// system allocator), and freeing goes by that class, never by the current length. So every block
// goes back exactly where it came from: a large array shrunk below the small-block limit still goes
// back to the system allocator, a small one to the free list of its original class.
struct BytesObject {
    Object header;
    uint64_t length;
    // bytes follow
};
static_assert(sizeof(BytesObject) == 16);

RTS_INLINE uint8_t* bytes_data(const Value& b) {
    RTS_ASSERT(b->kind == Kind::Bytes, "bytes_data: not a byte array");
    return reinterpret_cast<uint8_t*>(b.get()) + sizeof(BytesObject);
}
RTS_INLINE size_t bytes_length(const Value& b) { return reinterpret_cast<BytesObject*>(b.get())->length; }
RTS_INLINE bool bytes_mutable(const Value& b) { return b->tag == 1; }

// A new byte array of `length` bytes, zero-filled. Mutable until frozen. A length that cannot be
// allocated raises the heap-overflow exception.
Value new_byte_array(size_t length);
// The same without the zero fill: the bytes are undefined until the caller writes them.
Value new_byte_array_uninit(size_t length);
// Lowers the length of a mutable byte array to `length` (at most its current length), in place:
// the object and its address stay, the bytes beyond the new length are no longer part of it.
// Shrinking an immutable array, or to a greater length, is a programming error (it aborts).
void shrink_byte_array(const Value& b, size_t length);
// Freezing only changes the mark: the object is the same (no copy).
void freeze_byte_array(const Value& b);
// A new immutable byte array holding a copy of [data, data + length).
Value byte_array_from(const void* data, size_t length);

// A mutable reference: one reference field, read and written atomically with respect to each
// other (a striped lock keeps a reader's retain from racing a writer's release).
Value new_mut_var(Value initial);
Value read_mut_var(const Value& r);
void write_mut_var(const Value& r, Value v);
// Replaces the contents `old` with f(old) and returns `old`, atomically with respect to other
// writers. `f` runs outside any lock (it may read other references, or this one), so under
// contention it may run more than once: it must have no effects.
template <class F>
Value modify_mut_var(const Value& r, F&& f);

namespace detail {
// Stores `next` if the reference still holds `expected`; consumes `next` only then.
bool mut_var_replace(Object* r, Object* expected, Value& next);
}  // namespace detail

template <class F>
Value modify_mut_var(const Value& r, F&& f) {
    for (;;) {
        Value old = read_mut_var(r);
        Value next = f(static_cast<const Value&>(old));
        if (detail::mut_var_replace(r.get(), old.get(), next)) return old;
    }
}

}  // namespace rts
