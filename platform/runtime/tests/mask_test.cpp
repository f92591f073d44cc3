// Masking states and catch#: what the state reports, when a masked thread is interrupted, and
// re-raising a caught exception.
#include "threads_test_support.h"

namespace {

using namespace threads_test;
using rts::MaskingState;
using rts::RtsError;

Value state_now() { return box(rts::getMaskingState_hash()); }

TEST(Mask, EachPrimitiveReportsItsStateInsideAndRestoresThePreviousOne) {
    struct Primitive {
        const char* name;
        Value (*run)(const Value&);
        int64_t inside;
    };
    const Primitive primitives[] = {
        {"maskAsyncExceptions#", &rts::maskAsyncExceptions_hash, 2},
        {"maskUninterruptible#", &rts::maskUninterruptible_hash, 1},
        {"unmaskAsyncExceptions#", &rts::unmaskAsyncExceptions_hash, 0},
    };
    const MaskingState outers[] = {MaskingState::Unmasked, MaskingState::MaskedUninterruptible,
                                   MaskingState::MaskedInterruptible};
    for (const Primitive& p : primitives) {
        for (MaskingState outer : outers) {
            SCOPED_TRACE(std::string(p.name) + " from state " + std::to_string(int(outer)));
            rts::with_masking_state(outer, [&] {
                EXPECT_EQ(unbox(p.run(io(&state_now))), p.inside);
                EXPECT_EQ(rts::getMaskingState_hash(), int64_t(outer));
                // Also when the action raises.
                Outcome o = outcome_of([&] { p.run(io([]() -> Value { rts::raise(box(3)); })); });
                EXPECT_TRUE(o.raised);
                EXPECT_EQ(rts::getMaskingState_hash(), int64_t(outer));
            });
            EXPECT_EQ(rts::getMaskingState_hash(), 0);
        }
    }
}

TEST(Mask, CatchRunsTheHandlerMaskedAndRestoresTheState) {
    const std::pair<MaskingState, int64_t> cases[] = {
        {MaskingState::Unmasked, 2},
        {MaskingState::MaskedInterruptible, 2},
        {MaskingState::MaskedUninterruptible, 1},
    };
    for (const auto& c : cases) {
        MaskingState outer = c.first;
        int64_t in_handler = c.second;
        rts::with_masking_state(outer, [&] {
            Value handler = rts::fun<2>([](const Value&, const Value&) { return state_now(); });
            Value r = rts::catch_hash(io([]() -> Value { rts::raise(box(1)); }), handler);
            EXPECT_EQ(unbox(r), in_handler);
            EXPECT_EQ(rts::masking_state(), outer);
        });
    }
}

TEST(Mask, ARaisedAgainExceptionIsTheCaughtOneWithWhatItCarried) {
    Value thrown = box(5);
    Value seen_by_handler;
    Value rethrowing = rts::fun<2>([&](const Value& e, const Value&) -> Value {
        seen_by_handler = e;
        rts::raise(e);
    });
    try {
        rts::catch_hash(io([&]() -> Value { rts::raise(thrown); }), rethrowing);
        ADD_FAILURE() << "nothing raised";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(same(e.value(), thrown));
    }
    EXPECT_TRUE(same(seen_by_handler, thrown));

    // A runtime failure caught in C++ and passed on keeps its kind and its asynchrony.
    Outcome o = outcome_of([] {
        rts::catch_exception([]() -> Value { throw rts::Exception(Value(), RtsError::ThreadKilled, true); },
                             [](const rts::Exception& e) -> Value { rts::rethrow(e); });
    });
    EXPECT_EQ(o.kind, RtsError::ThreadKilled);
    EXPECT_TRUE(o.async);
}

// Pure work with safe points: demands `n` fresh suspended computations.
void pure_work(int n) {
    for (int i = 0; i < n; ++i) rts::force(rts::delay([] { return box(1); }));
}

TEST(Mask, InterruptiblyMaskedThreadIsInterruptedInABlockingTakeButNotInPureCode) {
    Value empty = rts::newMVar_hash();
    auto stage = std::make_shared<std::atomic<int>>(0);
    Recorded r = fork_recorded([empty, stage] {
        rts::maskAsyncExceptions_hash(io([&]() -> Value {
            *stage = 1;
            wait_until([] { return rts::async_exception_pending(); });
            pure_work(10000);
            *stage = 2;  // pure code ran to its end with the kill pending
            rts::takeMVar_hash(empty);
            *stage = 3;
            return box(0);
        }));
    });
    wait_until([&] { return stage->load() == 1; });
    rts::kill_thread(r.thread);
    rts::wait_thread(r.thread);
    EXPECT_EQ(stage->load(), 2);
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
    EXPECT_TRUE(rts::isEmptyMVar_hash(empty));
}

TEST(Mask, InterruptiblyMaskedTakeThatDoesNotBlockIsNotInterrupted) {
    Value full = rts::newMVar_hash();
    Value v = box(4);
    rts::putMVar_hash(full, v);
    auto got = std::make_shared<Value>();
    Recorded r = fork_recorded([full, got] {
        rts::with_masking_state(MaskingState::MaskedInterruptible, [&] {
            wait_until([] { return rts::async_exception_pending(); });
            *got = rts::takeMVar_hash(full);
        });  // the kill comes as the thread unmasks
    });
    rts::kill_thread(r.thread);
    rts::wait_thread(r.thread);
    EXPECT_TRUE(same(*got, v));
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
}

TEST(Mask, UninterruptiblyMaskedThreadIsNotInterruptedUntilItUnmasks) {
    Value m = rts::newMVar_hash();
    auto stage = std::make_shared<std::atomic<int>>(0);
    auto got = std::make_shared<Value>();
    Recorded r = fork_recorded([m, stage, got] {
        rts::maskUninterruptible_hash(io([&]() -> Value {
            *got = rts::takeMVar_hash(m);  // blocks with the kill pending, and is not interrupted
            *stage = 1;
            rts::with_masking_state(MaskingState::Unmasked, [&] { *stage = 2; });
            *stage = 3;
            return box(0);
        }));
    });
    wait_blocked(r.thread);
    Value killer = kill_from_another_thread(r.thread);
    wait_until([&] { return rts::async_exception_pending(r.thread); });
    Value v = box(8);
    rts::putMVar_hash(m, v);
    rts::wait_thread(r.thread);
    rts::wait_thread(killer);
    EXPECT_TRUE(same(*got, v));
    EXPECT_EQ(stage->load(), 1);  // raised on entering the unmasked state
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
}

TEST(Mask, ForkedThreadInheritsTheMaskingState) {
    for (MaskingState s : {MaskingState::Unmasked, MaskingState::MaskedUninterruptible, MaskingState::MaskedInterruptible}) {
        auto seen = std::make_shared<std::atomic<int>>(-1);
        Value t = rts::with_masking_state(s, [&] {
            return rts::fork_thread(std::function<void()>([seen] { *seen = int(rts::getMaskingState_hash()); }));
        });
        rts::wait_thread(t);
        EXPECT_EQ(seen->load(), int(s));
    }
}

}  // namespace
