// Arithmetic on canonical magnitudes over GMP's mpn layer. The limbs live in our own byte arrays
// (or on the stack); GMP only allocates its own scratch space inside a call.
#include "Limbs.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace VUX::Num::detail {

void size_overflow() { rts::raise(rts::RtsError::HeapOverflow); }

// ---------------------------------------------------------------------------------------------
// Byte arrays

namespace {

// The empty magnitude and the magnitude 1: static, never counted.
constinit rts::BytesObject zero_object{rts::Object(0, rts::Kind::Bytes, 0, 0, 0), 0};
struct alignas(16) OneLimbObject {
    rts::BytesObject header;
    Limb limb;
};
constinit OneLimbObject one_object{{rts::Object(0, rts::Kind::Bytes, 0, 0, 0), kLimbBytes}, 1};

}  // namespace

Value bignat_zero() { return Value::adopt(&zero_object.header); }
Value bignat_one() { return Value::adopt(&one_object.header.header); }

Value bignat_copy(Limbs a) {
    if (a.n == 0) return bignat_zero();
    VUX_NUM_ASSERT_CANONICAL(a.p, a.n);
    Value b = rts::new_byte_array_uninit(limb_bytes(a.n));
    std::memcpy(mut_limbs(b), a.p, a.n * kLimbBytes);
    rts::freeze_byte_array(b);
    return b;
}

Value LimbBuf::take_bignat(size_t n) {
    n = trim(p_, n);
    if (n == 0) return bignat_zero();
    if (p_ == inline_) return bignat_copy({p_, n});
    // A result that fills at least half of its buffer keeps it, shrunk in place; a shorter one is
    // copied, so that a big buffer is not kept alive for a small number.
    if (n < cap_) {
        if (n < cap_ / 2) return bignat_copy({p_, n});
        rts::shrink_byte_array(arr_, n * kLimbBytes);
    }
    VUX_NUM_ASSERT_CANONICAL(p_, n);
    rts::freeze_byte_array(arr_);
    return std::move(arr_);
}

Value big_result_array(size_t cap) { return rts::new_byte_array_uninit(limb_bytes(cap)); }

// ---------------------------------------------------------------------------------------------
// Arithmetic

static size_t copy(Limb* r, Limbs a) {
    if (a.n) std::memcpy(r, a.p, a.n * kLimbBytes);
    return a.n;
}

size_t add(Limb* r, Limbs a, Limbs b) {
    if (a.n < b.n) std::swap(a, b);
    if (b.n == 0) return copy(r, a);
    Limb carry = add_limbs(r, a, b);
    r[a.n] = carry;
    return a.n + (carry != 0);
}

size_t sub(Limb* r, Limbs a, Limbs b) {
    if (b.n == 0) return copy(r, a);
    [[maybe_unused]] Limb borrow = sub_limbs(r, a, b);
    assert(borrow == 0);
    return trim(r, a.n);
}

size_t mul(Limb* r, Limbs a, Limbs b) {
    if (a.n < b.n) std::swap(a, b);
    if (b.n == 0) return 0;
    if (a.p == b.p && a.n == b.n)
        mpn_sqr(r, a.p, static_cast<mp_size_t>(a.n));
    else
        mpn_mul(r, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n));
    size_t n = a.n + b.n;
    return n - (r[n - 1] == 0);
}

size_t sqr(Limb* r, Limbs a) {
    if (a.n == 0) return 0;
    mpn_sqr(r, a.p, static_cast<mp_size_t>(a.n));
    size_t n = 2 * a.n;
    return n - (r[n - 1] == 0);
}

std::pair<size_t, size_t> quot_rem(Limb* q, Limb* rem, Limbs a, Limbs b) {
    assert(b.n > 0);
    if (a.n < b.n) return {0, copy(rem, a)};
    if (b.n == 1) {
        rem[0] = mpn_divrem_1(q, 0, a.p, static_cast<mp_size_t>(a.n), b.p[0]);
        return {trim(q, a.n), rem[0] != 0};
    }
    mpn_tdiv_qr(q, rem, 0, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n));
    return {trim(q, a.n - b.n + 1), trim(rem, b.n)};
}

