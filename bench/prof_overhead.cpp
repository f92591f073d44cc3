// The cost of profiling: the same work on the plain and on the profiling variant of vux-prim.
//
// This file is built twice: prof_overhead links vux-prim, prof_overhead_p links vux-prim_p (and is
// itself compiled for profiling, so its own allocations are charged too). Each run measures the work
// and a reference that does not touch the libraries (a comparison of two std::vectors); the overhead
// of profiling is (profiling work / profiling reference) / (plain work / plain reference).
//
//   CompareIntLists   compare of the [Int] Ord record on two lists that differ only in the last
//                     element: one entry of a list function, then one call of compareInt per element
//   EqIntLists        == of the [Int] Eq record on two equal lists
//   BuildIntList      n list cells and n boxes: the allocation path alone
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "VUX/Classes.h"
#include "VUX/Types.h"

namespace {

using namespace VUX::Types;
using namespace VUX::Classes;

// [1, 2 .. n-1, last]
Value int_list(int64_t n, int64_t last) {
    Value xs = Cons(I_hash(last), Nil());
    for (int64_t i = n - 1; i >= 1; --i) xs = Cons(I_hash(i), std::move(xs));
    return xs;
}

void BM_CompareIntLists(benchmark::State& state) {
    int64_t n = state.range(0);
    Value xs = int_list(n, 0), ys = int_list(n, 1);
    Value cmp = compare(inst_Ord_List(inst_Ord_Int()));
    for (auto _ : state) {
        Value r = rts::apply(cmp, xs, ys);
        benchmark::DoNotOptimize(rts::force(r)->tag);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CompareIntLists)->Arg(1000);

void BM_EqIntLists(benchmark::State& state) {
    int64_t n = state.range(0);
    Value xs = int_list(n, 0), ys = int_list(n, 0);
    Value eq = op_eq_eq(inst_Eq_List(inst_Eq_Int()));
    for (auto _ : state) {
        Value r = rts::apply(eq, xs, ys);
        benchmark::DoNotOptimize(rts::force(r)->tag);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EqIntLists)->Arg(1000);

void BM_BuildIntList(benchmark::State& state) {
    int64_t n = state.range(0);
    for (auto _ : state) {
        Value xs = int_list(n, 0);
        benchmark::DoNotOptimize(xs.get());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BuildIntList)->Arg(1000);

// The reference: the same comparison on vectors, untouched by either variant.
void BM_Reference_VectorCompare(benchmark::State& state) {
    int64_t n = state.range(0);
    std::vector<int64_t> a(n), b(n);
    for (int64_t i = 0; i < n; ++i) a[i] = b[i] = i + 1;
    a.back() = 0;
    b.back() = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
        bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
        benchmark::DoNotOptimize(less);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Reference_VectorCompare)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
