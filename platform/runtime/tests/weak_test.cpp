// Weak references: finalizers run once, after the last reference goes and never before; explicit
// finalization; finalizers that receive their key; deRefWeak racing with the last release.
#include <vector>

#include "threads_test_support.h"

namespace {

using namespace threads_test;

// An IO action that counts its runs.
struct CountingFinalizer {
    std::shared_ptr<std::atomic<int>> runs = std::make_shared<std::atomic<int>>(0);
    Value action() const {
        return io([runs = runs]() -> Value {
            ++*runs;
            return box(0);
        });
    }
    int count() const {
        rts::wait_for_finalizers();
        return runs->load();
    }
};

struct KeyKind {
    const char* name;
    Value (*make)();
};
const KeyKind key_kinds[] = {
    {"mailbox", [] { return rts::newMVar_hash(); }},
    {"mutable reference", [] { return rts::new_mut_var(box(1)); }},
    {"constructor", [] { return rts::con(0, box(1), box(2)); }},
    {"suspended computation", [] { return rts::delay([] { return box(3); }); }},
    {"function", [] { return rts::fun<1>([](const Value& x) { return x; }); }},
    {"byte array", [] { return rts::new_byte_array(8); }},
};

TEST(Weak, FinalizerRunsOnceWhenTheLastReferenceGoesAndNotBefore) {
    for (const KeyKind& kind : key_kinds) {
        SCOPED_TRACE(kind.name);
        CountingFinalizer fin;
        Value key = kind.make();
        Value weak = rts::mkWeak_hash(key, box(7), fin.action());
        Value second = key;
        Value holder = rts::con(0, Value(key));  // another live object referring to the key
        key = Value();
        second = Value();
        EXPECT_EQ(fin.count(), 0);
        EXPECT_EQ(unbox(rts::deRefWeak_hash(weak)), 7);
        holder = Value();  // the last reference
        EXPECT_EQ(fin.count(), 1);
        EXPECT_FALSE(rts::deRefWeak_hash(weak));
        EXPECT_FALSE(rts::finalizeWeak_hash(weak));
        EXPECT_EQ(fin.count(), 1);
    }
}

// A constructor whose fields are all static is freed without the free loop, straight from its
// release; as a key it must still be seen dying.
TEST(Weak, KeyWithoutCountedFieldsReleasedDirectly) {
    CountingFinalizer fin;
    Value key = rts::con_word(0, 5);
    Value weak = rts::mkWeak_hash(key, box(7), fin.action());
    key = Value();
    EXPECT_EQ(fin.count(), 1);
    EXPECT_FALSE(rts::deRefWeak_hash(weak));
}

TEST(Weak, FinalizeWeakRunsItNowAndOnlyOnce) {
    CountingFinalizer fin;
    Value key = rts::newMVar_hash();
    Value weak = rts::mkWeak_hash(key, key, fin.action());
    EXPECT_TRUE(same(rts::deRefWeak_hash(weak), key));
    EXPECT_TRUE(rts::finalizeWeak_hash(weak));
    EXPECT_EQ(fin.runs->load(), 1);  // ran in this thread, before finalizeWeak# returned
    EXPECT_FALSE(rts::deRefWeak_hash(weak));
    EXPECT_FALSE(rts::finalizeWeak_hash(weak));
    key = Value();
    EXPECT_EQ(fin.count(), 1);
}

TEST(Weak, FinalizerRunsAlthoughTheWeakReferenceIsGone) {
    CountingFinalizer fin;
    Value key = rts::new_mut_var(box(1));
    rts::mkWeak_hash(key, key, fin.action());  // the weak reference itself is not kept
    EXPECT_EQ(fin.count(), 0);
    key = Value();
    EXPECT_EQ(fin.count(), 1);
}

TEST(Weak, SeveralWeakReferencesToOneKeyAllRun) {
    CountingFinalizer a, b;
    Value key = rts::newMVar_hash();
    Value wa = rts::mkWeak_hash(key, key, a.action());
    Value wb = rts::mkWeak_hash(key, key, b.action());
    Value wn = rts::mkWeakNoFinalizer_hash(key, box(1));
    key = Value();
    EXPECT_EQ(a.count(), 1);
    EXPECT_EQ(b.count(), 1);
    EXPECT_FALSE(rts::deRefWeak_hash(wn));
}

TEST(Weak, FinalizerGivenItsKeyFindsItIntact) {
    // The shape of a handle's finalizer: the key is a mailbox holding state, the finalizer takes
    // the state out of it.
    auto taken = std::make_shared<std::atomic<int64_t>>(-1);
    Value cell = rts::newMVar_hash();
    rts::putMVar_hash(cell, box(99));
    Value finalizer = rts::fun<2>([taken](const Value& c, const Value&) {
        *taken = unbox(rts::takeMVar_hash(c));
        return box(0);
    });
    Value weak = rts::mk_weak_finalizing_value(cell, cell, finalizer);
    finalizer = Value();
    rts::wait_for_finalizers();
    EXPECT_EQ(taken->load(), -1);
    EXPECT_TRUE(same(rts::deRefWeak_hash(weak), cell));
    cell = Value();
    rts::wait_for_finalizers();
    EXPECT_EQ(taken->load(), 99);
    EXPECT_FALSE(rts::deRefWeak_hash(weak));
}

TEST(Weak, StaticKeysNeverDie) {
    static const rts::StaticNullary static_key{0};
    CountingFinalizer fin;
    Value weak = rts::mkWeak_hash(static_key.value(), box(2), fin.action());
    EXPECT_EQ(unbox(rts::deRefWeak_hash(weak)), 2);
    EXPECT_TRUE(rts::finalizeWeak_hash(weak));
    EXPECT_EQ(fin.count(), 1);
}

TEST(Weak, DeRefRacingTheLastReleaseNeverRevivesADeadKey) {
    constexpr int kRounds = 300;
    CountingFinalizer fin;
    int revived = 0;
    for (int round = 0; round < kRounds; ++round) {
        Value key = rts::newMVar_hash();
        Value weak = rts::mkWeak_hash(key, key, fin.action());
        Value releaser = rts::fork_thread(std::function<void()>([k = std::move(key)]() mutable { k = Value(); }));
        Value got;
        for (int i = 0; i < 50 && !got; ++i) got = rts::deRefWeak_hash(weak);
        if (got) {
            ++revived;
            EXPECT_TRUE(rts::is_mvar(got));
            EXPECT_TRUE(rts::isEmptyMVar_hash(got));  // a live mailbox, usable
        }
        rts::wait_thread(releaser);
        got = Value();
    }
    EXPECT_EQ(fin.count(), kRounds);  // each key died once, whether revived for a while or not
    (void)revived;
}

// finalizeWeak# of a finalizer that takes its key, racing the key's last release on another
// thread: the finalizer runs once, on an intact key, whichever side wins.
TEST(Weak, FinalizeWeakRacingTheLastReleaseOfAConstructorKey) {
    constexpr int kRounds = 300;
    auto runs = std::make_shared<std::atomic<int>>(0);
    auto intact = std::make_shared<std::atomic<int>>(0);
    Value finalizer = rts::fun<2>([runs, intact](const Value& key, const Value&) {
        ++*runs;
        if (unbox(rts::field(key, 0)) == 1 && unbox(rts::field(key, 1)) == 2) ++*intact;
        return box(0);
    });
    for (int round = 0; round < kRounds; ++round) {
        Value key = rts::con(0, box(1), box(2));
        Value weak = rts::mk_weak_finalizing_value(key, key, finalizer);
        Value releaser =
            rts::fork_thread(std::function<void()>([k = std::move(key)]() mutable { k = Value(); }));
        rts::finalizeWeak_hash(weak);
        rts::wait_thread(releaser);
    }
    rts::wait_for_finalizers();
    EXPECT_EQ(runs->load(), kRounds);
    EXPECT_EQ(intact->load(), kRounds);
}

// The finalizer thread starts with the first finalizer. An asynchronous exception that arrives at
// that moment must not leave the process believing the thread started: later finalizers still
// run. A fresh process, so that this is the first finalizer.
TEST(Weak, AsyncExceptionWhileTheFinalizerThreadStartsLosesNoFinalizer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto ready = std::make_shared<std::atomic<bool>>(false);
            Recorded target = fork_recorded([ready] {
                // The thread's free lists for what follows are filled now, so that making the weak
                // reference has no safe point of its own before the finalizer thread starts.
                Value warm = rts::mkWeakNoFinalizer_hash(box(0), box(0));
                Value key = rts::new_mut_var(box(0));
                Value finalizer = io([] { return box(0); });
                *ready = true;
                wait_until([] { return rts::async_exception_pending(); });
                Value weak = rts::mkWeak_hash(key, box(0), finalizer);
            });
            wait_until([&] { return ready->load(); });
            rts::kill_thread(target.thread);
            rts::wait_thread(target.thread);
            CountingFinalizer fin;
            Value key = rts::new_mut_var(box(1));
            Value weak = rts::mkWeak_hash(key, box(1), fin.action());
            key = Value();
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (fin.runs->load() == 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::exit(fin.runs->load() == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Weak, KeepAliveHoldsTheValueWhileTheActionRuns) {
    CountingFinalizer fin;
    Value key = rts::newMVar_hash();
    Value weak = rts::mkWeak_hash(key, key, fin.action());
    Value action = io([&key, &fin]() -> Value {
        key = Value();  // the only other reference goes; keepAlive#'s own stays
        return box(fin.count());
    });
    Value r = rts::keepAlive_hash(key, action);
    EXPECT_EQ(unbox(r), 0);
    EXPECT_EQ(fin.count(), 1);  // released when keepAlive# returned
}

}  // namespace