namespace {

// Working space for a division: on the stack when short, else a buffer's byte array.
class Scratch {
  public:
    explicit Scratch(size_t n) {
        if (n > kStack) heap_.emplace(n);
    }
    Limb* data() { return heap_ ? heap_->data() : stack_; }

  private:
    static constexpr size_t kStack = 256;
    Limb stack_[kStack];
    std::optional<LimbBuf> heap_;
};

}  // namespace

// GMP's division that computes the quotient alone, faster than a division with remainder
// (mpz_tdiv_q's own). It is exported by the library but not declared in gmp.h: q gets
// nn - dn + 1 limbs, the divisor's top limb is non-zero, nn >= dn, and the scratch space holds
// nn + 1 limbs.
extern "C" void __gmpn_div_q(mp_ptr q, mp_srcptr n, mp_size_t nn, mp_srcptr d, mp_size_t dn, mp_ptr scratch);

size_t quot(Limb* q, Limbs a, Limbs b) {
    assert(b.n > 0 && a.n >= b.n);
    if (b.n == 1) {
        mpn_divrem_1(q, 0, a.p, static_cast<mp_size_t>(a.n), b.p[0]);
        return trim(q, a.n);
    }
    Scratch scratch(a.n + 1);
    __gmpn_div_q(q, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n), scratch.data());
    return trim(q, a.n - b.n + 1);
}

size_t rem(Limb* r, Limbs a, Limbs b) {
    assert(b.n > 0);
    if (a.n < b.n) return copy(r, a);
    if (b.n == 1) {
        r[0] = mpn_mod_1(a.p, static_cast<mp_size_t>(a.n), b.p[0]);
        return r[0] != 0;
    }
    Scratch q(a.n - b.n + 1);
    mpn_tdiv_qr(q.data(), r, 0, a.p, static_cast<mp_size_t>(a.n), b.p, static_cast<mp_size_t>(b.n));
    return trim(r, b.n);
}

uint64_t bit_length(Limbs a) {
    if (a.n == 0) return 0;
    return 64 * (a.n - 1) + (64 - static_cast<uint64_t>(std::countl_zero(a.p[a.n - 1])));
}

bool test_bit(Limbs a, uint64_t i) {
    uint64_t li = i / 64;
    return li < a.n && ((a.p[li] >> (i % 64)) & 1) != 0;
}

uint64_t popcount(Limbs a) { return a.n ? mpn_popcount(a.p, static_cast<mp_size_t>(a.n)) : 0; }

uint64_t lowest_bit(Limbs a) {
    assert(a.n > 0);
    return mpn_scan1(a.p, 0);
}

size_t shift_left(Limb* r, Limbs a, uint64_t bits) {
    if (a.n == 0) return 0;
    size_t limbs = bits / 64;
    unsigned s = bits % 64;
    if (limbs) std::memset(r, 0, limbs * kLimbBytes);
    if (s == 0) return limbs + copy(r + limbs, a);
    Limb out = mpn_lshift(r + limbs, a.p, static_cast<mp_size_t>(a.n), s);
    r[limbs + a.n] = out;
    return limbs + a.n + (out != 0);
}

size_t shift_right(Limb* r, Limbs a, uint64_t bits) {
    uint64_t limbs = bits / 64;
    if (limbs >= a.n) return 0;
    unsigned s = bits % 64;
    size_t m = a.n - limbs;
    if (s == 0) return copy(r, {a.p + limbs, m});
    mpn_rshift(r, a.p + limbs, static_cast<mp_size_t>(m), s);
    return trim(r, m);
}

