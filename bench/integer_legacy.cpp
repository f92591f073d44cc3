// The legacy big-integer interface against GMP's mpn layer in the same run: the cost of boxing
// and unboxing BigNats around an addition of two n-limb numbers (plusBigNat against mpn_add into a
// ready buffer), and the limb population count (popCountBigNat against mpn_popcount).
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <vector>

#include "VUX/Integer/GMP/Internals.h"
#include "random_limbs.h"

namespace {

using rts::Value;
namespace L = VUX::Integer::GMP::Internals;

Value bigNatOf(const std::vector<mp_limb_t>& limbs) { return L::BN_hash(bignat_of(limbs)); }

void BM_PlusBigNat(benchmark::State& state) {
    auto n = static_cast<size_t>(state.range(0));
    Value a = bigNatOf(random_limbs(n, 1)), b = bigNatOf(random_limbs(n, 2));
    for (auto _ : state) {
        Value r = L::plusBigNat(a, b);
        benchmark::DoNotOptimize(r.get());
    }
}

void BM_PlusMpn(benchmark::State& state) {
    auto n = static_cast<size_t>(state.range(0));
    auto a = random_limbs(n, 1), b = random_limbs(n, 2);
    std::vector<mp_limb_t> r(n + 1);
    for (auto _ : state) {
        r[n] = mpn_add_n(r.data(), a.data(), b.data(), static_cast<mp_size_t>(n));
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}

void BM_PopCountBigNat(benchmark::State& state) {
    Value a = bigNatOf(random_limbs(static_cast<size_t>(state.range(0)), 3));
    for (auto _ : state) benchmark::DoNotOptimize(L::popCountBigNat(a));
}

void BM_PopCountMpn(benchmark::State& state) {
    auto a = random_limbs(static_cast<size_t>(state.range(0)), 3);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mpn_popcount(a.data(), static_cast<mp_size_t>(a.size())));
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_PlusBigNat)->Arg(2)->Arg(64)->Arg(4096);
BENCHMARK(BM_PlusMpn)->Arg(2)->Arg(64)->Arg(4096);
BENCHMARK(BM_PopCountBigNat)->Arg(2)->Arg(4096);
BENCHMARK(BM_PopCountMpn)->Arg(2)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
