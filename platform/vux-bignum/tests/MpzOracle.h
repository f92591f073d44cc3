// GMP's mpz layer as the reference for differential tests, and conversions between our values
// and mpz_t.
#pragma once

#include <gmp.h>

#include <cstring>
#include <string>

#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "rts/rts.h"

namespace bignum_test {

using rts::Value;

struct Mpz {
    mpz_t z;
    Mpz() { mpz_init(z); }
    explicit Mpz(const char* decimal) { mpz_init_set_str(z, decimal, 10); }
    explicit Mpz(long v) { mpz_init_set_si(z, v); }
    Mpz(const Mpz& o) { mpz_init_set(z, o.z); }
    Mpz& operator=(const Mpz&) = delete;
    ~Mpz() { mpz_clear(z); }
    operator mpz_ptr() { return z; }
    // mpz_sgn and friends are macros that dereference their argument.
    __mpz_struct* operator->() { return z; }
    const __mpz_struct* operator->() const { return z; }
    operator mpz_srcptr() const { return z; }
    std::string str() const {
        char* s = mpz_get_str(nullptr, 10, z);
        std::string r(s);
        void (*freefn)(void*, size_t);
        mp_get_memory_functions(nullptr, nullptr, &freefn);
        freefn(s, std::strlen(s) + 1);
        return r;
    }
};

// A magnitude byte array holding |z|.
inline Value bignat_of(mpz_srcptr z) {
    size_t n = mpz_size(z);
    Value words = rts::byte_array_from(mpz_limbs_read(z), n * sizeof(mp_limb_t));
    return VUX::Num::BigNat::bigNatFromWordArray_hash(words, n);
}

// A big Integer holds its magnitude as a byte array, or inline as arithmetic results do.
enum class Form { Bytes, Inline };

inline Value integer_of(mpz_srcptr z, Form form) {
    namespace I = VUX::Num::Integer;
    if (form == Form::Bytes) return I::integerFromBigNatSign_hash(mpz_sgn(z) < 0, bignat_of(z));
    Value mag = I::integerFromAddr_hash(mpz_size(z) * sizeof(mp_limb_t), mpz_limbs_read(z), 0);
    return mpz_sgn(z) < 0 ? I::integerNegate(mag) : mag;
}

// Either form, by the parity of the bit count, so that every test meets both.
inline Value integer_of(mpz_srcptr z) {
    return integer_of(z, mpz_sizeinbase(z, 2) % 2 ? Form::Inline : Form::Bytes);
}

inline Value natural_of(mpz_srcptr z) { return VUX::Num::Natural::naturalFromBigNat_hash(bignat_of(z)); }

// Reads a magnitude byte array into z (non-negative).
inline void set_from_bignat(mpz_ptr z, const Value& b) {
    size_t n = rts::bytes_length(b) / 8;
    mpz_import(z, n, -1, 8, 0, 0, rts::bytes_data(b));
}

// The limbs of a big Integer's magnitude in either of its forms: a byte array, or inline in the
// constructor's words after their count (words beyond the count must be zero).
struct Magnitude {
    const uint64_t* p;
    size_t n;
    bool well_formed;
};
inline Magnitude magnitude_of(const Value& i) {
    if (i->nptrs == 1) {
        const Value& b = rts::field(i, 0);
        size_t len = rts::bytes_length(b);
        return {reinterpret_cast<const uint64_t*>(rts::bytes_data(b)), len / 8, len % 8 == 0};
    }
    const auto* words = reinterpret_cast<const uint64_t*>(rts::con_slots(i.get()));
    size_t n = i->nwords > 0 ? words[0] : 0;
    bool ok = i->nptrs == 0 && i->nwords > 0 && n < i->nwords;
    for (size_t k = n + 1; ok && k < i->nwords; ++k) ok = words[k] == 0;
    return {words + 1, ok ? n : 0, ok};
}

inline Mpz mpz_of_integer(const Value& v) {
    Mpz r;
    const Value& i = rts::force(v);
    if (i->tag == VUX::Num::Integer::IS_tag) {
        mpz_set_si(r, rts::int_word(i, 0));
    } else {
        Magnitude m = magnitude_of(i);
        mpz_import(r, m.n, -1, 8, 0, 0, m.p);
        if (i->tag == VUX::Num::Integer::IN_tag) mpz_neg(r, r);
    }
    return r;
}

inline Mpz mpz_of_natural(const Value& v) {
    Mpz r;
    const Value& n = rts::force(v);
    if (n->tag == VUX::Num::Natural::NS_tag)
        mpz_set_ui(r, rts::word(n, 0));
    else
        set_from_bignat(r, rts::field(n, 0));
    return r;
}

// Canonical form checked independently of the library: the constructor matches the range and
// the magnitude has no zero top limb.
inline bool magnitude_canonical(const Magnitude& m, size_t min_limbs) {
    return m.well_formed && m.n >= min_limbs && (m.n == 0 || m.p[m.n - 1] != 0);
}
inline bool magnitude_canonical(const Value& b, size_t min_limbs) {
    size_t len = rts::bytes_length(b);
    return magnitude_canonical({reinterpret_cast<const uint64_t*>(rts::bytes_data(b)), len / 8, len % 8 == 0},
                               min_limbs);
}

inline bool integer_canonical(const Value& v) {
    const Value& i = rts::force(v);
    if (i->tag == VUX::Num::Integer::IS_tag) return true;
    Magnitude mag = magnitude_of(i);
    if (!magnitude_canonical(mag, 1)) return false;
    Mpz m;
    mpz_import(m, mag.n, -1, 8, 0, 0, mag.p);
    Mpz limit;
    mpz_setbit(limit, 63);  // |minBound|
    int c = mpz_cmp(m, limit);
    return i->tag == VUX::Num::Integer::IP_tag ? c >= 0 : c > 0;
}

inline bool natural_canonical(const Value& v) {
    const Value& n = rts::force(v);
    if (n->tag == VUX::Num::Natural::NS_tag) return true;
    return magnitude_canonical(rts::field(n, 0), 2);
}

// Random operands: mostly up to 5000 bits, with small values and values around the machine
// boundaries mixed in, and both signs.
class RandomOperands {
  public:
    explicit RandomOperands(unsigned long seed) {
        gmp_randinit_default(state_);
        gmp_randseed_ui(state_, seed);
    }
    ~RandomOperands() { gmp_randclear(state_); }
    unsigned long below(unsigned long n) { return gmp_urandomm_ui(state_, n); }

    Mpz next(unsigned long max_bits = 5000) {
        Mpz r;
        switch (below(6)) {
            case 0: mpz_urandomb(r, state_, below(65)); break;
            case 1: {  // around 2^63 and 2^64
                mpz_setbit(r, below(2) ? 63 : 64);
                Mpz d(static_cast<long>(below(5)) - 2);
                mpz_add(r, r, d);
                break;
            }
            case 2: mpz_rrandomb(r, state_, below(max_bits + 1)); break;
            default: mpz_urandomb(r, state_, below(max_bits + 1)); break;
        }
        if (below(2)) mpz_neg(r, r);
        return r;
    }

  private:
    gmp_randstate_t state_;
};

}  // namespace bignum_test
