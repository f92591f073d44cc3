// Byte reversal at 16, 32 and 64 bits.
#include "cbits/cbits.h"

extern "C" {

uint16_t hs_bswap16(uint16_t x) { return __builtin_bswap16(x); }
uint32_t hs_bswap32(uint32_t x) { return __builtin_bswap32(x); }
uint64_t hs_bswap64(uint64_t x) { return __builtin_bswap64(x); }

}  // extern "C"
