// The fixed-width signed integers `Int8`, `Int16`, `Int32`, `Int64`: one constructor each
// (`I8#`...), tag 0, holding the value sign-extended to one 64-bit word.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Internal::Int {

using rts::Value;

inline constexpr uint8_t I8_hash_tag = 0;
inline constexpr uint8_t I16_hash_tag = 0;
inline constexpr uint8_t I32_hash_tag = 0;
inline constexpr uint8_t I64_hash_tag = 0;

// The box of a value of `Bits` bits (8, 16, 32 or 64), from any 64-bit value: the low bits kept.
template <int Bits>
Value intN(int64_t x) {
    if constexpr (Bits == 64) {
        return rts::con_word(0, static_cast<uint64_t>(x));
    } else {
        const uint64_t low = static_cast<uint64_t>(x) & ((uint64_t(1) << Bits) - 1);
        const uint64_t sign = uint64_t(1) << (Bits - 1);
        return rts::con_word(0, (low ^ sign) - sign);
    }
}
inline Value I8_hash(int8_t x) { return intN<8>(x); }
inline Value I16_hash(int16_t x) { return intN<16>(x); }
inline Value I32_hash(int32_t x) { return intN<32>(x); }
inline Value I64_hash(int64_t x) { return intN<64>(x); }
// The value of an evaluated box.
inline int64_t intNOf(const Value& v) { return rts::int_word(v, 0); }

}  // namespace VUX::Internal::Int
