// Parallel bit deposit: the low bits of `src`, in order, go to the positions of the set bits of
// `mask`. Processors with fast BMI2 use PDEP; the portable loop visits the set bits of `mask` from
// the lowest upward. The narrow forms take full words: a deposit never leaves `mask`, so a mask
// within the width gives a result within the width.
#include <immintrin.h>

#include "cbits/cbits.h"
#include "cbits/internal.h"

namespace vux_cbits {
namespace {

__attribute__((target("bmi2"))) uint64_t pdep_instruction(uint64_t src, uint64_t mask) {
    return _pdep_u64(src, mask);
}

constinit CpuDispatch<uint64_t (*)(uint64_t, uint64_t)> pdep{&pdep_instruction, &pdep_portable,
                                                             &cpu_has_fast_bmi2};

}  // namespace

bool cpu_has_fast_bmi2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("bmi2") && !__builtin_cpu_is("znver1") && !__builtin_cpu_is("znver2");
}

uint64_t pdep_portable(uint64_t src, uint64_t mask) {
    uint64_t result = 0;
    for (; mask != 0; src >>= 1) {
        const uint64_t lowest = mask & (~mask + 1);  // the lowest set bit of mask
        if (src & 1) result |= lowest;
        mask ^= lowest;
    }
    return result;
}

}  // namespace vux_cbits

extern "C" {

uint64_t hs_pdep64(uint64_t src, uint64_t mask) { return vux_cbits::pdep.get()(src, mask); }
uint64_t hs_pdep32(uint64_t src, uint64_t mask) { return hs_pdep64(src, mask); }
uint64_t hs_pdep16(uint64_t src, uint64_t mask) { return hs_pdep64(src, mask); }
uint64_t hs_pdep8(uint64_t src, uint64_t mask) { return hs_pdep64(src, mask); }

}  // extern "C"