size_t gcd(Limb* r, Limbs a, Limbs b) {
    if (a.n == 0) return copy(r, b);
    if (b.n == 0) return copy(r, a);
    // mpn_gcd wants at least one odd operand and destroys both: divide out the powers of two
    // into copies, and put the common power back at the end.
    uint64_t ta = lowest_bit(a), tb = lowest_bit(b);
    LimbBuf x(a.n), y(b.n);
    size_t xn = shift_right(x.data(), a, ta), yn = shift_right(y.data(), b, tb);
    Limb* xp = x.data();
    Limb* yp = y.data();
    if (xn < yn) {
        std::swap(xp, yp);
        std::swap(xn, yn);
    }
    LimbBuf g(yn);
    size_t gn;
    if (yn == 1) {
        g.data()[0] = mpn_gcd_1(xp, static_cast<mp_size_t>(xn), yp[0]);
        gn = 1;
    } else {
        gn = static_cast<size_t>(
            mpn_gcd(g.data(), xp, static_cast<mp_size_t>(xn), yp, static_cast<mp_size_t>(yn)));
    }
    uint64_t common = ta < tb ? ta : tb;
    LimbBuf shifted(gn + common / 64 + 1);
    size_t n = shift_left(shifted.data(), {g.data(), gn}, common);
    return copy(r, {shifted.data(), n});
}

// ---------------------------------------------------------------------------------------------
// Logarithms

uint64_t log2(Limbs a) { return a.n ? bit_length(a) - 1 : 0; }

namespace {
using LimbVec = std::vector<Limb>;
Limbs lv(const LimbVec& v) { return {v.data(), v.size()}; }
LimbVec vec_mul(Limbs a, Limbs b) {
    LimbVec r(a.n + b.n);
    r.resize(mul(r.data(), a, b));
    return r;
}
// Whether a product of magnitudes of these sizes certainly exceeds a magnitude of `n` limbs.
bool product_exceeds(size_t an, size_t bn, size_t n) { return an + bn - 1 > n; }
}  // namespace

