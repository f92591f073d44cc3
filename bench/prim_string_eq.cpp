// Equality of two equal strings of one million characters through the String Eq record, against
// memcmp over the same bytes held in byte arrays. Report: StringEq* time / Memcmp time.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "VUX/CString.h"
#include "VUX/Classes.h"

namespace {

using rts::Value;
constexpr size_t kLength = 1'000'000;

// The same text, made twice: two lists with no cell in common, and two byte arrays.
struct Inputs {
    std::vector<char> text;
    Value xs, ys, bytes_x, bytes_y;
    Inputs() : text(kLength) {
        for (size_t i = 0; i < kLength; ++i) text[i] = static_cast<char>('a' + i % 26);
        xs = VUX::CString::unpackNBytes_hash(text.data(), kLength);
        ys = VUX::CString::unpackNBytes_hash(text.data(), kLength);
        bytes_x = rts::byte_array_from(text.data(), kLength);
        bytes_y = rts::byte_array_from(text.data(), kLength);
    }
};
Inputs& inputs() {
    static Inputs in;
    return in;
}

void StringEqRecord(benchmark::State& state) {
    Inputs& in = inputs();
    Value eq = VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_List_Char());
    for (auto _ : state) {
        Value r = rts::apply(eq, in.xs, in.ys);
        if (!VUX::Types::isTrue(r)) state.SkipWithError("strings compared unequal");
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations() * kLength);
}

// The same through the list instance built from the Char record (one call per element).
void StringEqGenericRecord(benchmark::State& state) {
    Inputs& in = inputs();
    Value eq = VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_List(VUX::Classes::inst_Eq_Char()));
    for (auto _ : state) {
        Value r = rts::apply(eq, in.xs, in.ys);
        if (!VUX::Types::isTrue(r)) state.SkipWithError("strings compared unequal");
        benchmark::DoNotOptimize(r.get());
    }
    state.SetItemsProcessed(state.iterations() * kLength);
}

void Memcmp(benchmark::State& state) {
    Inputs& in = inputs();
    for (auto _ : state) {
        const uint8_t* a = rts::bytes_data(in.bytes_x);
        const uint8_t* b = rts::bytes_data(in.bytes_y);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        int r = std::memcmp(a, b, rts::bytes_length(in.bytes_x));
        if (r != 0) state.SkipWithError("bytes compared unequal");
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * kLength);
}

BENCHMARK(Memcmp);
BENCHMARK(StringEqRecord);
BENCHMARK(StringEqGenericRecord);

}  // namespace

BENCHMARK_MAIN();
