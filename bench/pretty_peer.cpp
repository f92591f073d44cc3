// Rendering the documents that bench/compare-peer.sh also gives to another document printer, and
// shapes whose cost grows faster than their size. Every measurement builds the document first,
// then times `renderStyle` (page mode, line length 80, one ribbon per line) and appending every
// character of the result to a std::string.
//
// Without arguments it runs the measurements under Google Benchmark and prints growth ratios from
// the same run (the time at twice or ten times the size over the time at the smaller size).
// `pretty_peer --once KIND N` builds and renders one document and prints "KIND N MS BYTES", the
// line the peer's runner prints; KIND is one of flat, fill, nested, nested-one, sep-nested,
// annotate-nested, staircase. `pretty_peer --print KIND N` writes the rendered text instead.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/List.h"
#include "rts/Stack.h"

namespace {

namespace D = Text::PrettyPrint::Annotated::Drovane;
using rts::Value;
using VUX::Types::Cons;
using VUX::Types::I_hash;
using VUX::Types::Nil;

Value text(std::string_view s) { return D::text(VUX::Internal::List::fromBytes(s)); }
Value nest2(const Value& d) { return D::nest(I_hash(2), d); }

// A list of documents, built in full.
Value listOf(std::vector<Value> docs) {
    Value list = Nil();
    for (size_t i = docs.size(); i-- > 0;) list = Cons(std::move(docs[i]), std::move(list));
    return list;
}

// n lines, each `sep [item, nest 2 alphaI, nest 2 beta, nest 2 gamma, nest 2 delta]`, stacked.
Value flatDoc(int64_t n) {
    std::vector<Value> lines;
    lines.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        lines.push_back(D::sep(listOf({text("item"), nest2(text("alpha" + std::to_string(i))),
                                       nest2(text("beta")), nest2(text("gamma")), nest2(text("delta"))})));
    return D::vcat(listOf(std::move(lines)));
}

// fsep of n words wI, I = i mod 1000.
Value fillDoc(int64_t n) {
    std::vector<Value> words;
    words.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) words.push_back(text("w" + std::to_string(i % 1000)));
    return D::fsep(listOf(std::move(words)));
}

std::string nodeOpen(int64_t i) { return "node" + std::to_string(i % 10) + "("; }

// n levels `cat [nodeK(, nest 2 (sep [x,, d]), )]` around leaf.
Value nestedDoc(int64_t n) {
    Value d = text("leaf");
    for (int64_t i = 0; i < n; ++i)
        d = D::cat(listOf({text(nodeOpen(i)), nest2(D::sep(listOf({text("x,"), d}))), text(")")}));
    return d;
}

// n levels `cat [nodeK(, nest 2 x,, nest 2 d, )]` around leaf: one choice per level.
Value nestedOneDoc(int64_t n) {
    Value d = text("leaf");
    for (int64_t i = 0; i < n; ++i)
        d = D::cat(listOf({text(nodeOpen(i)), nest2(text("x,")), nest2(d), text(")")}));
    return d;
}

// sep [x, sep [x, ... leaf]] n deep.
Value sepNestedDoc(int64_t n) {
    Value d = text("leaf");
    for (int64_t i = 0; i < n; ++i) d = D::sep(listOf({text("x"), d}));
    return d;
}

// annotate a (x <> annotate a (x <> ... leaf)) n deep.
Value annotateNestedDoc(int64_t n) {
    Value d = text("leaf");
    for (int64_t i = 0; i < n; ++i) d = D::annotate(I_hash(i), D::op_lt_gt(text("x"), d));
    return d;
}

// ((a $$ y) <> "") $$ y ... with n steps.
Value staircaseDoc(int64_t n) {
    Value d = text("a");
    for (int64_t i = 0; i < n; ++i) d = D::op_lt_gt(D::op_dollar_dollar(d, text("y")), text(""));
    return d;
}

