#include "VUX/Num/Integer.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <numeric>
#include <tuple>

#include "../../src/Values.h"
#include "VUX/Num/BigNat.h"
#include "VUX/Num/Natural.h"
#include "VUX/Num/Primitives.h"
#include "VUX/Types.h"

namespace VUX::Num::Integer {
namespace {
constinit const rts::StaticCon<0, 1> zero_closure{IS_tag, rts::word_slot(0)};
constinit const rts::StaticCon<0, 1> one_closure{IS_tag, rts::word_slot(1)};
constexpr uint64_t kMinMagnitude = uint64_t(1) << 63;  // |minBound :: Int|
}  // namespace
}  // namespace VUX::Num::Integer

namespace VUX::Num::detail {

Value integer_result(LimbBuf& buf, size_t n, bool negative) {
    n = trim(buf.data(), n);
    if (n == 0) return Integer::integerZero();
    if (n == 1) {
        Limb m = buf.data()[0];
        if (!negative && m < Integer::kMinMagnitude) return Integer::IS(static_cast<int64_t>(m));
        if (negative && m <= Integer::kMinMagnitude) return Integer::IS(static_cast<int64_t>(Limb(0) - m));
    }
    Value mag = buf.take_bignat(n);
    return negative ? Integer::IN(std::move(mag)) : Integer::IP(std::move(mag));
}

Value InlineMagnitude::finish(size_t n) {
    Limb* p = data();
    n = trim(p, n);
    if (n == 0) return Integer::integerZero();
    if (n == 1) {
        if (!negative_ && p[0] < Integer::kMinMagnitude) return Integer::IS(static_cast<int64_t>(p[0]));
        if (negative_ && p[0] <= Integer::kMinMagnitude)
            return Integer::IS(static_cast<int64_t>(Limb(0) - p[0]));
    }
    // A short value does not keep a long object alive.
    if (n < cap_ / 2) return integer_from_limbs({p, n}, negative_);
    for (size_t k = n; k < cap_; ++k) p[k] = 0;
    return seal(n);
}

Value integer_from_limbs(Limbs mag, bool negative) {
    return integer_build(mag.n, negative, [&](Limb* r) {
        if (mag.n) std::memcpy(r, mag.p, mag.n * kLimbBytes);
        return mag.n;
    });
}

}  // namespace VUX::Num::detail

