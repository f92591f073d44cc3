#include "VUX/Num/BigNat.h"

#include <cstring>

#include "../../src/Limbs.h"
#include "VUX/Num/Primitives.h"
#include "VUX/Types.h"

namespace VUX::Num::BigNat {

using namespace VUX::Num::detail;
using Primitives::raiseDivZero;

namespace {

Limbs word_view(const uint64_t& w) { return {&w, w != 0}; }

// Runs `op(r, ...)` into a buffer of `cap` limbs and returns the canonical result.
template <class Op>
Value build(size_t cap, Op&& op) {
    LimbBuf buf(cap);
    size_t n = op(buf.data());
    return buf.take_bignat(n);
}

size_t max_size(Limbs a, Limbs b) { return a.n > b.n ? a.n : b.n; }

Value quot_or_rem(const Value& a, const Value& b, bool want_quot) {
    Limbs x = view(a), y = view(b);
    if (y.n == 0) raiseDivZero();
    if (x.n < y.n) return want_quot ? bigNatZero() : a;
    LimbBuf q(x.n), r(y.n);
    auto [qn, rn] = quot_rem(q.data(), r.data(), x, y);
    return want_quot ? q.take_bignat(qn) : r.take_bignat(rn);
}

Value from_bytes(uint64_t nbytes, const uint8_t* p, bool big_endian) {
    return build(add_size(nbytes / 8, 1), [&](Limb* r) { return read_bytes(r, p, nbytes, big_endian); });
}

}  // namespace

Value bigNatZero() { return bignat_zero(); }
Value bigNatOne() { return bignat_one(); }

int64_t bigNatCheck_hash(const Value& a) {
    size_t len = rts::bytes_length(a);
    if (len % kLimbBytes != 0) return 0;
    Limbs l = view(a);
    return l.n == 0 || l.p[l.n - 1] != 0;
}

uint64_t bigNatSize_hash(const Value& a) { return view(a).n; }
uint64_t bigNatIndex_hash(const Value& a, int64_t i) { return view(a).p[i]; }
int64_t bigNatIsZero_hash(const Value& a) { return view(a).n == 0; }
int64_t bigNatIsOne_hash(const Value& a) {
    Limbs l = view(a);
    return l.n == 1 && l.p[0] == 1;
}
Value bigNatIsZero(const Value& a) { return Types::isTrue_hash(bigNatIsZero_hash(a)); }

Value bigNatFromWord_hash(uint64_t w) { return bignat_copy(word_view(w)); }

Value bigNatFromWord2_hash(uint64_t hi, uint64_t lo) {
    if (hi == 0) return bigNatFromWord_hash(lo);
    Limb limbs[2] = {lo, hi};
    return bignat_copy({limbs, 2});
}

Value bigNatFromWordArray_hash(const Value& words, uint64_t n) {
    const Limb* p = mut_limbs(words);
    n = trim(p, n);
    if (n * kLimbBytes == rts::bytes_length(words) && !rts::bytes_mutable(words)) return words;
    return bignat_copy({p, n});
}

uint64_t bigNatToWord_hash(const Value& a) { return low_word(view(a)); }
int64_t bigNatToInt_hash(const Value& a) { return static_cast<int64_t>(low_word(view(a))); }
double bigNatEncodeDouble_hash(const Value& a, int64_t e) { return to_double(view(a), false, e); }
float bigNatEncodeFloat_hash(const Value& a, int64_t e) { return to_float(view(a), false, e); }
double bigNatToDouble_hash(const Value& a) { return to_double(view(a), false, 0); }

// ---------------------------------------------------------------------------------------------
// Arithmetic

Value bigNatAdd(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(add_size(max_size(x, y), 1), [&](Limb* r) { return add(r, x, y); });
}

Value bigNatAddWord_hash(const Value& a, uint64_t w) {
    Limbs x = view(a);
    return build(add_size(x.n, 1), [&](Limb* r) { return add(r, x, word_view(w)); });
}

Value bigNatMul(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(add_size(x.n, y.n), [&](Limb* r) { return mul(r, x, y); });
}

Value bigNatMulWord_hash(const Value& a, uint64_t w) {
    Limbs x = view(a);
    return build(add_size(x.n, 1), [&](Limb* r) { return mul(r, x, word_view(w)); });
}

Value bigNatSqr(const Value& a) {
    Limbs x = view(a);
    return build(add_size(x.n, x.n), [&](Limb* r) { return sqr(r, x); });
}

std::optional<Value> bigNatSub(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    if (cmp(x, y) < 0) return std::nullopt;
    return build(x.n, [&](Limb* r) { return sub(r, x, y); });
}

std::optional<Value> bigNatSubWord_hash(const Value& a, uint64_t w) {
    Limbs x = view(a), y = word_view(w);
    if (cmp(x, y) < 0) return std::nullopt;
    return build(x.n, [&](Limb* r) { return sub(r, x, y); });
}

Value bigNatSubUnsafe(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    assert(cmp(x, y) >= 0);
    return build(x.n, [&](Limb* r) { return sub(r, x, y); });
}

std::pair<Value, Value> bigNatQuotRem_hash(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    if (y.n == 0) raiseDivZero();
    if (x.n < y.n) return {bigNatZero(), a};
    LimbBuf q(x.n), r(y.n);
    auto [qn, rn] = quot_rem(q.data(), r.data(), x, y);
    return {q.take_bignat(qn), r.take_bignat(rn)};
}

std::pair<Value, uint64_t> bigNatQuotRemWord_hash(const Value& a, uint64_t w) {
    if (w == 0) raiseDivZero();
    Limbs x = view(a);
    if (x.n == 0) return {bigNatZero(), 0};
    LimbBuf q(x.n);
    Limb rem = mpn_divrem_1(q.data(), 0, x.p, static_cast<mp_size_t>(x.n), w);
    return {q.take_bignat(x.n), rem};
}

Value bigNatQuot(const Value& a, const Value& b) { return quot_or_rem(a, b, true); }
Value bigNatRem(const Value& a, const Value& b) { return quot_or_rem(a, b, false); }
Value bigNatQuotWord_hash(const Value& a, uint64_t w) { return bigNatQuotRemWord_hash(a, w).first; }

uint64_t bigNatRemWord_hash(const Value& a, uint64_t w) {
    if (w == 0) raiseDivZero();
    Limbs x = view(a);
    return x.n ? mpn_mod_1(x.p, static_cast<mp_size_t>(x.n), w) : 0;
}

Value bigNatGcd(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    if (x.n == 0) return b;
    if (y.n == 0) return a;
    return build(x.n < y.n ? x.n : y.n, [&](Limb* r) { return gcd(r, x, y); });
}

uint64_t bigNatGcdWord_hash(const Value& a, uint64_t w) {
    Limbs x = view(a);
    if (x.n == 0) return w;
    if (w == 0) {
        if (x.n > 1) Primitives::raiseOverflow();  // gcd(a, 0) = a does not fit the word result
        return x.p[0];
    }
    return mpn_gcd_1(x.p, static_cast<mp_size_t>(x.n), w);
}

Value bigNatLcm(const Value& a, const Value& b) {
    if (bigNatIsZero_hash(a) || bigNatIsZero_hash(b)) return bigNatZero();
    return bigNatMul(bigNatQuot(a, bigNatGcd(a, b)), b);
}

Value bigNatPowMod(const Value& b, const Value& e, const Value& m) {
    Limbs mod = view(m);
    if (mod.n == 0) raiseDivZero();
    auto r = pow_mod(view(b), view(e), mod);
    return bignat_copy({r.data(), r.size()});
}

// ---------------------------------------------------------------------------------------------
// Bits

Value bigNatShiftL_hash(const Value& a, uint64_t n) {
    Limbs x = view(a);
    if (x.n == 0 || n == 0) return a;
    return build(add_size(add_size(x.n, n / 64), 1), [&](Limb* r) { return shift_left(r, x, n); });
}

Value bigNatShiftR_hash(const Value& a, uint64_t n) {
    Limbs x = view(a);
    if (n == 0) return a;
    if (n / 64 >= x.n) return bigNatZero();
    return build(x.n, [&](Limb* r) { return shift_right(r, x, n); });
}

Value bigNatAnd(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(x.n < y.n ? x.n : y.n, [&](Limb* r) { return bit_and(r, x, y); });
}
Value bigNatAndNot(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(x.n, [&](Limb* r) { return bit_and_not(r, x, y); });
}
Value bigNatOr(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(max_size(x, y), [&](Limb* r) { return bit_or(r, x, y); });
}
Value bigNatXor(const Value& a, const Value& b) {
    Limbs x = view(a), y = view(b);
    return build(max_size(x, y), [&](Limb* r) { return bit_xor(r, x, y); });
}

int64_t bigNatTestBit_hash(const Value& a, uint64_t i) { return test_bit(view(a), i); }

Value bigNatBit_hash(uint64_t i) {
    Value one = bigNatOne();
    return bigNatShiftL_hash(one, i);
}

Value bigNatSetBit_hash(const Value& a, uint64_t i) {
    if (bigNatTestBit_hash(a, i)) return a;
    return bigNatOr(a, bigNatBit_hash(i));
}
Value bigNatClearBit_hash(const Value& a, uint64_t i) {
    if (!bigNatTestBit_hash(a, i)) return a;
    return bigNatXor(a, bigNatBit_hash(i));
}
Value bigNatComplementBit_hash(const Value& a, uint64_t i) { return bigNatXor(a, bigNatBit_hash(i)); }
uint64_t bigNatPopCount_hash(const Value& a) { return popcount(view(a)); }

// ---------------------------------------------------------------------------------------------
// Logarithms

uint64_t bigNatLog2_hash(const Value& a) { return log2(view(a)); }

uint64_t bigNatLogBase_hash(const Value& base, const Value& a) {
    Limbs b = view(base);
    if (b.n == 0 || (b.n == 1 && b.p[0] == 1)) Primitives::unexpectedValue();
    return log_base(b, view(a));
}

uint64_t bigNatLogBaseWord_hash(uint64_t base, const Value& a) {
    if (base < 2) Primitives::unexpectedValue();
    return log_base(word_view(base), view(a));
}

uint64_t bigNatSizeInBase_hash(uint64_t base, const Value& a) {
    if (base < 2) Primitives::unexpectedValue();
    return bigNatIsZero_hash(a) ? 0 : bigNatLogBaseWord_hash(base, a) + 1;
}

// ---------------------------------------------------------------------------------------------
// Comparison

int bigNatCmp(const Value& a, const Value& b) { return cmp(view(a), view(b)); }
Value bigNatCompare(const Value& a, const Value& b) {
    return Value::adopt(Types::Ordering_closure_tbl[bigNatCmp(a, b) + 1]);
}
Value bigNatCompareWord_hash(const Value& a, uint64_t w) {
    return Value::adopt(Types::Ordering_closure_tbl[cmp(view(a), word_view(w)) + 1]);
}
int64_t bigNatEq_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) == 0; }
int64_t bigNatNe_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) != 0; }
int64_t bigNatLt_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) < 0; }
int64_t bigNatLe_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) <= 0; }
int64_t bigNatGt_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) > 0; }
int64_t bigNatGe_hash(const Value& a, const Value& b) { return bigNatCmp(a, b) >= 0; }
Value bigNatEq(const Value& a, const Value& b) { return Types::isTrue_hash(bigNatEq_hash(a, b)); }
int64_t bigNatEqWord_hash(const Value& a, uint64_t w) { return cmp(view(a), word_view(w)) == 0; }
int64_t bigNatGtWord_hash(const Value& a, uint64_t w) { return cmp(view(a), word_view(w)) > 0; }
int64_t bigNatLeWord_hash(const Value& a, uint64_t w) { return cmp(view(a), word_view(w)) <= 0; }

