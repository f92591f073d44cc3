// The `Num` record and its instances, and the Show, Eq and Ord records of Integer and Natural.
//
//   C_Num(+, -, *, negate, abs, signum, fromInteger)
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Internal::Num {

using rts::Value;

inline constexpr uint8_t C_Num_tag = 0;
inline Value C_Num(Value plus, Value minus, Value times, Value negate, Value abs, Value signum, Value fromInteger) {
    return rts::con(C_Num_tag, std::move(plus), std::move(minus), std::move(times), std::move(negate), std::move(abs),
                    std::move(signum), std::move(fromInteger));
}
inline const Value& op_plus_sel(const Value& d) { return rts::field(rts::force(d), 0); }
inline const Value& op_minus_sel(const Value& d) { return rts::field(rts::force(d), 1); }
inline const Value& op_star_sel(const Value& d) { return rts::field(rts::force(d), 2); }
inline const Value& negate_sel(const Value& d) { return rts::field(rts::force(d), 3); }
inline const Value& abs_sel(const Value& d) { return rts::field(rts::force(d), 4); }
inline const Value& signum_sel(const Value& d) { return rts::field(rts::force(d), 5); }
inline const Value& fromInteger_sel(const Value& d) { return rts::field(rts::force(d), 6); }

// `fromInteger` through a record.
Value fromInteger(const Value& dNum, const Value& integer);

// Int and Word wrap around; Integer is exact; Double and Float are IEEE.
extern const rts::StaticCon<7> inst_Num_Int;
extern const rts::StaticCon<7> inst_Num_Word;
extern const rts::StaticCon<7> inst_Num_Integer;
extern const rts::StaticCon<7> inst_Num_Natural;  // `-` below zero raises "arithmetic underflow"
extern const rts::StaticCon<7> inst_Num_Double;
extern const rts::StaticCon<7> inst_Num_Float;

// Integer and Natural: decimal digits, "-" before a negative Integer, parenthesised at d > 6.
extern const rts::StaticCon<3> inst_Show_Integer;
extern const rts::StaticCon<3> inst_Show_Natural;
Value showsInteger(int64_t d, const Value& integer, Value s);
extern const rts::StaticCon<2> inst_Eq_Integer;
extern const rts::StaticCon<8> inst_Ord_Integer;

}  // namespace VUX::Internal::Num