namespace VUX::Num::Integer {

using namespace VUX::Num::detail;

namespace {

// Evaluated operands viewed as signed magnitudes.
struct One {
    Operand a;
    explicit One(const Value& x) { load_integer(a, rts::force(x)); }
};
struct Two {
    Operand a, b;
    RTS_INLINE Two(const Value& x, const Value& y) {
        load_integer(a, rts::force(x));
        load_integer(b, rts::force(y));
    }
};

Value bool_of(bool b) { return Types::isTrue_hash(b); }

// Sums and differences written in place into a fresh inline object, with nothing to release on
// the way (the limb loops do not fail): so the path for two big operands keeps few registers.

// |x| + |y| into `o`, a fresh object with room for x.n + 1 limbs, for non-zero magnitudes with
// x.n >= y.n and x.n < kInlineLimbs whose sum is big.
RTS_INLINE rts::Owned write_sum(rts::Object* o, Limbs x, Limbs y) {
    Limb* r = inline_limbs(o);
    const Limb carry = add_limbs(r, x, y);
    r[x.n] = carry;  // without a carry, the unused word is zero as it must be
    set_inline_count(o, x.n + carry);
    return o;
}
// The same into a new object, under `tag`.
RTS_INLINE rts::Owned sum_in_place(Limbs x, Limbs y, uint8_t tag) {
    return write_sum(alloc_inline_magnitude(x.n + 1, tag), x, y);
}

// The canonical Integer of the first n limbs written in place into an object with room for `cap`.
__attribute__((noinline)) rts::Owned finish_in_place(rts::Object* o, size_t cap, size_t n, uint8_t tag) {
    return InlineMagnitude(o, cap, tag == IN_tag).finish(n).detach();
}

// The same, for n trimmed: sealed as it is when that is canonical (two limbs or more, so big, and
// filling at least half of the room), else through finish().
RTS_INLINE rts::Owned settle_in_place(rts::Object* o, size_t cap, size_t n, uint8_t tag) {
    if (RTS_UNLIKELY(n < 2 || n < cap / 2)) return finish_in_place(o, cap, n, tag);
    set_inline_count(o, n);
    return o;
}

// |x| - |y| under `tag` into `o`, a fresh object with room for x.n limbs, for magnitudes with
// |x| > |y|.
RTS_INLINE rts::Owned write_difference(rts::Object* o, Limbs x, Limbs y, uint8_t tag) {
    Limb* r = inline_limbs(o);
    sub_limbs(r, x, y);
    return settle_in_place(o, x.n, trim(r, x.n), tag);
}
// The same into a new object, for x.n <= kInlineLimbs.
RTS_INLINE rts::Owned difference_in_place(Limbs x, Limbs y, uint8_t tag) {
    return write_difference(alloc_inline_magnitude(x.n, tag), x, y, tag);
}

RTS_INLINE uint8_t sign_tag(bool negative) { return negative ? IN_tag : IP_tag; }

// Sums and differences beyond the inline limbs, written straight into the byte array that becomes
// the magnitude, under a constructor made beforehand: what is left once GMP's pass has gone
// through the cache is the carry, the length and the mark. The array is made as long as the
// result when that is known beforehand, and only cut otherwise.

// |x| + |y| with the given sign, for x.n >= y.n >= 1 and x.n >= kInlineLimbs. The top limbs
// decide whether the sum carries out of them (two that overflow do, two whose sum stays below all
// ones do not), unless they sum to all ones exactly: then a carry from below decides.
__attribute__((noinline)) rts::Owned big_sum(Limbs x, Limbs y, bool negative) {
    Limb tops;
    const bool carries = __builtin_add_overflow(x.p[x.n - 1], y.n == x.n ? y.p[x.n - 1] : 0, &tops);
    const bool room = carries || tops == ~Limb(0);  // for a carry out
    Value arr = big_result_array(x.n + room);
    rts::Object* const bytes = arr.get();
    Limb* const r = mut_limbs(arr);
    Value result = negative ? IN(std::move(arr)) : IP(std::move(arr));
    const Limb carry = add_limbs(r, x, y);
    if (room) {
        r[x.n] = carry;
        if (RTS_UNLIKELY(!carry)) rts::shrink_byte_array(rts::as_value(bytes), x.n * kLimbBytes);
    }
    rts::freeze_byte_array(rts::as_value(bytes));
    return result.detach();
}

// |x| - |y| with the given sign, for |x| > |y|, y.n >= 1 and x.n > kInlineLimbs. A difference
// that cancels down to less than half of the room is copied, so as not to keep the long array.
__attribute__((noinline)) rts::Owned big_difference(Limbs x, Limbs y, bool negative) {
    Value arr = big_result_array(x.n);
    rts::Object* const bytes = arr.get();
    Limb* const r = mut_limbs(arr);
    Value result = negative ? IN(std::move(arr)) : IP(std::move(arr));
    sub_limbs(r, x, y);
    const size_t n = trim(r, x.n);
    if (RTS_UNLIKELY(n < x.n)) {
        if (n < x.n / 2) return integer_from_limbs({r, n}, negative).detach();
        rts::shrink_byte_array(rts::as_value(bytes), n * kLimbBytes);
    }
    rts::freeze_byte_array(rts::as_value(bytes));
    return result.detach();
}

// |x| + |y| with the given sign, for non-zero magnitudes whose sum is big: one of three limbs or
// more, or both big.
RTS_INLINE rts::Owned add_magnitudes(Limbs x, Limbs y, bool negative) {
    if (x.n < y.n) std::swap(x, y);
    assert(y.n >= 1);
    if (x.n >= kInlineLimbs) return big_sum(x, y, negative);
    return sum_in_place(x, y, sign_tag(negative));
}

// |x| - |y| with the given sign, for magnitudes with |x| > |y|.
RTS_INLINE rts::Owned sub_magnitudes(Limbs x, Limbs y, bool negative) {
    if (y.n == 0) return integer_from_limbs(x, negative).detach();
    if (x.n > kInlineLimbs) return big_difference(x, y, negative);
    return difference_in_place(x, y, sign_tag(negative));
}

// x + (y_neg ? -|y| : |y|), for non-zero magnitudes of which one has three limbs or more, or both
// big.
RTS_INLINE rts::Owned add_signed(Limbs x, bool x_neg, Limbs y, bool y_neg) {
    if (x_neg == y_neg) return add_magnitudes(x, y, x_neg);
    int c = cmp(x, y);
    if (c == 0) return Integer::zero_closure.object();
    return c > 0 ? sub_magnitudes(x, y, x_neg) : sub_magnitudes(y, x, y_neg);
}

// A big value with the magnitude of the big value `i`: sharing its byte array, or a copy of its
// inline limbs.
Value with_magnitude_of(const Value& i, bool negative) {
    if (i->nptrs == 0) return integer_from_limbs(integer_magnitude(i), negative);
    return negative ? IN(rts::field(i, 0)) : IP(rts::field(i, 0));
}

// The magnitude of a big value as a byte array: its own, or a copy of its inline limbs.
Value magnitude_bignat(const Value& i) {
    if (i->nptrs == 0) return bignat_copy(integer_magnitude(i));
    return rts::field(i, 0);
}

}  // namespace

Value integerZero() { return zero_closure.value(); }
Value integerOne() { return one_closure.value(); }

int64_t integerCheck_hash(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return 1;
    if (i->nptrs == 0) {
        if (i->nwords == 0 || rts::word(i, 0) > i->nwords - 1u) return 0;
    } else if (!BigNat::bigNatCheck_hash(rts::field(i, 0))) {
        return 0;
    }
    Limbs m = integer_magnitude(i);
    if (m.n > 0 && m.p[m.n - 1] == 0) return 0;
    if (m.n >= 2) return 1;
    return m.n == 1 && (i->tag == IP_tag ? m.p[0] >= kMinMagnitude : m.p[0] > kMinMagnitude);
}

int64_t integerIsZero_hash(const Value& v) {
    const Value& i = rts::force(v);
    return i->tag == IS_tag && fast::small(i) == 0;
}
int64_t integerIsOne_hash(const Value& v) {
    const Value& i = rts::force(v);
    return i->tag == IS_tag && fast::small(i) == 1;
}
int64_t integerIsNegative_hash(const Value& v) {
    const Value& i = rts::force(v);
    return i->tag == IN_tag || (i->tag == IS_tag && fast::small(i) < 0);
}

// ---------------------------------------------------------------------------------------------
// Conversions

Value integerFromWord_hash(uint64_t w) {
    if (w < kMinMagnitude) return IS(static_cast<int64_t>(w));
    return IP(BigNat::bigNatFromWord_hash(w));
}

Value integerFromWordNeg_hash(uint64_t w) {
    if (w <= kMinMagnitude) return IS(static_cast<int64_t>(uint64_t(0) - w));
    return IN(BigNat::bigNatFromWord_hash(w));
}

int64_t integerToInt_hash(const Value& v) { return static_cast<int64_t>(integerToWord_hash(v)); }

uint64_t integerToWord_hash(const Value& v) {
    One o(v);
    Limb low = low_word(o.a.mag());
    return o.a.neg ? Limb(0) - low : low;
}

Value integerFromInt(const Value& boxed) { return IS(Types::intOf(rts::force(boxed))); }
Value integerToInt(const Value& i) { return Types::I_hash(integerToInt_hash(i)); }

Value integerFromNatural(const Value& v) {
    const Value& n = rts::force(v);
    if (n->tag == Natural::NS_tag) return integerFromWord_hash(rts::word(n, 0));
    return IP(rts::field(n, 0));  // two limbs or more: always big
}

Value integerToNatural(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) {
        int64_t s = fast::small(i);
        return Natural::NS(s < 0 ? uint64_t(0) - static_cast<uint64_t>(s) : static_cast<uint64_t>(s));
    }
    Limbs m = integer_magnitude(i);
    if (m.n == 1) return Natural::NS(m.p[0]);
    return Natural::NB(magnitude_bignat(i));
}

