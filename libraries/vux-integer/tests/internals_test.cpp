// The legacy big-integer interface: every operation against the same computation through GMP's
// mpz layer on random operands, the argument orders, the pattern synonyms, the failure answers of
// the modular operations, the raising operations and the bounds of the limb readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "MpzOracle.h"
#include "Testing.h"
#include "VUX/Integer/GMP/Internals.h"
#include "VUX/Internal/IO.h"
#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "rts/Profiling.h"

namespace {

using namespace VUX::Integer::GMP::Internals;
using bignum_test::Mpz;
namespace I = VUX::Num::Integer;
namespace T = VUX::Types;
using VUX::Internal::IO::runIO;

// ---------------------------------------------------------------------------------------------
// Conversions between mpz and the values of the interface

Value bigNatOf(mpz_srcptr z) { return BN_hash(bignum_test::bignat_of(z)); }
Value bigNatOfWord(unsigned long v) {
    Mpz z;
    mpz_set_ui(z, v);
    return bigNatOf(z);
}
Value bigNatOfDecimal(const char* decimal) { return bigNatOf(Mpz(decimal)); }

// Decimal text of a result; a BigNat that is not canonical is reported as such.
std::string textOfBigNat(const Value& bigNat) {
    const Value& limbs = unBigNat(bigNat);
    if (!bignum_test::magnitude_canonical(limbs, 0)) return "non-canonical BigNat";
    Mpz z;
    bignum_test::set_from_bignat(z, limbs);
    return z.str();
}
std::string textOfInteger(const Value& i) {
    if (!bignum_test::integer_canonical(i)) return "non-canonical Integer";
    return bignum_test::mpz_of_integer(i).str();
}
std::string textOfBool(const Value& b) { return T::isTrue(rts::force(b)) ? "True" : "False"; }
std::string textOfOrdering(const Value& o) {
    static const char* const names[] = {"LT", "EQ", "GT"};
    return names[rts::force(o)->tag];
}
std::string textOfOrdering(int c) { return c < 0 ? "LT" : c == 0 ? "EQ" : "GT"; }
std::string bits(bool b) { return b ? "True" : "False"; }

// The text a computation gives, or that of the exception it raises.
std::string attempt(const std::function<std::string()>& f) {
    try {
        return f();
    } catch (const rts::Exception& e) {
        return "raised " + rts::display(e);
    }
}

// The number of digits of |z| in a base, exactly (mpz_sizeinbase may answer one more).
uint64_t digits(mpz_srcptr z, int base) {
    if (mpz_sgn(z) == 0) return 0;
    Mpz a;
    mpz_abs(a, z);
    uint64_t n = mpz_sizeinbase(a, base);
    Mpz power;
    mpz_ui_pow_ui(power, static_cast<unsigned long>(base), n - 1);
    return mpz_cmp(a, power) < 0 ? n - 1 : n;
}

// The bytes of |z|, least (big_endian false) or most significant first, without zero padding.
std::vector<uint8_t> bytesOf(mpz_srcptr z, bool big_endian) {
    size_t count = (mpz_sizeinbase(z, 2) + 7) / 8;
    std::vector<uint8_t> out(mpz_sgn(z) == 0 ? 0 : count);
    if (!out.empty()) mpz_export(out.data(), &count, big_endian ? 1 : -1, 1, 0, 0, z);
    return out;
}
std::string hexOf(const std::vector<uint8_t>& bytes) {
    std::string s;
    for (uint8_t b : bytes) {
        static const char* const hex = "0123456789abcdef";
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// The differential table

// One set of random operands: two naturals, two integers, a word, a bit index and a base.
struct Operands {
    Mpz a, b, x, y;
    uint64_t w = 0;
    int64_t bit = 0;
    int base = 2;
    Value A, B, X, Y;
    // b, or 1 in its place when it is zero (divisors).
    Mpz bNonZero;
    Value BNonZero;
    uint64_t wNonZero = 1;

    std::string describe() const {
        return "a=" + a.str() + " b=" + b.str() + " x=" + x.str() + " y=" + y.str() +
               " w=" + std::to_string(w) + " bit=" + std::to_string(bit) + " base=" + std::to_string(base);
    }
};

Operands randomOperands(bignum_test::RandomOperands& random) {
    Operands o;
    mpz_abs(o.a, random.next());
    mpz_abs(o.b, random.next());
    mpz_set(o.x, random.next());
    mpz_set(o.y, random.next());
    switch (random.below(4)) {
        case 0: o.w = random.below(3); break;
        case 1: o.w = ~uint64_t(0) - random.below(2); break;
        default: o.w = (uint64_t(random.below(1ul << 32)) << 32) | random.below(1ul << 32); break;
    }
    o.bit = static_cast<int64_t>(random.below(5100));
    o.base = 2 + static_cast<int>(random.below(61));
    o.A = bigNatOf(o.a);
    o.B = bigNatOf(o.b);
    o.X = bignum_test::integer_of(o.x);
    o.Y = bignum_test::integer_of(o.y);
    mpz_set(o.bNonZero, o.b);
    if (mpz_sgn(o.b) == 0) mpz_set_ui(o.bNonZero, 1);
    o.BNonZero = bigNatOf(o.bNonZero);
    o.wNonZero = o.w == 0 ? 1 : o.w;
    return o;
}

// What the interface answered, and what GMP computes for it.
struct Outcome {
    std::string ours, reference;
};
struct Case {
    const char* name;
    std::function<Outcome(const Operands&)> run;
};

Mpz ui(uint64_t v) {
    Mpz z;
    mpz_set_ui(z, v);
    return z;
}
Mpz absOf(mpz_srcptr z) {
    Mpz r;
    mpz_abs(r, z);
    return r;
}
uint64_t lowWord(mpz_srcptr z) { return mpz_size(z) ? mpz_getlimbn(z, 0) : 0; }

// b^e mod |m| as the interface defines it: 0 without a modulus or without an inverse for e < 0.
std::string powModReference(mpz_srcptr b, mpz_srcptr e, mpz_srcptr m) {
    Mpz modulus = absOf(m), r;
    if (mpz_sgn(modulus) == 0) return "0";
    if (mpz_sgn(e) < 0) {
        Mpz inverse;
        if (mpz_cmp_ui(modulus, 1) == 0) return "0";
        if (!mpz_invert(inverse, b, modulus)) return "0";
    }
    mpz_powm(r, b, e, modulus);
    return r.str();
}
std::string recipModReference(mpz_srcptr x, mpz_srcptr m) {
    Mpz modulus = absOf(m), r;
    if (mpz_cmp_ui(modulus, 1) <= 0 || !mpz_invert(r, x, modulus)) return "0";
    return r.str();
}

// Runs an import from memory; the bytes of |z| in the flag's order.
template <class Import>
std::string importedFrom(mpz_srcptr z, int64_t flag, Import&& import) {
    std::vector<uint8_t> bytes = bytesOf(z, flag != 0);
    bytes.push_back(0xAB);  // a byte past the count, which must not be read
    return import(bytes, flag);
}

// Runs an export into a buffer and answers its count and the bytes written.
template <class Export>
std::string exportedTo(Export&& doExport) {
    std::vector<uint8_t> buffer(700, 0xEE);
    uint64_t count = doExport(buffer);
    if (count >= buffer.size() || buffer[count] != 0xEE) return "wrote past its count";
    return std::to_string(count) + ":" + hexOf(std::vector<uint8_t>(buffer.begin(), buffer.begin() + count));
}
std::string expectedExport(mpz_srcptr z, bool big_endian) {
    std::vector<uint8_t> bytes = bytesOf(z, big_endian);
    return std::to_string(bytes.size()) + ":" + hexOf(bytes);
}

Value byteArrayOf(const std::vector<uint8_t>& bytes, size_t offset) {
    std::vector<uint8_t> padded(offset, 0x5A);
    padded.insert(padded.end(), bytes.begin(), bytes.end());
    return rts::byte_array_from(padded.data(), padded.size());
}

std::vector<Case> differentialCases() {
    using O = const Operands&;
    auto bn = [](const Value& v) { return textOfBigNat(v); };
    auto in = [](const Value& v) { return textOfInteger(v); };
    auto op2 = [](void (*f)(mpz_ptr, mpz_srcptr, mpz_srcptr), mpz_srcptr p, mpz_srcptr q) {
        Mpz r;
        f(r, p, q);
        return r.str();
    };
    return {
        // Integers
        {"isValidInteger#",
         [](O o) {
             return Outcome{std::to_string(isValidInteger_hash(o.X)), "1"};
         }},
        {"gcdInteger",
         [=](O o) {
             return Outcome{in(gcdInteger(o.X, o.Y)), op2(mpz_gcd, o.x, o.y)};
         }},
        {"lcmInteger",
         [=](O o) {
             return Outcome{in(lcmInteger(o.X, o.Y)), op2(mpz_lcm, o.x, o.y)};
         }},
        {"sqrInteger",
         [=](O o) {
             return Outcome{in(sqrInteger(o.X)), op2(mpz_mul, o.x, o.x)};
         }},
        {"gcdExtInteger",
         [=](O o) {
             auto [g, s] = gcdExtInteger(o.X, o.Y);
             // The gcd, and a cofactor s of x for which g - s x is a multiple of y.
             Mpz rest = bignum_test::mpz_of_integer(g), sx;
             mpz_mul(sx, bignum_test::mpz_of_integer(s), o.x);
             mpz_sub(rest, rest, sx);
             bool cofactor = mpz_sgn(o.y) == 0 ? mpz_sgn(rest) == 0 : mpz_divisible_p(rest, o.y) != 0;
             return Outcome{in(g) + (cofactor ? "" : " with a wrong cofactor"), op2(mpz_gcd, o.x, o.y)};
         }},
        {"wordToNegInteger",
         [=](O o) {
             Mpz r = ui(o.w);
             mpz_neg(r, r);
             return Outcome{in(wordToNegInteger(o.w)), r.str()};
         }},
        {"bigNatToInteger",
         [=](O o) {
             return Outcome{in(bigNatToInteger(o.A)), o.a.str()};
         }},
        {"bigNatToNegInteger",
         [=](O o) {
             Mpz r;
             mpz_neg(r, o.a);
             return Outcome{in(bigNatToNegInteger(o.A)), r.str()};
         }},
        {"sizeInBaseInteger",
         [](O o) {
             return Outcome{std::to_string(sizeInBaseInteger(o.X, o.base)),
                            std::to_string(digits(o.x, o.base))};
         }},
        {"powModInteger",
         [=](O o) {
             // The exponent kept to a few hundred bits so the table stays fast; sign as drawn.
             Mpz e;
             mpz_tdiv_q_2exp(e, o.y, mpz_sizeinbase(o.y, 2) > 300 ? mpz_sizeinbase(o.y, 2) - 300 : 0);
             Value E = bignum_test::integer_of(e);
             return Outcome{in(powModInteger(o.X, E, o.Y)), powModReference(o.x, e, o.y)};
         }},
        {"recipModInteger",
         [=](O o) {
             return Outcome{in(recipModInteger(o.X, o.Y)), recipModReference(o.x, o.y)};
         }},
        {"importIntegerFromAddr",
         [=](O o) {
             return Outcome{importedFrom(o.x, o.bit & 1,
                                         [&](const std::vector<uint8_t>& bytes, int64_t flag) {
                                             return in(runIO(importIntegerFromAddr(bytes.data(),
                                                                                   bytes.size() - 1, flag)));
                                         }),
                            absOf(o.x).str()};
         }},
        {"exportIntegerToAddr",
         [](O o) {
             int64_t flag = o.bit & 1;
             return Outcome{
                 exportedTo([&](std::vector<uint8_t>& buf) {
                     return T::wordOf(rts::force(runIO(exportIntegerToAddr(o.X, buf.data(), flag))));
                 }),
                 expectedExport(absOf(o.x), flag != 0)};
         }},
        {"exportIntegerToMutableByteArray",
         [](O o) {
             int64_t flag = o.bit & 1;
             Value array = rts::new_byte_array(1000);
             uint64_t count =
                 T::wordOf(rts::force(runIO(exportIntegerToMutableByteArray(o.X, array, 3, flag))));
             std::vector<uint8_t> written(rts::bytes_data(array) + 3, rts::bytes_data(array) + 3 + count);
             return Outcome{std::to_string(count) + ":" + hexOf(written),
                            expectedExport(absOf(o.x), flag != 0)};
         }},
        {"importIntegerFromByteArray",
         [=](O o) {
             int64_t flag = o.bit & 1;
             std::vector<uint8_t> bytes = bytesOf(o.x, flag != 0);
             Value array = byteArrayOf(bytes, 5);
             return Outcome{in(importIntegerFromByteArray(array, 5, bytes.size(), flag)), absOf(o.x).str()};
         }},

        // Natural numbers
        {"isValidBigNat#",
         [](O o) {
             return Outcome{std::to_string(isValidBigNat_hash(o.A)), "1"};
         }},
        {"plusBigNat",
         [=](O o) {
             return Outcome{bn(plusBigNat(o.A, o.B)), op2(mpz_add, o.a, o.b)};
         }},
        {"plusBigNatWord",
         [=](O o) {
             return Outcome{bn(plusBigNatWord(o.A, o.w)), op2(mpz_add, o.a, ui(o.w))};
         }},
        {"minusBigNat",
         [=](O o) {
             // The larger minus the smaller (underflow has a test of its own).
             bool ordered = mpz_cmp(o.a, o.b) >= 0;
             const Value& big = ordered ? o.A : o.B;
             const Value& small = ordered ? o.B : o.A;
             Mpz r;
             mpz_sub(r, ordered ? o.a : o.b, ordered ? o.b : o.a);
             return Outcome{bn(minusBigNat(big, small)), r.str()};
         }},
        {"minusBigNatWord",
         [=](O o) {
             uint64_t w = mpz_cmp(o.a, ui(o.w)) >= 0 ? o.w : lowWord(o.a);
             return Outcome{bn(minusBigNatWord(o.A, w)), op2(mpz_sub, o.a, ui(w))};
         }},
        {"timesBigNat",
         [=](O o) {
             return Outcome{bn(timesBigNat(o.A, o.B)), op2(mpz_mul, o.a, o.b)};
         }},
        {"timesBigNatWord",
         [=](O o) {
             return Outcome{bn(timesBigNatWord(o.A, o.w)), op2(mpz_mul, o.a, ui(o.w))};
         }},
        {"sqrBigNat",
         [=](O o) {
             return Outcome{bn(sqrBigNat(o.A)), op2(mpz_mul, o.a, o.a)};
         }},
        {"quotRemBigNat",
         [=](O o) {
             auto [q, r] = quotRemBigNat(o.A, o.BNonZero);
             return Outcome{bn(q) + " " + bn(r),
                            op2(mpz_tdiv_q, o.a, o.bNonZero) + " " + op2(mpz_tdiv_r, o.a, o.bNonZero)};
         }},
        {"quotRemBigNatWord",
         [=](O o) {
             auto [q, r] = quotRemBigNatWord(o.A, o.wNonZero);
             Mpz w = ui(o.wNonZero);
             return Outcome{bn(q) + " " + std::to_string(r),
                            op2(mpz_tdiv_q, o.a, w) + " " + op2(mpz_tdiv_r, o.a, w)};
         }},
        {"quotBigNat",
         [=](O o) {
             return Outcome{bn(quotBigNat(o.A, o.BNonZero)), op2(mpz_tdiv_q, o.a, o.bNonZero)};
         }},
        {"quotBigNatWord",
         [=](O o) {
             return Outcome{bn(quotBigNatWord(o.A, o.wNonZero)), op2(mpz_tdiv_q, o.a, ui(o.wNonZero))};
         }},
        {"remBigNat",
         [=](O o) {
             return Outcome{bn(remBigNat(o.A, o.BNonZero)), op2(mpz_tdiv_r, o.a, o.bNonZero)};
         }},
        {"remBigNatWord",
         [=](O o) {
             return Outcome{std::to_string(remBigNatWord(o.A, o.wNonZero)),
                            op2(mpz_tdiv_r, o.a, ui(o.wNonZero))};
         }},
        {"gcdBigNat",
         [=](O o) {
             return Outcome{bn(gcdBigNat(o.A, o.B)), op2(mpz_gcd, o.a, o.b)};
         }},
        {"gcdBigNatWord",
         [=](O o) {
             // gcd(a, 0) is a itself, which a word result cannot hold beyond one limb.
             if (o.w == 0 && mpz_size(o.a) > 1)
                 return Outcome{attempt([&] { return std::to_string(gcdBigNatWord(o.A, o.w)); }),
                                "raised arithmetic overflow"};
             return Outcome{std::to_string(gcdBigNatWord(o.A, o.w)), op2(mpz_gcd, o.a, ui(o.w))};
         }},
        {"shiftRBigNat",
         [=](O o) {
             Mpz r;
             mpz_tdiv_q_2exp(r, o.a, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(shiftRBigNat(o.A, o.bit)), r.str()};
         }},
        {"shiftLBigNat",
         [=](O o) {
             Mpz r;
             mpz_mul_2exp(r, o.a, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(shiftLBigNat(o.A, o.bit)), r.str()};
         }},
        {"clearBitBigNat",
         [=](O o) {
             Mpz r(o.a);
             mpz_clrbit(r, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(clearBitBigNat(o.A, o.bit)), r.str()};
         }},
        {"complementBitBigNat",
         [=](O o) {
             Mpz r(o.a);
             mpz_combit(r, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(complementBitBigNat(o.A, o.bit)), r.str()};
         }},
        {"setBitBigNat",
         [=](O o) {
             Mpz r(o.a);
             mpz_setbit(r, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(setBitBigNat(o.A, o.bit)), r.str()};
         }},
        {"andBigNat",
         [=](O o) {
             return Outcome{bn(andBigNat(o.A, o.B)), op2(mpz_and, o.a, o.b)};
         }},
        {"orBigNat",
         [=](O o) {
             return Outcome{bn(orBigNat(o.A, o.B)), op2(mpz_ior, o.a, o.b)};
         }},
        {"xorBigNat",
         [=](O o) {
             return Outcome{bn(xorBigNat(o.A, o.B)), op2(mpz_xor, o.a, o.b)};
         }},
        {"bitBigNat",
         [=](O o) {
             Mpz r;
             mpz_setbit(r, static_cast<mp_bitcnt_t>(o.bit));
             return Outcome{bn(bitBigNat(o.bit)), r.str()};
         }},
        {"testBitBigNat",
         [](O o) {
             return Outcome{textOfBool(testBitBigNat(o.A, o.bit)),
                            bits(mpz_tstbit(o.a, static_cast<mp_bitcnt_t>(o.bit)))};
         }},
        {"popCountBigNat",
         [](O o) {
             return Outcome{std::to_string(popCountBigNat(o.A)), std::to_string(mpz_popcount(o.a))};
         }},
        {"sizeofBigNat#",
         [](O o) {
             return Outcome{std::to_string(sizeofBigNat_hash(o.A)), std::to_string(mpz_size(o.a))};
         }},
        {"indexBigNat#",
         [](O o) {
             if (mpz_size(o.a) == 0) return Outcome{"no limbs", "no limbs"};
             auto i = static_cast<GmpSize_hash>(static_cast<uint64_t>(o.bit) % mpz_size(o.a));
             return Outcome{std::to_string(indexBigNat_hash(o.A, i)), std::to_string(mpz_getlimbn(o.a, i))};
         }},
        {"isZeroBigNat",
         [](O o) {
             return Outcome{textOfBool(isZeroBigNat(o.A)), bits(mpz_sgn(o.a) == 0)};
         }},
        {"compareBigNat",
         [](O o) {
             return Outcome{textOfOrdering(compareBigNat(o.A, o.B)), textOfOrdering(mpz_cmp(o.a, o.b))};
         }},
        {"compareBigNatWord",
         [](O o) {
             return Outcome{textOfOrdering(compareBigNatWord(o.A, o.w)),
                            textOfOrdering(mpz_cmp(o.a, ui(o.w)))};
         }},
        {"eqBigNatWord#",
         [](O o) {
             return Outcome{std::to_string(eqBigNatWord_hash(o.A, o.w)),
                            std::to_string(mpz_cmp(o.a, ui(o.w)) == 0)};
         }},
        {"eqBigNatWord",
         [](O o) {
             return Outcome{textOfBool(eqBigNatWord(o.A, o.w)), bits(mpz_cmp(o.a, ui(o.w)) == 0)};
         }},
        {"eqBigNat#",
         [](O o) {
             return Outcome{std::to_string(eqBigNat_hash(o.A, o.B)), std::to_string(mpz_cmp(o.a, o.b) == 0)};
         }},
        {"eqBigNat",
         [](O o) {
             return Outcome{textOfBool(eqBigNat(o.A, o.B)), bits(mpz_cmp(o.a, o.b) == 0)};
         }},
        {"gtBigNatWord#",
         [](O o) {
             return Outcome{std::to_string(gtBigNatWord_hash(o.A, o.w)),
                            std::to_string(mpz_cmp(o.a, ui(o.w)) > 0)};
         }},
        {"wordToBigNat",
         [=](O o) {
             return Outcome{bn(wordToBigNat(o.w)), ui(o.w).str()};
         }},
        {"wordToBigNat2",
         [=](O o) {
             uint64_t lo = lowWord(o.a);
             Mpz r = ui(o.w);
             mpz_mul_2exp(r, r, 64);
             mpz_add(r, r, ui(lo));
             return Outcome{bn(wordToBigNat2(o.w, lo)), r.str()};
         }},
        {"bigNatToInt",
         [](O o) {
             return Outcome{std::to_string(bigNatToInt(o.A)),
                            std::to_string(static_cast<int64_t>(lowWord(o.a)))};
         }},
        {"bigNatToWord",
         [](O o) {
             return Outcome{std::to_string(bigNatToWord(o.A)), std::to_string(lowWord(o.a))};
         }},
        {"byteArrayToBigNat#",
         [=](O o) {
             // The limbs of a with two zero limbs after them, read with and without those.
             std::vector<uint64_t> words(mpz_size(o.a) + 2, 0);
             for (size_t i = 0; i < mpz_size(o.a); ++i) words[i] = mpz_getlimbn(o.a, i);
             Value array = rts::byte_array_from(words.data(), words.size() * 8);
             auto n = static_cast<GmpSize_hash>(words.size());
             return Outcome{
                 bn(byteArrayToBigNat_hash(array, n)) + " " + bn(byteArrayToBigNat_hash(array, n - 2)),
                 o.a.str() + " " + o.a.str()};
         }},
        {"sizeInBaseBigNat",
         [](O o) {
             return Outcome{std::to_string(sizeInBaseBigNat(o.A, o.base)),
                            std::to_string(digits(o.a, o.base))};
         }},
        {"sizeInBaseWord#",
         [](O o) {
             return Outcome{std::to_string(sizeInBaseWord_hash(o.w, o.base)),
                            std::to_string(digits(ui(o.w), o.base))};
         }},
        {"importBigNatFromAddr",
         [=](O o) {
             return Outcome{importedFrom(o.a, o.bit & 1,
                                         [&](const std::vector<uint8_t>& bytes, int64_t flag) {
                                             return bn(runIO(
                                                 importBigNatFromAddr(bytes.data(), bytes.size() - 1, flag)));
                                         }),
                            o.a.str()};
         }},
        {"exportBigNatToAddr",
         [](O o) {
             int64_t flag = o.bit & 1;
             return Outcome{
                 exportedTo([&](std::vector<uint8_t>& buf) {
                     return T::wordOf(rts::force(runIO(exportBigNatToAddr(o.A, buf.data(), flag))));
                 }),
                 expectedExport(o.a, flag != 0)};
         }},
        {"importBigNatFromByteArray",
         [=](O o) {
             int64_t flag = o.bit & 1;
             std::vector<uint8_t> bytes = bytesOf(o.a, flag != 0);
             Value array = byteArrayOf(bytes, 9);
             return Outcome{bn(importBigNatFromByteArray(array, 9, bytes.size(), flag)), o.a.str()};
         }},
        {"exportBigNatToMutableByteArray",
         [](O o) {
             int64_t flag = o.bit & 1;
             Value array = rts::new_byte_array(1000);
             uint64_t count =
                 T::wordOf(rts::force(runIO(exportBigNatToMutableByteArray(o.A, array, 7, flag))));
             std::vector<uint8_t> written(rts::bytes_data(array) + 7, rts::bytes_data(array) + 7 + count);
             return Outcome{std::to_string(count) + ":" + hexOf(written), expectedExport(o.a, flag != 0)};
         }},
    };
}

TEST(Differential, EveryOperationAgreesWithGmpOnRandomOperands) {
    bignum_test::RandomOperands random(20261210);
    std::vector<Case> cases = differentialCases();
    for (int round = 0; round < 300; ++round) {
        Operands o = randomOperands(random);
        for (const Case& c : cases) {
            Outcome r = c.run(o);
            ASSERT_EQ(r.ours, r.reference) << c.name << " with " << o.describe();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Pattern synonyms

// Which synonym matches an Integer, and what it carries.
std::string matched(const Value& integer) {
    return matchS_hash(
        integer, [](int64_t i) { return "S# " + std::to_string(i); },
        [&] {
            return matchJp_hash(
                integer, [](const Value& bn) { return "Jp# " + textOfBigNat(bn); },
                [&] {
                    return matchJn_hash(
                        integer, [](const Value& bn) { return "Jn# " + textOfBigNat(bn); },
                        [] { return std::string("no match"); });
                });
        });
}

TEST(PatternSynonyms, EachMatchesExactlyItsConstructor) {
    const struct {
        Value integer;
        const char* expected;
    } cases[] = {
        {I::IS(-7), "S# -7"},
        {I::IS(INT64_MIN), "S# -9223372036854775808"},
        {bignum_test::integer_of(Mpz("9223372036854775808")), "Jp# 9223372036854775808"},
        {bignum_test::integer_of(Mpz("-18446744073709551617")), "Jn# 18446744073709551617"},
        {rts::delay([] { return I::IS(3); }), "S# 3"},  // the matcher forces the Integer
    };
    for (const auto& c : cases) EXPECT_EQ(matched(c.integer), c.expected);
}

TEST(PatternSynonyms, BuildersWrapWithoutNormalising) {
    Value five = Jp_hash(bigNatOfWord(5));
    EXPECT_EQ(rts::force(five)->tag, I::IP_tag) << "a small magnitude stays IP";
    EXPECT_EQ(matched(five), "Jp# 5");
    EXPECT_EQ(rts::force(Jn_hash(zeroBigNat()))->tag, I::IN_tag);
    Value small = S_hash(42);
    EXPECT_EQ(I::integerToInt_hash(small), 42);
    EXPECT_THROW(Jp_hash(vux::testing::failing()), rts::Exception) << "the builder forces its BigNat";
}

// ---------------------------------------------------------------------------------------------
// Argument orders: each case gives a different answer when two arguments trade places.

TEST(ArgumentOrders, AreTheInterfacesOwn) {
    EXPECT_EQ(sizeInBaseInteger(I::IS(255), 16), 2u);
    EXPECT_EQ(sizeInBaseInteger(I::IS(-1000), 10), 4u);
    EXPECT_EQ(textOfBigNat(wordToBigNat2(1, 2)), "18446744073709551618");
    const uint8_t bytes[] = {0x01, 0x02, 0x03};
    EXPECT_EQ(textOfInteger(runIO(importIntegerFromAddr(bytes, 2, 0))), "513");
    EXPECT_EQ(textOfInteger(runIO(importIntegerFromAddr(bytes, 2, 1))), "258");
    EXPECT_EQ(textOfBigNat(runIO(importBigNatFromAddr(bytes, 3, 0))), "197121");
    Value array = rts::byte_array_from(bytes, 3);
    EXPECT_EQ(textOfBigNat(importBigNatFromByteArray(array, 1, 2, 0)), "770");  // offset 1, two bytes
    EXPECT_EQ(textOfInteger(importIntegerFromByteArray(array, 1, 2, 1)), "515");
    auto [g, s] = gcdExtInteger(I::IS(12), I::IS(18));
    EXPECT_EQ(textOfInteger(g), "6");
    EXPECT_EQ(textOfInteger(s), "-1");  // 12 * -1 + 18 * 1 = 6: the cofactor of the first argument
    EXPECT_EQ(textOfBigNat(shiftLBigNat(bigNatOfWord(3), 4)), "48");
    EXPECT_EQ(remBigNatWord(bigNatOfWord(17), 5), 2u);
}

TEST(ArgumentOrders, BigNatsAreForcedFromLeftToRight) {
    try {
        plusBigNat(vux::testing::failing("left"), vux::testing::failing("right"));
        FAIL() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "left"));
    }
}

// ---------------------------------------------------------------------------------------------
// The modular operations answer 0 where there is no result.

TEST(Modular, AnswerZeroWithoutAResult) {
    const struct {
        Value answer;
        const char* expected;
    } cases[] = {
        {powModInteger(I::IS(2), I::IS(10), I::IS(0)), "0"},       // no modulus
        {powModInteger(I::IS(2), I::IS(-1), I::IS(4)), "0"},       // 2 has no inverse modulo 4
        {powModInteger(I::IS(3), I::IS(-1), I::IS(7)), "5"},       // the inverse itself
        {powModInteger(I::IS(2), I::IS(10), I::IS(-1000)), "24"},  // the modulus's absolute value
        {powModInteger(I::IS(-2), I::IS(3), I::IS(5)), "2"},       // never negative
        {recipModInteger(I::IS(4), I::IS(6)), "0"},                // no inverse
        {recipModInteger(I::IS(3), I::IS(1)), "0"},
        {recipModInteger(I::IS(3), I::IS(0)), "0"},
        {recipModInteger(I::IS(3), I::IS(-7)), "5"},
    };
    for (const auto& c : cases) EXPECT_EQ(textOfInteger(c.answer), c.expected);
    EXPECT_TRUE(rts::same(powModInteger(I::IS(1), I::IS(1), I::IS(0)), I::integerZero())) << "the static 0";
}

// ---------------------------------------------------------------------------------------------
// Subtraction below zero

std::string raisedText(const std::function<void()>& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return rts::display(e);
    }
    return "nothing raised";
}

TEST(Subtraction, BelowZeroRaisesUnderflowWithTheSubtractionsCallStack) {
    const std::string stack =
        "CallStack (from HasCallStack):\n"
        "  throw, called at libraries/vux-integer/src/VUX/Integer/GMP/Internals:";
    const std::string in = " in vux-integer-1.1-4538:VUX.Integer.GMP.Internals";
    EXPECT_EQ(raisedText([] { minusBigNat(bigNatOfWord(3), bigNatOfWord(5)); }),
              "arithmetic underflow\n" + stack + "247:23" + in);
    EXPECT_EQ(raisedText([] { minusBigNatWord(bigNatOfWord(3), 5); }),
              "arithmetic underflow\n" + stack + "253:23" + in);
    EXPECT_EQ(raisedText([] { minusBigNatWord(zeroBigNat(), 1); }),
              "arithmetic underflow\n" + stack + "253:23" + in);
    EXPECT_EQ(textOfBigNat(minusBigNat(bigNatOfDecimal("340282366920938463463374607431768211456"),
                                       bigNatOfDecimal("340282366920938463463374607431768211456"))),
              "0");
    EXPECT_EQ(textOfBigNat(minusBigNatWord(bigNatOfWord(7), 7)), "0");
}

TEST(Subtraction, TheUnderflowIsOneSharedValue) {
    auto raised = [](const std::function<void()>& f) -> Value {
        try {
            f();
        } catch (const rts::Exception& e) {
            return e.value();
        }
        return Value();
    };
    Value first = raised([] { minusBigNat(bigNatOfWord(1), bigNatOfWord(2)); });
    Value second = raised([] { minusBigNat(bigNatOfWord(10), bigNatOfDecimal("100000000000000000000000")); });
    ASSERT_TRUE(first);
    EXPECT_TRUE(rts::same(first, second)) << "the exception comes from one constant";
    Value other = raised([] { minusBigNatWord(bigNatOfWord(1), 2); });
    ASSERT_TRUE(other);
    EXPECT_FALSE(rts::same(first, other)) << "each subtraction has its own";
}

// ---------------------------------------------------------------------------------------------
// Bases of digit counts, limb bounds and small cases

TEST(DigitCounts, ABaseBelowTwoRaisesTheSameErrorForWordsAndBigNats) {
    std::string expected = raisedText([] { sizeInBaseBigNat(bigNatOfWord(10), 1); });
    ASSERT_NE(expected, "nothing raised");
    EXPECT_EQ(raisedText([] { sizeInBaseBigNat(zeroBigNat(), 0); }), expected);
    for (uint64_t w : {uint64_t(0), uint64_t(1), uint64_t(255), ~uint64_t(0)})
        for (int64_t base : {0, 1})
            EXPECT_EQ(raisedText([&] { sizeInBaseWord_hash(w, base); }), expected)
                << w << " in base " << base;
    EXPECT_EQ(sizeInBaseWord_hash(0, 10), 0u);
    EXPECT_EQ(sizeInBaseWord_hash(255, 16), 2u);
    EXPECT_EQ(sizeInBaseWord_hash(~uint64_t(0), 2), 64u);
    EXPECT_EQ(sizeInBaseWord_hash(255, -1), 1u) << "a negative base is a huge word";
    EXPECT_EQ(sizeInBaseBigNat(zeroBigNat(), 10), 0u);
}

TEST(Limbs, AnIndexOutsideTheLimbsRaisesAClearError) {
    Value two = bigNatOfDecimal("18446744073709551617");  // 2^64 + 1: two limbs
    EXPECT_EQ(sizeofBigNat_hash(two), 2);
    EXPECT_EQ(indexBigNat_hash(two, 1), 1u);
    const struct {
        Value n;
        GmpSize_hash index;
        const char* message;
    } cases[] = {
        {two, 2, "indexBigNat#: limb index 2 is outside the 2 limbs of the number"},
        {two, -1, "indexBigNat#: limb index -1 is outside the 2 limbs of the number"},
        {zeroBigNat(), 0, "indexBigNat#: limb index 0 is outside the 0 limbs of the number"},
    };
    for (const auto& c : cases) {
        std::string text = raisedText([&] { indexBigNat_hash(c.n, c.index); });
        EXPECT_EQ(text.substr(0, text.find('\n')), c.message);
        EXPECT_NE(text.find("CallStack (from HasCallStack):\n  error, called at libraries/vux-integer/"),
                  std::string::npos)
            << text;
    }
}

TEST(Limbs, SmallCases) {
    Value full = wordToBigNat(~uint64_t(0));
    EXPECT_EQ(sizeofBigNat_hash(zeroBigNat()), 0);
    EXPECT_EQ(popCountBigNat(zeroBigNat()), 0);
    EXPECT_EQ(popCountBigNat(full), 64);
    EXPECT_EQ(textOfBool(testBitBigNat(full, 63)), "True");
    EXPECT_EQ(textOfBool(testBitBigNat(full, 64)), "False");
    EXPECT_EQ(textOfBool(testBitBigNat(full, -1)), "False");
    EXPECT_EQ(textOfBool(testBitBigNat(bigNatOfWord(5), 0)), "True");
    EXPECT_EQ(textOfBool(eqBigNatWord(zeroBigNat(), 0)), "True");
    EXPECT_EQ(textOfBool(eqBigNatWord(bigNatOfWord(7), 7)), "True");
    EXPECT_EQ(textOfBool(eqBigNatWord(bitBigNat(64), 0)), "False");
    EXPECT_EQ(textOfBool(eqBigNatWord(zeroBigNat(), 1)), "False");
    EXPECT_EQ(textOfBigNat(oneBigNat()), "1");
    EXPECT_TRUE(rts::same(zeroBigNat(), zeroBigNat())) << "one shared constant";
}

TEST(Bytes, TheFlagReversesTheByteOrder) {
    Value n = bigNatOfDecimal("1234567890123456789012345678901234567890");
    uint8_t little[32] = {}, big[32] = {};
    uint64_t count = T::wordOf(rts::force(runIO(exportBigNatToAddr(n, little, 0))));
    ASSERT_EQ(T::wordOf(rts::force(runIO(exportBigNatToAddr(n, big, 7)))), count);
    for (uint64_t i = 0; i < count; ++i) EXPECT_EQ(little[i], big[count - 1 - i]) << i;
    EXPECT_EQ(textOfBigNat(runIO(importBigNatFromAddr(little, count, 0))), textOfBigNat(n));
    EXPECT_EQ(textOfBigNat(runIO(importBigNatFromAddr(big, count, -3))), textOfBigNat(n));
    uint8_t untouched = 0x77;
    EXPECT_EQ(T::wordOf(rts::force(runIO(exportBigNatToAddr(zeroBigNat(), &untouched, 0)))), 0u);
    EXPECT_EQ(untouched, 0x77);
}

TEST(Bytes, ActionsDoNothingUntilRun) {
    uint8_t buffer[8] = {};
    Value action = exportBigNatToAddr(bigNatOfWord(0xFF), buffer, 0);
    EXPECT_EQ(buffer[0], 0);
    runIO(action);
    EXPECT_EQ(buffer[0], 0xFF);
}

#ifdef VUX_PROFILING
TEST(Profiling, TheModuleRegistersItsCentresAtLoad) {
    std::vector<std::string> centres, stacks;
    for (const auto& r : rts::prof::registrations()) {
        if (r.module != "VUX.Integer.GMP.Internals") continue;
        (r.kind == rts::prof::ListKind::CostCentres ? centres : stacks) = r.labels;
    }
    ASSERT_FALSE(centres.empty());
    EXPECT_EQ(centres[0], "CAF");
    for (const char* label : {"S#", "powModInteger", "indexBigNat#", "popCountBigNat", "exportBigNatToAddr",
                              "minusBigNatUnderflow", "zeroBigNat"})
        EXPECT_NE(std::find(centres.begin(), centres.end(), label), centres.end()) << label;
    EXPECT_EQ(stacks, (std::vector<std::string>{"CAF", "minusBigNatUnderflow", "minusBigNatWordUnderflow",
                                                "zeroBigNat", "oneBigNat"}));
    uint64_t before = rts::prof::totals_of("VUX.Integer.GMP.Internals", "popCountBigNat").entries;
    popCountBigNat(bigNatOfWord(3));
    EXPECT_EQ(rts::prof::totals_of("VUX.Integer.GMP.Internals", "popCountBigNat").entries, before + 1);
}
#else  // the plain variant
TEST(Plain, RegistersNothing) { EXPECT_TRUE(rts::prof::registrations().empty()); }
#endif

}  // namespace