uint64_t log_base(Limbs base, Limbs a) {
    if (a.n == 0 || cmp(a, base) < 0) return 0;
    if (base.n == 1 && std::has_single_bit(base.p[0])) return log2(a) / log2(base);
    // base^(2^k) for k = 0, 1, ... while it does not exceed a; then the exponent's bits from the
    // top down, keeping each power whose product with what was kept does not exceed a.
    std::vector<LimbVec> powers;
    powers.emplace_back(base.p, base.p + base.n);
    for (;;) {
        const LimbVec& top = powers.back();
        if (product_exceeds(top.size(), top.size(), a.n)) break;
        LimbVec next = vec_mul(lv(top), lv(top));
        if (cmp(lv(next), a) > 0) break;
        powers.push_back(std::move(next));
    }
    uint64_t result = 0;
    LimbVec acc{1};
    for (size_t j = powers.size(); j-- > 0;) {
        if (product_exceeds(acc.size(), powers[j].size(), a.n)) continue;
        LimbVec t = vec_mul(lv(acc), lv(powers[j]));
        if (cmp(lv(t), a) <= 0) {
            acc = std::move(t);
            result += uint64_t(1) << j;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Floating point

namespace {

// The 64 bits from the top set bit down, and whether any bit below them is set.
struct TopBits {
    uint64_t top;
    bool sticky;
};
TopBits top_bits(Limbs a, uint64_t bits) {
    if (bits <= 64) return {a.p[0] << (64 - bits), false};
    uint64_t low = bits - 64;
    size_t li = low / 64;
    unsigned s = low % 64;
    uint64_t top = s == 0 ? a.p[li] : (a.p[li] >> s) | (a.p[li + 1] << (64 - s));
    bool sticky = s != 0 && (a.p[li] & ((uint64_t(1) << s) - 1)) != 0;
    for (size_t i = 0; i < li && !sticky; ++i) sticky = a.p[i] != 0;
    return {top, sticky};
}

// Rounds a * 2^exp to the format with `Mant` significant bits and exponents from MinExp to
// MaxExp (subnormals below MinExp), to nearest with ties to even.
template <class F, int Mant, int MinExp, int MaxExp>
F round_to(Limbs a, bool neg, int64_t exp) {
    if (a.n == 0) return F(0);
    constexpr int64_t kFar = int64_t(1) << 50;  // beyond any magnitude that fits in memory
    if (exp > kFar) return neg ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity();
    if (exp < -kFar) return neg ? -F(0) : F(0);
    uint64_t bits = bit_length(a);
    TopBits tb = top_bits(a, bits);
    // a * 2^exp = (top + fraction) * 2^e2, the fraction non-zero exactly when sticky is set;
    // the value lies in [2^E, 2^(E+1)).
    int64_t e2 = exp + static_cast<int64_t>(bits) - 64;
    int64_t E = e2 + 63;
    F sign = neg ? F(-1) : F(1);
    if (E > MaxExp) return sign * std::numeric_limits<F>::infinity();
    int64_t keep = E >= MinExp ? Mant : Mant - (MinExp - E);
    if (keep <= 0) {
        // Below half the smallest subnormal: zero. From half of it (exclusive; the exact half is
        // a tie that goes to the even zero) up: the smallest subnormal.
        bool above_half = keep == 0 && (tb.top != (uint64_t(1) << 63) || tb.sticky);
        return above_half ? sign * std::numeric_limits<F>::denorm_min() : sign * F(0);
    }
    uint64_t q = tb.top >> (64 - keep);
    uint64_t rest = tb.top & ((uint64_t(1) << (64 - keep)) - 1);
    uint64_t half = uint64_t(1) << (63 - keep);
    if (rest > half || (rest == half && (tb.sticky || (q & 1)))) ++q;
    // q has at most keep + 1 bits, so both the conversion and the scaling are exact (or overflow
    // to infinity, which is the rounded result then).
    return sign * std::ldexp(static_cast<F>(q), static_cast<int>(e2 + 64 - keep));
}

}  // namespace

double to_double(Limbs a, bool neg, int64_t exp) { return round_to<double, 53, -1022, 1023>(a, neg, exp); }
float to_float(Limbs a, bool neg, int64_t exp) { return round_to<float, 24, -126, 127>(a, neg, exp); }

// ---------------------------------------------------------------------------------------------
// Decimal text

void append_decimal(std::string& out, Limbs a) {
    if (a.n <= 1) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, low_word(a));
        out.append(buf, res.ptr);
        return;
    }
    // mpn_get_str clobbers its input: work on a copy. A limb holds at most 20 decimal digits.
    LimbVec tmp(a.p, a.p + a.n);
    tmp.push_back(0);
    size_t cap = add_size(limb_bytes(a.n) * 3, 2);  // > 20 digits per limb
    std::vector<unsigned char> digits(cap);
    size_t len = mpn_get_str(digits.data(), 10, tmp.data(), static_cast<mp_size_t>(a.n));
    size_t start = 0;
    while (start + 1 < len && digits[start] == 0) ++start;
    size_t at = out.size();
    out.resize(at + (len - start));
    for (size_t i = start; i < len; ++i) out[at + i - start] = static_cast<char>('0' + digits[i]);
}

std::string to_decimal(Limbs a) {
    std::string s;
    append_decimal(s, a);
    return s;
}

size_t from_decimal(Limb* r, std::string_view digits) {
    size_t start = 0;
    while (start < digits.size() && digits[start] == '0') ++start;
    digits.remove_prefix(start);
    if (digits.empty()) return 0;
    if (digits.size() <= 19) {
        Limb v = 0;
        for (char c : digits) v = v * 10 + static_cast<Limb>(c - '0');
        r[0] = v;
        return 1;
    }
    std::vector<unsigned char> raw(digits.size());
    for (size_t i = 0; i < digits.size(); ++i) raw[i] = static_cast<unsigned char>(digits[i] - '0');
    mp_size_t n = mpn_set_str(r, raw.data(), raw.size(), 10);
    return trim(r, static_cast<size_t>(n));
}

// ---------------------------------------------------------------------------------------------
// Bytes

size_t byte_size(Limbs a) { return static_cast<size_t>((bit_length(a) + 7) / 8); }

size_t write_bytes(Limbs a, uint8_t* out, bool big_endian) {
    size_t n = byte_size(a);
    for (size_t i = 0; i < n; ++i) {
        auto byte = static_cast<uint8_t>(a.p[i / 8] >> (8 * (i % 8)));
        out[big_endian ? n - 1 - i : i] = byte;
    }
    return n;
}

size_t read_bytes(Limb* r, const uint8_t* in, size_t n, bool big_endian) {
    size_t limbs = n / 8 + 1;
    std::memset(r, 0, limbs * kLimbBytes);
    for (size_t i = 0; i < n; ++i) {
        uint8_t byte = in[big_endian ? n - 1 - i : i];
        r[i / 8] |= static_cast<Limb>(byte) << (8 * (i % 8));
    }
    return trim(r, limbs);
}

}  // namespace VUX::Num::detail

