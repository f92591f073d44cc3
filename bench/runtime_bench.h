// Shared by the runtime benchmarks: a console reporter that also prints each measurement as a
// ratio to its reference from the same run (the machines are shared and noisy, so only ratios
// mean anything).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rts_bench {

// Pairs (measurement, reference) of benchmark names; a ratio is printed for each pair run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the median stands for the benchmark, else its one run.
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) ns_[r.run_name.str()] = r.GetAdjustedRealTime();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                ns_[r.run_name.str()] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [measured, reference] : pairs_) {
            auto m = ns_.find(measured), r = ns_.find(reference);
            if (m == ns_.end() || r == ns_.end()) continue;
            std::printf("ratio %-40s / %-40s = %.3f\n", measured.c_str(), reference.c_str(), m->second / r->second);
        }
    }

  private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> ns_;
};

inline int run(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace rts_bench
