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

#include "rts/rts.h"

namespace VUX::Internal::Real {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Records

inline constexpr uint8_t C_Real_tag = 0;
inline constexpr uint8_t C_Enum_tag = 0;
inline constexpr uint8_t C_Integral_tag = 0;
inline constexpr uint8_t C_Fractional_tag = 0;
inline const Value& num_of_real(const Value& d) { return rts::field(rts::force(d), 0); }
inline const Value& ord_of_real(const Value& d) { return rts::field(rts::force(d), 1); }
inline const Value& toRational_sel(const Value& d) { return rts::field(rts::force(d), 2); }
inline const Value& real_of_integral(const Value& d) { return rts::field(rts::force(d), 0); }
inline const Value& enum_of_integral(const Value& d) { return rts::field(rts::force(d), 1); }
inline const Value& quot_sel(const Value& d) { return rts::field(rts::force(d), 2); }
inline const Value& rem_sel(const Value& d) { return rts::field(rts::force(d), 3); }
inline const Value& div_sel(const Value& d) { return rts::field(rts::force(d), 4); }
inline const Value& mod_sel(const Value& d) { return rts::field(rts::force(d), 5); }
inline const Value& quotRem_sel(const Value& d) { return rts::field(rts::force(d), 6); }
inline const Value& divMod_sel(const Value& d) { return rts::field(rts::force(d), 7); }
inline const Value& toInteger_sel(const Value& d) { return rts::field(rts::force(d), 8); }
inline const Value& num_of_fractional(const Value& d) { return rts::field(rts::force(d), 0); }
inline const Value& op_slash_sel(const Value& d) { return rts::field(rts::force(d), 1); }
inline const Value& recip_sel(const Value& d) { return rts::field(rts::force(d), 2); }
inline const Value& fromRational_sel(const Value& d) { return rts::field(rts::force(d), 3); }

extern const rts::StaticCon<3> inst_Real_Int;
extern const rts::StaticCon<3> inst_Real_Integer;
extern const rts::StaticCon<8> inst_Enum_Int;
extern const rts::StaticCon<8> inst_Enum_Integer;
extern const rts::StaticCon<9> inst_Integral_Int;
extern const rts::StaticCon<9> inst_Integral_Integer;
extern const rts::StaticCon<4> inst_Fractional_Double;
extern const rts::StaticCon<4> inst_Fractional_Float;

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

extern const rts::StaticCon<3> inst_Show_Rational;  // n at 8, " % ", d at 8; parenthesised at > 7
extern const rts::StaticCon<7> inst_Num_Rational;
extern const rts::StaticCon<4> inst_Fractional_Rational;
extern const rts::StaticCon<2> inst_Eq_Rational;
extern const rts::StaticCon<8> inst_Ord_Rational;

}  // namespace VUX::Internal::Real
