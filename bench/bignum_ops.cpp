// Big-number operations against the same GMP calls made directly, in the same run.
//
// Integer addition, subtraction, multiplication, quotient and remainder of n-limb operands
// (n = 1, 2, 10, 100, 1000; the division's dividend has 2n limbs and its divisor n; every limb
// random, the top one with its top bit set, both operands positive). Each side gets the same
// limbs:
// - ours: each iteration calls the operation on two Integers made beforehand (as arithmetic makes
//   them) and releases the result at the end of the iteration, so the time includes the result's
//   allocation and its release;
// - GMP's: each iteration calls the mpz_ function (mpz_add, mpz_sub, mpz_mul, mpz_tdiv_q,
//   mpz_tdiv_r) on two mpz_t made beforehand, into one result mpz_t reused across iterations, as
//   a caller that keeps its variables does; its room is allocated before timing starts.
// The allocation and release alone of an object the size of an n-limb sum (the limbs inline,
// after their count), over mpz_add of n limbs, shows what share of that budget goes to memory.
// Each ratio printed is ours over GMP's; on a shared machine run with --benchmark_repetitions=10
// --benchmark_enable_random_interleaving=true and read the ratios of the medians. Also: the
// addition of two small integers (our inline path against mpz_add) and multiplication at 100 000
// limbs (against mpn_mul into a ready buffer).
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <vector>

#include "runtime_bench.h"

#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "random_limbs.h"