Value integerToNaturalClamp(const Value& v) {
    if (integerIsNegative_hash(v)) return Natural::naturalZero();
    return integerToNatural(v);
}

Value integerToNaturalThrow(const Value& v) {
    if (integerIsNegative_hash(v)) Primitives::raiseUnderflow();
    return integerToNatural(v);
}

Value integerFromBigNat_hash(const Value& bignat) { return integerFromBigNatSign_hash(0, bignat); }
Value integerFromBigNatNeg_hash(const Value& bignat) { return integerFromBigNatSign_hash(1, bignat); }

Value integerFromBigNatSign_hash(int64_t sign, const Value& bignat) {
    Limbs m = view(bignat);
    bool negative = sign != 0;
    if (m.n == 0) return integerZero();
    if (m.n == 1 && (negative ? m.p[0] <= kMinMagnitude : m.p[0] < kMinMagnitude))
        return IS(negative ? static_cast<int64_t>(Limb(0) - m.p[0]) : static_cast<int64_t>(m.p[0]));
    return negative ? IN(bignat) : IP(bignat);
}

std::pair<int64_t, Value> integerToBigNatSign_hash(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag != IS_tag) return {i->tag == IN_tag, magnitude_bignat(i)};
    One o(i);
    return {o.a.neg, bignat_copy(o.a.mag())};
}

Value integerToBigNatClamp_hash(const Value& v) {
    auto [sign, mag] = integerToBigNatSign_hash(v);
    return sign ? BigNat::bigNatZero() : std::move(mag);
}

double integerToDouble_hash(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return static_cast<double>(fast::small(i));
    return integerEncodeDouble_hash(i, 0);
}

float integerToFloat_hash(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return static_cast<float>(fast::small(i));
    return integerEncodeFloat_hash(i, 0);
}

double integerEncodeDouble_hash(const Value& v, int64_t e) {
    One o(v);
    return to_double(o.a.mag(), o.a.neg, e);
}

float integerEncodeFloat_hash(const Value& v, int64_t e) {
    One o(v);
    return to_float(o.a.mag(), o.a.neg, e);
}

namespace {
// Decodes an IEEE binary format with `Frac` stored fraction bits and `ExpBits` exponent bits,
// given its bits in the low end of a word.
template <int Frac, int ExpBits>
std::pair<Value, int64_t> decode_float_bits(uint64_t bits) {
    constexpr int64_t kExpMask = (int64_t(1) << ExpBits) - 1;
    constexpr int64_t kBias = kExpMask >> 1;
    constexpr int64_t kSubnormalExp = 1 - kBias - Frac;  // the weight of a subnormal's lowest bit
    const bool negative = (bits >> (Frac + ExpBits)) & 1;
    const int64_t exp_field = static_cast<int64_t>(bits >> Frac) & kExpMask;
    const uint64_t frac = bits & ((uint64_t(1) << Frac) - 1);
    if (exp_field == 0 && frac == 0) return {integerZero(), 0};
    uint64_t m;
    int64_t e;
    if (exp_field == 0) {  // subnormal: normalise the mantissa to Frac + 1 bits
        int shift = std::countl_zero(frac) - (63 - Frac);
        m = frac << shift;
        e = kSubnormalExp - shift;
    } else {
        m = frac | (uint64_t(1) << Frac);
        e = exp_field - 1 + kSubnormalExp;
    }
    int64_t sm = static_cast<int64_t>(m);
    return {IS(negative ? -sm : sm), e};
}
}  // namespace

std::pair<Value, int64_t> integerDecodeDouble_hash(double d) {
    return decode_float_bits<52, 11>(rts::bits_of(d));
}
std::pair<Value, int64_t> integerDecodeFloat_hash(float f) {
    return decode_float_bits<23, 8>(rts::bits_of(f));
}

Value integerFromDouble_hash(double d) {
    auto [m, e] = integerDecodeDouble_hash(d);
    if (e >= 0) return integerShiftL_hash(m, static_cast<uint64_t>(e));
    // Truncate toward zero: shift the magnitude, then put the sign back.
    Value mag = integerShiftR_hash(integerAbs(m), static_cast<uint64_t>(-e));
    return integerIsNegative_hash(m) ? integerNegate(mag) : mag;
}

// ---------------------------------------------------------------------------------------------
// Arithmetic
//
// Operands of at most two limbs take a short path: their magnitudes are 128-bit machine numbers,
// results of up to four limbs are built on the stack, and the only allocation is the result's.

