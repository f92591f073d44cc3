// Making the runtime known to a thread: its state, its allocator cache and its stack limit.
#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ThreadState.h"

namespace rts {

constinit thread_local ThreadState* tls_thread __attribute__((tls_model("initial-exec"))) = nullptr;
constinit thread_local AllocCache* tls_alloc __attribute__((tls_model("initial-exec"))) = nullptr;
constinit thread_local uintptr_t tls_stack_limit __attribute__((tls_model("initial-exec"))) = 0;

namespace {

std::atomic<uint64_t> next_thread_id{1};
pthread_key_t thread_key;
pthread_once_t key_once = PTHREAD_ONCE_INIT;

// Runs at thread exit as the runtime key's destructor. C++ thread_local objects are destroyed
// before any key destructor, so their releases still find the thread's state. A key destructor
// of another library that runs after this one and releases a value takes the thread up again
// (init_thread_cold sets the key anew), and the next destructor round gives it all back.
void thread_exit(void* p) {
    auto* ts = static_cast<ThreadState*>(p);
    flush_alloc_cache(ts);
    tls_alloc = nullptr;
    tls_thread = nullptr;
    delete ts;
}

void make_key() { pthread_key_create(&thread_key, &thread_exit); }

// Room kept below the limit for raising and handling the overflow exception.
size_t stack_margin(size_t size) { return std::clamp<size_t>(size / 16, 128 * 1024, 16 * 1024 * 1024); }

uintptr_t compute_stack_limit() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
    void* addr = nullptr;
    size_t size = 0;
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
    return reinterpret_cast<uintptr_t>(addr) + stack_margin(size);
}

}  // namespace

void init_thread_cold() {
    if (tls_thread != nullptr) return;
    pthread_once(&key_once, &make_key);
    auto* ts = new ThreadState();
    ts->id = next_thread_id.fetch_add(1, std::memory_order_relaxed);
    ts->pending.reserve(1024);
    tls_thread = ts;
    tls_alloc = &ts->cache;
    tls_stack_limit = compute_stack_limit();
    pthread_setspecific(thread_key, ts);
}

uint64_t thread_allocated_bytes() { return thread_state()->cache.allocated_bytes; }

}  // namespace rts
