// Threads: identifiers, throwTo and killThread, interrupted computations, interruptible foreign
// calls, uncaught exceptions and the allocation counter.
#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

#include "threads_test_support.h"

namespace {

using namespace threads_test;
using rts::RtsError;

TEST(Threads, IdentifiersAreRuntimeObjectsComparedByIdentity) {
    Value seen_inside;
    Value done = rts::newMVar_hash();
    Value t = rts::fork_thread(std::function<void()>([&seen_inside, done] {
        seen_inside = rts::my_thread_id();
        rts::putMVar_hash(done, box(1));
    }));
    rts::takeMVar_hash(done);
    rts::wait_thread(t);
    EXPECT_TRUE(rts::is_thread_id(t));
    EXPECT_TRUE(same(seen_inside, t));
    EXPECT_TRUE(same(rts::my_thread_id(), rts::my_thread_id()));
    EXPECT_FALSE(same(rts::my_thread_id(), t));
    EXPECT_NE(rts::thread_id_number(rts::my_thread_id()), rts::thread_id_number(t));
    EXPECT_TRUE(rts::thread_finished(t));
    EXPECT_EQ(rts::thread_status(t), rts::ThreadStatus::Finished);
    EXPECT_FALSE(rts::is_thread_id(box(0)));
}

TEST(Threads, ThrowToDeliversTheValueItselfAsAnAsynchronousException) {
    Value exception = box(77);
    Value caught;
    bool async = false;
    Value gate = rts::newMVar_hash();
    Value t = rts::fork_thread(std::function<void()>([&] {
        try {
            rts::takeMVar_hash(gate);  // never filled
        } catch (const rts::Exception& e) {
            caught = e.value();
            async = e.is_async();
        }
    }));
    wait_blocked(t);
    rts::throw_to(t, exception);  // returns once delivered
    rts::wait_thread(t);
    EXPECT_TRUE(same(caught, exception));
    EXPECT_TRUE(async);
    // Thrown to a thread that has ended, it returns at once.
    rts::kill_thread(t);
}

TEST(Threads, ThrowToSelfRaisesAtOnceEvenWhenMasked) {
    Outcome o = outcome_of([] {
        rts::with_masking_state(rts::MaskingState::MaskedUninterruptible, [] { rts::kill_thread(rts::my_thread_id()); });
    });
    EXPECT_TRUE(o.raised);
    EXPECT_EQ(o.kind, RtsError::ThreadKilled);
    EXPECT_EQ(rts::masking_state(), rts::MaskingState::Unmasked);
}

// A computation that runs until told to finish, demanding small computations meanwhile (safe
// points), and then yields 42.
struct LongComputation {
    std::atomic<int> runs{0};
    std::atomic<bool> may_finish{false};
    Value thunk = rts::delay([this] {
        ++runs;
        while (!may_finish.load()) rts::force(rts::delay([] { return box(0); }));
        return box(42);
    });
};

TEST(Threads, InterruptedComputationRunsToCompletionAtTheNextDemand) {
    LongComputation c;
    Recorded r = fork_recorded([&c] { rts::force(c.thunk); });
    wait_until([&] { return c.runs.load() == 1; });
    rts::kill_thread(r.thread);
    rts::wait_thread(r.thread);
    EXPECT_TRUE(r.outcome->raised);
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
    EXPECT_FALSE(rts::is_evaluated(c.thunk));

    c.may_finish = true;
    EXPECT_EQ(unbox(c.thunk), 42);
    EXPECT_EQ(c.runs.load(), 2);
    EXPECT_TRUE(rts::is_evaluated(c.thunk));
}

// Blocking foreign calls that nobody completes, each interrupted by killThread.
struct BlockingCall {
    const char* name;
    std::function<std::function<int()>()> make;  // makes the call; its result after interruption
};

TEST(Threads, KillThreadInterruptsABlockingForeignCall) {
    sem_t sem;
    ASSERT_EQ(sem_init(&sem, 0, 0), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const BlockingCall calls[] = {
        {"sem_wait", [&] { return std::function<int()>([&] { return sem_wait(&sem); }); }},
        {"read on a pipe", [&] { return std::function<int()>([&] {
             char byte;
             return static_cast<int>(read(fds[0], &byte, 1));
         }); }},
    };
    for (const BlockingCall& call : calls) {
        // Repeated, so that the kill also lands just before the call starts blocking.
        for (int round = 0; round < 25; ++round) {
            SCOPED_TRACE(std::string(call.name) + ", round " + std::to_string(round));
            std::function<int()> blocking = call.make();
            auto returned = std::make_shared<std::atomic<int>>(1);
            auto saw_eintr = std::make_shared<std::atomic<bool>>(false);
            Recorded r = fork_recorded([blocking, returned, saw_eintr] {
                int rc = rts::interruptible_call([&] {
                    int x = blocking();
                    if (x == -1 && errno == EINTR) *saw_eintr = true;
                    return x;
                });
                *returned = rc;  // reached only if the call returned without the kill
            });
            if (round % 2 == 0) wait_blocked(r.thread);
            rts::kill_thread(r.thread);
            rts::wait_thread(r.thread);
            EXPECT_TRUE(r.outcome->raised);
            EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
            EXPECT_EQ(returned->load(), 1);
        }
    }
    int value = -1;
    sem_getvalue(&sem, &value);
    EXPECT_EQ(value, 0);
    sem_destroy(&sem);
    close(fds[0]);
    close(fds[1]);
}

TEST(Threads, UninterruptiblyMaskedForeignCallIsNotInterrupted) {
    sem_t sem;
    ASSERT_EQ(sem_init(&sem, 0, 0), 0);
    auto result = std::make_shared<std::atomic<int>>(-2);
    Recorded r = fork_recorded([&sem, result] {
        rts::with_masking_state(rts::MaskingState::MaskedUninterruptible, [&] {
            *result = rts::interruptible_call([&] { return sem_wait(&sem); });
        });
    });
    Value killer = kill_from_another_thread(r.thread);
    wait_until([&] { return rts::async_exception_pending(r.thread); });
    sem_post(&sem);  // the wait completes normally; the kill comes when the thread unmasks
    rts::wait_thread(killer);
    rts::wait_thread(r.thread);
    EXPECT_EQ(result->load(), 0);
    EXPECT_TRUE(r.outcome->raised);
    EXPECT_EQ(r.outcome->kind, RtsError::ThreadKilled);
    sem_destroy(&sem);
}

std::mutex reported_lock;
std::string reported;
void record_uncaught(uint64_t number, const rts::Exception& e) {
    std::lock_guard<std::mutex> g(reported_lock);
    reported += std::to_string(number) + ":" + std::to_string(static_cast<int>(e.kind())) + ";";
}

TEST(Threads, UncaughtExceptionsAreReportedExceptTheKill) {
    rts::set_uncaught_handler(&record_uncaught);
    Value failing = rts::fork_thread(std::function<void()>([] { rts::raise(RtsError::DivideByZero); }));
    rts::wait_thread(failing);
    Value gate = rts::newMVar_hash();
    Value killed = rts::fork_thread(std::function<void()>([gate] { rts::takeMVar_hash(gate); }));
    wait_blocked(killed);
    rts::kill_thread(killed);
    rts::wait_thread(killed);
    rts::set_uncaught_handler(nullptr);
    std::lock_guard<std::mutex> g(reported_lock);
    EXPECT_EQ(reported, std::to_string(rts::thread_id_number(failing)) + ":" +
                            std::to_string(static_cast<int>(RtsError::DivideByZero)) + ";");
}

TEST(Threads, AllocationCounterGoesDownAsTheThreadAllocates) {
    rts::setThreadAllocationCounter_hash(1000000);
    int64_t before = rts::getThreadAllocationCounter_hash();
    EXPECT_LE(before, 1000000);
    std::vector<Value> kept;
    for (int i = 0; i < 100; ++i) kept.push_back(box(i));
    int64_t after = rts::getThreadAllocationCounter_hash();
    EXPECT_LE(after, before - 100 * 16);
    // Another thread's allocation does not count here.
    Value t = rts::fork_thread(std::function<void()>([] {
        for (int i = 0; i < 1000; ++i) box(i);
    }));
    int64_t mark = rts::getThreadAllocationCounter_hash();
    rts::wait_thread(t);
    EXPECT_EQ(rts::getThreadAllocationCounter_hash(), mark);
}

}  // namespace