namespace {

using Wide = unsigned __int128;

// A signed magnitude of at most two limbs.
struct Narrow {
    Wide mag;
    bool neg;
};

// A magnitude of at most two limbs as one number.
RTS_INLINE Wide wide_of(Limbs m) { return m.n == 2 ? (Wide(m.p[1]) << 64) | m.p[0] : Wide(m.p[0]); }

// Reads an evaluated Integer of at most two limbs; false for a longer one.
RTS_INLINE bool narrow(const Value& i, Narrow& out) {
    if (i->tag == IS_tag) {
        const int64_t v = fast::small(i);
        out = {v < 0 ? Wide(Limb(0) - static_cast<Limb>(v)) : Wide(static_cast<Limb>(v)), v < 0};
        return true;
    }
    const Limbs m = integer_magnitude(i);
    if (m.n > 2) return false;
    out = {wide_of(m), i->tag == IN_tag};
    return true;
}
RTS_INLINE bool narrow2(const Value& a, const Value& b, Narrow& x, Narrow& y) {
    return narrow(a, x) && narrow(b, y);
}

// The big Integer of the first N limbs of `limbs`, canonical and too big for a small integer. A
// constant size makes the allocation's size class a constant.
template <size_t N>
RTS_INLINE Value narrow_big(const Limb (&limbs)[4], bool neg) {
    InlineMagnitude m(N, neg);
    Limb* p = m.data();
    for (size_t k = 0; k < N; ++k) p[k] = limbs[k];
    return m.seal(N);
}

// The canonical Integer of a signed magnitude of at most four limbs: `low` + `high` * 2^128.
RTS_INLINE Value narrow_result(Wide low, bool neg, Wide high = 0) {
    const auto l0 = static_cast<Limb>(low), l1 = static_cast<Limb>(low >> 64);
    const auto l2 = static_cast<Limb>(high), l3 = static_cast<Limb>(high >> 64);
    if ((l1 | l2 | l3) == 0) {
        if (!neg && l0 < kMinMagnitude) return IS(static_cast<int64_t>(l0));
        if (neg && l0 <= kMinMagnitude) return IS(static_cast<int64_t>(Limb(0) - l0));
    }
    const Limb limbs[4] = {l0, l1, l2, l3};
    if (l3 != 0) return narrow_big<4>(limbs, neg);
    if (l2 != 0) return narrow_big<3>(limbs, neg);
    if (l1 != 0) return narrow_big<2>(limbs, neg);
    return narrow_big<1>(limbs, neg);
}

// a + b for b of sign `b_neg`.
RTS_INLINE Value narrow_add(const Narrow& a, Wide b, bool b_neg) {
    if (a.neg == b_neg) {
        Wide sum;
        const bool carry = __builtin_add_overflow(a.mag, b, &sum);
        return narrow_result(sum, a.neg, carry);
    }
    return a.mag >= b ? narrow_result(a.mag - b, a.neg) : narrow_result(b - a.mag, b_neg);
}

// The product of two 128-bit magnitudes as its low and high halves: the four partial products
// summed column by column.
struct WideProduct {
    Wide low, high;
};
RTS_INLINE WideProduct wide_product(Wide a, Wide b) {
    const auto a0 = static_cast<Limb>(a), a1 = static_cast<Limb>(a >> 64);
    const auto b0 = static_cast<Limb>(b), b1 = static_cast<Limb>(b >> 64);
    const Wide p00 = Wide(a0) * b0, p01 = Wide(a0) * b1, p10 = Wide(a1) * b0, p11 = Wide(a1) * b1;
    const Wide mid = (p00 >> 64) + static_cast<Limb>(p01) + static_cast<Limb>(p10);  // below 3 * 2^64
    // The product is below 2^256, so its top half fits 128 bits.
    return {(mid << 64) | static_cast<Limb>(p00), p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64)};
}

// a * b: one 64-bit product when both have one limb, else wide_product.
RTS_INLINE Value narrow_mul(const Narrow& a, const Narrow& b) {
    if ((a.mag >> 64) == 0 && (b.mag >> 64) == 0) return narrow_result(a.mag * b.mag, a.neg != b.neg);
    const WideProduct p = wide_product(a.mag, b.mag);
    return narrow_result(p.low, a.neg != b.neg, p.high);
}

// The signed magnitude of an evaluated Integer, read in place: `limb` holds that of a small one.
struct Signed {
    Limbs mag;
    bool neg;
};
RTS_INLINE Signed signed_of(const Value& i, Limb& limb) {
    if (i->tag != IS_tag) return {integer_magnitude(i), i->tag == IN_tag};
    const int64_t v = fast::small(i);
    limb = v < 0 ? Limb(0) - static_cast<Limb>(v) : static_cast<Limb>(v);
    return {{&limb, limb != 0}, v < 0};
}

// a + b, or a - b when `subtract`, for evaluated operands of which one has three limbs or more
// (the entries take narrow operands first). Out of line, so that the entries' path for two big
// operands saves few registers.
__attribute__((noinline)) rts::Owned add_integers(const Value& a, const Value& b, bool subtract) {
    Limb la, lb;
    const Signed p = signed_of(a, la), q = signed_of(b, lb);
    if (q.mag.n == 0) return Value(a).detach();
    if (p.mag.n == 0) return (subtract ? integerNegate(b) : Value(b)).detach();
    return add_signed(p.mag, p.neg, q.mag, q.neg != subtract);
}

// Whether both operands are big with their limbs inline, as arithmetic makes them.
RTS_INLINE bool inline_bigs(const Value& a, const Value& b) {
    return a->tag != IS_tag && b->tag != IS_tag && (a->nptrs | b->nptrs) == 0;
}

// The paths below give their result as an owned reference, in a register, so that each ends in a
// jump to the next rather than a call.

// a + b, or a - b when `subtract`, for operands that are not both big with their limbs inline:
// two big ones of which one is longer than two limbs go straight to add_signed, other narrow ones
// (of at most two limbs each) take the 128-bit path, the rest add_integers.
__attribute__((noinline)) rts::Owned add_others(const Value& a, const Value& b, bool subtract) {
    if (a->tag != IS_tag && b->tag != IS_tag) {
        const Limbs x = integer_magnitude(a), y = integer_magnitude(b);
        if (x.n > 2 || y.n > 2) return add_signed(x, a->tag == IN_tag, y, (b->tag == IN_tag) != subtract);
    }
    Narrow x, y;
    if (narrow2(a, b, x, y)) return narrow_add(x, y.mag, y.neg != subtract).detach();
    return add_integers(a, b, subtract);
}

// sum_in_place out of line: for sums past the short carry loop, or when the free list has no
// block at hand.
__attribute__((noinline)) rts::Owned sum_out_of_line(Limbs x, Limbs y, uint8_t tag) {
    return sum_in_place(x, y, tag);
}

