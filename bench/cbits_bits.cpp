// The bit-level helpers against the compiler's builtins and the processor's instructions, in the
// same run: population count, deposit, extract and leading zeros over 4096 words per iteration.
// Each helper is called through the shared object, as generated code calls it.
#include <cpuid.h>
#include <immintrin.h>

#include <cstdint>
#include <random>
#include <vector>

#include "cbits/cbits.h"
#include "runtime_bench.h"

namespace {

constexpr size_t kWords = 4096;

struct Inputs {
    std::vector<uint64_t> words, masks;
    Inputs() {
        std::mt19937_64 rng(2024);
        for (size_t i = 0; i < kWords; ++i) {
            words.push_back(rng() >> (rng() % 64));                  // all magnitudes, so leading zeros vary
            masks.push_back(i % 2 ? rng() : rng() & rng() & rng());  // dense and sparse masks
        }
    }
};
const Inputs& inputs() {
    static const Inputs in;
    return in;
}

// A kernel computes one operation over all the inputs and returns the sum of its results. Each
// kernel is a function of its own, so the instruction kernels can be compiled for the extension
// they need with the operation inlined into their loop; the helper kernels call through the
// shared object for every word, as generated code does.
using Kernel = uint64_t (*)(const uint64_t* words, const uint64_t* masks, size_t n);

void run_kernel(benchmark::State& state, Kernel kernel) {
    const Inputs& in = inputs();
    for (auto _ : state) benchmark::DoNotOptimize(kernel(in.words.data(), in.masks.data(), kWords));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kWords));
}

// Runs `kernel` only when the processor has `feature` (the instruction kernels would fault).
void run_kernel_if(benchmark::State& state, Kernel kernel, bool feature) {
    if (!feature) {
        state.SkipWithError("the processor lacks the instruction");
        return;
    }
    run_kernel(state, kernel);
}

#define VUX_KERNEL(name, attributes, expr)                                             \
    attributes uint64_t name(const uint64_t* words, const uint64_t* masks, size_t n) { \
        uint64_t sum = 0;                                                              \
        for (size_t i = 0; i < n; ++i) {                                               \
            const uint64_t x = words[i], m = masks[i];                                 \
            (void)m;                                                                   \
            sum += (expr);                                                             \
        }                                                                              \
        return sum;                                                                    \
    }

#define VUX_NO_INLINE __attribute__((noinline))
VUX_KERNEL(helper_popcnt, VUX_NO_INLINE, hs_popcnt64(x))
VUX_KERNEL(builtin_popcount, VUX_NO_INLINE, static_cast<uint64_t>(__builtin_popcountll(x)))
VUX_KERNEL(instruction_popcnt, VUX_NO_INLINE __attribute__((target("popcnt"))),
           static_cast<uint64_t>(__builtin_popcountll(x)))
VUX_KERNEL(helper_pdep, VUX_NO_INLINE, hs_pdep64(x, m))
VUX_KERNEL(instruction_pdep, VUX_NO_INLINE __attribute__((target("bmi2"))), _pdep_u64(x, m))
VUX_KERNEL(helper_pext, VUX_NO_INLINE, hs_pext64(x, m))
VUX_KERNEL(instruction_pext, VUX_NO_INLINE __attribute__((target("bmi2"))), _pext_u64(x, m))
VUX_KERNEL(helper_clz, VUX_NO_INLINE, hs_clz64(x))
VUX_KERNEL(builtin_clz, VUX_NO_INLINE, x ? static_cast<uint64_t>(__builtin_clzll(x)) : 64)
VUX_KERNEL(instruction_lzcnt, VUX_NO_INLINE __attribute__((target("lzcnt"))), _lzcnt_u64(x))

bool cpu_supports_popcnt() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt");
}
bool cpu_supports_bmi2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("bmi2");
}
bool cpu_supports_lzcnt() {
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx) && (ecx & bit_LZCNT);
}

void BM_hs_popcnt64(benchmark::State& s) { run_kernel(s, helper_popcnt); }
void BM_builtin_popcount(benchmark::State& s) { run_kernel(s, builtin_popcount); }
void BM_popcnt_instruction(benchmark::State& s) {
    run_kernel_if(s, instruction_popcnt, cpu_supports_popcnt());
}
void BM_hs_pdep64(benchmark::State& s) { run_kernel(s, helper_pdep); }
void BM_pdep_instruction(benchmark::State& s) { run_kernel_if(s, instruction_pdep, cpu_supports_bmi2()); }
void BM_hs_pext64(benchmark::State& s) { run_kernel(s, helper_pext); }
void BM_pext_instruction(benchmark::State& s) { run_kernel_if(s, instruction_pext, cpu_supports_bmi2()); }
void BM_hs_clz64(benchmark::State& s) { run_kernel(s, helper_clz); }
void BM_builtin_clz(benchmark::State& s) { run_kernel(s, builtin_clz); }
void BM_lzcnt_instruction(benchmark::State& s) { run_kernel_if(s, instruction_lzcnt, cpu_supports_lzcnt()); }

BENCHMARK(BM_hs_popcnt64);
BENCHMARK(BM_builtin_popcount);
BENCHMARK(BM_popcnt_instruction);
BENCHMARK(BM_hs_pdep64);
BENCHMARK(BM_pdep_instruction);
BENCHMARK(BM_hs_pext64);
BENCHMARK(BM_pext_instruction);
BENCHMARK(BM_hs_clz64);
BENCHMARK(BM_builtin_clz);
BENCHMARK(BM_lzcnt_instruction);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv,
                          {{"BM_hs_popcnt64", "BM_popcnt_instruction"},
                           {"BM_hs_popcnt64", "BM_builtin_popcount"},
                           {"BM_hs_pdep64", "BM_pdep_instruction"},
                           {"BM_hs_pext64", "BM_pext_instruction"},
                           {"BM_hs_clz64", "BM_lzcnt_instruction"},
                           {"BM_hs_clz64", "BM_builtin_clz"}});
}
