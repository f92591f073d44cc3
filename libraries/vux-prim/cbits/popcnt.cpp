// Population count of the low 8, 16, 32 or 64 bits. The portable way adds the entries of
// `popcount_tab` for each byte; processors with POPCNT use the instruction for the full word.
#include "cbits/cbits.h"
#include "cbits/internal.h"

// Entry i is the number of set bits of i: each group of four entries extends the previous count by
// the two new low bits (0, 1, 1, 2).
#define VUX_POP2(n) n, n + 1, n + 1, n + 2
#define VUX_POP4(n) VUX_POP2(n), VUX_POP2(n + 1), VUX_POP2(n + 1), VUX_POP2(n + 2)
#define VUX_POP6(n) VUX_POP4(n), VUX_POP4(n + 1), VUX_POP4(n + 1), VUX_POP4(n + 2)
extern "C" constexpr uint8_t popcount_tab[256] = {VUX_POP6(0), VUX_POP6(1), VUX_POP6(1), VUX_POP6(2)};
#undef VUX_POP2
#undef VUX_POP4
#undef VUX_POP6

namespace vux_cbits {
namespace {

constexpr bool table_is_correct() {
    for (unsigned i = 0; i < 256; ++i) {
        unsigned bits = 0;
        for (unsigned v = i; v != 0; v >>= 1) bits += v & 1;
        if (popcount_tab[i] != bits) return false;
    }
    return true;
}
static_assert(table_is_correct());

// The sum of the table entries of the low `Bytes` bytes of `x`.
template <unsigned Bytes>
uint64_t table_sum(uint64_t x) {
    uint64_t count = 0;
    for (unsigned i = 0; i < Bytes; ++i) count += popcount_tab[(x >> (8 * i)) & 0xFF];
    return count;
}

__attribute__((target("popcnt"))) uint64_t popcnt_instruction(uint64_t x) {
    return static_cast<uint64_t>(__builtin_popcountll(x));
}

constinit CpuDispatch<uint64_t (*)(uint64_t)> popcnt64{&popcnt_instruction, &popcnt_by_table,
                                                       &cpu_has_popcnt};

}  // namespace

bool cpu_has_popcnt() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt");
}

uint64_t popcnt_by_table(uint64_t x) { return table_sum<8>(x); }

}  // namespace vux_cbits

extern "C" {

uint64_t hs_popcnt8(uint64_t x) { return vux_cbits::table_sum<1>(x); }
uint64_t hs_popcnt16(uint64_t x) { return vux_cbits::table_sum<2>(x); }
uint64_t hs_popcnt32(uint64_t x) { return vux_cbits::table_sum<4>(x); }
uint64_t hs_popcnt64(uint64_t x) { return vux_cbits::popcnt64.get()(x); }
uint64_t hs_popcnt(uint64_t x) { return vux_cbits::popcnt64.get()(x); }

}  // extern "C"
