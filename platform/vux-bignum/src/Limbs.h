// Magnitudes as limb arrays: views of operands, buffers for results, and the arithmetic on them
// that the BigNat, Natural and Integer front ends share. Internal to vux-bignum.
//
// A magnitude is canonical: zero has no limbs and a non-zero magnitude has no zero top limb.
// Operands are read through `Limbs` views (no copy, no allocation); a small operand (an `IS`, an
// `NS`, a word) is viewed through a one-limb `Operand` on the stack. Results are written into a
// `LimbBuf`, which keeps a few limbs inline and otherwise owns an unfinished byte array, and are
// trimmed to canonical form when the front end turns them into a value.
//
// Every limb count that is computed (sums of sizes, shifted sizes) goes through the checked
// helpers, which raise the heap-overflow exception rather than wrap around.
#pragma once

#include <gmp.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rts/rts.h"

#ifndef NDEBUG
#define VUX_NUM_ASSERT_CANONICAL(p, n) assert((n) == 0 || (p)[(n)-1] != 0)
#else
#define VUX_NUM_ASSERT_CANONICAL(p, n) ((void)0)
#endif

namespace VUX::Num::detail {

using rts::Value;
using Limb = mp_limb_t;
static_assert(sizeof(Limb) == 8 && GMP_NUMB_BITS == 64, "limbs are 64-bit words without nails");

inline constexpr size_t kLimbBytes = 8;

// ---------------------------------------------------------------------------------------------
// Checked limb counts

[[noreturn]] void size_overflow();

RTS_INLINE size_t add_size(size_t a, size_t b) {
    size_t r;
    if (RTS_UNLIKELY(__builtin_add_overflow(a, b, &r))) size_overflow();
    return r;
}
RTS_INLINE size_t limb_bytes(size_t n) {
    size_t r;
    if (RTS_UNLIKELY(__builtin_mul_overflow(n, kLimbBytes, &r))) size_overflow();
    return r;
}

// ---------------------------------------------------------------------------------------------
// Views

struct Limbs {
    const Limb* p;
    size_t n;
};

// The limbs of a byte array holding a magnitude.
RTS_INLINE Limbs view(const Value& bignat) {
    return {reinterpret_cast<const Limb*>(rts::bytes_data(bignat)), rts::bytes_length(bignat) / kLimbBytes};
}
RTS_INLINE Limb* mut_limbs(const Value& bytes) { return reinterpret_cast<Limb*>(rts::bytes_data(bytes)); }

// Index of the top non-zero limb plus one.
RTS_INLINE size_t trim(const Limb* p, size_t n) {
    while (n > 0 && p[n - 1] == 0) --n;
    return n;
}

// A signed operand: its magnitude and its sign. A small operand keeps its one limb inside, so an
// Operand is neither copied nor moved.
struct Operand {
    Limb small = 0;
    const Limb* p = nullptr;
    size_t n = 0;
    bool neg = false;

    Operand() = default;
    Operand(const Operand&) = delete;
    Operand& operator=(const Operand&) = delete;

    void set_word(Limb w) {
        small = w;
        p = &small;
        n = w != 0;
        neg = false;
    }
    void set_int(int64_t i) {
        set_word(i < 0 ? Limb(0) - static_cast<Limb>(i) : static_cast<Limb>(i));
        neg = i < 0;
    }
    void set_limbs(Limbs l, bool negative) {
        p = l.p;
        n = l.n;
        neg = negative;
    }
    Limbs mag() const { return {p, n}; }
    // The low limb (0 for zero), whether the operand is small or big.
    Limb low() const { return n ? p[0] : 0; }
};

// ---------------------------------------------------------------------------------------------
// Result buffers

// A canonical byte array holding a copy of `a`.
Value bignat_copy(Limbs a);
// The static magnitudes 0 (no limbs) and 1.
Value bignat_zero();
Value bignat_one();

// A mutable byte array of `cap` limbs for a result written in place.
Value big_result_array(size_t cap);

// Room for a result of at most `cap` limbs. The limbs start undefined.
class LimbBuf {
  public:
    static constexpr size_t kInline = 4;

    explicit LimbBuf(size_t cap) : cap_(cap) {
        if (cap <= kInline) {
            p_ = inline_;
        } else {
            arr_ = rts::new_byte_array_uninit(limb_bytes(cap));
            p_ = mut_limbs(arr_);
        }
    }
    LimbBuf(const LimbBuf&) = delete;
    LimbBuf& operator=(const LimbBuf&) = delete;

