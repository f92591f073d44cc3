// Printing through the syntax printer's document layer against printing the same text as a plain
// document. Both build the vcat of N names, each name met twice (N/2 distinct unique names, first
// met in ascending order, so the layer's renumbering prints the very text the plain document
// holds), render it and count the characters. The ratios printed at the end come from one run:
//   - overhead: the layer (computations, the renumbering map) over the plain document;
//   - growth: time at 10^5 names over time at 10^4 (linear growth means about 10).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/PprLib.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Num/Integer.h"
#include "rts/Stack.h"

namespace {

namespace L = VUX::Boot::TH::PprLib;
namespace S = VUX::Internal::TH::Syntax;
namespace D = Text::PrettyPrint::Drovane;
using rts::Value;
using VUX::Types::Cons;
using VUX::Types::Nil;

std::vector<Value> names(int64_t n) {
    std::vector<Value> out;
    for (int64_t i = 0; i < n; ++i) out.push_back(S::mkNameU("v", 1000 + i % (n / 2)));
    return out;
}
size_t length(Value text) {
    size_t n = 0;
    for (Value l = rts::force(text); l->tag == VUX::Types::Cons_tag; ++n) {
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return n;
}
template <class F>
Value vcatOf(const std::vector<Value>& ns, F each) {
    Value l = Nil();
    for (auto it = ns.rbegin(); it != ns.rend(); ++it) l = Cons(each(*it), std::move(l));
    return l;
}
size_t throughLayer(const std::vector<Value>& ns) {
    return length(L::show(L::vcat(vcatOf(ns, [](const Value& n) { return L::pprName(n); }))));
}
size_t plain(const std::vector<Value>& ns) {
    // The names as the layer prints them: v_0, v_1, ... in order of first meeting.
    return length(D::render(D::vcat(vcatOf(ns, [](const Value& n) {
        int64_t k = VUX::Num::Integer::integerToInt_hash(rts::force(rts::field(S::nameFlavour(n), 0))) - 1000;
        return D::text(S::showName(S::mkNameU("v", k)));
    }))));
}

std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}
void measure(benchmark::State& state, const char* name, size_t (*print)(const std::vector<Value>&)) {
    std::vector<Value> ns = names(state.range(0));
    for (auto _ : state) {
        size_t chars = 0;
        auto t0 = std::chrono::steady_clock::now();
        rts::run_on_large_stack([&] { chars = print(ns); });
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(chars);
        double& best = fastest()[std::string(name) + "/" + std::to_string(state.range(0))];
        if (best == 0 || seconds < best) best = seconds;
    }
}
void BM_Layer(benchmark::State& s) { measure(s, "layer", throughLayer); }
void BM_Plain(benchmark::State& s) { measure(s, "plain", plain); }

}  // namespace

BENCHMARK(BM_Plain)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Layer)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    size_t a = 0, b = 0;
    rts::run_on_large_stack([&] { a = throughLayer(names(1000)), b = plain(names(1000)); });
    if (a != b) {
        std::fprintf(stderr, "the layer printed %zu characters, the plain document %zu\n", a, b);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto& f = fastest();
    if (f.size() == 4) {
        std::printf("overhead (layer / plain): %.2f at 10^4, %.2f at 10^5\n",
                    f["layer/10000"] / f["plain/10000"], f["layer/100000"] / f["plain/100000"]);
        std::printf("growth (10^5 / 10^4): layer %.2f, plain %.2f\n", f["layer/100000"] / f["layer/10000"],
                    f["plain/100000"] / f["plain/10000"]);
    }
    return 0;
}
