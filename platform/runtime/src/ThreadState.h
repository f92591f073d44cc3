// Per-thread runtime state (internal to the runtime).
#pragma once

#include <vector>

#include "rts/rts.h"

namespace rts {

struct ThreadControl;  // a thread's runtime handle: identifier, exception queue, parking (Threads.cpp)

struct ThreadState {
    AllocCache cache;               // tls_alloc points here
    uint64_t id;                    // never 0; owner mark of the thunks this thread runs
    bool freeing = false;           // inside the free loop: releases queue up in `pending`
    std::vector<Object*> pending;   // objects whose count reached zero, waiting to be freed
    char* bump = nullptr;           // carving area for fresh blocks
    char* bump_end = nullptr;
    std::atomic<bool> async_pending{false};  // an asynchronous exception waits for this thread
    uint8_t mask = 0;                        // masking state: 0 unmasked, 1 uninterruptible, 2 interruptible
    ThreadControl* control = nullptr;        // made on first need (Threads.cpp)
};

extern constinit thread_local ThreadState* tls_thread __attribute__((tls_model("initial-exec")));

RTS_INLINE ThreadState* thread_state() {
    ThreadState* ts = tls_thread;
    if (RTS_UNLIKELY(ts == nullptr)) {
        init_thread_cold();
        ts = tls_thread;
    }
    return ts;
}

// Raises the oldest asynchronous exception queued for the thread, if any (Threads.cpp).
void deliver_async_cold(ThreadState* ts);

// A safe point of the cold paths (demanding a suspended computation, slow allocation): raises a
// pending asynchronous exception when the thread is unmasked.
RTS_INLINE void async_safe_point(ThreadState* ts) {
    if (RTS_UNLIKELY(ts->async_pending.load(std::memory_order_relaxed)) && ts->mask == 0) deliver_async_cold(ts);
}

// Returns the thread's cached blocks to the shared pool (at thread exit).
void flush_alloc_cache(ThreadState* ts);

// Sole mode passed to a helper thread while the sole thread waits for it (run_on_large_stack):
// the sole thread hands it over, the helper enters the runtime with it, and the sole thread
// takes it back once the helper has ended, unless sole mode ended meanwhile.
struct SoleHandoff {
    bool sole;
};
SoleHandoff hand_sole_mode_over();
void take_sole_mode(SoleHandoff h);
// init_thread_cold for a helper thread that receives sole mode.
void init_thread_with(SoleHandoff h);

}  // namespace rts
