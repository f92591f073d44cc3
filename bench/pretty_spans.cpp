// renderSpans of a document of n annotated one-character chunks, against plain rendering (render)
// of the same document, both consumed to the end, on the large-stack thread. The reference is
// render; report the ratio of the two times at the same n, and the growth from n to 10n.
//
//   pretty_spans --benchmark_filter=.   (arguments: 10^5 and 10^6 chunks)
#include <benchmark/benchmark.h>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "VUX/Types.h"

namespace {

namespace D = Text::PrettyPrint::Annotated::Drovane;
using rts::Value;
using namespace VUX::Types;

// hcat of n chunks, chunk i being `annotate i (char c)`, the list produced on demand.
Value chunks(int64_t i, int64_t n) {
    if (i == n) return Nil();
    return Cons(D::annotate(I_hash(i), D::char_(C_hash('a' + i % 26))), rts::delay([i, n] { return chunks(i + 1, n); }));
}

// Walks a list to its end, dropping the cells behind it.
int64_t drain(Value list) {
    int64_t n = 0;
    Value cur = std::move(list);
    for (;;) {
        const Value& c = rts::force(cur);
        if (c->tag == Nil_tag) return n;
        ++n;
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
}

void BM_render(benchmark::State& state) {
    int64_t n = state.range(0);
    for (auto _ : state) {
        int64_t chars = 0;
        rts::run_on_large_stack([&] { chars = drain(D::render(D::hcat(chunks(0, n)))); });
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_renderSpans(benchmark::State& state) {
    int64_t n = state.range(0);
    for (auto _ : state) {
        int64_t total = 0;
        rts::run_on_large_stack([&] {
            Value pair = D::renderSpans(D::hcat(chunks(0, n)));
            Value out = rts::field(rts::force(pair), 0);
            Value spans = rts::field(rts::force(pair), 1);
            pair = Value();
            total = drain(std::move(out)) + drain(std::move(spans));
        });
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_render)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_renderSpans)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