// difference_in_place out of line: for differences past the short borrow loop, or when the free
// list has no block at hand.
__attribute__((noinline)) rts::Owned difference_out_of_line(Limbs x, Limbs y, uint8_t tag) {
    return difference_in_place(x, y, tag);
}

// x + (y_neg ? -|y| : |y|) for magnitudes of big values of at most two limbs each, on the 128-bit
// path.
__attribute__((noinline)) rts::Owned narrow_sum(Limbs x, bool x_neg, Limbs y, bool y_neg) {
    return narrow_add({wide_of(x), x_neg}, wide_of(y), y_neg).detach();
}

// a + b for two big operands with their limbs inline, b's sign flipped when `subtract`. A sum of
// two big values is big: written in place. A difference takes the 128-bit path when both are
// narrow, else is written in place too. Sums and differences within the short carry loop take
// their block from the free list here; everything else goes out of line, so that this path keeps
// few registers.
RTS_INLINE rts::Owned add_inline_bigs(const Value& a, const Value& b, bool subtract) {
    Limbs x = inline_magnitude(a), y = inline_magnitude(b);
    uint8_t tag = a->tag;
    if ((tag == b->tag) != subtract) {
        if (x.n < y.n) std::swap(x, y);
        if (RTS_LIKELY(x.n <= kShortRun))
            if (rts::Object* o = take_inline_magnitude(x.n + 1, tag); RTS_LIKELY(o != nullptr))
                return write_sum(o, x, y);
        if (RTS_UNLIKELY(x.n >= kInlineLimbs)) return add_integers(a, b, subtract);
        return sum_out_of_line(x, y, tag);
    }
    if (x.n <= 2 && y.n <= 2) return narrow_sum(x, tag == IN_tag, y, (b->tag == IN_tag) != subtract);
    // Signs differ: the smaller magnitude goes from the larger, whose sign the result takes.
    const int c = cmp(x, y);
    if (c == 0) return Integer::zero_closure.object();
    if (c < 0) {
        std::swap(x, y);
        tag = tag == IN_tag ? IP_tag : IN_tag;
    }
    if (RTS_LIKELY(x.n <= kShortRun))
        if (rts::Object* o = take_inline_magnitude(x.n, tag); RTS_LIKELY(o != nullptr))
            return write_difference(o, x, y, tag);
    return difference_out_of_line(x, y, tag);
}

}  // namespace

rts::Owned integerAdd_slow(const Value& a, const Value& b) {
    if (RTS_LIKELY(inline_bigs(a, b))) return add_inline_bigs(a, b, false);
    return add_others(a, b, false);
}

rts::Owned integerSub_slow(const Value& a, const Value& b) {
    if (RTS_LIKELY(inline_bigs(a, b))) return add_inline_bigs(a, b, true);
    return add_others(a, b, true);
}

namespace {

__attribute__((noinline)) Value mul_integers(const Value& a, const Value& b) {
    Narrow x, y;
    if (narrow2(a, b, x, y)) return narrow_mul(x, y);
    Two t(a, b);
    if (t.a.n == 0 || t.b.n == 0) return integerZero();
    return integer_build(add_size(t.a.n, t.b.n), t.a.neg != t.b.neg,
                         [&](Limb* r) { return mul(r, t.a.mag(), t.b.mag()); });
}

// |x| * |y| under `tag`, for magnitudes of two big Integers whose limbs fit inline together, of
// one limb each or one of them more than two: the product (at least 2^126) is big, and one limb
// short of its room at most.
RTS_INLINE Value product_in_place(Limbs x, Limbs y, uint8_t tag) {
    rts::Object* o = alloc_inline_magnitude(x.n + y.n, tag);
    Limb* r = inline_limbs(o);
    size_t n = x.n + y.n;
    if (n == 2) {
        const Wide p = Wide(x.p[0]) * y.p[0];
        r[0] = static_cast<Limb>(p);
        r[1] = static_cast<Limb>(p >> 64);
    } else {
        n = mul(r, x, y);
    }
    // A zero top limb stays, as the words beyond the count must be.
    set_inline_count(o, n);
    return Value::adopt(o);
}

}  // namespace

// Operands with their limbs inline are read once: their product is big, on the 128-bit path when
// it has three or four limbs, else in place when it fits.
Value integerMul_slow(const Value& a, const Value& b) {
    if (RTS_LIKELY(inline_bigs(a, b))) {
        const Limbs x = inline_magnitude(a), y = inline_magnitude(b);
        if (x.n <= 2 && y.n <= 2 && x.n + y.n > 2)
            return narrow_mul({wide_of(x), a->tag == IN_tag}, {wide_of(y), b->tag == IN_tag});
        if (RTS_LIKELY(x.n + y.n <= kInlineLimbs)) return product_in_place(x, y, a->tag == b->tag ? IP_tag : IN_tag);
        return mul_integers(a, b);
    }
    Narrow x, y;
    if (narrow2(a, b, x, y)) return narrow_mul(x, y);
    return mul_integers(a, b);
}

Value integerNegate_slow(const Value& i) {
    if (i->tag == IS_tag) {  // minBound
        Limb m = kMinMagnitude;
        return integer_from_limbs({&m, 1}, false);
    }
    if (i->tag == IN_tag) return with_magnitude_of(i, false);
    Limbs m = integer_magnitude(i);
    if (m.n == 1 && m.p[0] == kMinMagnitude) return IS(std::numeric_limits<int64_t>::min());
    return with_magnitude_of(i, true);
}

Value integerAbs(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return fast::small(i) < 0 ? integerNegate(i) : i;
    if (i->tag == IP_tag) return i;
    return with_magnitude_of(i, false);
}

int64_t integerSignum_hash(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return (fast::small(i) > 0) - (fast::small(i) < 0);
    return i->tag == IP_tag ? 1 : -1;
}

Value integerSignum(const Value& v) {
    int64_t s = integerSignum_hash(v);
    return s == 0 ? integerZero() : s == 1 ? integerOne() : IS(-1);
}

