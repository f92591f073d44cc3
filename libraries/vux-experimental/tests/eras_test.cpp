// The profiler's user era set, read and advanced through the runtime, from one thread and from
// many; in the profiling variant the report shows the era and the calls, and the library's modules
// register at load.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "Testing.h"
#include "VUX/Internal/IO.h"
#include "VUX/Profiling/Eras.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

namespace {

using rts::Value;
using VUX::Internal::IO::runIO;
using VUX::Types::W_hash;
using VUX::Types::wordOf;
namespace Eras = VUX::Profiling::Eras;

uint64_t wordResult(const Value& action) { return wordOf(rts::force(runIO(action))); }

TEST(Eras, SetReadAndIncrementThroughTheRuntime) {
    Value result = runIO(Eras::setUserEra(W_hash(5)));
    EXPECT_TRUE(rts::same(rts::force(result), VUX::Tuple::Unit()));
    EXPECT_EQ(getUserEra(), 5u) << "the runtime's era";
    EXPECT_EQ(user_era, 5u);
    setUserEra(9);
    EXPECT_EQ(wordResult(Eras::getUserEra()), 9u) << "read from the runtime";
    EXPECT_EQ(wordResult(Eras::incrementUserEra(W_hash(2))), 11u);
    EXPECT_EQ(getUserEra(), 11u);
    EXPECT_EQ(wordResult(Eras::incrementUserEra(W_hash(0))), 11u);
    runIO(Eras::setUserEra(W_hash(~uint64_t(0))));
    EXPECT_EQ(wordResult(Eras::incrementUserEra(W_hash(1))), 0u) << "the runtime's era is a word and wraps";
}

TEST(Eras, NothingHappensUntilTheActionRunsAndTheWordIsForcedFirst) {
    setUserEra(3);
    Value set = Eras::setUserEra(rts::delay([] { return W_hash(8); }));
    Value increment = Eras::incrementUserEra(W_hash(4));
    EXPECT_EQ(getUserEra(), 3u);
    runIO(set);
    EXPECT_EQ(getUserEra(), 8u);
    EXPECT_EQ(wordResult(increment), 12u);
    EXPECT_THROW(runIO(Eras::setUserEra(vux::testing::failing())), rts::Exception);
    EXPECT_THROW(runIO(Eras::incrementUserEra(vux::testing::failing())), rts::Exception);
    EXPECT_EQ(getUserEra(), 12u) << "a failing word reaches no runtime call";
}

TEST(Eras, IncrementsFromManyThreadsAllCount) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2000;
    runIO(Eras::setUserEra(W_hash(100)));
    std::vector<std::vector<uint64_t>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            Value step = Eras::incrementUserEra(W_hash(1));
            for (int i = 0; i < kPerThread; ++i) seen[t].push_back(wordResult(step));
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(wordResult(Eras::getUserEra()), 100u + kThreads * kPerThread);
    std::vector<uint64_t> all;
    for (const auto& s : seen) all.insert(all.end(), s.begin(), s.end());
    std::sort(all.begin(), all.end());
    EXPECT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end()) << "two increments saw the same era";
}

#ifdef VUX_PROFILING

namespace prof = rts::prof;
constexpr const char* kModule = "VUX.Profiling.Eras";

TEST(Profiling, TheReportShowsTheUserEraAndTheCalls) {
    uint64_t sets = prof::totals_of(kModule, "setUserEra").entries;
    uint64_t gets = prof::totals_of(kModule, "getUserEra").entries;
    uint64_t increments = prof::totals_of(kModule, "incrementUserEra").entries;
    runIO(Eras::setUserEra(W_hash(41)));
    EXPECT_NE(prof::report().find("\nuser era:      41\n"), std::string::npos) << prof::report();
    EXPECT_EQ(wordResult(Eras::incrementUserEra(W_hash(1))), 42u);
    EXPECT_EQ(wordResult(Eras::getUserEra()), 42u);
    std::string report = prof::report();
    EXPECT_NE(report.find("\nuser era:      42\n"), std::string::npos) << report;
    for (const char* label : {"setUserEra ", "getUserEra ", "incrementUserEra "})
        EXPECT_NE(report.find(std::string("\n") + label), std::string::npos) << label << "\n" << report;
    EXPECT_EQ(prof::totals_of(kModule, "setUserEra").entries, sets + 1);
    EXPECT_EQ(prof::totals_of(kModule, "getUserEra").entries, gets + 1);
    EXPECT_EQ(prof::totals_of(kModule, "incrementUserEra").entries, increments + 1);
}

TEST(Profiling, TheModulesRegisterInOrderAtLoad) {
    const std::vector<std::string> modules = {"VUX.Profiling.Eras",        "VUX.TypeLits.Experimental",
                                              "VUX.TypeNats.Experimental", "Data.Sum.Experimental",
                                              "Data.Tuple.Experimental",   "VUX.PrimOps",
                                              "Prelude.Experimental"};
    std::vector<prof::Registration> ours;
    for (const auto& r : prof::registrations())
        if (std::find(modules.begin(), modules.end(), r.module) != modules.end()) ours.push_back(r);
    ASSERT_EQ(ours.size(), 2 * modules.size());
    const std::vector<std::vector<std::string>> centres = {
        {"CAF", "getUserEra", "setUserEra", "incrementUserEra"},
        {"CAF", "appendSSymbol", "consSSymbol", "sCharToSNat", "sNatToSChar"},
        {"CAF", "plusSNat", "timesSNat", "powerSNat", "minusSNat", "divSNat", "modSNat", "log2SNat"},
        {"CAF"},
        {"CAF"},
        {"CAF"},
        {"CAF"},
    };
    for (size_t i = 0; i < modules.size(); ++i) {
        EXPECT_EQ(ours[2 * i].module, modules[i]);
        EXPECT_EQ(ours[2 * i].kind, prof::ListKind::CostCentres);
        EXPECT_EQ(ours[2 * i].labels, centres[i]);
        EXPECT_EQ(ours[2 * i + 1].kind, prof::ListKind::Stacks);
        EXPECT_EQ(ours[2 * i + 1].labels, std::vector<std::string>{"CAF"});
    }
}

#else  // the plain variant

TEST(Plain, RegistersNothing) { EXPECT_TRUE(rts::prof::registrations().empty()); }

#endif

}  // namespace
