// Entries and allocation of annotated functions, in both variants of the fixture library: the
// profiling variant counts and charges exactly, the plain one registers and counts nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "fixture_prof.h"
#include "rts/Profiling.h"

namespace {

using Labels = std::vector<std::string>;
namespace prof = rts::prof;
namespace Counting = Fixture::Counting;

#ifdef VUX_PROFILING

constexpr uint64_t kCell = 24;  // a list cell: header and two references
constexpr uint64_t kBox = 16;   // a boxed Int: header and one word

prof::Totals totals(const char* label, const char* module = "Fixture.Counting") {
    return prof::totals_of(module, label);
}

// Counts of a centre since the fixture was made.
struct Since {
    const char* label;
    const char* module;
    prof::Totals start;
    explicit Since(const char* l, const char* m = "Fixture.Counting")
        : label(l), module(m), start(totals(l, m)) {}
    prof::Totals delta() const {
        prof::Totals now = totals(label, module);
        return {now.entries - start.entries, now.objects - start.objects, now.bytes - start.bytes};
    }
};

void expect_delta(const Since& s, uint64_t entries, uint64_t objects, uint64_t bytes) {
    prof::Totals d = s.delta();
    EXPECT_EQ(d.entries, entries) << s.label << ": entries";
    EXPECT_EQ(d.objects, objects) << s.label << ": objects";
    EXPECT_EQ(d.bytes, bytes) << s.label << ": bytes";
}

TEST(Attribution, EachCallCountsOneEntryAndItsAllocationIsChargedToTheCallee) {
    Since countdown("countdown");
    uint64_t main_objects = CCS_MAIN->objects.load();
    constexpr int kCalls = 7;
    for (int i = 0; i < kCalls; ++i) Counting::countdown(10);
    expect_delta(countdown, kCalls, kCalls * 20, kCalls * 10 * (kCell + kBox));
    EXPECT_EQ(CCS_MAIN->objects.load(), main_objects) << "nothing was charged outside the centre";
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

TEST(Attribution, NestedCallsChargeEachCentreOnlyItsOwnAllocation) {
    Since countdown("countdown"), twice("twice"), delegate("delegate", "Fixture.Later");
    Counting::twice(5);
    expect_delta(twice, 1, 1, kCell);
    expect_delta(countdown, 2, 20, 10 * (kCell + kBox));
    Fixture::Later::delegate(3);
    expect_delta(delegate, 1, 0, 0);
    expect_delta(countdown, 3, 26, 13 * (kCell + kBox));
}

TEST(Attribution, TheStackFollowsCallsAndIsRestoredOnEveryExit) {
    EXPECT_EQ(Counting::probe(), (Labels{"MAIN", "probe"}));
    EXPECT_THROW(Counting::fails(), std::runtime_error);
    EXPECT_EQ(prof::current_stack(), CCS_MAIN) << "an exception left the stack of `fails` behind";
    Since depth("depth");
    EXPECT_EQ(Counting::depth(1000), 1000);
    expect_delta(depth, 1001, 0, 0);
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

TEST(Attribution, AConstantIsEvaluatedOnceOnItsOwnStack) {
    Since table("table"), use("useTable"), countdown("countdown");
    EXPECT_EQ(Counting::useTable(), 7);
    EXPECT_EQ(Counting::useTable(), 7);
    expect_delta(use, 2, 0, 0);
    expect_delta(table, 1, 1 + 1, kCell + kBox);
    expect_delta(countdown, 1, 4, 2 * (kCell + kBox));
}

TEST(Attribution, ThreadsCountEveryEntryAndEveryAllocation) {
    Since countdown("countdown");
    constexpr int kThreads = 8, kCalls = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < kCalls; ++i) Counting::countdown(10);
        });
    for (auto& th : threads) th.join();
    expect_delta(countdown, kThreads * kCalls, kThreads * kCalls * 20,
                 kThreads * kCalls * 10 * (kCell + kBox));
}

