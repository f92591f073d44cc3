// The legacy big-integer interface, kept working over the big-number library (VUX.Num.*).
//
// The former constructors of `Integer` survive as the pattern synonyms `S#`, `Jp#` and `Jn#`
// (builders and matchers), and the former operations on integers and on boxed natural numbers
// (`BigNat`) keep their names and argument orders. Most operations forward to the big-number
// library, unboxing each `BigNat` argument to its limb array (forced from left to right) and boxing
// a limb-array result with `BN#`; the others read the limbs themselves.
//
//   data BigNat = BN# BigNat#
//
// A `BigNat#` is a byte array of 64-bit limbs, least significant first, in the big-number library's
// canonical form. Unboxed arguments and results are C++ scalars: `GmpLimb#` a limb (a word),
// `GmpSize#` a limb count (a machine integer), `Int#` and `Word#`, `Addr#` a pointer. An action
// (`IO`) is returned as a function of the state token and does its work when run.
#pragma once

#include <cstdint>
#include <utility>

#include "VUX/Num/Integer.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Integer::GMP::Internals {

using rts::Value;

using GmpLimb_hash = uint64_t;
using GmpSize_hash = int64_t;

// BigNat
inline constexpr uint8_t BN_hash_tag = 0;
inline Value BN_hash(Value limbs) { return rts::con(BN_hash_tag, std::move(limbs)); }
// The limb array of a BigNat, forced first; the reference lives as long as `bigNat` does.
inline const Value& unBigNat(const Value& bigNat) { return rts::field(rts::force(bigNat), 0); }

// Type representations of this module.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcBigNat;

// ---------------------------------------------------------------------------------------------
// Pattern synonyms. The builders do not normalise: `Jp#` and `Jn#` wrap whatever magnitude they are
// given. A matcher forces the Integer and calls `match` with the constructor's content (the machine
// integer, or the magnitude boxed as a BigNat) when it is of the synonym's constructor, else `fail()`.

Value S_hash(int64_t i);
Value Jp_hash(const Value& bigNat);
Value Jn_hash(const Value& bigNat);

template <class Match, class Fail>
auto matchS_hash(const Value& integer, Match&& match, Fail&& fail) -> decltype(fail()) {
    const Value& i = rts::force(integer);
    if (i->tag == VUX::Num::Integer::IS_tag) return match(rts::int_word(i, 0));
    return fail();
}
template <class Match, class Fail>
auto matchJp_hash(const Value& integer, Match&& match, Fail&& fail) -> decltype(fail()) {
    const Value& i = rts::force(integer);
    if (i->tag == VUX::Num::Integer::IP_tag)
        return match(BN_hash(VUX::Num::Integer::integerToBigNatSign_hash(i).second));
    return fail();
}
template <class Match, class Fail>
auto matchJn_hash(const Value& integer, Match&& match, Fail&& fail) -> decltype(fail()) {
    const Value& i = rts::force(integer);
    if (i->tag == VUX::Num::Integer::IN_tag)
        return match(BN_hash(VUX::Num::Integer::integerToBigNatSign_hash(i).second));
    return fail();
}

// ---------------------------------------------------------------------------------------------
// Integers

int64_t isValidInteger_hash(const Value& i);
Value gcdInteger(const Value& a, const Value& b);
Value lcmInteger(const Value& a, const Value& b);
Value sqrInteger(const Value& i);
// The gcd and the cofactor of `a`.
std::pair<Value, Value> gcdExtInteger(const Value& a, const Value& b);
Value wordToNegInteger(uint64_t w);
Value bigNatToInteger(const Value& bigNat);
Value bigNatToNegInteger(const Value& bigNat);
// Digits of |i| in `base` (0 for zero); a base of 0 or 1 is an unexpected value.
uint64_t sizeInBaseInteger(const Value& i, int64_t base);

// b^e mod |m| and the inverse of x modulo |m|; 0 where there is none (a zero modulus, a negative
// exponent or a value without an inverse).
Value powModInteger(const Value& b, const Value& e, const Value& m);
Value recipModInteger(const Value& x, const Value& m);

// ---------------------------------------------------------------------------------------------
// Natural numbers

int64_t isValidBigNat_hash(const Value& bigNat);
// The shared constants 0 and 1.
Value zeroBigNat();
Value oneBigNat();

