// The fixed-width unsigned integers `Word8`, `Word16`, `Word32`, `Word64`: one constructor each
// (`W8#`...), tag 0, holding the value zero-extended to one 64-bit word.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Internal::Word {

using rts::Value;

inline constexpr uint8_t W8_hash_tag = 0;
inline constexpr uint8_t W16_hash_tag = 0;
inline constexpr uint8_t W32_hash_tag = 0;
inline constexpr uint8_t W64_hash_tag = 0;

// The box of a value of `Bits` bits (8, 16, 32 or 64), from any 64-bit value: the low bits kept
// (arithmetic modulo 2^Bits).
template <int Bits>
Value wordN(uint64_t x) {
    if constexpr (Bits == 64)
        return rts::con_word(0, x);
    else
        return rts::con_word(0, x & ((uint64_t(1) << Bits) - 1));
}
inline Value W8_hash(uint8_t x) { return wordN<8>(x); }
inline Value W16_hash(uint16_t x) { return wordN<16>(x); }
inline Value W32_hash(uint32_t x) { return wordN<32>(x); }
inline Value W64_hash(uint64_t x) { return wordN<64>(x); }
// The value of an evaluated box.
inline uint64_t wordNOf(const Value& v) { return rts::word(v, 0); }

}  // namespace VUX::Internal::Word