using Builder = Value (*)(int64_t);
const std::map<std::string, Builder>& builders() {
    static const std::map<std::string, Builder> m{{"flat", flatDoc},
                                                  {"fill", fillDoc},
                                                  {"nested", nestedDoc},
                                                  {"nested-one", nestedOneDoc},
                                                  {"sep-nested", sepNestedDoc},
                                                  {"annotate-nested", annotateNestedDoc},
                                                  {"staircase", staircaseDoc}};
    return m;
}

Value pageStyle() {
    return D::Style(Value::adopt(D::Mode_closure_tbl[D::PageMode_tag]), I_hash(80), VUX::Types::F_hash(1.0f));
}

// Builds the document (untimed), then renders it; returns the seconds and the bytes rendered.
// With `print`, also writes the rendered text to standard output.
std::pair<double, size_t> renderTimed(Builder build, int64_t n, bool print = false) {
    double seconds = 0;
    size_t bytes = 0;
    rts::run_on_large_stack([&] {
        Value doc = build(n);
        auto t0 = std::chrono::steady_clock::now();
        std::string out;
        {
            Value rendered = D::renderStyle(pageStyle(), doc);
            out = VUX::Internal::List::toUtf8(std::move(rendered));
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
        if (print) std::fwrite(out.data(), 1, out.size(), stdout);
    });
    return {seconds, bytes};
}

std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}

void BM_Render(benchmark::State& state, const std::string& kind) {
    const int64_t n = state.range(0);
    size_t bytes = 0;
    for (auto _ : state) {
        auto [seconds, size] = renderTimed(builders().at(kind), n);
        state.SetIterationTime(seconds);
        bytes = size;
        double& best = fastest()[kind + "/" + std::to_string(n)];
        if (best == 0 || seconds < best) best = seconds;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void registerAll() {
    struct Row {
        const char* kind;
        std::vector<int64_t> sizes;
        int iterations;
    };
    // The five compared documents at their sizes, then the shapes that grow faster than their size
    // at sizes that finish in seconds.
    const Row rows[] = {{"flat", {100000, 1000000}, 3}, {"fill", {1000000}, 3},
                        {"nested", {1000, 5000}, 1},    {"nested-one", {1000, 5000}, 1},
                        {"sep-nested", {250, 500}, 1},  {"annotate-nested", {1000, 2000}, 1},
                        {"staircase", {1000, 10000}, 1}};
    for (const Row& row : rows) {
        std::string kind = row.kind;
        auto* b = benchmark::RegisterBenchmark(("Render/" + kind).c_str(),
                                               [kind](benchmark::State& s) { BM_Render(s, kind); });
        for (int64_t n : row.sizes) b->Arg(n);
        b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(row.iterations);
    }
}

void printGrowth() {
    auto& f = fastest();
    auto ratio = [&](const std::string& kind, int64_t small, int64_t large) {
        std::string a = kind + "/" + std::to_string(large), b = kind + "/" + std::to_string(small);
        if (f.count(a) && f.count(b))
            std::printf("%-16s %8lld / %-8lld %8.2f  (linear: %lld)\n", kind.c_str(),
                        static_cast<long long>(large), static_cast<long long>(small), f[a] / f[b],
                        static_cast<long long>(large / small));
    };
    std::printf("\nGrowth (time at the larger size over time at the smaller):\n");
    ratio("flat", 100000, 1000000);
    ratio("nested", 1000, 5000);
    ratio("nested-one", 1000, 5000);
    ratio("sep-nested", 250, 500);
    ratio("annotate-nested", 1000, 2000);
    ratio("staircase", 1000, 10000);
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc == 4 ? argv[1] : "";
    if (mode == "--once" || mode == "--print") {
        auto it = builders().find(argv[2]);
        if (it == builders().end()) {
            std::fprintf(stderr, "unknown kind %s\n", argv[2]);
            return 2;
        }
        int64_t n = std::stoll(argv[3]);
        auto [seconds, bytes] = renderTimed(it->second, n, mode == "--print");
        if (mode == "--print") return 0;
        std::printf("%s %lld %.1f %zu\n", argv[2], static_cast<long long>(n), seconds * 1e3, bytes);
        return 0;
    }
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printGrowth();
    return 0;
}