namespace {

using rts::Value;
using namespace VUX::Num;

// The Integer of these limbs, made as arithmetic makes its results.
Value integer_of(const std::vector<mp_limb_t>& limbs) {
    return Integer::integerFromAddr_hash(limbs.size() * sizeof(mp_limb_t), limbs.data(), 0);
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

// An mpz_t holding the same limbs, freed at the end of the benchmark.
struct Mpz {
    mpz_t z;
    explicit Mpz(const std::vector<mp_limb_t>& limbs) {
        mpz_init(z);
        mpz_import(z, limbs.size(), -1, sizeof(mp_limb_t), 0, 0, limbs.data());
    }
    Mpz() { mpz_init(z); }
    ~Mpz() { mpz_clear(z); }
};

// The operands of an operation at n limbs: a and b of n limbs, except for division, whose
// dividend has 2n limbs.
struct Operands {
    std::vector<mp_limb_t> a, b;
    Operands(size_t n, bool division) : a(random_limbs(division ? 2 * n : n, 1)), b(random_limbs(n, 2)) {}
};

enum class Op { Add, Sub, Mul, Quot, Rem };

template <Op op>
Value integer_op(const Value& a, const Value& b) {
    if constexpr (op == Op::Add) return Integer::integerAdd(a, b);
    if constexpr (op == Op::Sub) return Integer::integerSub(a, b);
    if constexpr (op == Op::Mul) return Integer::integerMul(a, b);
    if constexpr (op == Op::Quot) return Integer::integerQuot(a, b);
    if constexpr (op == Op::Rem) return Integer::integerRem(a, b);
}

template <Op op>
void mpz_op(mpz_t r, const mpz_t a, const mpz_t b) {
    if constexpr (op == Op::Add) mpz_add(r, a, b);
    if constexpr (op == Op::Sub) mpz_sub(r, a, b);
    if constexpr (op == Op::Mul) mpz_mul(r, a, b);
    if constexpr (op == Op::Quot) mpz_tdiv_q(r, a, b);
    if constexpr (op == Op::Rem) mpz_tdiv_r(r, a, b);
}

constexpr bool is_division(Op op) { return op == Op::Quot || op == Op::Rem; }

template <Op op>
void BM_Integer(benchmark::State& state) {
    Operands o(static_cast<size_t>(state.range(0)), is_division(op));
    Value a = integer_of(o.a), b = integer_of(o.b);
    for (auto _ : state) {
        Value r = integer_op<op>(a, b);
        benchmark::DoNotOptimize(r.get());
    }
}

template <Op op>
void BM_Mpz(benchmark::State& state) {
    Operands o(static_cast<size_t>(state.range(0)), is_division(op));
    Mpz a(o.a), b(o.b), r;
    mpz_op<op>(r.z, a.z, b.z);  // the result's room is allocated before timing
    for (auto _ : state) {
        mpz_op<op>(r.z, a.z, b.z);
        benchmark::DoNotOptimize(r.z);
        benchmark::ClobberMemory();
    }
}

// What a sum of n-limb operands costs in memory alone, allocated and released as the result is:
// n + 1 limbs inline after their count, or beyond 254 limbs a byte array under a constructor.
template <size_t N>
void BM_ResultAlloc(benchmark::State& state) {
    constexpr size_t limbs = N + 1;
    for (auto _ : state) {
        Value r;
        if constexpr (limbs <= 254)
            r = Value::adopt(rts::alloc_con(Integer::IP_tag, 0, limbs + 1));
        else
            r = Integer::IP(rts::new_byte_array_uninit(limbs * sizeof(mp_limb_t)));
        benchmark::DoNotOptimize(r.get());
    }
}

constexpr int kLimbCounts[] = {1, 2, 10, 100, 1000};

void limb_args(benchmark::internal::Benchmark* b) {
    for (int n : kLimbCounts) b->Arg(n);
}

BENCHMARK(BM_Integer<Op::Add>)->Name("BM_IntegerAdd")->Apply(limb_args);
BENCHMARK(BM_Mpz<Op::Add>)->Name("BM_MpzAdd")->Apply(limb_args);
BENCHMARK(BM_Integer<Op::Sub>)->Name("BM_IntegerSub")->Apply(limb_args);
BENCHMARK(BM_Mpz<Op::Sub>)->Name("BM_MpzSub")->Apply(limb_args);
BENCHMARK(BM_Integer<Op::Mul>)->Name("BM_IntegerMul")->Apply(limb_args);
BENCHMARK(BM_Mpz<Op::Mul>)->Name("BM_MpzMul")->Apply(limb_args);
BENCHMARK(BM_Integer<Op::Quot>)->Name("BM_IntegerQuot")->Apply(limb_args);
BENCHMARK(BM_Mpz<Op::Quot>)->Name("BM_MpzQuot")->Apply(limb_args);
BENCHMARK(BM_Integer<Op::Rem>)->Name("BM_IntegerRem")->Apply(limb_args);
BENCHMARK(BM_Mpz<Op::Rem>)->Name("BM_MpzRem")->Apply(limb_args);

BENCHMARK(BM_ResultAlloc<1>)->Name("BM_ResultAlloc/1");
BENCHMARK(BM_ResultAlloc<2>)->Name("BM_ResultAlloc/2");
BENCHMARK(BM_ResultAlloc<10>)->Name("BM_ResultAlloc/10");
BENCHMARK(BM_ResultAlloc<100>)->Name("BM_ResultAlloc/100");
BENCHMARK(BM_ResultAlloc<1000>)->Name("BM_ResultAlloc/1000");
BENCHMARK(BM_MulIntegerBig)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MulMpnBig)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddIntegerSmall);
BENCHMARK(BM_AddMpzSmall);

std::vector<std::pair<std::string, std::string>> ratio_pairs() {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char* op : {"Add", "Sub", "Mul", "Quot", "Rem"})
        for (int n : kLimbCounts)
            pairs.emplace_back(std::string("BM_Integer") + op + "/" + std::to_string(n),
                               std::string("BM_Mpz") + op + "/" + std::to_string(n));
    for (int n : kLimbCounts)
        pairs.emplace_back("BM_ResultAlloc/" + std::to_string(n), "BM_MpzAdd/" + std::to_string(n));
    pairs.emplace_back("BM_MulIntegerBig/100000", "BM_MulMpnBig/100000");
    pairs.emplace_back("BM_AddIntegerSmall", "BM_AddMpzSmall");
    return pairs;
}

}  // namespace

int main(int argc, char** argv) { return rts_bench::run(argc, argv, ratio_pairs()); }
