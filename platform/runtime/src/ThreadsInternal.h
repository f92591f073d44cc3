// Threads inside the runtime: the per-thread handle, asynchronous exceptions on their way, and
// parking (blocking waits that asynchronous exceptions can interrupt).
//
// Locks: each thread's handle has one lock, which guards its exception queue, its region flag and
// its parking. A mailbox's lock may be held while taking a waiter's handle lock (to wake it);
// never the other way round, and no two handle locks are ever held at once.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "ThreadState.h"
#include "rts/Threads.h"

namespace rts {

struct ThreadControl;

// An asynchronous exception on its way to a thread. It lives on the thrower's stack: the thrower
// waits until the target has taken it (Taken) and then marked it Delivered, or withdraws it while
// it is still Queued.
struct AsyncThrow {
    enum State : uint8_t { Queued, Taken, Delivered };
    Value exception;
    RtsError kind;
    ThreadControl* thrower;
    std::atomic<State> state{Queued};  // Taken is set under the target's lock, Delivered under the thrower's
    AsyncThrow* next = nullptr;
};

struct ThreadControl {
    std::mutex lock;
    std::condition_variable wake;
    Object* self = nullptr;       // the thread identifier holding this handle (not counted)
    uint64_t number = 0;
    // Guarded by `lock`:
    ThreadState* ts = nullptr;    // while the thread runs
    pthread_t pthread{};          // valid while `ts` is set
    bool finished = false;
    bool in_interruptible_call = false;
    bool parked = false;          // inside park()
    AsyncThrow* head = nullptr;   // queued exceptions, oldest first
    AsyncThrow* tail = nullptr;
    Value done;                   // a mailbox filled when the thread ends
};

// The calling thread's handle, made on first need.
ThreadControl* current_control();
// The handle inside a thread identifier.
ThreadControl* control_of(const Value& thread);

// Whether an asynchronous exception may be raised in a blocking wait now. Read under the thread's
// own handle lock for an exact answer.
RTS_INLINE bool deliverable_when_blocked(const ThreadState* ts) {
    return ts->async_pending.load(std::memory_order_relaxed) && ts->mask != 1;
}

// Blocks the calling thread until `done()` (checked under its handle lock) holds, or until an
// asynchronous exception may be raised. Answers whether `done()` held.
template <class Done>
bool park(ThreadControl* self, const ThreadState* ts, Done done) {
    std::unique_lock<std::mutex> g(self->lock);
    for (;;) {
        if (done()) return true;
        if (deliverable_when_blocked(ts)) return false;
        self->parked = true;
        self->wake.wait(g);
        self->parked = false;
    }
}

// Runs `set` under the waiter's handle lock and wakes it. After `set` made its condition true the
// waiter may return at once, so nothing of the waiter's may be touched after this call.
template <class Set>
void unpark(ThreadControl* waiter, Set set) {
    std::lock_guard<std::mutex> g(waiter->lock);
    set();
    waiter->wake.notify_all();
}

// Signals (Signals.cpp): wakes a thread blocked in an interruptible foreign call.
void send_interrupt(ThreadControl* target);

}  // namespace rts
