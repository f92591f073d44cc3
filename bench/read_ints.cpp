// Reading the text of an [Int] of 10^5 and 10^6 elements with `read`, and parsing the same text
// with std::from_chars into a std::vector. The text is a fully built character list for `read`
// and a std::string for from_chars, made before the measurement. The ratios printed at the end
// come from the same run:
//   - growth: time at 10^6 elements over time at 10^5 (linear growth means about 10; the target
//     is at most 11);
//   - throughput: `read` over from_chars on the same text.
// Times are the processor time of the thread that does the work (the machines are shared, so
// wall-clock times vary with the load); the fastest iteration of each measurement is used.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "VUX/Internal/List.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "rts/Stack.h"

namespace {

using rts::Value;
namespace Read = VUX::Internal::Read;

std::string intsText(int64_t n) {
    std::mt19937_64 gen(11);
    std::string s = "[";
    for (int64_t i = 0; i < n; ++i) {
        if (i > 0) s += ',';
        s += std::to_string(static_cast<int64_t>(gen() % 2000001) - 1000000);
    }
    return s + "]";
}

// The elements parsed from the text of a list, as std::from_chars gives them.
std::vector<int64_t> fromChars(const std::string& s) {
    std::vector<int64_t> out;
    const char* p = s.data() + 1;
    const char* end = s.data() + s.size();
    while (p < end && *p != ']') {
        int64_t x = 0;
        p = std::from_chars(p, end, x).ptr;
        out.push_back(x);
        if (*p == ',') ++p;
    }
    return out;
}

std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}

// The processor time of the calling thread, in seconds.
double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The number of elements that `work` parsed, and the processor time it took on the calling thread.
struct Timed {
    size_t count;
    double seconds;
};
template <class F>
Timed timed(F work) {
    double t0 = threadSeconds();
    size_t count = work();
    return {count, threadSeconds() - t0};
}

// Records each iteration of `run` (which returns a Timed).
template <class F>
void measure(benchmark::State& state, const char* name, F run) {
    const int64_t n = state.range(0);
    for (auto _ : state) {
        auto [count, seconds] = run();
        state.SetIterationTime(seconds);
        if (count != static_cast<size_t>(n)) state.SkipWithError("wrong number of elements");
        double& best = fastest()[std::string(name) + "/" + std::to_string(n)];
        if (best == 0 || seconds < best) best = seconds;
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The character list is built outside the timed part; `read` of it and the walk over the result
// are timed.
void BM_ReadInts(benchmark::State& state) {
    const Value chars = VUX::Internal::List::fromBytes(intsText(state.range(0)));
    const Value dList = Read::inst_Read_List(Read::inst_Read_Int());
    measure(state, "read", [&] {
        Timed t{};
        rts::run_on_large_stack([&] {
            t = timed(
                [&] { return static_cast<size_t>(VUX::Internal::List::length(Read::read(dList, chars))); });
        });
        return t;
    });
}

void BM_FromChars(benchmark::State& state) {
    const std::string text = intsText(state.range(0));
    measure(state, "from_chars", [&] { return timed([&] { return fromChars(text).size(); }); });
}

}  // namespace

// clang-format off
BENCHMARK(BM_FromChars)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadInts)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
// clang-format on

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The reader and from_chars agree on the elements (checked once, before measuring).
    const std::string sample = intsText(1000);
    Value dList = Read::inst_Read_List(Read::inst_Read_Int());
    Value shown = VUX::Internal::Show::showList(VUX::Internal::Show::inst_Show_Int(),
                                                Read::read(dList, VUX::Internal::List::fromBytes(sample)),
                                                VUX::Types::Nil());
    if (VUX::Internal::List::toUtf8(shown) != sample) {
        std::fprintf(stderr, "read and show do not give the text back\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto& f = fastest();
    auto ratio = [&](const char* what, const std::string& a, const std::string& b, const char* note) {
        if (f.count(a) && f.count(b)) std::printf("%-40s %8.2f  %s\n", what, f[a] / f[b], note);
    };
    ratio("growth of read, 10^6 over 10^5", "read/1000000", "read/100000",
          "(linear: about 10; target at most 11)");
    ratio("growth of from_chars, 10^6 over 10^5", "from_chars/1000000", "from_chars/100000", "");
    ratio("read over from_chars, 10^5", "read/100000", "from_chars/100000", "");
    ratio("read over from_chars, 10^6", "read/1000000", "from_chars/1000000", "");
    return 0;
}
