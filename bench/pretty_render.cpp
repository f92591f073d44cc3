// Rendering documents of 10^5 and 10^6 lines, and writing the same text directly into a
// std::string. Each measurement produces the document lazily, renders it with `render` and
// appends every character of the result to a std::string, so the figures cover the whole path a
// caller pays for. The ratios printed at the end come from the same run:
//   - growth: time at 10^6 lines over time at 10^5 lines (linear growth means about 10; the
//     target is at most 11), for a flat vcat of sep groups and for a structure nested 1000 deep;
//   - throughput: rendering over writing the same text directly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

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
Value list3(Value a, Value b, Value c) { return Cons(std::move(a), Cons(std::move(b), Cons(std::move(c), Nil()))); }

// ---------------------------------------------------------------------------------------------
// Flat: vcat of `sep [key, =, value]` lines, each fitting the default page on one line.

std::string flatLine(int64_t i) { return "setting_" + std::to_string(i % 1000) + " = value"; }

Value flatLines(int64_t i, int64_t n) {
    if (i == n) return Nil();
    Value group = D::sep(list3(text("setting_" + std::to_string(i % 1000)), text("="), text("value")));
    return Cons(std::move(group), rts::delay([i, n] { return flatLines(i + 1, n); }));
}

void directFlat(int64_t n, std::string& out) {
    for (int64_t i = 0; i < n; ++i) {
        if (i) out.push_back('\n');
        out += flatLine(i);
    }
}

// ---------------------------------------------------------------------------------------------
// Nested: towers of 1000 levels, each level `sep [(node i, nest a inner, )]`. The leaf has two
// lines, so no level fits on one line and every level is stacked (two lines per level), while
// each level's choice still tests its one-line alternative. The nest amounts cycle (1, 1, 1, -1,
// -1, -1) so that indentation stays between 0 and 3 columns.

int64_t kDepth = 1000;  // changed only by --once, to show how the cost depends on the depth
int64_t linesPerTower() { return 2 * kDepth + 2; }

int64_t amountAt(int64_t level) { return level % 6 < 3 ? 1 : -1; }

Value tower() {
    Value inner = D::op_dollar_dollar(text("leaf"), text("leaf"));
    for (int64_t level = kDepth; level-- > 0;)
        inner = D::sep(list3(text("(node " + std::to_string(level)), D::nest(I_hash(amountAt(level)), inner), text(")")));
    return inner;
}

Value towers(int64_t i, int64_t n) {
    if (i == n) return Nil();
    return Cons(rts::delay([] { return tower(); }), rts::delay([i, n] { return towers(i + 1, n); }));
}

void directNested(int64_t n, std::string& out) {
    for (int64_t t = 0; t < n; ++t) {
        if (t) out.push_back('\n');
        int64_t column = 0;
        std::vector<int64_t> columns;
        for (int64_t level = 0; level < kDepth; ++level) {
            out.append(static_cast<size_t>(column), ' ');
            out += "(node " + std::to_string(level) + "\n";
            columns.push_back(column);
            column += amountAt(level);
        }
        for (int i = 0; i < 2; ++i) {
            out.append(static_cast<size_t>(column), ' ');
            out += i ? "leaf" : "leaf\n";
        }
        for (int64_t level = kDepth; level-- > 0;) {
            out.push_back('\n');
            out.append(static_cast<size_t>(columns[static_cast<size_t>(level)]), ' ');
            out += ")";
        }
    }
}

// ---------------------------------------------------------------------------------------------

void appendRendered(Value text, std::string& out) { out += VUX::Internal::List::toUtf8(std::move(text)); }

// Renders the vcat of a lazily produced list, holding no reference to the list or the document
// while the text is consumed (a temporary would live until the end of the whole expression).
std::string renderLines(Value (*produce)(int64_t, int64_t), int64_t members) {
    Value rendered;
    {
        Value doc = D::vcat(produce(0, members));
        rendered = D::render(doc);
    }
    std::string out;
    appendRendered(std::move(rendered), out);
    return out;
}
std::string renderFlat(int64_t lines) { return renderLines(flatLines, lines); }
std::string renderNested(int64_t lines) { return renderLines(towers, lines / linesPerTower()); }

// The fastest iteration of each measurement, for the ratios.
std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}

template <class F>
void measure(benchmark::State& state, const char* name, F produce) {
    const int64_t lines = state.range(0);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        auto t0 = std::chrono::steady_clock::now();
        rts::run_on_large_stack([&] { out = produce(lines); });
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(seconds);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
        double& best = fastest()[std::string(name) + "/" + std::to_string(lines)];
        if (best == 0 || seconds < best) best = seconds;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_RenderFlat(benchmark::State& s) { measure(s, "flat", renderFlat); }
void BM_RenderNested(benchmark::State& s) { measure(s, "nested", renderNested); }
void BM_DirectFlat(benchmark::State& s) {
    measure(s, "direct-flat", [](int64_t n) { std::string o; directFlat(n, o); return o; });
}
void BM_DirectNested(benchmark::State& s) {
    measure(s, "direct-nested", [](int64_t n) { std::string o; directNested(n / linesPerTower(), o); return o; });
}

// The rendered text and the directly written one agree (checked once, before measuring).
bool sameText() {
    bool ok = true;
    rts::run_on_large_stack([&] {
        std::string a, b;
        directFlat(3000, a);
        directNested(3, b);
        ok = renderFlat(3000) == a && renderNested(3 * linesPerTower()) == b;
    });
    return ok;
}

}  // namespace

BENCHMARK(BM_DirectFlat)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RenderFlat)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DirectNested)->Arg(100100)->Arg(1001000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
// Each line of a tower costs time in proportion to its depth (every enclosing level's stacked
// alternative walks the reduced inner levels again to place its closing line), so one iteration.
BENCHMARK(BM_RenderNested)->Arg(100100)->Arg(1001000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// `pretty_render --once flat|nested LINES [DEPTH]`: one rendering, timed, for profiling.
int renderOnce(const std::string& kind, int64_t lines) {
    auto t0 = std::chrono::steady_clock::now();
    size_t bytes = 0;
    rts::run_on_large_stack([&] { bytes = (kind == "nested" ? renderNested(lines) : renderFlat(lines)).size(); });
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%s %lld lines: %zu bytes in %.3f s\n", kind.c_str(), static_cast<long long>(lines), bytes, seconds);
    return 0;
}

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--once") {
        if (argc == 5) kDepth = std::stoll(argv[4]);
        return renderOnce(argv[2], std::stoll(argv[3]));
    }
    benchmark::Initialize(&argc, argv);
    if (!sameText()) {
        std::fprintf(stderr, "rendered text differs from the directly written text\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto& f = fastest();
    auto ratio = [&](const char* what, const std::string& a, const std::string& b, const char* note) {
        if (f.count(a) && f.count(b)) std::printf("%-44s %8.2f  %s\n", what, f[a] / f[b], note);
    };
    std::printf("\nRatios of the fastest iterations:\n");
    ratio("flat sep lines: 10^6 / 10^5", "flat/1000000", "flat/100000", "(target: at most 11)");
    ratio("nested 1000 deep: 10^6 / 10^5", "nested/1001000", "nested/100100", "(target: at most 11)");
    ratio("flat, 10^6 lines: render / direct", "flat/1000000", "direct-flat/1000000", "");
    ratio("nested, 10^6 lines: render / direct", "nested/1001000", "direct-nested/1001000", "");
    return 0;
}
