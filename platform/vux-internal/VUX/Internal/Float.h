// Floating-point numbers: their standard textual forms and the conversion of ratios to the
// nearest Float and Double.
//
// Form: the shortest decimal digits that read back to the same value (for Float, the same
// single-precision value), written in fixed notation when 0.1 <= |x| < 10^7 (or x is zero) and
// in scientific notation ("1.0e-2", "1.23456789e7") otherwise; "NaN", "Infinity", "-0.0".
#pragma once

#include <cstddef>
#include <cstdint>

#include "VUX/Internal/Show.h"
#include "rts/rts.h"

namespace VUX::Internal::Float {

using rts::Value;

// The form of x into buf (at least 32 bytes), returning its length. Negative values (negative
// zero and negative infinity included) start with "-".
size_t formatDouble(double x, char* buf);
size_t formatFloat(float x, char* buf);

// `showFloat x s`: the form of x (with its "-" when negative) in front of s.
Value showFloat(double x, Value s);
Value showFloat(float x, Value s);
// `showSignedFloat`: as showFloat, in parentheses when x is negative and d > 6 (NaN never).
Value showSignedFloat(int64_t d, double x, Value s);
Value showSignedFloat(int64_t d, float x, Value s);

VUX_STATIC_INSTANCE(inst_Show_Double, Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Float, Show::C_Show_class);

}  // namespace VUX::Internal::Float