TEST(Registration, EveryModuleRegistersItsCentresThenItsStacksInLinkOrder) {
    auto regs = prof::registrations();
    size_t first = 0;
    while (first < regs.size() && regs[first].module != "Fixture.Counting") ++first;
    ASSERT_LE(first + 6, regs.size()) << "the fixture's modules did not all register";
    struct Expected {
        prof::ListKind kind;
        const char* module;
        Labels labels;
    };
    using K = prof::ListKind;
    const Expected expected[] = {
        {K::CostCentres,
         "Fixture.Counting",
         {"CAF", "countdown", "twice", "probe", "depth", "fails", "table", "useTable", "extra"}},
        {K::Stacks, "Fixture.Counting", {"CAF", "table"}},
        {K::CostCentres, "Fixture.Empty", {"CAF"}},
        {K::Stacks, "Fixture.Empty", {"CAF"}},
        {K::CostCentres, "Fixture.Later", {"CAF", "delegate"}},
        {K::Stacks, "Fixture.Later", {"CAF"}},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& r = regs[first + i];
        EXPECT_EQ(r.kind, expected[i].kind) << "registration " << i;
        EXPECT_EQ(r.module, expected[i].module) << "registration " << i;
        EXPECT_EQ(r.labels, expected[i].labels) << "registration " << i;
    }
    auto of_fixture = [](const prof::Registration& r) { return r.module.rfind("Fixture.", 0) == 0; };
    EXPECT_EQ(std::count_if(regs.begin(), regs.end(), of_fixture), 6)
        << "a module of two files registered twice";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fresh process runs a small program and writes its report at exit to the file that
// VUX_PROF_REPORT names.
TEST(Report, AtExitListsTheCentresByAllocation) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = ::testing::TempDir() + "attribution_prof_report.txt";
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            setenv("VUX_PROF_REPORT", path.c_str(), 1);
            for (int i = 0; i < 3; ++i) Counting::countdown(4);
            Counting::twice(2);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(
        read_file(path),
        "Cost-centre profile\n"
        "\n"
        "total entries: 6\n"
        "total alloc:   664 bytes in 33 objects\n"
        "user era:      0\n"
        "\n"
        "COST CENTRE  MODULE            SRC                           entries  objects  bytes  %alloc\n"
        "countdown    Fixture.Counting  fixture_prof_counting.cpp:15        5       32    640    96.4\n"
        "twice        Fixture.Counting  fixture_prof_counting.cpp:22        1        1     24     3.6\n");
}

TEST(Report, OnRequestNamesEveryCentreThatRanOrAllocated) {
    Counting::probe();
    std::string text = prof::report();
    EXPECT_NE(text.find("\nprobe "), std::string::npos) << text;
    EXPECT_NE(text.find("\ncountdown "), std::string::npos) << text;
    EXPECT_EQ(text.find("\nCAF "), std::string::npos) << "centres never entered are left out\n" << text;
    std::string path = ::testing::TempDir() + "attribution_prof_request.txt";
    unsigned int era_before = era;
    ASSERT_TRUE(prof::write_report(path));
    EXPECT_EQ(era, era_before + 1) << "a report closes the era";
    EXPECT_FALSE(prof::write_report("/nonexistent-directory/report.txt"));
}

#else  // the plain variant

TEST(Plain, RegistersNothingAndChargesNothing) {
    EXPECT_TRUE(prof::registrations().empty());
    uint64_t main_objects = CCS_MAIN->objects.load();
    rts::Value xs = Counting::twice(10);
    EXPECT_EQ(Counting::depth(10), 10);
    EXPECT_TRUE(Counting::probe().empty());
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
    EXPECT_EQ(CCS_MAIN->objects.load(), main_objects);
    EXPECT_EQ(prof::totals_of("Fixture.Counting", "countdown").entries, 0u);
}

#endif

}  // namespace