Value plusBigNat(const Value& a, const Value& b);
Value plusBigNatWord(const Value& a, GmpLimb_hash w);
// a - b; a subtrahend larger than the minuend raises the arithmetic exception `Underflow`.
Value minusBigNat(const Value& a, const Value& b);
Value minusBigNatWord(const Value& a, GmpLimb_hash w);
Value timesBigNat(const Value& a, const Value& b);
Value timesBigNatWord(const Value& a, GmpLimb_hash w);
Value sqrBigNat(const Value& a);
// Truncated division; a zero divisor raises "divide by zero".
std::pair<Value, Value> quotRemBigNat(const Value& a, const Value& b);
std::pair<Value, GmpLimb_hash> quotRemBigNatWord(const Value& a, GmpLimb_hash w);
Value quotBigNat(const Value& a, const Value& b);
Value quotBigNatWord(const Value& a, GmpLimb_hash w);
Value remBigNat(const Value& a, const Value& b);
GmpLimb_hash remBigNatWord(const Value& a, GmpLimb_hash w);
Value gcdBigNat(const Value& a, const Value& b);
GmpLimb_hash gcdBigNatWord(const Value& a, GmpLimb_hash w);

// Bits; a bit index or shift is taken as an unsigned word.
Value shiftRBigNat(const Value& a, int64_t n);
Value shiftLBigNat(const Value& a, int64_t n);
Value clearBitBigNat(const Value& a, int64_t i);
Value complementBitBigNat(const Value& a, int64_t i);
Value setBitBigNat(const Value& a, int64_t i);
Value andBigNat(const Value& a, const Value& b);
Value orBigNat(const Value& a, const Value& b);
Value xorBigNat(const Value& a, const Value& b);
Value bitBigNat(int64_t i);
// Whether bit i is set; an index beyond the limbs (any negative one included) gives False.
Value testBitBigNat(const Value& a, int64_t i);
// The number of set bits, counted by GMP.
int64_t popCountBigNat(const Value& a);

// Limbs: the count, and the limb at index i (0 is the least significant). An index outside the
// limbs raises an error that names the index and the count.
GmpSize_hash sizeofBigNat_hash(const Value& a);
GmpLimb_hash indexBigNat_hash(const Value& a, GmpSize_hash i);

// Comparison.
Value isZeroBigNat(const Value& a);                       // Bool
Value compareBigNat(const Value& a, const Value& b);      // Ordering
Value compareBigNatWord(const Value& a, GmpLimb_hash w);  // Ordering
int64_t eqBigNatWord_hash(const Value& a, GmpLimb_hash w);
Value eqBigNatWord(const Value& a, GmpLimb_hash w);  // Bool
int64_t eqBigNat_hash(const Value& a, const Value& b);
Value eqBigNat(const Value& a, const Value& b);  // Bool
int64_t gtBigNatWord_hash(const Value& a, GmpLimb_hash w);

// Conversions.
Value wordToBigNat(uint64_t w);
// hi * 2^64 + lo.
Value wordToBigNat2(uint64_t hi, uint64_t lo);
int64_t bigNatToInt(const Value& a);  // the low 64 bits
uint64_t bigNatToWord(const Value& a);
// The first n limbs of a word array.
Value byteArrayToBigNat_hash(const Value& words, GmpSize_hash n);

// Digits in a base (0 for zero); a base of 0 or 1 raises the big-number library's unexpected-value
// error, whatever the number.
uint64_t sizeInBaseBigNat(const Value& a, int64_t base);
uint64_t sizeInBaseWord_hash(uint64_t w, int64_t base);

// ---------------------------------------------------------------------------------------------
// Bytes in base 256. A flag of 0 selects least significant byte first, any other value most
// significant first. Imports read `size` bytes; exports write the significant bytes (none for
// zero) and answer their count as a boxed Word. Integers travel as their absolute value.

Value importBigNatFromAddr(const void* addr, uint64_t size, int64_t flag);  // IO BigNat
Value exportBigNatToAddr(Value bigNat, void* addr, int64_t flag);           // IO Word
Value importBigNatFromByteArray(const Value& bytes, uint64_t offset, uint64_t size, int64_t flag);
Value exportBigNatToMutableByteArray(Value bigNat, Value bytes, uint64_t offset, int64_t flag);  // IO Word
Value importIntegerFromByteArray(const Value& bytes, uint64_t offset, uint64_t size, int64_t flag);
Value importIntegerFromAddr(const void* addr, uint64_t size, int64_t flag);                  // IO Integer
Value exportIntegerToAddr(Value i, void* addr, int64_t flag);                                // IO Word
Value exportIntegerToMutableByteArray(Value i, Value bytes, uint64_t offset, int64_t flag);  // IO Word

}  // namespace VUX::Integer::GMP::Internals