Value integerSqr(const Value& v) { return integerMul(v, v); }

namespace {

struct Division {
    LimbBuf q, r;
    size_t qn, rn;
    Division(const Operand& a, const Operand& b) : q(add_size(a.n, 1)), r(b.n) {
        std::tie(qn, rn) = quot_rem(q.data(), r.data(), a.mag(), b.mag());
    }
};

}  // namespace

namespace {
// The magnitude of a narrow divisor; a zero one raises.
RTS_INLINE Wide narrow_divisor(const Narrow& b) {
    if (b.mag == 0) Primitives::raiseDivZero();
    return b.mag;
}

// x mod y, y non-zero. A divisor of one limb takes GMP's remainder, which multiplies by an
// inverse: faster than a 128-bit division.
RTS_INLINE Wide narrow_rem(Wide x, Wide y) {
    if ((x >> 64) == 0 && (y >> 64) == 0) return static_cast<Limb>(x) % static_cast<Limb>(y);
    if ((y >> 64) != 0) return x % y;
    const Limb limbs[2] = {static_cast<Limb>(x), static_cast<Limb>(x >> 64)};
    return mpn_mod_1(limbs, 2, static_cast<Limb>(y));
}
}  // namespace

std::pair<Value, Value> integerQuotRem_slow(const Value& a, const Value& b) {
    Narrow x, y;
    if (narrow2(a, b, x, y)) {
        const Wide d = narrow_divisor(y);
        return {narrow_result(x.mag / d, x.neg != y.neg), narrow_result(x.mag % d, x.neg)};
    }
    Two t(a, b);
    if (t.b.n == 0) Primitives::raiseDivZero();
    if (cmp(t.a.mag(), t.b.mag()) < 0) return {integerZero(), a};
    Division d(t.a, t.b);
    return {integer_result(d.q, d.qn, t.a.neg != t.b.neg), integer_result(d.r, d.rn, t.a.neg)};
}

namespace {

__attribute__((noinline)) Value quot_integers(const Value& a, const Value& b) {
    Two t(a, b);
    if (t.b.n == 0) Primitives::raiseDivZero();
    if (cmp(t.a.mag(), t.b.mag()) < 0) return integerZero();
    return integer_build(t.a.n - t.b.n + 1, t.a.neg != t.b.neg,
                         [&](Limb* q) { return quot(q, t.a.mag(), t.b.mag()); });
}

__attribute__((noinline)) Value rem_integers(const Value& a, const Value& b) {
    Two t(a, b);
    if (t.b.n == 0) Primitives::raiseDivZero();
    if (cmp(t.a.mag(), t.b.mag()) < 0) return a;
    return integer_build(t.b.n, t.a.neg, [&](Limb* r) { return rem(r, t.a.mag(), t.b.mag()); });
}


// The quotient and the remainder of |x| by |y| under `tag`, for magnitudes of big Integers with
// x.n >= y.n, written in place.
RTS_INLINE Value quotient_in_place(Limbs x, Limbs y, uint8_t tag) {
    const size_t cap = x.n - y.n + 1;
    rts::Object* o = alloc_inline_magnitude(cap, tag);
    return Value::adopt(settle_in_place(o, cap, quot(inline_limbs(o), x, y), tag));
}
RTS_INLINE Value remainder_in_place(Limbs x, Limbs y, uint8_t tag) {
    rts::Object* o = alloc_inline_magnitude(y.n, tag);
    return Value::adopt(settle_in_place(o, y.n, rem(inline_limbs(o), x, y), tag));
}

// Whether a division of these operands takes the in-place path: both big with their limbs
// inline (so the divisor is not zero), the dividend not narrow, and at least as long.
RTS_INLINE bool divides_in_place(const Value& a, const Value& b, Limbs& x, Limbs& y) {
    if (!inline_bigs(a, b)) return false;
    x = integer_magnitude(a);
    y = integer_magnitude(b);
    return x.n > 2 && x.n >= y.n;
}

}  // namespace

Value integerQuot_slow(const Value& a, const Value& b) {
    Narrow x, y;
    if (narrow2(a, b, x, y)) return narrow_result(x.mag / narrow_divisor(y), x.neg != y.neg);
    if (Limbs p, q; RTS_LIKELY(divides_in_place(a, b, p, q)))
        return quotient_in_place(p, q, a->tag == b->tag ? IP_tag : IN_tag);
    return quot_integers(a, b);
}

Value integerRem_slow(const Value& a, const Value& b) {
    Narrow x, y;
    if (narrow2(a, b, x, y)) return narrow_result(narrow_rem(x.mag, narrow_divisor(y)), x.neg);
    if (Limbs p, q; RTS_LIKELY(divides_in_place(a, b, p, q))) return remainder_in_place(p, q, a->tag);
    return rem_integers(a, b);
}

std::pair<Value, Value> integerDivMod_slow(const Value& a, const Value& b) {
    Two t(a, b);
    if (t.b.n == 0) Primitives::raiseDivZero();
    Division d(t.a, t.b);
    bool q_neg = t.a.neg != t.b.neg;
    if (d.rn == 0 || !q_neg) return {integer_result(d.q, d.qn, q_neg), integer_result(d.r, d.rn, t.a.neg)};
    // Signs differ and the division is inexact: the floored quotient is one further from zero,
    // and the modulus is |b| - |rem| with the sign of b.
    Limb* q = d.q.data();
    if (d.qn == 0) {
        q[0] = 1;
        d.qn = 1;
    } else {
        Limb carry = mpn_add_1(q, q, static_cast<mp_size_t>(d.qn), 1);
        q[d.qn] = carry;
        d.qn += carry;
    }
    LimbBuf m(t.b.n);
    size_t mn = sub(m.data(), t.b.mag(), {d.r.data(), d.rn});
    return {integer_result(d.q, d.qn, true), integer_result(m, mn, t.b.neg)};
}

