// Suspended computations and top-level constants, on one thread.
#include <stdexcept>

#include "RuntimeTest.h"

namespace {

using namespace rts_test;
using rts::Value;
using vux::testing::Counter;
using vux::testing::counting;
using vux::testing::failing;
using vux::testing::is_failure;

TEST(Thunk, DemandedTwiceRunsOnceAndSharesTheValue) {
    Counter runs;
    Value t = counting(runs, box(42));
    EXPECT_FALSE(rts::is_evaluated(t));
    const Value& a = rts::force(t);
    const Value& b = rts::force(t);
    EXPECT_EQ(runs.count(), 1);
    EXPECT_TRUE(rts::same(a, b));
    EXPECT_EQ(unbox(t), 42);
    EXPECT_TRUE(rts::is_evaluated(t));
}

TEST(Thunk, ForceOnAnEvaluatedValueReturnsItself) {
    Value c = box(7);
    EXPECT_TRUE(rts::same(rts::force(c), c));
}

TEST(Thunk, ForcingAnEmptyReferenceRaisesALogicError) {
    Value empty;
    Value moved = box(1);
    Value taken = std::move(moved);
    EXPECT_THROW(rts::force(empty), std::logic_error);
    EXPECT_THROW(rts::force(moved), std::logic_error);
    EXPECT_THROW(rts::apply(empty, taken), std::logic_error);
    EXPECT_EQ(unbox(taken), 1);
}

TEST(Thunk, DemandingItselfRaisesTheLoopException) {
    // A knot: the computation demands its own thunk through a mutable reference.
    Value cell = rts::new_mut_var(box(0));
    Value t = rts::delay([cell]() -> Value { return box(unbox(rts::read_mut_var(cell)) + 1); });
    rts::write_mut_var(cell, t);
    rts::Exception e = raised_by([&] { rts::force(t); });
    EXPECT_EQ(e.kind(), rts::RtsError::NonTermination);
    EXPECT_STREQ(e.what(), "<<loop>>");
    // The loop exception is kept like any synchronous one.
    EXPECT_EQ(raised_by([&] { rts::force(t); }).kind(), rts::RtsError::NonTermination);
    rts::write_mut_var(cell, box(0));  // untie the knot so the test leaks nothing
}

TEST(Thunk, ExceptionIsKeptAndRaisedAgainWithoutRerunning) {
    std::atomic<int> runs{0};
    Value inner = failing("boom");
    Value t = rts::delay([&runs, inner]() -> Value {
        ++runs;
        return box(unbox(inner));
    });
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        rts::Exception e = raised_by([&] { rts::force(t); });
        EXPECT_TRUE(is_failure(e, "boom"));
        EXPECT_FALSE(e.is_async());
    }
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(rts::is_evaluated(t));
}

TEST(Thunk, RuntimeFailureKeepsItsKind) {
    std::atomic<int> runs{0};
    Value t = rts::delay([&]() -> Value {
        ++runs;
        rts::raise(rts::RtsError::DivideByZero);
    });
    for (int i = 0; i < 2; ++i) {
        rts::Exception e = raised_by([&] { rts::force(t); });
        EXPECT_EQ(e.kind(), rts::RtsError::DivideByZero);
        EXPECT_STREQ(e.what(), "divide by zero");
    }
    EXPECT_EQ(runs.load(), 1);
}

TEST(Thunk, CapturedValuesAreReleasedAfterTheUpdate) {
    DestroyCounter dc;
    Value captured = box(5);
    Value t = rts::delay([captured, token = dc.token()]() { return box(unbox(captured) * 2); });
    EXPECT_EQ(count_of(captured), 2u);
    EXPECT_EQ(unbox(t), 10);
    EXPECT_EQ(count_of(captured), 1u);
    EXPECT_EQ(dc.destroyed(), 1);
}

TEST(Thunk, CapturedValuesAreReleasedAfterAKeptException) {
    DestroyCounter dc;
    Value t = rts::delay([token = dc.token()]() -> Value { rts::raise(rts::RtsError::Overflow); });
    raised_by([&] { rts::force(t); });
    EXPECT_EQ(dc.destroyed(), 1);
}

