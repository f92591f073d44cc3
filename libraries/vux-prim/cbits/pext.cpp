// Parallel bit extract: the bits of `src` at the set bits of `mask`, packed at the bottom in
// order. Processors with fast BMI2 use PEXT; the portable loop visits the set bits of `mask` from
// the lowest upward. The narrow forms take full words: the result has at most as many bits as
// `mask` has set bits, so a mask within the width gives a result within the width.
#include <immintrin.h>

#include "cbits/cbits.h"
#include "cbits/internal.h"

namespace vux_cbits {
namespace {

__attribute__((target("bmi2"))) uint64_t pext_instruction(uint64_t src, uint64_t mask) {
    return _pext_u64(src, mask);
}

constinit CpuDispatch<uint64_t (*)(uint64_t, uint64_t)> pext{&pext_instruction, &pext_portable,
                                                             &cpu_has_fast_bmi2};

}  // namespace

uint64_t pext_portable(uint64_t src, uint64_t mask) {
    uint64_t result = 0;
    for (uint64_t next = 1; mask != 0; next <<= 1) {
        const uint64_t lowest = mask & (~mask + 1);  // the lowest set bit of mask
        if (src & lowest) result |= next;
        mask ^= lowest;
    }
    return result;
}

}  // namespace vux_cbits

extern "C" {

uint64_t hs_pext64(uint64_t src, uint64_t mask) { return vux_cbits::pext.get()(src, mask); }
uint64_t hs_pext32(uint64_t src, uint64_t mask) { return hs_pext64(src, mask); }
uint64_t hs_pext16(uint64_t src, uint64_t mask) { return hs_pext64(src, mask); }
uint64_t hs_pext8(uint64_t src, uint64_t mask) { return hs_pext64(src, mask); }

}  // extern "C"
