// Stack depth: deep evaluation on a large stack, and overflow raised as an exception.
#include "RuntimeTest.h"

namespace {

using namespace rts_test;
using rts::Value;

TEST(Stack, MillionNestedThunksOnTheLargeStack) {
    Value chain = nested_chain(1'000'000);
    int64_t got = -1;
    rts::run_on_large_stack([&] { got = unbox(chain); });
    EXPECT_EQ(got, 1'000'000);
}

TEST(Stack, OverflowIsRaisedCaughtAndTheThreadWorksOn) {
    Value chain = nested_chain(1'000'000);
    bool caught = false;
    int64_t after = -1;
    rts::run_on_large_stack(
        [&] {
            rts::Exception e = raised_by([&] { rts::force(chain); });
            caught = e.kind() == rts::RtsError::StackOverflow;
            EXPECT_STREQ(e.what(), "stack overflow");
            EXPECT_TRUE(e.is_async());
            after = unbox(nested_chain(1000));
        },
        16 << 20);
    EXPECT_TRUE(caught);
    EXPECT_EQ(after, 1000);
    // Overflow interrupts, it is not kept: with room enough the same chain evaluates.
    int64_t got = -1;
    rts::run_on_large_stack([&] { got = unbox(chain); });
    EXPECT_EQ(got, 1'000'000);
}

TEST(Stack, UnboundedApplyRecursionRaisesOnTheCallingThread) {
    Value loop = rts::fun_rec<1>([](const Value& self, const Value& n) {
        return box(unbox(rts::apply(self, box(unbox(n) + 1))) + 1);
    });
    EXPECT_EQ(raised_by([&] { rts::apply(loop, box(0)); }).kind(), rts::RtsError::StackOverflow);
    EXPECT_EQ(unbox(rts::apply(rts::fun<1>([](const Value& x) { return x; }), box(4))), 4);
}

TEST(Stack, ExceptionFromTheLargeStackThreadReachesTheCaller) {
    EXPECT_EQ(raised_by([] { rts::run_on_large_stack([] { rts::raise(rts::RtsError::Overflow); }); }).kind(),
              rts::RtsError::Overflow);
}

TEST(Stack, LimitStackDepthIsRestored) {
    uintptr_t previous = rts::limit_stack_depth(64 * 1024);
    EXPECT_EQ(raised_by([] { rts::force(nested_chain(100'000)); }).kind(), rts::RtsError::StackOverflow);
    rts::restore_stack_limit(previous);
    int64_t got = -1;
    rts::run_on_large_stack([&] { got = unbox(nested_chain(100'000)); });
    EXPECT_EQ(got, 100'000);
}

}  // namespace
