// Writing and reading tick-count files of 10^2 and 10^3 modules of 10^3 ticks each with writeTix
// and readTix (the Tix used whole: every count evaluated), against writing the same bytes with
// fwrite and parsing them with strtoull. The ratios printed at the end come from the same run:
//   - growth: time at 10^3 modules over time at 10^2 (linear growth means about 10);
//   - cost: writeTix over fwrite, readTix over fread + strtoull, on the same file.
// Times are the processor time of the thread that does the work, fastest iteration of each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"
#include "rts/Stack.h"

namespace {

using rts::Value;
namespace Tix = Trace::Cover::Tix;
namespace List = VUX::Internal::List;
using VUX::Internal::IO::runIO;

constexpr int64_t ticksPerModule = 1000;

Value makeTix(int64_t modules) {
    std::vector<Value> ms;
    for (int64_t m = 0; m < modules; ++m) {
        std::vector<Value> counts;
        for (int64_t i = 0; i < ticksPerModule; ++i)
            counts.push_back(VUX::Num::Integer::integerFromInt_hash((m * 7919 + i * 104729) % 100000));
        ms.push_back(Tix::TixModule(List::fromBytes("Module" + std::to_string(m)),
                                    Trace::Cover::Util::Hash(static_cast<uint32_t>(m)),
                                    VUX::Types::I_hash(ticksPerModule), List::fromValues(counts)));
    }
    return Tix::Tix(List::fromValues(ms));
}

std::string directory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/cover_tix_bench.XXXXXX";
        return std::string(mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return dir;
}
std::string pathFor(const char* what, int64_t n) {
    return directory() + "/" + what + std::to_string(n) + ".tix";
}

std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}

double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Runs `work` each iteration, timed on the calling thread (on a large stack).
template <class F>
void measure(benchmark::State& state, const char* name, F work) {
    const int64_t n = state.range(0);
    for (auto _ : state) {
        double seconds = 0;
        rts::run_on_large_stack([&] {
            double t0 = threadSeconds();
            work(n);
            seconds = threadSeconds() - t0;
        });
        state.SetIterationTime(seconds);
        double& best = fastest()[std::string(name) + "/" + std::to_string(n)];
        if (best == 0 || seconds < best) best = seconds;
    }
}

std::string tixText(int64_t n) {
    std::string out;
    rts::run_on_large_stack(
        [&] { out = List::toUtf8(VUX::Internal::Show::show(Tix::inst_Show_Tix(), makeTix(n))); });
    return out;
}

void BM_WriteTix(benchmark::State& state) {
    Value tix;
    rts::run_on_large_stack([&] {
        tix = makeTix(state.range(0));
        rts::apply(Tix::inst_NFData_Tix(), tix);  // built before the measurement
    });
    measure(state, "writeTix",
            [&](int64_t n) { runIO(Tix::writeTix(List::fromBytes(pathFor("w", n)), tix)); });
}

void BM_Fwrite(benchmark::State& state) {
    const std::string text = tixText(state.range(0));
    measure(state, "fwrite", [&](int64_t n) {
        FILE* f = std::fopen(pathFor("f", n).c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    });
}

void BM_ReadTix(benchmark::State& state) {
    runIO(Tix::writeTix(List::fromBytes(pathFor("r", state.range(0))), makeTix(state.range(0))));
    measure(state, "readTix", [&](int64_t n) {
        Value m = rts::force(runIO(Tix::readTix(List::fromBytes(pathFor("r", n)))));
        rts::apply(Tix::inst_NFData_Tix(), rts::field(m, 0));
    });
}

// Reads the file and parses every count of every module with strtoull.
void BM_Strtoull(benchmark::State& state) {
    const std::string text = tixText(state.range(0));
    {
        FILE* f = std::fopen(pathFor("s", state.range(0)).c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    measure(state, "strtoull", [&](int64_t n) {
        FILE* f = std::fopen(pathFor("s", n).c_str(), "rb");
        std::string buf(text.size(), '\0');
        size_t got = std::fread(buf.data(), 1, buf.size(), f);
        std::fclose(f);
        std::vector<uint64_t> counts;
        const char* end = buf.c_str() + got;
        const char* p = buf.c_str() + 5;  // past "Tix [": every later "[" opens a module's counts
        while ((p = static_cast<const char*>(memchr(p, '[', end - p))) && p < end) {
            ++p;
            char* next = nullptr;
            while (*p != ']') {
                counts.push_back(std::strtoull(p, &next, 10));
                p = next;
                if (*p == ',') ++p;
            }
        }
        benchmark::DoNotOptimize(counts.data());
    });
}

}  // namespace

// clang-format off
BENCHMARK(BM_Fwrite)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteTix)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Strtoull)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadTix)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
// clang-format on

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(directory());
    auto& f = fastest();
    auto ratio = [&](const char* what, const std::string& a, const std::string& b) {
        if (f.count(a) && f.count(b)) std::printf("%-44s %8.2f\n", what, f[a] / f[b]);
    };
    ratio("growth of writeTix, 10^3 over 10^2 modules", "writeTix/1000", "writeTix/100");
    ratio("growth of readTix, 10^3 over 10^2 modules", "readTix/1000", "readTix/100");
    ratio("writeTix over fwrite, 10^3 modules", "writeTix/1000", "fwrite/1000");
    ratio("readTix over fread + strtoull, 10^3 modules", "readTix/1000", "strtoull/1000");
    return 0;
}
