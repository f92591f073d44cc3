// The `Num` record and its instances, and the Show, Eq and Ord records of Integer and Natural.
//
//   C_Num(+, -, *, negate, abs, signum, fromInteger)
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Internal::Num {

using rts::Value;

VUX_CLASS(Num, (), op_plus, op_minus, op_star, negate, abs, signum, fromInteger);

// `fromInteger` through a record.
Value fromInteger(const Value& dNum, const Value& integer);

// Int and Word wrap around; Integer is exact; Double and Float are IEEE.
VUX_STATIC_INSTANCE(inst_Num_Int, C_Num_class);
VUX_STATIC_INSTANCE(inst_Num_Word, C_Num_class);
VUX_STATIC_INSTANCE(inst_Num_Integer, C_Num_class);
VUX_STATIC_INSTANCE(inst_Num_Natural, C_Num_class);  // `-` below zero raises "arithmetic underflow"
VUX_STATIC_INSTANCE(inst_Num_Double, C_Num_class);
VUX_STATIC_INSTANCE(inst_Num_Float, C_Num_class);

// Integer and Natural: decimal digits, "-" before a negative Integer, parenthesised at d > 6.
VUX_STATIC_INSTANCE(inst_Show_Integer, Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Natural, Show::C_Show_class);
Value showsInteger(int64_t d, const Value& integer, Value s);
VUX_STATIC_INSTANCE(inst_Eq_Integer, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Integer, VUX::Classes::C_Ord_class);

}  // namespace VUX::Internal::Num