    Limb* data() { return p_; }
    const Limb* data() const { return p_; }
    size_t cap() const { return cap_; }

    // The first `n` limbs, trimmed, as a canonical byte array (the buffer is used up).
    Value take_bignat(size_t n);

  private:
    Limb inline_[kInline];
    Value arr_;
    Limb* p_;
    size_t cap_;
};

// ---------------------------------------------------------------------------------------------
// Arithmetic on canonical magnitudes. Each writes its result into a buffer of the capacity it
// documents and returns the trimmed limb count.

// Sums and differences of limb runs. A short run goes through a carry chain written here: at a
// few limbs a call into GMP (its entry, its unrolled loop's set-up) costs more than the additions
// themselves. A long one goes to GMP's loop, which is faster per limb.
inline constexpr size_t kShortRun = 16;

#if defined(__x86_64__)
// Two limbs a step, after a first odd one. The carry (borrow) flag runs through the loop: mov,
// lea, dec and jrcxz leave it alone; the shift that halves the count clears it when no odd limb
// goes first. Few registers (the count halves in place, one scratch word that ends as the flag),
// so that a caller keeps its own values in caller-saved registers.
#define VUX_NUM_CARRY_LOOP(first, op)                                                              \
    size_t pairs = n, i = 0;                                                                       \
    Limb t;                                                                                        \
    asm volatile("shr $1, %[pairs]\n\t"                                                            \
                 "jnc 2f\n\t"                                                                      \
                 "mov (%[a]), %[t]\n\t"                                                            \
                 first " (%[b]), %[t]\n\t"                                                         \
                 "mov %[t], (%[r])\n\t"                                                            \
                 "lea 1(%[i]), %[i]\n"                                                             \
                 "2:\n\t"                                                                          \
                 "jrcxz 3f\n"                                                                      \
                 "1:\n\t"                                                                          \
                 "mov (%[a],%[i],8), %[t]\n\t"                                                     \
                 op " (%[b],%[i],8), %[t]\n\t"                                                     \
                 "mov %[t], (%[r],%[i],8)\n\t"                                                     \
                 "mov 8(%[a],%[i],8), %[t]\n\t"                                                    \
                 op " 8(%[b],%[i],8), %[t]\n\t"                                                    \
                 "mov %[t], 8(%[r],%[i],8)\n\t"                                                    \
                 "lea 2(%[i]), %[i]\n\t"                                                           \
                 "dec %[pairs]\n\t"                                                                \
                 "jnz 1b\n"                                                                        \
                 "3:\n\t"                                                                          \
                 "mov $0, %k[t]\n\t"                                                               \
                 "setc %b[t]"                                                                      \
                 : [t] "=&r"(t), [i] "+r"(i), [pairs] "+c"(pairs)                                  \
                 : [r] "r"(r), [a] "r"(a), [b] "r"(b)                                              \
                 : "cc", "memory");                                                                \
    return t
// r = a + b over n >= 1 limbs (r may be a or b); the carry out.
RTS_INLINE Limb add_short(Limb* r, const Limb* a, const Limb* b, size_t n) { VUX_NUM_CARRY_LOOP("add", "adc"); }
// r = a - b over n >= 1 limbs (r may be a or b); the borrow out.
RTS_INLINE Limb sub_short(Limb* r, const Limb* a, const Limb* b, size_t n) { VUX_NUM_CARRY_LOOP("sub", "sbb"); }
#undef VUX_NUM_CARRY_LOOP
#else
RTS_INLINE Limb add_short(Limb* r, const Limb* a, const Limb* b, size_t n) {
    return mpn_add_n(r, a, b, static_cast<mp_size_t>(n));
}
RTS_INLINE Limb sub_short(Limb* r, const Limb* a, const Limb* b, size_t n) {
    return mpn_sub_n(r, a, b, static_cast<mp_size_t>(n));
}
#endif

// r = a + b over a.n limbs, for a.n >= b.n >= 1; the carry out.
RTS_INLINE Limb add_limbs(Limb* r, Limbs a, Limbs b) {
    if (a.n > kShortRun) {
        if (a.n == b.n) return mpn_add_n(r, a.p, b.p, static_cast<mp_size_t>(a.n));
        return mpn_add(r, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n));
    }
    Limb carry = add_short(r, a.p, b.p, b.n);
    for (size_t i = b.n; i < a.n; ++i) {
        const Limb s = a.p[i] + carry;
        carry = s < carry;
        r[i] = s;
    }
    return carry;
}
// r = a - b over a.n limbs, for a.n >= b.n >= 1; the borrow out.
RTS_INLINE Limb sub_limbs(Limb* r, Limbs a, Limbs b) {
    if (a.n > kShortRun) {
        if (a.n == b.n) return mpn_sub_n(r, a.p, b.p, static_cast<mp_size_t>(a.n));
        return mpn_sub(r, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n));
    }
    Limb borrow = sub_short(r, a.p, b.p, b.n);
    for (size_t i = b.n; i < a.n; ++i) {
        const Limb d = a.p[i] - borrow;
        borrow = a.p[i] < borrow;
        r[i] = d;
    }
    return borrow;
}

