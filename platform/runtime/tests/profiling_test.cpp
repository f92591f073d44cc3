// The runtime's side of profiling, driven directly: memoised cost-centre stacks, entering
// functions, registration order and the user era.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <thread>
#include <vector>

#include "rts/Profiling.h"

namespace {

using rts::prof::ListKind;
using rts::prof::stack_labels;
using Labels = std::vector<std::string>;

CostCentre make_centre(const char* label, const char* module = "Test.Stacks") {
    return CostCentre{label, module, __FILE__, 1, 0, 0};
}

// Centres for the stack tests. The registry keeps centres for the whole run, so they are static;
// each test has its own, so memoised stacks do not carry over from one test to another.
struct Centres {
    CostCentre a = make_centre("a");
    CostCentre b = make_centre("b");
    CostCentre c = make_centre("c");
};

TEST(CostCentreStacks, PushIsMemoisedAndRecursionTakesTheStackBack) {
    static Centres cs;
    CostCentreStack* a = pushCostCentre(CCS_MAIN, &cs.a);
    CostCentreStack* ab = pushCostCentre(a, &cs.b);
    EXPECT_EQ(stack_labels(ab), (Labels{"MAIN", "a", "b"}));
    EXPECT_EQ(pushCostCentre(CCS_MAIN, &cs.a), a) << "the same push gives the same stack";
    EXPECT_EQ(pushCostCentre(a, &cs.b), ab);
    EXPECT_EQ(pushCostCentre(ab, &cs.b), ab) << "pushing the top again keeps the stack";

    // a > b > c > a: the second `a` goes back to the first one, directly and through the memo.
    CostCentreStack* abc = pushCostCentre(ab, &cs.c);
    EXPECT_EQ(pushCostCentre(abc, &cs.a), a);
    EXPECT_EQ(pushCostCentre(abc, &cs.a), a);
    EXPECT_EQ(pushCostCentre(abc, &cs.b), ab);

    // Null and the don't-care stack stand for MAIN.
    EXPECT_EQ(pushCostCentre(nullptr, &cs.a), a);
    EXPECT_EQ(pushCostCentre(CCS_DONT_CARE, &cs.a), a);
    EXPECT_EQ(a->depth, 2u);
    EXPECT_EQ(abc->depth, 4u);
}

TEST(CostCentreStacks, ScopesCountEntriesAndRestoreTheStackOnEveryExit) {
    static Centres cs;
    ASSERT_EQ(rts::prof::current_stack(), CCS_MAIN);
    for (int i = 0; i < 3; ++i) {
        rts::prof::Scope outer(&cs.a);
        rts::prof::Scope inner(&cs.b);
        EXPECT_EQ(stack_labels(rts::prof::current_stack()), (Labels{"MAIN", "a", "b"}));
    }
    EXPECT_EQ(rts::prof::current_stack(), CCS_MAIN);
    EXPECT_THROW(
        {
            rts::prof::Scope s(&cs.c);
            throw std::runtime_error("leaving by an exception");
        },
        std::runtime_error);
    EXPECT_EQ(rts::prof::current_stack(), CCS_MAIN);

    EXPECT_EQ(rts::prof::totals_of(&cs.a).entries, 3u);
    EXPECT_EQ(rts::prof::totals_of(&cs.b).entries, 3u);
    EXPECT_EQ(rts::prof::totals_of(&cs.c).entries, 1u);
    CostCentreStack* ab = pushCostCentre(pushCostCentre(CCS_MAIN, &cs.a), &cs.b);
    EXPECT_EQ(ab->entries.load(), 3u);
}

TEST(CostCentreStacks, ChargesGoToTheCurrentStackAndOutsideAnyCentreToMain) {
    static Centres cs;
    uint64_t main_objects = CCS_MAIN->objects.load();
    uint64_t main_bytes = CCS_MAIN->bytes.load();
    {
        rts::prof::Scope s(&cs.a);
        rts::charge_alloc(24);
        rts::charge_alloc(16);
    }
    rts::charge_alloc(100);
    rts::prof::Totals a = rts::prof::totals_of(&cs.a);
    EXPECT_EQ(a.objects, 2u);
    EXPECT_EQ(a.bytes, 40u);
    EXPECT_EQ(CCS_MAIN->objects.load() - main_objects, 1u);
    EXPECT_EQ(CCS_MAIN->bytes.load() - main_bytes, 100u);
}

TEST(CostCentreStacks, EnterFunCCSAppendsOnlyTheStacksOfInnerClosures) {
    static Centres cs;
    static CostCentre top = make_centre("top");
    static CostCentreStack root(&top, nullptr);  // a top-level function's stack
    CostCentreStack* ab = pushCostCentre(pushCostCentre(CCS_MAIN, &cs.a), &cs.b);
    CostCentreStack* c = pushCostCentre(CCS_MAIN, &cs.c);

    rts::prof::Scope enter(&cs.c);
    ASSERT_EQ(rts::prof::current_stack(), c);
    for (CostCentreStack* unchanged : {&root, CCS_DONT_CARE, CCS_MAIN, c}) {
        enterFunCCS(unchanged);
        EXPECT_EQ(rts::prof::current_stack(), c);
    }
    enterFunCCS(nullptr);
    EXPECT_EQ(rts::prof::current_stack(), c);
    // A closure made under MAIN > a > b entered from MAIN > c runs under MAIN > c > a > b.
    enterFunCCS(ab);
    EXPECT_EQ(stack_labels(rts::prof::current_stack()), (Labels{"MAIN", "c", "a", "b"}));
}

TEST(CostCentreStacks, ThreadsPushingAtOnceShareOneStack) {
    static Centres cs;
    constexpr int kThreads = 8;
    std::vector<CostCentreStack*> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                rts::prof::Scope s(&cs.a);
                rts::prof::Scope s2(&cs.b);
                seen[t] = rts::prof::current_stack();
            }
        });
    for (auto& th : threads) th.join();
    for (CostCentreStack* s : seen) EXPECT_EQ(s, seen[0]);
    EXPECT_EQ(stack_labels(seen[0]), (Labels{"MAIN", "a", "b"}));
    EXPECT_EQ(rts::prof::totals_of(&cs.b).entries, uint64_t(kThreads) * 1000);
}

