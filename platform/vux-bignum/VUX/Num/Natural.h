// Natural numbers: `NS` holds a value below 2^64 in one word, `NB` a larger one as a magnitude
// (`BigNat#`). A value that fits a word is always `NS`.
//
// Operations take and return boxed Naturals (rts::Value); they evaluate their arguments. A result
// below zero raises "arithmetic underflow" in the throwing forms; a zero divisor raises
// "divide by zero".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "rts/rts.h"

namespace VUX::Num::Natural {

using rts::Value;

inline constexpr uint8_t NS_tag = 0;
inline constexpr uint8_t NB_tag = 1;
// The constructors themselves (no normalisation).
inline Value NS(uint64_t w) { return rts::con_word(NS_tag, w); }
inline Value NB(Value bignat) { return rts::con(NB_tag, std::move(bignat)); }

Value naturalZero();
Value naturalOne();
// 1 when the value is in canonical form, else 0.
int64_t naturalCheck_hash(const Value& n);
int64_t naturalIsZero_hash(const Value& n);
int64_t naturalIsOne_hash(const Value& n);

// Conversions.
inline Value naturalFromWord_hash(uint64_t w) { return NS(w); }
Value naturalFromBigNat_hash(const Value& bignat);  // normalising
Value naturalToBigNat_hash(const Value& n);
uint64_t naturalToWord_hash(const Value& n);  // the low 64 bits
std::optional<uint64_t> naturalToWordMaybe_hash(const Value& n);
double naturalToDouble_hash(const Value& n);
float naturalToFloat_hash(const Value& n);
double naturalEncodeDouble_hash(const Value& n, int64_t e);
float naturalEncodeFloat_hash(const Value& n, int64_t e);
// The integer part of d, truncated toward zero; a value of -1 or below raises "arithmetic
// underflow" (-0.5 gives 0). Infinities and NaN decode as integerDecodeDouble# reads them.
Value naturalFromDouble(double d);

// Arithmetic.
Value naturalAdd(const Value& a, const Value& b);
// a - b, or nothing when b > a.
std::optional<Value> naturalSub(const Value& a, const Value& b);
// a - b; raises "arithmetic underflow" when b > a.
Value naturalSubThrow(const Value& a, const Value& b);
// a - b where the caller knows b <= a.
Value naturalSubUnsafe(const Value& a, const Value& b);
Value naturalMul(const Value& a, const Value& b);
Value naturalSqr(const Value& a);
Value naturalSignum(const Value& a);
// 0 for 0; "arithmetic underflow" otherwise.
Value naturalNegate(const Value& a);
Value naturalQuot(const Value& a, const Value& b);
Value naturalRem(const Value& a, const Value& b);
std::pair<Value, Value> naturalQuotRem_hash(const Value& a, const Value& b);
Value naturalGcd(const Value& a, const Value& b);
Value naturalLcm(const Value& a, const Value& b);
// a^e for a machine-word exponent.
Value naturalPow(const Value& a, uint64_t e);
// b^e mod m; m = 0 raises "divide by zero".
Value naturalPowMod(const Value& b, const Value& e, const Value& m);

// Bits.
Value naturalShiftL_hash(const Value& a, uint64_t n);
Value naturalShiftR_hash(const Value& a, uint64_t n);
Value naturalAnd(const Value& a, const Value& b);
Value naturalAndNot(const Value& a, const Value& b);
Value naturalOr(const Value& a, const Value& b);
Value naturalXor(const Value& a, const Value& b);
int64_t naturalTestBit_hash(const Value& a, uint64_t i);
Value naturalBit_hash(uint64_t i);
Value naturalSetBit_hash(const Value& a, uint64_t i);
Value naturalClearBit_hash(const Value& a, uint64_t i);
Value naturalComplementBit_hash(const Value& a, uint64_t i);
uint64_t naturalPopCount_hash(const Value& a);

// Logarithms rounded down (0 for zero); a base below 2 is an unexpected value.
uint64_t naturalLog2_hash(const Value& a);
uint64_t naturalLogBase_hash(const Value& base, const Value& a);
uint64_t naturalLogBaseWord_hash(uint64_t base, const Value& a);
uint64_t naturalSizeInBase_hash(uint64_t base, const Value& a);

// Comparison.
int64_t naturalEq_hash(const Value& a, const Value& b);
int64_t naturalNe_hash(const Value& a, const Value& b);
int64_t naturalLt_hash(const Value& a, const Value& b);
int64_t naturalLe_hash(const Value& a, const Value& b);
int64_t naturalGt_hash(const Value& a, const Value& b);
int64_t naturalGe_hash(const Value& a, const Value& b);
Value naturalEq(const Value& a, const Value& b);  // Bool
Value naturalLt(const Value& a, const Value& b);
Value naturalLe(const Value& a, const Value& b);
Value naturalCompare(const Value& a, const Value& b);  // Ordering

// Bytes in base 256; a flag of 0 selects least significant first, any other most significant
// first. Writers return the number of bytes written.
Value naturalFromAddr_hash(uint64_t nbytes, const void* addr, int64_t big_endian);
uint64_t naturalToAddr_hash(const Value& a, void* addr, int64_t big_endian);
Value naturalFromByteArray_hash(uint64_t nbytes, const Value& bytes, uint64_t offset, int64_t big_endian);
uint64_t naturalToMutableByteArray_hash(const Value& a, const Value& bytes, uint64_t offset, int64_t big_endian);

// Decimal text, and reading it back (digits only).
std::string naturalToDecimal(const Value& a);
std::optional<Value> naturalFromDecimal(std::string_view digits);

}  // namespace VUX::Num::Natural
