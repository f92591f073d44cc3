#include "VUX/Num/Natural.h"

#include "../../src/Values.h"
#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Primitives.h"
#include "VUX/Types.h"

namespace VUX::Num::detail {

Value natural_result(LimbBuf& buf, size_t n) {
    n = trim(buf.data(), n);
    if (n == 0) return Natural::naturalZero();
    if (n == 1) return Natural::NS(buf.data()[0]);
    return Natural::NB(buf.take_bignat(n));
}

Value natural_from_limbs(Limbs mag) {
    if (mag.n == 0) return Natural::naturalZero();
    if (mag.n == 1) return Natural::NS(mag.p[0]);
    return Natural::NB(bignat_copy(mag));
}

}  // namespace VUX::Num::detail

namespace VUX::Num::Natural {

using namespace VUX::Num::detail;

namespace {

constinit const rts::StaticCon<0, 1> zero_closure{NS_tag, rts::word_slot(0)};
constinit const rts::StaticCon<0, 1> one_closure{NS_tag, rts::word_slot(1)};

// Both operands evaluated and viewed as magnitudes.
struct Two {
    Operand a, b;
    Two(const Value& x, const Value& y) {
        load_natural(a, rts::force(x));
        load_natural(b, rts::force(y));
    }
};

struct One {
    Operand a;
    explicit One(const Value& x) { load_natural(a, rts::force(x)); }
};

bool both_small(const Value& x, const Value& y) { return x->tag == NS_tag && y->tag == NS_tag; }

Value bool_of(bool b) { return Types::isTrue_hash(b); }

}  // namespace

Value naturalZero() { return zero_closure.value(); }
Value naturalOne() { return one_closure.value(); }

int64_t naturalCheck_hash(const Value& v) {
    const Value& n = rts::force(v);
    if (n->tag == NS_tag) return 1;
    const Value& b = rts::field(n, 0);
    return BigNat::bigNatCheck_hash(b) && BigNat::bigNatSize_hash(b) >= 2;
}

int64_t naturalIsZero_hash(const Value& v) {
    const Value& n = rts::force(v);
    return n->tag == NS_tag && rts::word(n, 0) == 0;
}
int64_t naturalIsOne_hash(const Value& v) {
    const Value& n = rts::force(v);
    return n->tag == NS_tag && rts::word(n, 0) == 1;
}

Value naturalFromBigNat_hash(const Value& bignat) { return natural_from_limbs(view(bignat)); }

Value naturalToBigNat_hash(const Value& v) {
    const Value& n = rts::force(v);
    if (n->tag == NB_tag) return rts::field(n, 0);
    return BigNat::bigNatFromWord_hash(rts::word(n, 0));
}

uint64_t naturalToWord_hash(const Value& v) {
    One o(v);
    return low_word(o.a.mag());
}

std::optional<uint64_t> naturalToWordMaybe_hash(const Value& v) {
    const Value& n = rts::force(v);
    if (n->tag == NB_tag) return std::nullopt;
    return rts::word(n, 0);
}

double naturalToDouble_hash(const Value& v) { return naturalEncodeDouble_hash(v, 0); }
float naturalToFloat_hash(const Value& v) { return naturalEncodeFloat_hash(v, 0); }
double naturalEncodeDouble_hash(const Value& v, int64_t e) {
    One o(v);
    return to_double(o.a.mag(), false, e);
}
float naturalEncodeFloat_hash(const Value& v, int64_t e) {
    One o(v);
    return to_float(o.a.mag(), false, e);
}

Value naturalFromDouble(double d) {
    return Integer::integerToNaturalThrow(Integer::integerFromDouble_hash(d));
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

Value naturalAdd(const Value& x, const Value& y) {
    Two t(x, y);
    Limb s;
    if (t.a.n <= 1 && t.b.n <= 1 && !__builtin_add_overflow(t.a.low(), t.b.low(), &s)) return NS(s);
    return natural_build(add_size(max_size(t.a.mag(), t.b.mag()), 1),
                         [&](Limb* r) { return add(r, t.a.mag(), t.b.mag()); });
}

std::optional<Value> naturalSub(const Value& x, const Value& y) {
    Two t(x, y);
    if (cmp(t.a.mag(), t.b.mag()) < 0) return std::nullopt;
    if (t.a.n <= 1) return NS(t.a.low() - t.b.low());
    return natural_build(t.a.n, [&](Limb* r) { return sub(r, t.a.mag(), t.b.mag()); });
}

Value naturalSubThrow(const Value& x, const Value& y) {
    std::optional<Value> r = naturalSub(x, y);
    if (!r) Primitives::raiseUnderflow();
    return std::move(*r);
}

Value naturalSubUnsafe(const Value& x, const Value& y) { return naturalSubThrow(x, y); }

Value naturalMul(const Value& x, const Value& y) {
    Two t(x, y);
    Limb p;
    if (t.a.n <= 1 && t.b.n <= 1 && !__builtin_mul_overflow(t.a.low(), t.b.low(), &p)) return NS(p);
    return natural_build(add_size(t.a.n, t.b.n), [&](Limb* r) { return mul(r, t.a.mag(), t.b.mag()); });
}

Value naturalSqr(const Value& x) { return naturalMul(x, x); }

Value naturalSignum(const Value& x) { return naturalIsZero_hash(x) ? naturalZero() : naturalOne(); }

Value naturalNegate(const Value& x) {
    if (!naturalIsZero_hash(x)) Primitives::raiseUnderflow();
    return naturalZero();
}

std::pair<Value, Value> naturalQuotRem_hash(const Value& x, const Value& y) {
    Two t(x, y);
    if (t.b.n == 0) Primitives::raiseDivZero();
    if (t.a.n <= 1 && t.b.n <= 1) return {NS(t.a.low() / t.b.low()), NS(t.a.low() % t.b.low())};
    if (cmp(t.a.mag(), t.b.mag()) < 0) return {naturalZero(), rts::force(x)};
    LimbBuf q(t.a.n), r(t.b.n);
    auto [qn, rn] = quot_rem(q.data(), r.data(), t.a.mag(), t.b.mag());
    return {natural_result(q, qn), natural_result(r, rn)};
}

Value naturalQuot(const Value& x, const Value& y) { return naturalQuotRem_hash(x, y).first; }
Value naturalRem(const Value& x, const Value& y) { return naturalQuotRem_hash(x, y).second; }

Value naturalGcd(const Value& x, const Value& y) {
    Two t(x, y);
    if (t.a.n == 0) return rts::force(y);
    if (t.b.n == 0) return rts::force(x);
    return natural_build(min_size(t.a.mag(), t.b.mag()), [&](Limb* r) { return gcd(r, t.a.mag(), t.b.mag()); });
}

Value naturalLcm(const Value& x, const Value& y) {
    if (naturalIsZero_hash(x) || naturalIsZero_hash(y)) return naturalZero();
    return naturalMul(naturalQuot(x, naturalGcd(x, y)), y);
}

Value naturalPow(const Value& x, uint64_t e) {
    Value result = naturalOne();
    Value base = rts::force(x);
    for (; e != 0; e >>= 1) {
        if (e & 1) result = naturalMul(result, base);
        if (e > 1) base = naturalSqr(base);
    }
    return result;
}

Value naturalPowMod(const Value& b, const Value& e, const Value& m) {
    Operand ob, oe, om;
    load_natural(ob, rts::force(b));
    load_natural(oe, rts::force(e));
    load_natural(om, rts::force(m));
    if (om.n == 0) Primitives::raiseDivZero();
    auto r = pow_mod(ob.mag(), oe.mag(), om.mag());
    return natural_from_limbs({r.data(), r.size()});
}

// ---------------------------------------------------------------------------------------------
// Bits

Value naturalShiftL_hash(const Value& x, uint64_t k) {
    One o(x);
    if (o.a.n == 0 || k == 0) return rts::force(x);
    return natural_build(add_size(add_size(o.a.n, k / 64), 1), [&](Limb* r) { return shift_left(r, o.a.mag(), k); });
}

Value naturalShiftR_hash(const Value& x, uint64_t k) {
    One o(x);
    if (o.a.n <= 1) return NS(k >= 64 ? 0 : o.a.low() >> k);
    return natural_build(o.a.n, [&](Limb* r) { return shift_right(r, o.a.mag(), k); });
}

Value naturalAnd(const Value& x, const Value& y) {
    Two t(x, y);
    return natural_build(min_size(t.a.mag(), t.b.mag()), [&](Limb* r) { return bit_and(r, t.a.mag(), t.b.mag()); });
}
Value naturalAndNot(const Value& x, const Value& y) {
    Two t(x, y);
    return natural_build(t.a.n, [&](Limb* r) { return bit_and_not(r, t.a.mag(), t.b.mag()); });
}
Value naturalOr(const Value& x, const Value& y) {
    Two t(x, y);
    return natural_build(max_size(t.a.mag(), t.b.mag()), [&](Limb* r) { return bit_or(r, t.a.mag(), t.b.mag()); });
}
Value naturalXor(const Value& x, const Value& y) {
    Two t(x, y);
    return natural_build(max_size(t.a.mag(), t.b.mag()), [&](Limb* r) { return bit_xor(r, t.a.mag(), t.b.mag()); });
}

int64_t naturalTestBit_hash(const Value& x, uint64_t i) {
    One o(x);
    return test_bit(o.a.mag(), i);
}
Value naturalBit_hash(uint64_t i) { return naturalShiftL_hash(naturalOne(), i); }
Value naturalSetBit_hash(const Value& x, uint64_t i) {
    return naturalTestBit_hash(x, i) ? rts::force(x) : naturalOr(x, naturalBit_hash(i));
}
Value naturalClearBit_hash(const Value& x, uint64_t i) {
    return naturalTestBit_hash(x, i) ? naturalXor(x, naturalBit_hash(i)) : rts::force(x);
}
Value naturalComplementBit_hash(const Value& x, uint64_t i) { return naturalXor(x, naturalBit_hash(i)); }
uint64_t naturalPopCount_hash(const Value& x) {
    One o(x);
    return popcount(o.a.mag());
}

// ---------------------------------------------------------------------------------------------
// Logarithms

uint64_t naturalLog2_hash(const Value& x) {
    One o(x);
    return log2(o.a.mag());
}
uint64_t naturalLogBase_hash(const Value& base, const Value& x) {
    Two t(base, x);
    if (t.a.n == 0 || (t.a.n == 1 && t.a.p[0] == 1)) Primitives::unexpectedValue();
    return log_base(t.a.mag(), t.b.mag());
}
uint64_t naturalLogBaseWord_hash(uint64_t base, const Value& x) {
    if (base < 2) Primitives::unexpectedValue();
    One o(x);
    Limb b = base;
    return log_base({&b, 1}, o.a.mag());
}
uint64_t naturalSizeInBase_hash(uint64_t base, const Value& x) {
    if (base < 2) Primitives::unexpectedValue();
    return naturalIsZero_hash(x) ? 0 : naturalLogBaseWord_hash(base, x) + 1;
}

// ---------------------------------------------------------------------------------------------
// Comparison

namespace {
int compare3(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (both_small(a, b)) {
        uint64_t u = rts::word(a, 0), v = rts::word(b, 0);
        return (u > v) - (u < v);
    }
    Two t(a, b);
    return cmp(t.a.mag(), t.b.mag());
}
}  // namespace

int64_t naturalEq_hash(const Value& a, const Value& b) { return compare3(a, b) == 0; }
int64_t naturalNe_hash(const Value& a, const Value& b) { return compare3(a, b) != 0; }
int64_t naturalLt_hash(const Value& a, const Value& b) { return compare3(a, b) < 0; }
int64_t naturalLe_hash(const Value& a, const Value& b) { return compare3(a, b) <= 0; }
int64_t naturalGt_hash(const Value& a, const Value& b) { return compare3(a, b) > 0; }
int64_t naturalGe_hash(const Value& a, const Value& b) { return compare3(a, b) >= 0; }
Value naturalEq(const Value& a, const Value& b) { return bool_of(naturalEq_hash(a, b)); }
Value naturalLt(const Value& a, const Value& b) { return bool_of(naturalLt_hash(a, b)); }
Value naturalLe(const Value& a, const Value& b) { return bool_of(naturalLe_hash(a, b)); }
Value naturalCompare(const Value& a, const Value& b) {
    return Value::adopt(Types::Ordering_closure_tbl[compare3(a, b) + 1]);
}

// ---------------------------------------------------------------------------------------------
// Bytes and text

Value naturalFromAddr_hash(uint64_t nbytes, const void* addr, int64_t big_endian) {
    return natural_build(add_size(nbytes / 8, 1), [&](Limb* r) {
        return read_bytes(r, static_cast<const uint8_t*>(addr), nbytes, big_endian != 0);
    });
}
uint64_t naturalToAddr_hash(const Value& x, void* addr, int64_t big_endian) {
    One o(x);
    return write_bytes(o.a.mag(), static_cast<uint8_t*>(addr), big_endian != 0);
}
Value naturalFromByteArray_hash(uint64_t nbytes, const Value& bytes, uint64_t offset, int64_t big_endian) {
    return naturalFromAddr_hash(nbytes, rts::bytes_data(bytes) + offset, big_endian);
}
uint64_t naturalToMutableByteArray_hash(const Value& x, const Value& bytes, uint64_t offset, int64_t big_endian) {
    return naturalToAddr_hash(x, rts::bytes_data(bytes) + offset, big_endian);
}

std::string naturalToDecimal(const Value& x) {
    One o(x);
    return to_decimal(o.a.mag());
}

std::optional<Value> naturalFromDecimal(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    return natural_build(decimal_cap(digits.size()), [&](Limb* r) { return from_decimal(r, digits); });
}

}  // namespace VUX::Num::Natural