RTS_INLINE int cmp(Limbs a, Limbs b) {
    if (a.n != b.n) return a.n < b.n ? -1 : 1;
    if (a.n == 0) return 0;
    int c = mpn_cmp(a.p, b.p, static_cast<mp_size_t>(a.n));
    return (c > 0) - (c < 0);
}
// cap max(a.n, b.n) + 1
size_t add(Limb* r, Limbs a, Limbs b);
// a >= b; cap a.n
size_t sub(Limb* r, Limbs a, Limbs b);
// cap a.n + b.n; r overlaps neither
size_t mul(Limb* r, Limbs a, Limbs b);
// cap 2 a.n
size_t sqr(Limb* r, Limbs a);
// b non-zero; q cap a.n (at least 1), rem cap b.n. Returns the trimmed sizes.
std::pair<size_t, size_t> quot_rem(Limb* q, Limb* rem, Limbs a, Limbs b);
// The quotient alone: b non-zero, a.n >= b.n; cap a.n - b.n + 1.
size_t quot(Limb* q, Limbs a, Limbs b);
// The remainder alone: b non-zero; cap b.n.
size_t rem(Limb* r, Limbs a, Limbs b);
// cap min(a.n, b.n) (at least 1)
size_t gcd(Limb* r, Limbs a, Limbs b);
// cap a.n + bits / 64 + 1
size_t shift_left(Limb* r, Limbs a, uint64_t bits);
// cap a.n
size_t shift_right(Limb* r, Limbs a, uint64_t bits);
// Bitwise operations on magnitudes: cap min(a.n, b.n) for and, max(a.n, b.n) for or and xor,
// a.n for a and not b.
size_t bit_and(Limb* r, Limbs a, Limbs b);
size_t bit_or(Limb* r, Limbs a, Limbs b);
size_t bit_xor(Limb* r, Limbs a, Limbs b);
size_t bit_and_not(Limb* r, Limbs a, Limbs b);
// b^e mod m, m non-zero.
std::vector<Limb> pow_mod(Limbs b, Limbs e, Limbs m);
// Low 64 bits of a magnitude.
RTS_INLINE Limb low_word(Limbs a) { return a.n ? a.p[0] : 0; }
// Number of significant bits (0 for zero).
uint64_t bit_length(Limbs a);
bool test_bit(Limbs a, uint64_t i);
uint64_t popcount(Limbs a);
// Index of the lowest set bit; a non-zero.
uint64_t lowest_bit(Limbs a);

// Logarithms, rounded down; 0 for a zero magnitude.
uint64_t log2(Limbs a);
uint64_t log_base(Limbs base, Limbs a);  // base >= 2

// Conversion to floating point, correctly rounded to nearest with ties to even, of
// (-1)^neg * a * 2^exp (subnormal results included).
double to_double(Limbs a, bool neg, int64_t exp);
float to_float(Limbs a, bool neg, int64_t exp);

// A magnitude from decimal digit characters (all '0' to '9', at least one); cap digits / 19 + 2.
size_t from_decimal(Limb* r, std::string_view digits);
RTS_INLINE size_t decimal_cap(size_t ndigits) { return ndigits / 19 + 2; }
// Decimal digits of a magnitude ("0" for zero).
std::string to_decimal(Limbs a);
// Appends the digits of a magnitude to `out`.
void append_decimal(std::string& out, Limbs a);

// Bytes of a magnitude, least or most significant first; returns the count written (the number
// of significant bytes, 0 for zero).
size_t byte_size(Limbs a);
size_t write_bytes(Limbs a, uint8_t* out, bool big_endian);
// A magnitude from `n` bytes, least or most significant first; cap n / 8 + 1.
size_t read_bytes(Limb* r, const uint8_t* in, size_t n, bool big_endian);

}  // namespace VUX::Num::detail
