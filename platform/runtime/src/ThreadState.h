// Per-thread runtime state (internal to the runtime).
#pragma once

#include <vector>

#include "rts/rts.h"

namespace rts {

struct ThreadState {
    AllocCache cache;               // tls_alloc points here
    uint64_t id;                    // never 0; owner mark of the thunks this thread runs
    bool freeing = false;           // inside the free loop: releases queue up in `pending`
    std::vector<Object*> pending;   // objects whose count reached zero, waiting to be freed
    char* bump = nullptr;           // carving area for fresh blocks
    char* bump_end = nullptr;
};

extern thread_local ThreadState* tls_thread __attribute__((tls_model("initial-exec")));

RTS_INLINE ThreadState* thread_state() {
    ThreadState* ts = tls_thread;
    if (RTS_UNLIKELY(ts == nullptr)) {
        init_thread_cold();
        ts = tls_thread;
    }
    return ts;
}

// Returns the thread's cached blocks to the shared pool (at thread exit).
void flush_alloc_cache(ThreadState* ts);

}  // namespace rts
