// A lazy list of boxed Ints, produced and summed incrementally: time per element against the same
// objects made and dropped with malloc and free, and peak memory that must not grow with length.
//
//   runtime_lazy_list                      the benchmarks, with ratios
//   runtime_lazy_list --peak-rss <n>       sums a list of n elements in this process and prints
//                                          the process's peak resident set size
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rts/rts.h"
#include "runtime_bench.h"

namespace {

using rts::Value;

constinit const rts::StaticNullary nil{0};
constexpr uint8_t kNilTag = 0, kConsTag = 1;

Value box(int64_t i) { return rts::con_word(0, static_cast<uint64_t>(i)); }

// [i .. n], each cell made when demanded.
Value enum_from_to(int64_t i, int64_t n) {
    return rts::delay([i, n]() -> Value {
        if (i > n) return nil.value();
        return rts::con(kConsTag, box(i), enum_from_to(i + 1, n));
    });
}

// Sums a list while dropping the cells behind it, so only the current cell is alive.
int64_t sum(Value list) {
    int64_t total = 0;
    Value cur = std::move(list);
    for (;;) {
        const Value& cell = rts::force(cur);
        if (rts::tag_of(cell) == kNilTag) return total;
        total += rts::int_word(rts::force(rts::field(cell, 0)), 0);
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

void BM_LazyListSum(benchmark::State& state) {
    const int64_t n = state.range(0);
    for (auto _ : state) benchmark::DoNotOptimize(sum(enum_from_to(1, n)));
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LazyListSum)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The reference: per element, the same three objects (suspended cell, cell, box) made with
// malloc, read, and freed.
void BM_MallocTriplesSum(benchmark::State& state) {
    const int64_t n = state.range(0);
    for (auto _ : state) {
        int64_t total = 0;
        for (int64_t i = 1; i <= n; ++i) {
            void* thunk = std::malloc(sizeof(rts::ThunkObject) + 16);
            void* cell = std::malloc(rts::con_size(2, 0));
            auto* b = static_cast<int64_t*>(std::malloc(rts::con_size(0, 1)));
            benchmark::DoNotOptimize(thunk);
            benchmark::DoNotOptimize(cell);
            b[1] = i;
            benchmark::ClobberMemory();
            total += b[1];
            std::free(b);
            std::free(cell);
            std::free(thunk);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MallocTriplesSum)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int peak_rss(int64_t n) {
    int64_t total = sum(enum_from_to(1, n));
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("n=%lld sum=%lld peak_rss_kib=%ld\n", static_cast<long long>(n), static_cast<long long>(total),
                ru.ru_maxrss);
    return total == n * (n + 1) / 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--peak-rss") == 0) return peak_rss(std::atoll(argv[2]));
    return rts_bench::run(argc, argv, {{"BM_LazyListSum/1000000", "BM_MallocTriplesSum/1000000"}});
}