int integerCmp_slow(const Value& a, const Value& b) {
    Two t(a, b);
    if (t.a.neg != t.b.neg) return t.a.neg ? -1 : 1;
    int c = cmp(t.a.mag(), t.b.mag());
    return t.a.neg ? -c : c;
}

Value integerGcd(const Value& x, const Value& y) {
    Two t(x, y);
    if (t.a.n == 0) return integerAbs(y);
    if (t.b.n == 0) return integerAbs(x);
    if (t.a.n == 1 && t.b.n == 1) return integerFromWord_hash(std::gcd(t.a.low(), t.b.low()));
    return integer_build(min_size(t.a.mag(), t.b.mag()), false,
                         [&](Limb* r) { return gcd(r, t.a.mag(), t.b.mag()); });
}

Value integerLcm(const Value& x, const Value& y) {
    if (integerIsZero_hash(x) || integerIsZero_hash(y)) return integerZero();
    return integerAbs(integerMul(integerQuot(x, integerGcd(x, y)), y));
}

Gcde integerGcde_hash(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (integerIsZero_hash(b)) return {integerAbs(a), integerSignum(a), integerZero()};
    if (integerIsZero_hash(a)) return {integerAbs(b), integerZero(), integerSignum(b)};
    Two t(a, b);
    // mpn_gcdext wants the operand with more limbs first; it gives the cofactor of that one.
    bool swapped = t.a.n < t.b.n;
    const Operand& u = swapped ? t.b : t.a;
    const Operand& v = swapped ? t.a : t.b;
    std::vector<Limb> up(u.p, u.p + u.n), vp(v.p, v.p + v.n), gp(v.n + 1), sp(v.n + 1);
    up.push_back(0);
    vp.push_back(0);
    mp_size_t sn = 0;
    mp_size_t gn = mpn_gcdext(gp.data(), sp.data(), &sn, up.data(), static_cast<mp_size_t>(u.n), vp.data(),
                              static_cast<mp_size_t>(v.n));
    Value g = integer_from_limbs({gp.data(), static_cast<size_t>(gn)}, false);
    size_t s_len = trim(sp.data(), static_cast<size_t>(sn < 0 ? -sn : sn));
    // The cofactor found is that of |u|; u's own carries u's sign as well.
    Value s = integer_from_limbs({sp.data(), s_len}, (sn < 0) != u.neg);
    const Value& uv = swapped ? b : a;
    const Value& vv = swapped ? a : b;
    Value other = integerQuot(integerSub(g, integerMul(uv, s)), vv);
    if (swapped) return {std::move(g), std::move(other), std::move(s)};
    return {std::move(g), std::move(s), std::move(other)};
}

Value integerPow(const Value& x, uint64_t e) {
    Value result = integerOne();
    Value base = rts::force(x);
    for (; e != 0; e >>= 1) {
        if (e & 1) result = integerMul(result, base);
        if (e > 1) base = integerSqr(base);
    }
    return result;
}

std::optional<Value> integerRecipMod_hash(const Value& x, const Value& mv) {
    const Value& m = rts::force(mv);
    if (Natural::naturalLe_hash(m, Natural::naturalOne())) return std::nullopt;
    Value mi = integerFromNatural(m);
    Value a = integerMod(x, mi);
    if (integerIsZero_hash(a)) return std::nullopt;
    Gcde r = integerGcde_hash(a, mi);
    if (!integerIsOne_hash(r.g)) return std::nullopt;
    return integerToNatural(integerMod(r.x, mi));
}

std::optional<Value> integerPowMod_hash(const Value& bv, const Value& ev, const Value& mv) {
    const Value& m = rts::force(mv);
    if (Natural::naturalIsZero_hash(m)) return std::nullopt;
    if (Natural::naturalIsOne_hash(m)) return Natural::naturalZero();
    const Value& e = rts::force(ev);
    Value base;
    if (integerIsNegative_hash(e)) {
        std::optional<Value> inv = integerRecipMod_hash(bv, m);
        if (!inv) return std::nullopt;
        base = std::move(*inv);
    } else {
        base = integerToNatural(integerMod(bv, integerFromNatural(m)));
    }
    return Natural::naturalPowMod(base, integerToNatural(e), m);
}

// ---------------------------------------------------------------------------------------------
// Comparison

Value integerEq(const Value& a, const Value& b) { return bool_of(integerEq_hash(a, b)); }
Value integerNe(const Value& a, const Value& b) { return bool_of(integerNe_hash(a, b)); }
Value integerLt(const Value& a, const Value& b) { return bool_of(integerLt_hash(a, b)); }
Value integerLe(const Value& a, const Value& b) { return bool_of(integerLe_hash(a, b)); }
Value integerGt(const Value& a, const Value& b) { return bool_of(integerGt_hash(a, b)); }
Value integerGe(const Value& a, const Value& b) { return bool_of(integerGe_hash(a, b)); }
Value integerCompare(const Value& a, const Value& b) {
    return Value::adopt(Types::Ordering_closure_tbl[fast::cmp(a, b) + 1]);
}

// ---------------------------------------------------------------------------------------------
// Bits

Value integerShiftL_hash(const Value& v, uint64_t k) {
    One o(v);
    if (o.a.n == 0 || k == 0) return rts::force(v);
    return integer_build(add_size(add_size(o.a.n, k / 64), 1), o.a.neg,
                         [&](Limb* r) { return shift_left(r, o.a.mag(), k); });
}

Value integerShiftR_hash(const Value& v, uint64_t k) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) {
        int64_t s = fast::small(i);
        return IS(k >= 64 ? (s < 0 ? -1 : 0) : s >> k);
    }
    One o(i);
    if (!o.a.neg) return integer_build(o.a.n, false, [&](Limb* r) { return shift_right(r, o.a.mag(), k); });
    // floor(-m / 2^k) = -(((m - 1) >> k) + 1)
    LimbBuf m1(o.a.n);
    Limb one = 1;
    size_t m1n = sub(m1.data(), o.a.mag(), {&one, 1});
    LimbBuf shifted(m1n + 1);
    size_t sn = shift_right(shifted.data(), {m1.data(), m1n}, k);
    return integer_build(sn + 1, true, [&](Limb* r) { return add(r, {shifted.data(), sn}, {&one, 1}); });
}

