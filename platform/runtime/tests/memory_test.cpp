// Allocation and freeing: long and deep structures are freed with a flat stack.
#include <cstdio>
#include <thread>

#include "RuntimeTest.h"

namespace {

using namespace rts_test;
using rts::Value;

constexpr int64_t kTenMillion = 10'000'000;

// Every walk below runs with the stack limit 256 KiB below the test's frame: a free loop that
// recursed would hit it (a release cannot raise, so it would crash instead).
class FlatStack : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = rts::limit_stack_depth(256 * 1024); }
    void TearDown() override { rts::restore_stack_limit(previous_); }
    uintptr_t previous_ = 0;
};

constinit const rts::StaticNullary nil{0};

TEST_F(FlatStack, TenMillionCellListIsBuiltConsumedAndReleased) {
    Value list = nil.value();
    for (int64_t i = kTenMillion; i > 0; --i) list = rts::con(1, box(i), std::move(list));
    int64_t sum = 0, n = 0;
    for (Value cur = list; rts::tag_of(rts::force(cur)) == 1;) {
        sum += unbox(rts::field(cur, 0));
        ++n;
        Value next = rts::field(cur, 1);
        cur = std::move(next);
    }
    EXPECT_EQ(n, kTenMillion);
    EXPECT_EQ(sum, kTenMillion * (kTenMillion + 1) / 2);
    list = Value();  // releases ten million cells and boxes
}

// Deep nesting through each kind of reference the free loop must follow.
struct Nesting {
    const char* name;
    int64_t depth;
    Value (*wrap)(Value inner);
};

const Nesting kNestings[] = {
    {"ConstructorFirstField", kTenMillion, [](Value in) { return rts::con(0, std::move(in), box(1)); }},
    {"ConstructorLastField", 1'000'000, [](Value in) { return rts::con(0, box(1), box(2), std::move(in)); }},
    {"UnevaluatedThunkClosure", kTenMillion,
     [](Value in) { return rts::delay([in = std::move(in)]() { return in; }); }},
    {"EvaluatedThunk",
     1'000'000,
     [](Value in) {
         Value t = rts::delay([in = std::move(in)]() { return rts::con(0, in); });
         rts::force(t);
         return t;
     }},
    {"FunctionClosure", 1'000'000,
     [](Value in) { return rts::fun<1>([in = std::move(in)](const Value& x) { return x; }); }},
    {"PartialApplication", 1'000'000,
     [](Value in) {
         return rts::apply(rts::fun<2>([](const Value& a, const Value&) { return a; }), in);
     }},
    {"MutableReference", 1'000'000, [](Value in) { return rts::new_mut_var(std::move(in)); }},
};

class DeepFree : public FlatStack, public ::testing::WithParamInterface<Nesting> {};

TEST_P(DeepFree, NestedStructureIsFreedWithoutRecursion) {
    DestroyCounter dc;
    Value v = rts::fun<1>([token = dc.token()](const Value& x) { return x; });  // the innermost
    for (int64_t i = 0; i < GetParam().depth; ++i) v = GetParam().wrap(std::move(v));
    EXPECT_EQ(dc.destroyed(), 0);
    v = Value();
    EXPECT_EQ(dc.destroyed(), 1);  // the walk reached the bottom
}

INSTANTIATE_TEST_SUITE_P(Kinds, DeepFree, ::testing::ValuesIn(kNestings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Alloc, ThreadAllocatedBytesGrows) {
    uint64_t before = rts::thread_allocated_bytes();
    Value v = rts::con(0, box(1), box(2));
    EXPECT_GE(rts::thread_allocated_bytes() - before, 16u + 32u);
}

// Blocks freed on one thread are reused by others instead of piling up: a producer thread
// allocates, the main thread frees, over and over. Without the shared pool the memory would grow
// with every round.
TEST(Alloc, BlocksFreedByAnotherThreadAreReused) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    constexpr int kRounds = 20, kCells = 200'000;
    auto produce = [] {
        Value list;
        std::thread t([&] {
            list = nil.value();
            for (int i = 0; i < kCells; ++i) list = rts::con(1, box(i), std::move(list));
        });
        t.join();
        return list;
    };
    produce() = Value();  // warm up
    long first = -1;
    for (int round = 0; round < kRounds; ++round) {
        produce() = Value();
        FILE* f = std::fopen("/proc/self/statm", "r");
        long size = 0, resident = 0;
        ASSERT_EQ(std::fscanf(f, "%ld %ld", &size, &resident), 2);
        std::fclose(f);
        if (round == 1) first = resident;
        if (round > 1) {
            EXPECT_LE(resident, first + 2048) << "round " << round;  // within 8 MiB
        }
    }
}

}  // namespace
