// Integers: `IS` holds a value that fits a machine integer, `IP` a larger positive value and `IN`
// a smaller negative one, both as a magnitude (`BigNat#`). A value that fits a machine integer is
// always `IS`; so `IP` magnitudes are at least 2^63 and `IN` magnitudes above 2^63.
//
// `IP` and `IN` built from a `BigNat#` (the builders below) refer to its byte array; those that
// arithmetic makes hold up to 254 limbs in the constructor itself, so a big result costs one
// allocation. Read the magnitude with integerToBigNatSign_hash, never as a field.
//
// Operations take and return boxed Integers (rts::Value) and evaluate their arguments. The common
// operations handle two `IS` operands inline, with overflow-checked machine arithmetic, and leave
// everything else to an out-of-line path over GMP's mpn layer. A zero divisor raises
// "divide by zero".
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "rts/rts.h"

namespace VUX::Num::Integer {

using rts::Value;

inline constexpr uint8_t IS_tag = 0;
inline constexpr uint8_t IP_tag = 1;
inline constexpr uint8_t IN_tag = 2;
// The constructors themselves (no normalisation).
RTS_INLINE Value IS(int64_t i) { return rts::con_word(IS_tag, static_cast<uint64_t>(i)); }
inline Value IP(Value bignat) { return rts::con(IP_tag, std::move(bignat)); }
inline Value IN(Value bignat) { return rts::con(IN_tag, std::move(bignat)); }

Value integerZero();
Value integerOne();
// 1 when the value is in canonical form, else 0.
int64_t integerCheck_hash(const Value& i);
int64_t integerIsZero_hash(const Value& i);
int64_t integerIsOne_hash(const Value& i);
int64_t integerIsNegative_hash(const Value& i);

// ---------------------------------------------------------------------------------------------
// Conversions

inline Value integerFromInt_hash(int64_t i) { return IS(i); }
Value integerFromWord_hash(uint64_t w);
// The integer -w.
Value integerFromWordNeg_hash(uint64_t w);
// The low 64 bits of the two's complement value.
int64_t integerToInt_hash(const Value& i);
uint64_t integerToWord_hash(const Value& i);
// Boxed forms: `Int` (I#) to Integer and back.
Value integerFromInt(const Value& boxed_int);
Value integerToInt(const Value& i);

Value integerFromNatural(const Value& n);
// The absolute value as a Natural.
Value integerToNatural(const Value& i);
// Negative values give 0.
Value integerToNaturalClamp(const Value& i);
// Negative values raise "arithmetic underflow".
Value integerToNaturalThrow(const Value& i);
Value integerFromBigNat_hash(const Value& bignat);
Value integerFromBigNatNeg_hash(const Value& bignat);
// Negative when `sign` is non-zero.
Value integerFromBigNatSign_hash(int64_t sign, const Value& bignat);
// The sign (1 when negative) and the magnitude.
std::pair<int64_t, Value> integerToBigNatSign_hash(const Value& i);
// The magnitude of a positive value, zero for a negative one.
Value integerToBigNatClamp_hash(const Value& i);

// Floating point, correctly rounded to nearest with ties to even.
double integerToDouble_hash(const Value& i);
float integerToFloat_hash(const Value& i);
// i * 2^e.
double integerEncodeDouble_hash(const Value& i, int64_t e);
float integerEncodeFloat_hash(const Value& i, int64_t e);
// Mantissa and exponent with d = m * 2^e; the mantissa has 53 significant bits (also for
// subnormals), 0 gives (0, 0). Infinities and NaN decode as though their exponent field were an
// ordinary one (infinity as 2^52 * 2^972).
std::pair<Value, int64_t> integerDecodeDouble_hash(double d);
// The same for a Float: a mantissa of 24 significant bits (infinity as 2^23 * 2^105).
std::pair<Value, int64_t> integerDecodeFloat_hash(float f);
// The integer part of d, truncated toward zero (infinities and NaN decode as above).
Value integerFromDouble_hash(double d);

// ---------------------------------------------------------------------------------------------
// Arithmetic: out-of-line paths for evaluated operands that are not both small (or overflow)

// Addition and subtraction give their result as an owned reference (rts::Value::adopt takes it):
// returned in a register, and their paths end in jumps rather than calls.
rts::Owned integerAdd_slow(const Value& a, const Value& b);
rts::Owned integerSub_slow(const Value& a, const Value& b);
Value integerMul_slow(const Value& a, const Value& b);
Value integerNegate_slow(const Value& a);
std::pair<Value, Value> integerQuotRem_slow(const Value& a, const Value& b);
Value integerQuot_slow(const Value& a, const Value& b);
Value integerRem_slow(const Value& a, const Value& b);
std::pair<Value, Value> integerDivMod_slow(const Value& a, const Value& b);
int integerCmp_slow(const Value& a, const Value& b);

namespace fast {
RTS_INLINE bool small2(const Value& a, const Value& b) { return a->tag == IS_tag && b->tag == IS_tag; }
RTS_INLINE int64_t small(const Value& a) { return rts::int_word(a, 0); }
// Whether machine division of p by q is defined.
RTS_INLINE bool divisible(int64_t p, int64_t q) {
    return q != 0 && !(q == -1 && p == std::numeric_limits<int64_t>::min());
}
RTS_INLINE int cmp(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (RTS_LIKELY(small2(a, b))) return (small(a) > small(b)) - (small(a) < small(b));
    return integerCmp_slow(a, b);
}
}  // namespace fast

RTS_INLINE Value integerAdd(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    int64_t r;
    if (RTS_LIKELY(fast::small2(a, b)) && !__builtin_add_overflow(fast::small(a), fast::small(b), &r)) return IS(r);
    return Value::adopt(integerAdd_slow(a, b));
}

RTS_INLINE Value integerSub(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    int64_t r;
    if (RTS_LIKELY(fast::small2(a, b)) && !__builtin_sub_overflow(fast::small(a), fast::small(b), &r)) return IS(r);
    return Value::adopt(integerSub_slow(a, b));
}

RTS_INLINE Value integerMul(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    int64_t r;
    if (RTS_LIKELY(fast::small2(a, b)) && !__builtin_mul_overflow(fast::small(a), fast::small(b), &r)) return IS(r);
    return integerMul_slow(a, b);
}

RTS_INLINE Value integerNegate(const Value& x) {
    const Value& a = rts::force(x);
    if (RTS_LIKELY(a->tag == IS_tag) && fast::small(a) != std::numeric_limits<int64_t>::min()) return IS(-fast::small(a));
    return integerNegate_slow(a);
}

Value integerAbs(const Value& i);
Value integerSignum(const Value& i);
int64_t integerSignum_hash(const Value& i);
Value integerSqr(const Value& i);

// Truncated (quot, rem) and floored (div, mod) division.
RTS_INLINE std::pair<Value, Value> integerQuotRem_hash(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (RTS_LIKELY(fast::small2(a, b))) {
        int64_t p = fast::small(a), q = fast::small(b);
        if (RTS_LIKELY(fast::divisible(p, q))) return {IS(p / q), IS(p % q)};
    }
    return integerQuotRem_slow(a, b);
}

RTS_INLINE std::pair<Value, Value> integerDivMod_hash(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (RTS_LIKELY(fast::small2(a, b))) {
        int64_t p = fast::small(a), q = fast::small(b);
        if (RTS_LIKELY(fast::divisible(p, q))) {
            int64_t d = p / q, m = p % q;
            if (m != 0 && ((m < 0) != (q < 0))) {
                d -= 1;
                m += q;
            }
            return {IS(d), IS(m)};
        }
    }
    return integerDivMod_slow(a, b);
}

RTS_INLINE Value integerQuot(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (RTS_LIKELY(fast::small2(a, b)) && RTS_LIKELY(fast::divisible(fast::small(a), fast::small(b))))
        return IS(fast::small(a) / fast::small(b));
    return integerQuot_slow(a, b);
}
RTS_INLINE Value integerRem(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (RTS_LIKELY(fast::small2(a, b)) && RTS_LIKELY(fast::divisible(fast::small(a), fast::small(b))))
        return IS(fast::small(a) % fast::small(b));
    return integerRem_slow(a, b);
}
inline Value integerDiv(const Value& x, const Value& y) { return integerDivMod_hash(x, y).first; }
inline Value integerMod(const Value& x, const Value& y) { return integerDivMod_hash(x, y).second; }

Value integerGcd(const Value& a, const Value& b);
Value integerLcm(const Value& a, const Value& b);
// g = gcd(a, b) >= 0 and cofactors with a * x + b * y = g.
struct Gcde {
    Value g, x, y;
};
Gcde integerGcde_hash(const Value& a, const Value& b);
// i^e for a machine-word exponent.
Value integerPow(const Value& i, uint64_t e);
// b^e mod m as a Natural; nothing when m is 0, or when e < 0 and b has no inverse modulo m.
std::optional<Value> integerPowMod_hash(const Value& b, const Value& e, const Value& m);
// The inverse of x modulo m (a Natural in 1 .. m - 1); nothing when there is none (m <= 1).
std::optional<Value> integerRecipMod_hash(const Value& x, const Value& m);

// ---------------------------------------------------------------------------------------------
// Comparison: the 0/1 answers, Bools and Ordering

RTS_INLINE int64_t integerEq_hash(const Value& a, const Value& b) { return fast::cmp(a, b) == 0; }
RTS_INLINE int64_t integerNe_hash(const Value& a, const Value& b) { return fast::cmp(a, b) != 0; }
RTS_INLINE int64_t integerLt_hash(const Value& a, const Value& b) { return fast::cmp(a, b) < 0; }
RTS_INLINE int64_t integerLe_hash(const Value& a, const Value& b) { return fast::cmp(a, b) <= 0; }
RTS_INLINE int64_t integerGt_hash(const Value& a, const Value& b) { return fast::cmp(a, b) > 0; }
RTS_INLINE int64_t integerGe_hash(const Value& a, const Value& b) { return fast::cmp(a, b) >= 0; }
Value integerEq(const Value& a, const Value& b);
Value integerNe(const Value& a, const Value& b);
Value integerLt(const Value& a, const Value& b);
Value integerLe(const Value& a, const Value& b);
Value integerGt(const Value& a, const Value& b);
Value integerGe(const Value& a, const Value& b);
Value integerCompare(const Value& a, const Value& b);

// ---------------------------------------------------------------------------------------------
// Bits, on the two's complement value of unbounded width

Value integerShiftL_hash(const Value& i, uint64_t n);
// Rounds toward minus infinity (an arithmetic shift).
Value integerShiftR_hash(const Value& i, uint64_t n);
Value integerAnd(const Value& a, const Value& b);
Value integerOr(const Value& a, const Value& b);
Value integerXor(const Value& a, const Value& b);
Value integerComplement(const Value& i);
int64_t integerTestBit_hash(const Value& i, uint64_t n);
Value integerBit_hash(uint64_t n);
// The number of set bits; minus the count of the absolute value for a negative number.
int64_t integerPopCount_hash(const Value& i);

// Logarithms rounded down, 0 for numbers <= 0; a base below 2 is an unexpected value.
uint64_t integerLog2_hash(const Value& i);
uint64_t integerLogBase_hash(const Value& base, const Value& i);
uint64_t integerLogBaseWord_hash(uint64_t base, const Value& i);
// Number of digits of the absolute value in a base (0 for zero).
uint64_t integerSizeInBase_hash(uint64_t base, const Value& i);

// ---------------------------------------------------------------------------------------------
// Bytes of the absolute value in base 256 (flag 0: least significant first; else most
// significant first); the writers return the number of bytes written. Read values are >= 0.

uint64_t integerToAddr_hash(const Value& i, void* addr, int64_t big_endian);
Value integerFromAddr_hash(uint64_t nbytes, const void* addr, int64_t big_endian);
uint64_t integerToMutableByteArray_hash(const Value& i, const Value& bytes, uint64_t offset, int64_t big_endian);
Value integerFromByteArray_hash(uint64_t nbytes, const Value& bytes, uint64_t offset, int64_t big_endian);

// ---------------------------------------------------------------------------------------------
// Decimal text: "-" before a negative number, no leading zeros

std::string integerToDecimal(const Value& i);
// The digits as a character list in front of `rest` (the text of showsPrec at 0).
Value integerShows(const Value& i, Value rest);
// An optional "-" and at least one digit, nothing else.
std::optional<Value> integerFromDecimal(std::string_view text);

}  // namespace VUX::Num::Integer
