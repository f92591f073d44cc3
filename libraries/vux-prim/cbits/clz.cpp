// Leading zero bits within the low 8, 16, 32 or 64 bits; the width when those bits are all 0.
#include "cbits/cbits.h"
#include "cbits/internal.h"

namespace {

// Leading zeros of the low `Width` bits of `x` (the builtin is undefined for 0, hence the test).
template <unsigned Width>
uint64_t leading_zeros(uint64_t x) {
    const uint64_t bits = vux_cbits::low_bits<Width>(x);
    if (bits == 0) return Width;
    return static_cast<uint64_t>(__builtin_clzll(bits)) - (64 - Width);
}

}  // namespace

extern "C" {

uint64_t hs_clz8(uint64_t x) { return leading_zeros<8>(x); }
uint64_t hs_clz16(uint64_t x) { return leading_zeros<16>(x); }
uint64_t hs_clz32(uint64_t x) { return leading_zeros<32>(x); }
uint64_t hs_clz64(uint64_t x) { return leading_zeros<64>(x); }

}  // extern "C"
