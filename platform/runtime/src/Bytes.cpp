// Byte arrays and mutable references.
#include <mutex>

#include "ThreadState.h"

namespace rts {

Value new_byte_array_uninit(size_t length) {
    // Beyond this the size computation would wrap; no such allocation could succeed anyway.
    if (length > (SIZE_MAX >> 1)) raise(RtsError::HeapOverflow);
    const size_t size = sizeof(BytesObject) + length;
    const uint8_t cls = block_class(size);
    auto* b = static_cast<BytesObject*>(allocate_block(size, cls));
    new_header(b, Kind::Bytes, 1, 0, cls);
    b->length = length;
    return Value::adopt(&b->header);
}

Value new_byte_array(size_t length) {
    Value b = new_byte_array_uninit(length);
    std::memset(bytes_data(b), 0, length);
    return b;
}

void shrink_byte_array(const Value& b, size_t length) {
    auto* o = reinterpret_cast<BytesObject*>(b.get());
    if (!bytes_mutable(b) || length > o->length)
        assert_failed("shrink_byte_array: not a mutable byte array, or a greater length", __FILE__, __LINE__);
    o->length = length;
}

// The shape word is stored whole, as the free reads it: a lone tag store would make that read
// wait for it to retire.
void freeze_byte_array(const Value& b) {
    const uint32_t shape = shape_of(b.get()) & ~uint32_t{0xff00};
    std::memcpy(reinterpret_cast<char*>(b.get()) + offsetof(Object, kind), &shape, sizeof shape);
}

Value byte_array_from(const void* data, size_t length) {
    Value b = new_byte_array_uninit(length);  // every byte is written by the copy
    if (length) std::memcpy(bytes_data(b), data, length);
    freeze_byte_array(b);
    return b;
}

namespace {
constexpr size_t kLockStripes = 64;
std::mutex& lock_of(Object* r) {
    static std::mutex* locks = new std::mutex[kLockStripes];  // never destroyed, like the objects
    return locks[(reinterpret_cast<uintptr_t>(r) >> 4) % kLockStripes];
}
}  // namespace

namespace detail {
Object*& mut_var_slot(Object* r) { return con_slots(r)[0].ref; }

bool mut_var_replace(Object* r, Object* expected, Value& next) {
    {
        std::lock_guard<std::mutex> g(lock_of(r));
        Object*& slot = mut_var_slot(r);
        if (slot != expected) return false;
        slot = next.detach();
    }
    release(expected);  // the reference's own hold on the old contents; outside the lock
    return true;
}
}  // namespace detail

Value new_mut_var(Value initial) {
    void* mem = allocate_bytes(con_size(1, 0));
    Object* r = new (mem) Object(1, Kind::MutVar, 0, 1, 0);
    con_slots(r)[0].ref = initial.detach();
    return Value::adopt(r);
}

Value read_mut_var(const Value& r) {
    std::lock_guard<std::mutex> g(lock_of(r.get()));
    return Value::share(detail::mut_var_slot(r.get()));
}

void write_mut_var(const Value& r, Value v) {
    Object* old;
    {
        std::lock_guard<std::mutex> g(lock_of(r.get()));
        Object*& slot = detail::mut_var_slot(r.get());
        old = slot;
        slot = v.detach();
    }
    release(old);  // outside the lock: freeing may run long
}

}  // namespace rts