// ---------------------------------------------------------------------------------------------
// Bytes and text

Value bigNatFromAddrLE_hash(uint64_t nbytes, const void* addr) {
    return from_bytes(nbytes, static_cast<const uint8_t*>(addr), false);
}
Value bigNatFromAddrBE_hash(uint64_t nbytes, const void* addr) {
    return from_bytes(nbytes, static_cast<const uint8_t*>(addr), true);
}
uint64_t bigNatToAddrLE_hash(const Value& a, void* addr) { return write_bytes(view(a), static_cast<uint8_t*>(addr), false); }
uint64_t bigNatToAddrBE_hash(const Value& a, void* addr) { return write_bytes(view(a), static_cast<uint8_t*>(addr), true); }
Value bigNatFromByteArrayLE_hash(uint64_t nbytes, const Value& bytes, uint64_t offset) {
    return from_bytes(nbytes, rts::bytes_data(bytes) + offset, false);
}
Value bigNatFromByteArrayBE_hash(uint64_t nbytes, const Value& bytes, uint64_t offset) {
    return from_bytes(nbytes, rts::bytes_data(bytes) + offset, true);
}
uint64_t bigNatToMutableByteArrayLE_hash(const Value& a, const Value& bytes, uint64_t offset) {
    return write_bytes(view(a), rts::bytes_data(bytes) + offset, false);
}
uint64_t bigNatToMutableByteArrayBE_hash(const Value& a, const Value& bytes, uint64_t offset) {
    return write_bytes(view(a), rts::bytes_data(bytes) + offset, true);
}
uint64_t bigNatSizeInBytes_hash(const Value& a) { return byte_size(view(a)); }

std::string bigNatToDecimal(const Value& a) { return to_decimal(view(a)); }

std::optional<Value> bigNatFromDecimal(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    return build(decimal_cap(digits.size()), [&](Limb* r) { return from_decimal(r, digits); });
}

}  // namespace VUX::Num::BigNat
