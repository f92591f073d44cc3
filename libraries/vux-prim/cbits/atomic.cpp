// Atomic memory operations on 8, 16, 32 and 64-bit locations, all sequentially consistent.
//
// Each exported function is one instantiation of the templates below at the location's width:
// the value arguments are cut to the width and the result is zero-extended back to a word.
#include "cbits/cbits.h"

namespace {

template <class T>
T* location(uint64_t x) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(x));
}

template <class T>
uint64_t fetch_add(uint64_t x, uint64_t val) {
    return __atomic_fetch_add(location<T>(x), static_cast<T>(val), __ATOMIC_SEQ_CST);
}

// Subtraction is the addition of the negated value (wrapping at the width).
template <class T>
uint64_t fetch_sub(uint64_t x, uint64_t val) {
    return fetch_add<T>(x, static_cast<T>(-val));
}

// Read, combine, and publish with a compare-and-swap that expects what was read; when another
// writer got in between, the failed compare-and-swap hands back the fresh contents to retry with.
// Returns the contents that the successful compare-and-swap replaced.
template <class T, class Combine>
uint64_t fetch_modify(uint64_t x, uint64_t val, Combine combine) {
    T* p = location<T>(x);
    const T operand = static_cast<T>(val);
    T seen = __atomic_load_n(p, __ATOMIC_SEQ_CST);
    while (!__atomic_compare_exchange_n(p, &seen, static_cast<T>(combine(seen, operand)), false,
                                        __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
    }
    return seen;
}

template <class T>
uint64_t fetch_and(uint64_t x, uint64_t val) {
    return fetch_modify<T>(x, val, [](T a, T b) { return a & b; });
}
template <class T>
uint64_t fetch_nand(uint64_t x, uint64_t val) {
    return fetch_modify<T>(x, val, [](T a, T b) { return ~(a & b); });
}
template <class T>
uint64_t fetch_or(uint64_t x, uint64_t val) {
    return fetch_modify<T>(x, val, [](T a, T b) { return a | b; });
}
template <class T>
uint64_t fetch_xor(uint64_t x, uint64_t val) {
    return fetch_modify<T>(x, val, [](T a, T b) { return a ^ b; });
}

template <class T>
uint64_t compare_exchange(uint64_t x, uint64_t old, uint64_t new_) {
    T found = static_cast<T>(old);
    __atomic_compare_exchange_n(location<T>(x), &found, static_cast<T>(new_), false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return found;  // on success still `old`, on failure what the location held
}

template <class T>
uint64_t exchange(uint64_t x, uint64_t val) {
    return __atomic_exchange_n(location<T>(x), static_cast<T>(val), __ATOMIC_SEQ_CST);
}

template <class T>
uint64_t load(uint64_t x) {
    return __atomic_load_n(location<T>(x), __ATOMIC_SEQ_CST);
}

// A store through an exchange: a locked instruction, so it is ordered with every other operation.
template <class T>
void store(uint64_t x, uint64_t val) {
    (void)exchange<T>(x, val);
}

}  // namespace

#define HS_ATOMIC_RMW(name, op)                                                       \
    uint64_t hs_##name##8(uint64_t x, uint64_t val) { return op<uint8_t>(x, val); }   \
    uint64_t hs_##name##16(uint64_t x, uint64_t val) { return op<uint16_t>(x, val); } \
    uint64_t hs_##name##32(uint64_t x, uint64_t val) { return op<uint32_t>(x, val); } \
    uint64_t hs_##name##64(uint64_t x, uint64_t val) { return op<uint64_t>(x, val); }

extern "C" {

HS_ATOMIC_RMW(atomic_add, fetch_add)
HS_ATOMIC_RMW(atomic_sub, fetch_sub)
HS_ATOMIC_RMW(atomic_and, fetch_and)
HS_ATOMIC_RMW(atomic_nand, fetch_nand)
HS_ATOMIC_RMW(atomic_or, fetch_or)
HS_ATOMIC_RMW(atomic_xor, fetch_xor)
HS_ATOMIC_RMW(xchg, exchange)

uint64_t hs_cmpxchg8(uint64_t x, uint64_t old, uint64_t new_) {
    return compare_exchange<uint8_t>(x, old, new_);
}
uint64_t hs_cmpxchg16(uint64_t x, uint64_t old, uint64_t new_) {
    return compare_exchange<uint16_t>(x, old, new_);
}
uint64_t hs_cmpxchg32(uint64_t x, uint64_t old, uint64_t new_) {
    return compare_exchange<uint32_t>(x, old, new_);
}
uint64_t hs_cmpxchg64(uint64_t x, uint64_t old, uint64_t new_) {
    return compare_exchange<uint64_t>(x, old, new_);
}

uint64_t hs_atomicread8(uint64_t x) { return load<uint8_t>(x); }
uint64_t hs_atomicread16(uint64_t x) { return load<uint16_t>(x); }
uint64_t hs_atomicread32(uint64_t x) { return load<uint32_t>(x); }
uint64_t hs_atomicread64(uint64_t x) { return load<uint64_t>(x); }

void hs_atomicwrite8(uint64_t x, uint64_t val) { store<uint8_t>(x, val); }
void hs_atomicwrite16(uint64_t x, uint64_t val) { store<uint16_t>(x, val); }
void hs_atomicwrite32(uint64_t x, uint64_t val) { store<uint32_t>(x, val); }
void hs_atomicwrite64(uint64_t x, uint64_t val) { store<uint64_t>(x, val); }

}  // extern "C"
