// `show` of doubles (text as a character list) against std::to_chars of the same values.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <random>
#include <vector>

#include "VUX/Internal/Float.h"
#include "VUX/Internal/List.h"
#include "VUX/Types.h"

namespace {

std::vector<double> values() {
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> exp(-30, 30);
    std::vector<double> v(1000000);
    for (double& x : v) x = std::ldexp(mant(gen), exp(gen) * 3);
    return v;
}

void BM_ShowDouble(benchmark::State& state) {
    auto xs = values();
    for (auto _ : state) {
        size_t total = 0;
        for (double x : xs) {
            rts::Value s = VUX::Internal::Float::showFloat(x, VUX::Types::Nil());
            total += static_cast<size_t>(s->tag);
            benchmark::DoNotOptimize(s);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}

void BM_ToChars(benchmark::State& state) {
    auto xs = values();
    char buf[64];
    for (auto _ : state) {
        size_t total = 0;
        for (double x : xs) total += static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, x).ptr - buf);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}

// The digits alone (the same text in a buffer), to separate layout from list building.
void BM_FormatDouble(benchmark::State& state) {
    auto xs = values();
    char buf[64];
    for (auto _ : state) {
        size_t total = 0;
        for (double x : xs) total += VUX::Internal::Float::formatDouble(x, buf);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}

}  // namespace

BENCHMARK(BM_ToChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatDouble)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowDouble)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