namespace {

enum class BitOp { And, Or, Xor };

// The n-limb two's complement form of a signed magnitude (n > its limb count).
std::vector<Limb> twos_complement(const Operand& a, size_t n) {
    std::vector<Limb> r(n, 0);
    if (a.n) std::memcpy(r.data(), a.p, a.n * kLimbBytes);
    if (a.neg) mpn_neg(r.data(), r.data(), static_cast<mp_size_t>(n));
    return r;
}

Value bitwise(const Value& x, const Value& y, BitOp op) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (fast::small2(a, b)) {
        int64_t p = fast::small(a), q = fast::small(b);
        return IS(op == BitOp::And ? (p & q) : op == BitOp::Or ? (p | q) : (p ^ q));
    }
    Two t(a, b);
    size_t n = add_size(max_size(t.a.mag(), t.b.mag()), 1);
    std::vector<Limb> u = twos_complement(t.a, n), v = twos_complement(t.b, n);
    LimbBuf r(n);
    auto sn = static_cast<mp_size_t>(n);
    switch (op) {
        case BitOp::And: mpn_and_n(r.data(), u.data(), v.data(), sn); break;
        case BitOp::Or: mpn_ior_n(r.data(), u.data(), v.data(), sn); break;
        case BitOp::Xor: mpn_xor_n(r.data(), u.data(), v.data(), sn); break;
    }
    bool negative = (r.data()[n - 1] >> 63) != 0;
    if (negative) mpn_neg(r.data(), r.data(), sn);
    return integer_result(r, n, negative);
}

}  // namespace

Value integerAnd(const Value& a, const Value& b) { return bitwise(a, b, BitOp::And); }
Value integerOr(const Value& a, const Value& b) { return bitwise(a, b, BitOp::Or); }
Value integerXor(const Value& a, const Value& b) { return bitwise(a, b, BitOp::Xor); }

Value integerComplement(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) return IS(~fast::small(i));
    return integerSub(integerNegate(i), integerOne());  // ~x = -x - 1
}

int64_t integerTestBit_hash(const Value& v, uint64_t k) {
    One o(v);
    if (!o.a.neg) return test_bit(o.a.mag(), k);
    // Bit k of -m = ~(m - 1): below m's lowest set bit t the bits are 0, bit t is 1, above it
    // they are those of m complemented.
    uint64_t t = lowest_bit(o.a.mag());
    if (k < t) return 0;
    if (k == t) return 1;
    return !test_bit(o.a.mag(), k);
}

Value integerBit_hash(uint64_t k) { return integerShiftL_hash(integerOne(), k); }

int64_t integerPopCount_hash(const Value& v) {
    One o(v);
    auto c = static_cast<int64_t>(popcount(o.a.mag()));
    return o.a.neg ? -c : c;
}

uint64_t integerLog2_hash(const Value& v) {
    One o(v);
    return o.a.neg ? 0 : log2(o.a.mag());
}

uint64_t integerLogBase_hash(const Value& base, const Value& v) {
    Two t(base, v);
    if (t.a.neg || t.a.n == 0 || (t.a.n == 1 && t.a.p[0] == 1)) Primitives::unexpectedValue();
    return t.b.neg ? 0 : log_base(t.a.mag(), t.b.mag());
}

uint64_t integerLogBaseWord_hash(uint64_t base, const Value& v) {
    if (base < 2) Primitives::unexpectedValue();
    One o(v);
    Limb b = base;
    return o.a.neg ? 0 : log_base({&b, 1}, o.a.mag());
}

uint64_t integerSizeInBase_hash(uint64_t base, const Value& v) {
    if (base < 2) Primitives::unexpectedValue();
    One o(v);
    Limb b = base;
    return o.a.n == 0 ? 0 : log_base({&b, 1}, o.a.mag()) + 1;
}

// ---------------------------------------------------------------------------------------------
// Bytes

uint64_t integerToAddr_hash(const Value& v, void* addr, int64_t big_endian) {
    One o(v);
    return write_bytes(o.a.mag(), static_cast<uint8_t*>(addr), big_endian != 0);
}

Value integerFromAddr_hash(uint64_t nbytes, const void* addr, int64_t big_endian) {
    return integer_build(add_size(nbytes / 8, 1), false, [&](Limb* r) {
        return read_bytes(r, static_cast<const uint8_t*>(addr), nbytes, big_endian != 0);
    });
}

uint64_t integerToMutableByteArray_hash(const Value& v, const Value& bytes, uint64_t offset,
                                        int64_t big_endian) {
    return integerToAddr_hash(v, rts::bytes_data(bytes) + offset, big_endian);
}

Value integerFromByteArray_hash(uint64_t nbytes, const Value& bytes, uint64_t offset, int64_t big_endian) {
    return integerFromAddr_hash(nbytes, rts::bytes_data(bytes) + offset, big_endian);
}

// ---------------------------------------------------------------------------------------------
// Decimal text

std::string integerToDecimal(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == IS_tag) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, fast::small(i));
        return std::string(buf, res.ptr);
    }
    std::string s = i->tag == IN_tag ? "-" : "";
    append_decimal(s, integer_magnitude(i));
    return s;
}

Value integerShows(const Value& i, Value rest) {
    std::string s = integerToDecimal(i);
    for (size_t k = s.size(); k-- > 0;)
        rest = Types::Cons(Types::C_hash(static_cast<unsigned char>(s[k])), std::move(rest));
    return rest;
}

std::optional<Value> integerFromDecimal(std::string_view text) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    return integer_build(decimal_cap(text.size()), negative, [&](Limb* r) { return from_decimal(r, text); });
}

}  // namespace VUX::Num::Integer
