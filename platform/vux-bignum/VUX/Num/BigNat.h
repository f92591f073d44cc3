// Natural-number magnitudes (`BigNat#`): byte arrays of 64-bit limbs, least significant first.
//
// Canonical form, which every operation here returns and expects: zero has no limbs and a
// non-zero number has no zero top limb; the limb count is the byte length divided by 8. A
// `BigNat#` is unlifted (never a suspended computation), so nothing here forces its arguments.
// Results are fresh immutable byte arrays, or the static zero and one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "rts/rts.h"

namespace VUX::Num::BigNat {

using rts::Value;

Value bigNatZero();
Value bigNatOne();
// 1 when the array is a canonical magnitude, else 0.
int64_t bigNatCheck_hash(const Value& a);

// Limb count, and the limb at index i (0 is the least significant; no bounds check).
uint64_t bigNatSize_hash(const Value& a);
uint64_t bigNatIndex_hash(const Value& a, int64_t i);
int64_t bigNatIsZero_hash(const Value& a);
int64_t bigNatIsOne_hash(const Value& a);
Value bigNatIsZero(const Value& a);  // Bool

Value bigNatFromWord_hash(uint64_t w);
// The magnitude hi * 2^64 + lo.
Value bigNatFromWord2_hash(uint64_t hi, uint64_t lo);
// The first n limbs of a word array (which may end in zero limbs).
Value bigNatFromWordArray_hash(const Value& words, uint64_t n);
// The low 64 bits, as a word and as a machine integer.
uint64_t bigNatToWord_hash(const Value& a);
int64_t bigNatToInt_hash(const Value& a);
// a * 2^e, correctly rounded (to nearest, ties to even).
double bigNatEncodeDouble_hash(const Value& a, int64_t e);
float bigNatEncodeFloat_hash(const Value& a, int64_t e);
double bigNatToDouble_hash(const Value& a);

// Arithmetic.
Value bigNatAdd(const Value& a, const Value& b);
Value bigNatAddWord_hash(const Value& a, uint64_t w);
Value bigNatMul(const Value& a, const Value& b);
Value bigNatMulWord_hash(const Value& a, uint64_t w);
Value bigNatSqr(const Value& a);
// a - b, or nothing when b > a.
std::optional<Value> bigNatSub(const Value& a, const Value& b);
std::optional<Value> bigNatSubWord_hash(const Value& a, uint64_t w);
// a - b where the caller knows b <= a.
Value bigNatSubUnsafe(const Value& a, const Value& b);
// Truncated division; a zero divisor raises "divide by zero".
std::pair<Value, Value> bigNatQuotRem_hash(const Value& a, const Value& b);
std::pair<Value, uint64_t> bigNatQuotRemWord_hash(const Value& a, uint64_t w);
Value bigNatQuot(const Value& a, const Value& b);
Value bigNatRem(const Value& a, const Value& b);
Value bigNatQuotWord_hash(const Value& a, uint64_t w);
uint64_t bigNatRemWord_hash(const Value& a, uint64_t w);
Value bigNatGcd(const Value& a, const Value& b);
uint64_t bigNatGcdWord_hash(const Value& a, uint64_t w);
Value bigNatLcm(const Value& a, const Value& b);
// b^e mod m; m must not be zero ("divide by zero").
Value bigNatPowMod(const Value& b, const Value& e, const Value& m);

// Bits.
Value bigNatShiftL_hash(const Value& a, uint64_t n);
Value bigNatShiftR_hash(const Value& a, uint64_t n);
Value bigNatAnd(const Value& a, const Value& b);
Value bigNatAndNot(const Value& a, const Value& b);
Value bigNatOr(const Value& a, const Value& b);
Value bigNatXor(const Value& a, const Value& b);
int64_t bigNatTestBit_hash(const Value& a, uint64_t i);
Value bigNatBit_hash(uint64_t i);
Value bigNatSetBit_hash(const Value& a, uint64_t i);
Value bigNatClearBit_hash(const Value& a, uint64_t i);
Value bigNatComplementBit_hash(const Value& a, uint64_t i);
uint64_t bigNatPopCount_hash(const Value& a);

// Logarithms rounded down (0 for zero); a base below 2 is an unexpected value.
uint64_t bigNatLog2_hash(const Value& a);
uint64_t bigNatLogBase_hash(const Value& base, const Value& a);
uint64_t bigNatLogBaseWord_hash(uint64_t base, const Value& a);
// Number of digits in a base (0 for zero).
uint64_t bigNatSizeInBase_hash(uint64_t base, const Value& a);

// Comparison.
int bigNatCmp(const Value& a, const Value& b);  // -1, 0, 1
Value bigNatCompare(const Value& a, const Value& b);  // Ordering
Value bigNatCompareWord_hash(const Value& a, uint64_t w);
int64_t bigNatEq_hash(const Value& a, const Value& b);
int64_t bigNatNe_hash(const Value& a, const Value& b);
int64_t bigNatLt_hash(const Value& a, const Value& b);
int64_t bigNatLe_hash(const Value& a, const Value& b);
int64_t bigNatGt_hash(const Value& a, const Value& b);
int64_t bigNatGe_hash(const Value& a, const Value& b);
Value bigNatEq(const Value& a, const Value& b);  // Bool
int64_t bigNatEqWord_hash(const Value& a, uint64_t w);
int64_t bigNatGtWord_hash(const Value& a, uint64_t w);
int64_t bigNatLeWord_hash(const Value& a, uint64_t w);

// Bytes in base 256, least (LE) or most (BE) significant first. The readers take a byte count
// and a source; the writers write the significant bytes (none for zero) and return their count.
Value bigNatFromAddrLE_hash(uint64_t nbytes, const void* addr);
Value bigNatFromAddrBE_hash(uint64_t nbytes, const void* addr);
uint64_t bigNatToAddrLE_hash(const Value& a, void* addr);
uint64_t bigNatToAddrBE_hash(const Value& a, void* addr);
Value bigNatFromByteArrayLE_hash(uint64_t nbytes, const Value& bytes, uint64_t offset);
Value bigNatFromByteArrayBE_hash(uint64_t nbytes, const Value& bytes, uint64_t offset);
uint64_t bigNatToMutableByteArrayLE_hash(const Value& a, const Value& bytes, uint64_t offset);
uint64_t bigNatToMutableByteArrayBE_hash(const Value& a, const Value& bytes, uint64_t offset);
// The number of significant bytes.
uint64_t bigNatSizeInBytes_hash(const Value& a);

// Decimal text, and reading it back (digits only, at least one).
std::string bigNatToDecimal(const Value& a);
std::optional<Value> bigNatFromDecimal(std::string_view digits);

}  // namespace VUX::Num::BigNat