TEST(Thunk, UnforcedThunkReleasesItsClosureWhenDropped) {
    DestroyCounter dc;
    Value captured = box(1);
    {
        Value t = rts::delay([captured, token = dc.token()]() { return captured; });
    }
    EXPECT_EQ(dc.destroyed(), 1);
    EXPECT_EQ(count_of(captured), 1u);
}

TEST(Thunk, ComputationReturningAThunkIsFollowedToTheValue) {
    Counter inner_runs;
    Value inner = counting(inner_runs, box(3));
    Value outer = rts::delay([inner]() { return inner; });
    const Value& v = rts::force(outer);
    EXPECT_EQ(v->kind, rts::Kind::Con);
    EXPECT_TRUE(rts::same(v, rts::force(inner)));
    EXPECT_EQ(inner_runs.count(), 1);
    EXPECT_TRUE(rts::is_evaluated(outer));
}

// A computation returning a computation returning ... : run in one frame, however long.
TEST(Thunk, LongChainOfReturnedThunksRunsInConstantStack) {
    constexpr int kLength = 1'000'000;
    Value t = box(99);
    for (int i = 0; i < kLength; ++i) t = rts::delay([prev = std::move(t)]() { return prev; });
    uintptr_t previous = rts::limit_stack_depth(256 * 1024);
    int64_t got = -1;
    EXPECT_NO_THROW(got = unbox(t));
    rts::restore_stack_limit(previous);
    EXPECT_EQ(got, 99);
}

TEST(Thunk, ExceptionAtTheEndOfAReturnedChainFailsEveryLink) {
    std::atomic<int> runs{0};
    Value last = rts::delay([&runs]() -> Value {
        ++runs;
        rts::raise(rts::RtsError::Underflow);
    });
    Value middle = rts::delay([last]() { return last; });
    Value first = rts::delay([middle]() { return middle; });
    for (const Value* v : {&first, &middle, &last}) {
        EXPECT_EQ(raised_by([&] { rts::force(*v); }).kind(), rts::RtsError::Underflow);
    }
    EXPECT_EQ(runs.load(), 1);
}

// Interrupted computations (here by a stack overflow) are left to run again.
TEST(Thunk, AsynchronousExceptionLeavesTheThunkToRunAgain) {
    std::atomic<int> runs{0};
    bool overflow = true;
    Value t = rts::delay([&]() -> Value {
        ++runs;
        if (overflow) rts::raise(rts::RtsError::StackOverflow);
        return box(1);
    });
    rts::Exception e = raised_by([&] { rts::force(t); });
    EXPECT_TRUE(e.is_async());
    EXPECT_STREQ(e.what(), "stack overflow");
    overflow = false;
    EXPECT_EQ(unbox(t), 1);
    EXPECT_EQ(runs.load(), 2);
}

// Constants: computed on first use, shared, never freed, same exception rules.
std::atomic<int> answer_runs{0};
RTS_CONSTANT(answer) {
    ++answer_runs;
    return box(42);
}
std::atomic<int> broken_runs{0};
RTS_CONSTANT(broken) {
    ++broken_runs;
    rts::raise(rts::RtsError::DivideByZero);
}

TEST(Constant, ComputedOnceOnFirstUseAndNeverCounted) {
    EXPECT_EQ(answer_runs.load(), 0);
    const Value& a = answer.get();
    EXPECT_EQ(rts::int_word(a, 0), 42);
    {
        Value v = answer.value();  // a reference to the constant itself: not counted
        EXPECT_EQ(count_of(v), 0u);
        EXPECT_TRUE(rts::same(rts::force(v), a));
    }
    EXPECT_EQ(answer_runs.load(), 1);
    EXPECT_EQ(answer.object()->rc.load(), 0u);
}

TEST(Constant, ExceptionIsKept) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(raised_by([] { broken.get(); }).kind(), rts::RtsError::DivideByZero);
    }
    EXPECT_EQ(broken_runs.load(), 1);
}

}  // namespace
