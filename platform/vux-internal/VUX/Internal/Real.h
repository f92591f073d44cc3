// Ratios and the numeric class records above `Num`:
//   C_Real(Num record, Ord record, toRational)
//   C_Enum(succ, pred, toEnum, fromEnum, enumFrom, enumFromThen, enumFromTo, enumFromThenTo)
//   C_Integral(Real record, Enum record, quot, rem, div, mod, quotRem, divMod, toInteger)
//   C_Fractional(Num record, /, recip, fromRational)
//
// `Rational` is `Ratio Integer`: n :% d with d > 0 and gcd(n, d) = 1, both fields evaluated.
// The operations below keep that form; `reduce` establishes it.
#pragma once

#include <cstdint>
#include <utility>

#include "VUX/Classes.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Internal::Real {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Records

VUX_CLASS(Real, (Num, Ord), toRational);
VUX_CLASS(Enum, (), succ, pred, toEnum, fromEnum, enumFrom, enumFromThen, enumFromTo, enumFromThenTo);
VUX_CLASS(Integral, (Real, Enum), quot, rem, div, mod, quotRem, divMod, toInteger);
VUX_CLASS(Fractional, (Num), op_slash, recip, fromRational);

VUX_STATIC_INSTANCE(inst_Real_Int, C_Real_class);
VUX_STATIC_INSTANCE(inst_Real_Integer, C_Real_class);
VUX_STATIC_INSTANCE(inst_Enum_Int, C_Enum_class);
VUX_STATIC_INSTANCE(inst_Enum_Integer, C_Enum_class);
VUX_STATIC_INSTANCE(inst_Integral_Int, C_Integral_class);
VUX_STATIC_INSTANCE(inst_Integral_Integer, C_Integral_class);
VUX_STATIC_INSTANCE(inst_Fractional_Double, C_Fractional_class);
VUX_STATIC_INSTANCE(inst_Fractional_Float, C_Fractional_class);

// `stimes` by repeated doubling with the integral type's own operations (its `<=` against
// fromInteger 0, rem, quot, == against 1 and 2): n <= 0 raises
// "stimes: positive multiplier expected" without a call stack.
Value stimesByDoubling(const Value& op, const Value& dIntegral, const Value& n, const Value& x);

// ---------------------------------------------------------------------------------------------
// Ratio

inline constexpr uint8_t op_colon_percent_tag = 0;
inline Value op_colon_percent(Value n, Value d) { return rts::con(op_colon_percent_tag, std::move(n), std::move(d)); }
inline const Value& numerator(const Value& r) { return rts::field(rts::force(r), 0); }
inline const Value& denominator(const Value& r) { return rts::field(rts::force(r), 1); }

// `reduce x y` (y > 0): both divided by their gcd. A zero y raises "Ratio has zero denominator".
Value reduce(const Value& x, const Value& y);
// `x % y`: any signs; the sign moves to the numerator.
Value op_percent(const Value& x, const Value& y);
Value rationalFromInteger(const Value& n);

Value ratioPlus(const Value& a, const Value& b);
Value ratioMinus(const Value& a, const Value& b);
Value ratioTimes(const Value& a, const Value& b);
Value ratioDivide(const Value& a, const Value& b);  // zero divisor: "Ratio has zero denominator"
Value ratioNegate(const Value& a);
Value ratioAbs(const Value& a);
Value ratioRecip(const Value& a);
// a ^^ e for an Integer exponent (negative: the reciprocal's power).
Value ratioPow(const Value& a, const Value& e);
// -1, 0 or 1.
int ratioCompare(const Value& a, const Value& b);
// `properFraction r`: (q, f) with q = r truncated toward zero (an Integer) and f = r - q.
std::pair<Value, Value> properFraction(const Value& r);
Value properFractionPair(const Value& r);

// The nearest Double / Float to n / d (d > 0 need not be reduced), ties to even; overflow gives
// infinity, values below the smallest subnormal round to zero or to it.
double rationalToDouble(const Value& n, const Value& d);
float rationalToFloat(const Value& n, const Value& d);
// The exact rational value of a finite Double / Float.
Value doubleToRational(double x);

VUX_STATIC_INSTANCE(inst_Show_Rational, Show::C_Show_class);  // n at 8, " % ", d at 8; parenthesised at > 7
VUX_STATIC_INSTANCE(inst_Num_Rational, Num::C_Num_class);
VUX_STATIC_INSTANCE(inst_Fractional_Rational, C_Fractional_class);
VUX_STATIC_INSTANCE(inst_Eq_Rational, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Rational, VUX::Classes::C_Ord_class);

}  // namespace VUX::Internal::Real
