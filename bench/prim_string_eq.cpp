// Equality of two equal strings (one million characters, and ten thousand, which stay in cache)
// through the String Eq record, against memcmp over the same bytes held in byte arrays.
// Report: StringEq* time / Memcmp time at the same length.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "VUX/CString.h"
#include "VUX/Classes.h"

namespace {

using rts::Value;
// The same text, made twice: two lists with no cell in common, and two byte arrays.
struct Inputs {
    size_t length;
    std::vector<char> text;
    Value xs, ys, bytes_x, bytes_y;
    explicit Inputs(size_t n) : length(n), text(n) {
        for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
        xs = VUX::CString::unpackNBytes_hash(text.data(), static_cast<int64_t>(n));
        ys = VUX::CString::unpackNBytes_hash(text.data(), static_cast<int64_t>(n));
        bytes_x = rts::byte_array_from(text.data(), n);
        bytes_y = rts::byte_array_from(text.data(), n);
    }
};
Inputs& inputs(const benchmark::State& state) {
    static std::map<size_t, std::unique_ptr<Inputs>> made;
    auto n = static_cast<size_t>(state.range(0));
    auto& slot = made[n];
    if (!slot) slot = std::make_unique<Inputs>(n);
    return *slot;
}

void StringEqRecord(benchmark::State& state) {
    Inputs& in = inputs(state);
    Value eq = VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_List_Char());
    for (auto _ : state) {
        Value r = rts::apply(eq, in.xs, in.ys);
        if (!VUX::Types::isTrue(r)) state.SkipWithError("strings compared unequal");
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.length));
}

// The same through the list instance built from the Char record (one call per element).
void StringEqGenericRecord(benchmark::State& state) {
    Inputs& in = inputs(state);
    Value eq = VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_List(VUX::Classes::inst_Eq_Char()));
    for (auto _ : state) {
        Value r = rts::apply(eq, in.xs, in.ys);
        if (!VUX::Types::isTrue(r)) state.SkipWithError("strings compared unequal");
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.length));
}

void Memcmp(benchmark::State& state) {
    Inputs& in = inputs(state);
    for (auto _ : state) {
        const uint8_t* a = rts::bytes_data(in.bytes_x);
        const uint8_t* b = rts::bytes_data(in.bytes_y);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        int r = std::memcmp(a, b, rts::bytes_length(in.bytes_x));
        if (r != 0) state.SkipWithError("bytes compared unequal");
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.length));
}

BENCHMARK(Memcmp)->Arg(10'000)->Arg(1'000'000);
BENCHMARK(StringEqRecord)->Arg(10'000)->Arg(1'000'000);
BENCHMARK(StringEqGenericRecord)->Arg(10'000)->Arg(1'000'000);

}  // namespace

BENCHMARK_MAIN();
