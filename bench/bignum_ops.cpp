// Big-number operations against the same GMP calls made directly, in the same run.
//
// Integer addition, subtraction, multiplication, quotient and remainder of n-limb operands
// (n = 1, 2, 10, 100, 1000; the division's dividend has 2n limbs and its divisor n) against the
// mpz_ call writing into a result that is already allocated. Each ratio printed is ours over
// GMP's; on a shared machine run with --benchmark_repetitions=10
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
    pairs.emplace_back("BM_MulIntegerBig/100000", "BM_MulMpnBig/100000");
    pairs.emplace_back("BM_AddIntegerSmall", "BM_AddMpzSmall");
    return pairs;
}

}  // namespace

int main(int argc, char** argv) { return rts_bench::run(argc, argv, ratio_pairs()); }