namespace VUX::Num::detail {

// ---------------------------------------------------------------------------------------------
// Bitwise operations

size_t bit_and(Limb* r, Limbs a, Limbs b) {
    size_t m = a.n < b.n ? a.n : b.n;
    if (m == 0) return 0;
    mpn_and_n(r, a.p, b.p, static_cast<mp_size_t>(m));
    return trim(r, m);
}

size_t bit_or(Limb* r, Limbs a, Limbs b) {
    if (a.n < b.n) std::swap(a, b);
    if (b.n == 0) return copy(r, a);
    mpn_ior_n(r, a.p, b.p, static_cast<mp_size_t>(b.n));
    copy(r + b.n, {a.p + b.n, a.n - b.n});
    return a.n;
}

size_t bit_xor(Limb* r, Limbs a, Limbs b) {
    if (a.n < b.n) std::swap(a, b);
    if (b.n == 0) return copy(r, a);
    mpn_xor_n(r, a.p, b.p, static_cast<mp_size_t>(b.n));
    copy(r + b.n, {a.p + b.n, a.n - b.n});
    return trim(r, a.n);
}

size_t bit_and_not(Limb* r, Limbs a, Limbs b) {
    size_t m = a.n < b.n ? a.n : b.n;
    if (m == 0) return copy(r, a);
    mpn_andn_n(r, a.p, b.p, static_cast<mp_size_t>(m));
    copy(r + m, {a.p + m, a.n - m});
    return trim(r, a.n);
}

// ---------------------------------------------------------------------------------------------
// Modular power: square and multiply over the exponent's bits from the top, reducing each
// product modulo m.

namespace {
LimbVec vec_mod(Limbs a, Limbs m) {
    if (cmp(a, m) < 0) return LimbVec(a.p, a.p + a.n);
    LimbVec q(a.n), r(m.n);
    r.resize(quot_rem(q.data(), r.data(), a, m).second);
    return r;
}
}  // namespace

LimbVec pow_mod(Limbs b, Limbs e, Limbs m) {
    assert(m.n > 0);
    LimbVec one{1};
    LimbVec result = vec_mod(lv(one), m);
    LimbVec base = vec_mod(b, m);
    for (uint64_t i = bit_length(e); i-- > 0;) {
        result = vec_mod(lv(vec_mul(lv(result), lv(result))), m);
        if (test_bit(e, i)) result = vec_mod(lv(vec_mul(lv(result), lv(base))), m);
    }
    return result;
}

}  // namespace VUX::Num::detail
