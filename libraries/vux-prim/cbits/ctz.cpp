// Trailing zero bits within the low 8, 16, 32 or 64 bits; the width when those bits are all 0.
#include "cbits/cbits.h"
#include "cbits/internal.h"

namespace {

// Trailing zeros of the low `Width` bits of `x` (the builtin is undefined for 0, hence the test).
template <unsigned Width>
uint64_t trailing_zeros(uint64_t x) {
    const uint64_t bits = vux_cbits::low_bits<Width>(x);
    if (bits == 0) return Width;
    return static_cast<uint64_t>(__builtin_ctzll(bits));
}

}  // namespace

extern "C" {

uint64_t hs_ctz8(uint64_t x) { return trailing_zeros<8>(x); }
uint64_t hs_ctz16(uint64_t x) { return trailing_zeros<16>(x); }
uint64_t hs_ctz32(uint64_t x) { return trailing_zeros<32>(x); }
uint64_t hs_ctz64(uint64_t x) { return trailing_zeros<64>(x); }

}  // extern "C"
