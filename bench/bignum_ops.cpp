// Big-number operations against the same GMP calls made directly, in the same run:
// multiplication of two n-limb numbers (our Integer against mpn_mul into a ready buffer) and the
// addition of two small integers (our inline path against mpz_add).
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <vector>

#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "random_limbs.h"

namespace {

using rts::Value;
using namespace VUX::Num;

Value integer_of(const std::vector<mp_limb_t>& limbs) {
    return Integer::integerFromBigNat_hash(bignat_of(limbs));
}

void BM_MulIntegerBig(benchmark::State& state) {
    auto n = static_cast<size_t>(state.range(0));
    Value a = integer_of(random_limbs(n, 1)), b = integer_of(random_limbs(n, 2));
    for (auto _ : state) {
        Value r = Integer::integerMul(a, b);
        benchmark::DoNotOptimize(r.get());
    }
}

void BM_MulMpnBig(benchmark::State& state) {
    auto n = static_cast<size_t>(state.range(0));
    auto a = random_limbs(n, 1), b = random_limbs(n, 2);
    std::vector<mp_limb_t> r(2 * n);
    for (auto _ : state) {
        mpn_mul(r.data(), a.data(), static_cast<mp_size_t>(n), b.data(), static_cast<mp_size_t>(n));
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}

void BM_AddIntegerSmall(benchmark::State& state) {
    Value a = Integer::IS(123456789), b = Integer::IS(-987654);
    for (auto _ : state) {
        Value r = Integer::integerAdd(a, b);
        benchmark::DoNotOptimize(r.get());
    }
}

void BM_AddMpzSmall(benchmark::State& state) {
    mpz_t a, b, r;
    mpz_init_set_si(a, 123456789);
    mpz_init_set_si(b, -987654);
    mpz_init(r);
    for (auto _ : state) {
        mpz_add(r, a, b);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
    mpz_clear(a);
    mpz_clear(b);
    mpz_clear(r);
}

BENCHMARK(BM_MulIntegerBig)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MulMpnBig)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddIntegerSmall);
BENCHMARK(BM_AddMpzSmall);

}  // namespace

BENCHMARK_MAIN();
