// Bit reversal within 8, 16, 32 and 64 bits: swap adjacent bits, then adjacent pairs, then the
// nibbles of each byte, and finally reverse the bytes (a single byte needs no byte step).
#include "cbits/cbits.h"

namespace {

// Reverses the bits inside every byte of `x`.
constexpr uint64_t reverse_bits_in_bytes(uint64_t x) {
    x = ((x >> 1) & 0x5555555555555555u) | ((x & 0x5555555555555555u) << 1);
    x = ((x >> 2) & 0x3333333333333333u) | ((x & 0x3333333333333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((x & 0x0F0F0F0F0F0F0F0Fu) << 4);
    return x;
}

static_assert(reverse_bits_in_bytes(0x01) == 0x80);
static_assert(reverse_bits_in_bytes(0x0102) == 0x8040);

}  // namespace

extern "C" {

uint64_t hs_bitrev8(uint64_t x) { return reverse_bits_in_bytes(x & 0xFFu); }
uint16_t hs_bitrev16(uint16_t x) {
    return __builtin_bswap16(static_cast<uint16_t>(reverse_bits_in_bytes(x)));
}
uint32_t hs_bitrev32(uint32_t x) {
    return __builtin_bswap32(static_cast<uint32_t>(reverse_bits_in_bytes(x)));
}
uint64_t hs_bitrev64(uint64_t x) { return __builtin_bswap64(reverse_bits_in_bytes(x)); }

}  // extern "C"
