// Sole mode: the first thread counts and updates with plain loads and stores until another thread
// can reach its objects. Each case starts in a fresh process (the mode ends once per process),
// builds objects on the sole thread, lets them cross to another thread by one route, and has both
// threads count or force them at once. Lost updates show as wrong counts, a computation run twice
// or a waiter never woken; ThreadSanitizer checks the rest.
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "rts/Compact.h"
#include "threads_test_support.h"

namespace {

using namespace threads_test;

constexpr int kRounds = 20'000;

// Inside the child process: a failed check ends it with a message and exit code 1.
void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

uint32_t count_of(const Value& v) { return v->rc.load(); }

// Copies and drops `v` kRounds times, in constructors too, so its count moves all the time.
void churn(const Value& v) {
    for (int i = 0; i < kRounds; ++i) {
        Value a = v;
        Value cell = rts::con(0, a, v);
    }
}

// Runs `scenario` in a fresh process, which starts on the sole thread.
void in_fresh_process(void (*scenario)()) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            rts::thread_allocated_bytes();  // enters the runtime
            check(rts::sole_thread(), "the first thread to enter the runtime is the sole thread");
            scenario();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// A computation that counts its runs.
Value counted_computation(std::atomic<int>& runs, int64_t result) {
    return rts::delay([&runs, result] {
        ++runs;
        return box(result);
    });
}

void forked_thread_captures_it() {
    Value v = rts::con(0, box(1), box(2));
    std::atomic<int> runs{0};
    Value t = counted_computation(runs, 5);
    Value h1 = v, h2 = v;  // counted in sole mode
    // The body moves its copies out, so they are released before the thread counts as ended.
    Value other = rts::fork_thread(std::function<void()>([v, t]() mutable {
        Value mine = std::move(v), computation = std::move(t);
        churn(mine);
        check(unbox(computation) == 5, "forced on the forked thread");
    }));
    check(!rts::sole_thread(), "forking ends sole mode");
    churn(v);
    check(unbox(t) == 5, "forced on the first thread");
    rts::wait_thread(other);
    check(runs == 1, "the computation ran once");
    h1 = Value();
    h2 = Value();
    check(count_of(v) == 1, "no count lost or gained");
}

// A region counted plainly on the sole thread, then by both threads at once: the last release,
// on either thread, frees it.
void region_counted_across_modes() {
    const uint64_t before = rts::compact_live_bytes();
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAdd_hash(region, rts::con(0, box(1), rts::con(0, box(2), box(3))));
    Value inner = rts::field(root, 1), kept = inner;  // counted on the region in sole mode
    Value other = rts::fork_thread(std::function<void()>([inner]() mutable {
        Value mine = std::move(inner);
        churn(mine);
        churn(rts::field(mine, 0));
    }));
    inner = Value();
    region = Value();
    churn(root);
    root = Value();
    rts::wait_thread(other);
    check(unbox(rts::field(kept, 1)) == 3, "the region outlives everything but one inner object");
    kept = Value();
    check(rts::compact_live_bytes() == before, "the last release freed the region");
}

void mailbox_carries_it() {
    Value box_ = rts::newMVar_hash();
    Value done = rts::newMVar_hash();
    Value receiver = rts::fork_thread(std::function<void()>([box_, done] {
        Value got = rts::takeMVar_hash(box_);
        churn(got);
        churn(rts::field(rts::force(got), 0));
        rts::putMVar_hash(done, box(0));
    }));
    // Both threads count the value and its field while the mailbox holds it.
    Value v = rts::con(0, box(7), box(8));
    Value kept = v;
    rts::putMVar_hash(box_, v);
    churn(v);
    churn(rts::field(v, 0));
    rts::takeMVar_hash(done);
    rts::wait_thread(receiver);
    kept = Value();
    check(count_of(v) == 1, "the mailbox's value keeps its count");
    check(count_of(rts::field(v, 0)) == 1, "and so do its fields");
}

// A computation claimed in sole mode forks a thread that demands it before it finishes: the
// waiter must be woken by the update, which the now shared process publishes atomically.
void waiting_thread_gets_the_published_value() {
    std::atomic<int> runs{0};
    std::atomic<bool> waiter_started{false};
    Value waiter;
    Value t;
    t = rts::delay([&]() -> Value {
        ++runs;
        waiter = rts::fork_thread(std::function<void()>([&] {
            waiter_started = true;
            check(unbox(t) == 42, "the waiter sees the published value");
            churn(rts::force(t));
        }));
        wait_until([&] { return waiter_started.load(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the waiter blocks on it
        return box(42);
    });
    check(unbox(t) == 42, "the owner gets the value");
    churn(rts::force(t));
    rts::wait_thread(waiter);
    check(runs == 1, "the computation ran once");
    check(count_of(rts::force(t)) == 1, "the result keeps its count");
}

// A top-level constant computed and counted in sole mode, then shared by threads.
RTS_CONSTANT(shared_constant) { return rts::con(0, box(3), box(4)); }

void top_level_constant_is_shared() {
    Value first = shared_constant.get();
    std::vector<Value> threads;
    for (int k = 0; k < 3; ++k)
        threads.push_back(rts::fork_thread(std::function<void()>([] { churn(shared_constant.get()); })));
    churn(shared_constant.get());
    for (const Value& th : threads) rts::wait_thread(th);
    first = Value();
    check(count_of(shared_constant.get()) == 1, "the constant's value keeps its count");
}

// A weak reference's value crosses to the finalizer thread, which starts with the first finalizer.
void weak_value_reaches_the_finalizer_thread() {
    Value value = rts::con(0, box(5), box(6));
    Value kept = value;
    std::atomic<bool> ran{false};
    Value finalizer = rts::fun<2>([&ran](const Value& v, const Value&) {
        churn(v);
        ran = true;
        return box(0);
    });
    Value key = rts::new_mut_var(box(0));
    Value weak = rts::mk_weak_finalizing_value(key, value, finalizer);
    check(!rts::sole_thread(), "the finalizer thread ends sole mode");
    finalizer = Value();
    value = Value();
    Value churner =
        rts::fork_thread(std::function<void()>([kept]() mutable { churn(Value(std::move(kept))); }));
    key = Value();
    churn(kept);
    rts::wait_for_finalizers();
    rts::wait_thread(churner);
    check(ran, "the finalizer ran");
    weak = Value();
    check(count_of(kept) == 1, "the value keeps its count");
}

// A thread of the program's own receives objects after share_with_threads().
void foreign_thread_after_sharing() {
    Value v = rts::con(0, box(1), box(2));
    std::atomic<int> runs{0};
    Value t = counted_computation(runs, 9);
    rts::share_with_threads();
    check(!rts::sole_thread(), "sharing ends sole mode");
    std::thread other([&] {
        churn(v);
        check(unbox(t) == 9, "forced on the other thread");
    });
    churn(v);
    check(unbox(t) == 9, "forced on the first thread");
    other.join();
    check(runs == 1, "the computation ran once");
    check(count_of(v) == 1, "no count lost or gained");
}

// Evaluation moved to a thread with a large stack, while the sole thread waits, stays in sole
// mode there and after.
void large_stack_keeps_sole_mode() {
    Value v = box(1);
    bool sole_inside = false;
    rts::run_on_large_stack([&] {
        sole_inside = rts::sole_thread();
        churn(v);
    });
    check(sole_inside, "the helper thread is the sole thread while it runs");
    check(rts::sole_thread(), "the waiting thread is sole again afterwards");
    check(count_of(v) == 1, "counted plainly on both");
}

TEST(SoleMode, ForkedThreadCapturesWhatTheSoleThreadCounted) { in_fresh_process(&forked_thread_captures_it); }
TEST(SoleMode, RegionCountedOnTheSoleThreadThenByTwo) { in_fresh_process(&region_counted_across_modes); }
TEST(SoleMode, MailboxCarriesAValueBothThreadsCount) { in_fresh_process(&mailbox_carries_it); }
TEST(SoleMode, WaitingThreadIsWokenByAnUpdateClaimedInSoleMode) {
    in_fresh_process(&waiting_thread_gets_the_published_value);
}
TEST(SoleMode, TopLevelConstantCountedByManyThreads) { in_fresh_process(&top_level_constant_is_shared); }
TEST(SoleMode, WeakValueReachesTheFinalizerThread) {
    in_fresh_process(&weak_value_reaches_the_finalizer_thread);
}
TEST(SoleMode, ForeignThreadAfterShareWithThreads) { in_fresh_process(&foreign_thread_after_sharing); }
TEST(SoleMode, LargeStackHelperKeepsSoleMode) { in_fresh_process(&large_stack_keeps_sole_mode); }

}  // namespace
