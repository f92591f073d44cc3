// One-slot mailboxes: hand-over between threads, order of service, interruption, non-blocking forms.
#include <vector>

#include "threads_test_support.h"

namespace {

using namespace threads_test;
using rts::RtsError;

TEST(MVar, TwoThreadsHandAThousandValuesInOrder) {
    Value box_ = rts::newMVar_hash();
    constexpr int kCount = 1000;
    Value producer = rts::fork_thread(std::function<void()>([box_] {
        for (int i = 0; i < kCount; ++i) rts::putMVar_hash(box_, box(i));
    }));
    std::vector<int64_t> received;
    for (int i = 0; i < kCount; ++i) received.push_back(unbox(rts::takeMVar_hash(box_)));
    rts::wait_thread(producer);
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(received[i], i);
    EXPECT_TRUE(rts::isEmptyMVar_hash(box_));
}

// Starts one thread per label, each blocking in `op` only after the previous one has blocked.
std::vector<Value> block_in_order(int n, const std::function<void(int)>& op) {
    std::vector<Value> threads;
    for (int i = 0; i < n; ++i) {
        threads.push_back(rts::fork_thread(std::function<void()>([op, i] { op(i); })));
        wait_blocked(threads.back());
    }
    return threads;
}

TEST(MVar, BlockedTakersAndPuttersAreServedOldestFirst) {
    Value m = rts::newMVar_hash();
    std::vector<int64_t> got(4, -1);
    auto takers = block_in_order(4, [&](int i) { got[i] = unbox(rts::takeMVar_hash(m)); });
    for (int v = 0; v < 4; ++v) {
        rts::putMVar_hash(m, box(10 + v));
        rts::wait_thread(takers[v]);  // the oldest taker got it
        EXPECT_EQ(got[v], 10 + v);
    }

    rts::putMVar_hash(m, box(0));
    auto putters = block_in_order(3, [&](int i) { rts::putMVar_hash(m, box(100 + i)); });
    std::vector<int64_t> taken;
    for (int i = 0; i < 4; ++i) taken.push_back(unbox(rts::takeMVar_hash(m)));
    EXPECT_EQ(taken, (std::vector<int64_t>{0, 100, 101, 102}));
    for (const Value& p : putters) rts::wait_thread(p);
}

TEST(MVar, ReadersAreServedBeforeTheTakerAndLeaveTheValue) {
    Value m = rts::newMVar_hash();
    std::vector<int64_t> seen(3, -1);
    auto waiting = block_in_order(3, [&](int i) {
        seen[i] = unbox(i == 0 ? rts::takeMVar_hash(m) : rts::readMVar_hash(m));
    });
    Value v = box(5);
    rts::putMVar_hash(m, v);
    for (const Value& t : waiting) rts::wait_thread(t);
    EXPECT_EQ(seen, (std::vector<int64_t>{5, 5, 5}));
    EXPECT_TRUE(rts::isEmptyMVar_hash(m));  // the taker took it after the readers read it
}

TEST(MVar, KilledTakerGetsTheKillAndLeavesTheMailboxUnchanged) {
    Value m = rts::newMVar_hash();
    Recorded r = fork_recorded([m] { rts::takeMVar_hash(m); });
    wait_blocked(r.thread);
    rts::kill_thread(r.thread);
    rts::wait_thread(r.thread);
    EXPECT_TRUE(r.outcome->raised);
    EXPECT_TRUE(r.outcome->async);
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
    EXPECT_TRUE(rts::isEmptyMVar_hash(m));
    // The withdrawn taker does not take a later value.
    Value v = box(9);
    rts::putMVar_hash(m, v);
    EXPECT_TRUE(same(rts::tryTakeMVar_hash(m), v));
}

TEST(MVar, KilledPutterLeavesTheMailboxUnchanged) {
    Value m = rts::newMVar_hash();
    Value first = box(1);
    rts::putMVar_hash(m, first);
    Recorded r = fork_recorded([m] { rts::putMVar_hash(m, box(2)); });
    wait_blocked(r.thread);
    rts::kill_thread(r.thread);
    rts::wait_thread(r.thread);
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
    EXPECT_TRUE(same(rts::takeMVar_hash(m), first));
    EXPECT_TRUE(rts::isEmptyMVar_hash(m));  // the killed put never lands
}

TEST(MVar, NonBlockingFormsAndIdentity) {
    Value m = rts::newMVar_hash();
    Value other = rts::newMVar_hash();
    EXPECT_TRUE(rts::is_mvar(m));
    EXPECT_FALSE(rts::is_mvar(box(0)));
    EXPECT_FALSE(same(m, other));
    EXPECT_FALSE(rts::tryTakeMVar_hash(m));
    EXPECT_FALSE(rts::tryReadMVar_hash(m));
    Value a = box(1);
    EXPECT_TRUE(rts::tryPutMVar_hash(m, a));
    EXPECT_FALSE(rts::tryPutMVar_hash(m, box(2)));
    EXPECT_TRUE(same(rts::tryReadMVar_hash(m), a));
    EXPECT_TRUE(same(rts::readMVar_hash(m), a));
    EXPECT_TRUE(same(rts::tryTakeMVar_hash(m), a));
    EXPECT_TRUE(rts::isEmptyMVar_hash(m));
    EXPECT_TRUE(rts::isEmptyMVar_hash(other));
}

TEST(MVar, ManyThreadsPassValuesWithoutLosingAny) {
    Value m = rts::newMVar_hash();
    constexpr int kThreads = 4, kEach = 500;
    std::vector<Value> producers;
    for (int p = 0; p < kThreads; ++p)
        producers.push_back(rts::fork_thread(std::function<void()>([m, p] {
            for (int i = 0; i < kEach; ++i) rts::putMVar_hash(m, box(p * kEach + i));
        })));
    std::vector<int> seen(kThreads * kEach, 0);
    for (int i = 0; i < kThreads * kEach; ++i) ++seen[unbox(rts::takeMVar_hash(m))];
    for (const Value& p : producers) rts::wait_thread(p);
    for (int n : seen) ASSERT_EQ(n, 1);
}

}  // namespace
