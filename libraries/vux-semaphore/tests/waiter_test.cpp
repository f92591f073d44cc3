// Named semaphores under threads: the interruptible waiter thread, and asynchronous exceptions
// arriving while a semaphore is being created.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Data/Either.h"
#include "VUX/Internal/Conc.h"
#include "VUX/Tuple.h"
#include "rts/Mask.h"
#include "rts/Threads.h"
#include "semaphore_test.h"

namespace {

using namespace semaphore_test;
namespace Conc = VUX::Internal::Conc;
namespace Exc = VUX::Internal::Exception;

// A waiter callback that hands the outcome and the masking state it ran in to the test.
struct Outcome {
    Value box = run(Conc::newEmptyMVar());
    std::atomic<rts::MaskingState> masking{rts::MaskingState::Unmasked};
    Value callback() {
        return rts::fun<2>([this](const Value& outcome, const Value&) {
            masking = rts::masking_state();
            run(Conc::putMVar(box, outcome));
            return VUX::Tuple::Unit();
        });
    }
    Value take() { return rts::force(run(Conc::takeMVar(box))); }
};

void waitUntilBlocked(const Value& thread) {
    while (rts::thread_status(thread) != rts::ThreadStatus::Blocked)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(Waiter, SuccessfulWaitReportsRightTrue) {
    Names names;
    Value s = create(names.make("acquire"), 0);
    Outcome outcome;
    Value w = run(S::forkWaitOnSemaphoreInterruptible(s, outcome.callback()));
    Value thread = S::waitingThreadId(w);
    waitUntilBlocked(thread);
    run(S::releaseSemaphore(s, boxed(1)));
    Value got = outcome.take();
    ASSERT_EQ(got->tag, Data::Either::Right_tag);
    EXPECT_TRUE(VUX::Types::isTrue(rts::force(rts::field(got, 0))));
    EXPECT_EQ(outcome.masking.load(), rts::MaskingState::MaskedInterruptible);
    rts::wait_thread(thread);
    EXPECT_EQ(valueOf(s), 0);
    // Interrupting a waiter that has ended returns at once.
    run(S::interruptWaitOnSemaphore(w));
}

TEST(Waiter, InterruptEndsTheThreadAndLeavesTheCount) {
    Names names;
    Value s = create(names.make("interrupt"), 0);
    for (bool blockedFirst : {true, false}) {
        Outcome outcome;
        Value w = run(S::forkWaitOnSemaphoreInterruptible(s, outcome.callback()));
        if (blockedFirst) waitUntilBlocked(S::waitingThreadId(w));
        run(S::interruptWaitOnSemaphore(w));
        Value got = outcome.take();
        if (got->tag == Data::Either::Right_tag) {
            EXPECT_FALSE(VUX::Types::isTrue(rts::force(rts::field(got, 0))));
        } else {
            EXPECT_EQ(Exc::displaySomeException(rts::force(rts::field(got, 0))), "thread killed");
        }
        rts::wait_thread(S::waitingThreadId(w));
        EXPECT_TRUE(rts::thread_finished(S::waitingThreadId(w)));
        // The ended waiter takes nothing posted afterwards.
        run(S::releaseSemaphore(s, boxed(1)));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(valueOf(s), 1);
        run(S::waitOnSemaphore(s));
    }
}

TEST(Waiter, WaitOnSemaphoreIsInterruptible) {
    Names names;
    Value s = create(names.make("blocking"), 0);
    Value thread = run(Conc::forkIO(S::waitOnSemaphore(s)));
    waitUntilBlocked(thread);
    run(Conc::killThread(thread));
    rts::wait_thread(thread);
    run(S::releaseSemaphore(s, boxed(1)));
    EXPECT_EQ(valueOf(s), 1);
}

// A name whose evaluation blocks the first time, signalling `entered` when it starts: an
// asynchronous exception thrown then arrives in the middle of the creation step.
Value blockingName(const std::string& text, Value entered, std::atomic<int>* entries) {
    Value never = run(Conc::newEmptyMVar());
    return rts::delay([text, entered, never, entries] {
        if (entries->fetch_add(1) == 0) {
            run(Conc::putMVar(entered, VUX::Tuple::Unit()));
            run(Conc::takeMVar(never));
        }
        return name(text);
    });
}

// Runs `create(name)` in a thread, kills the thread while the name is evaluated, and answers
// whether the exception that ended the creation was the kill, still asynchronous.
bool killedDuringCreation(const std::string& text, std::atomic<int>* entries, Value (*create)(Value)) {
    Value entered = run(Conc::newEmptyMVar()), done = run(Conc::newEmptyMVar());
    Value nameValue = blockingName(text, entered, entries);
    std::atomic<bool> asyncKill{false};
    Value thread = run(Conc::forkIO(VUX::Internal::IO::io([&, nameValue, done] {
        try {
            run(create(nameValue));
        } catch (const rts::Exception& e) {
            asyncKill = e.is_async() && Exc::isThreadKilled(e);
        }
        return run(Conc::putMVar(done, VUX::Tuple::Unit()));
    })));
    run(Conc::takeMVar(entered));
    run(Conc::killThread(thread));
    run(Conc::takeMVar(done));
    rts::wait_thread(thread);
    return asyncKill;
}

TEST(Creation, AsynchronousExceptionsPassUnchanged) {
    Names names;
    std::string text = names.make("killed");
    std::atomic<int> entries{0};
    EXPECT_TRUE(
        killedDuringCreation(text, &entries, [](Value n) { return S::createSemaphore(n, boxed(0)); }));
    EXPECT_EQ(entries.load(), 1);

    // freshSemaphore does not go on to another name after the kill.
    std::string prefix = names.make("fresh-killed");
    for (int64_t i = 0; i < 3; ++i)
        names.remember(vux::testing::to_string(S::freshSemaphoreName(name(prefix), 0, i)));
    std::atomic<int> freshEntries{0};
    EXPECT_TRUE(killedDuringCreation(prefix, &freshEntries, [](Value n) {
        Value create =
            rts::fun<2>([](const Value& n, const Value& count) { return S::createSemaphore(n, count); });
        return S::freshSemaphoreFrom(create, n, 0, boxed(0));
    }));
    EXPECT_EQ(freshEntries.load(), 1);
}

}  // namespace