TEST(Registration, ListsAreRecordedInCallOrderWithTheirEntries) {
    static CostCentre f = make_centre("f", "Test.Registration");
    static CostCentre g = make_centre("g", "Test.Registration");
    static CostCentre k = make_centre("k", "Test.Registration");
    static CostCentreStack k_stack(&k, nullptr);
    size_t before = rts::prof::registrations().size();

    CostCentre* centres[] = {&f, &g, &k, nullptr};
    CostCentreStack* stacks[] = {&k_stack, nullptr};
    CostCentre* none[] = {nullptr};
    registerCcList(centres);
    registerCcsList(stacks);
    registerCcList(none);

    auto regs = rts::prof::registrations();
    ASSERT_EQ(regs.size(), before + 3);
    EXPECT_EQ(regs[before].kind, ListKind::CostCentres);
    EXPECT_EQ(regs[before].module, "Test.Registration");
    EXPECT_EQ(regs[before].labels, (Labels{"f", "g", "k"}));
    EXPECT_EQ(regs[before + 1].kind, ListKind::Stacks);
    EXPECT_EQ(regs[before + 1].labels, (Labels{"k"}));
    EXPECT_EQ(regs[before + 2].kind, ListKind::CostCentres);
    EXPECT_TRUE(regs[before + 2].labels.empty());
    EXPECT_TRUE(f.id != 0 && g.id == f.id + 1 && k.id == g.id + 1) << "ids follow registration order";
    EXPECT_NE(k_stack.id, 0u);
    EXPECT_EQ(rts::prof::totals_of("Test.Registration", "g").entries, 0u);
}

TEST(UserEra, SetGetAndIncrementReturnsTheNewValue) {
    setUserEra(5);
    EXPECT_EQ(getUserEra(), 5u);
    EXPECT_EQ(user_era, 5u) << "the exported word is the value itself";
    EXPECT_EQ(incrementUserEra(2), 7u);
    EXPECT_EQ(incrementUserEra(0), 7u);
    EXPECT_EQ(getUserEra(), 7u);
    setUserEra(UINT64_MAX);
    EXPECT_EQ(incrementUserEra(1), 0u) << "the era is a word and wraps";
}

TEST(UserEra, ConcurrentIncrementsAreNeverLost) {
    constexpr int kThreads = 8;
    constexpr int kPerThread = 10000;
    setUserEra(1000);
    std::vector<std::vector<uint64_t>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            results[t].reserve(kPerThread);
            for (int i = 0; i < kPerThread; ++i) results[t].push_back(incrementUserEra(1));
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(getUserEra(), 1000u + kThreads * kPerThread);
    // Every increment saw its own value: the results are exactly 1001 .. 1000 + 80000.
    std::vector<uint64_t> all;
    for (auto& r : results) all.insert(all.end(), r.begin(), r.end());
    std::sort(all.begin(), all.end());
    std::vector<uint64_t> expected(all.size());
    std::iota(expected.begin(), expected.end(), 1001u);
    EXPECT_TRUE(all == expected);
}

}  // namespace
