// Making the runtime known to a thread: its state, its allocator cache and its stack limit.
#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "ThreadState.h"

namespace rts {

constinit thread_local ThreadState* tls_thread __attribute__((tls_model("initial-exec"))) = nullptr;
constinit thread_local AllocCache* tls_alloc __attribute__((tls_model("initial-exec"))) = &no_alloc_cache;
constinit thread_local uintptr_t tls_stack_limit __attribute__((tls_model("initial-exec"))) = 0;
constinit thread_local std::atomic<bool> tls_sole_thread __attribute__((tls_model("initial-exec"))){false};

namespace {

std::atomic<uint64_t> next_thread_id{1};
pthread_key_t thread_key;
pthread_once_t key_once = PTHREAD_ONCE_INIT;

void leave_sole_mode();

// Runs at thread exit as the runtime key's destructor. C++ thread_local objects are destroyed
// before any key destructor, so their releases still find the thread's state. A key destructor
// of another library that runs after this one and releases a value takes the thread up again
// (init_thread_cold sets the key anew), and the next destructor round gives it all back.
void thread_exit(void* p) {
    auto* ts = static_cast<ThreadState*>(p);
    leave_sole_mode();
    flush_alloc_cache(ts);
    tls_alloc = &no_alloc_cache;
    tls_thread = nullptr;
    delete ts;
}

void make_key() { pthread_key_create(&thread_key, &thread_exit); }

void init_thread_state();

// Sole mode (rts/Object.h). `sole_flag` is the flag of the sole thread while sole mode lasts;
// `sole_given` is set when the first thread entered the runtime, so no later thread is sole.
struct SoleMode {
    std::mutex lock;
    std::atomic<bool>* sole_flag = nullptr;
    bool sole_given = false;
};
SoleMode& sole_mode() {
    static SoleMode* m = new SoleMode();  // never destroyed: threads may exit after main
    return *m;
}
std::atomic<bool> sole_mode_over{false};

void end_sole_mode() {
    SoleMode& m = sole_mode();
    std::lock_guard<std::mutex> g(m.lock);
    m.sole_given = true;
    if (m.sole_flag != nullptr) m.sole_flag->store(false, std::memory_order_relaxed);
    m.sole_flag = nullptr;
    sole_mode_over.store(true, std::memory_order_release);
}

// The first thread to enter the runtime becomes the sole thread. Any later one ends sole mode: a
// thread that was not forked but reaches the sole thread's objects on its own should have called
// share_with_threads() first; this at least ends the plain counting as soon as it shows up.
void enter_sole_mode_or_end_it() {
    if (sole_mode_over.load(std::memory_order_acquire)) return;
    SoleMode& m = sole_mode();
    {
        std::lock_guard<std::mutex> g(m.lock);
        if (!m.sole_given) {
            m.sole_given = true;
            m.sole_flag = &tls_sole_thread;
            tls_sole_thread.store(true, std::memory_order_relaxed);
            return;
        }
    }
    end_sole_mode();
}

// A thread leaving the runtime stops being the sole thread (its flag goes away with it).
void leave_sole_mode() {
    if (!tls_sole_thread.load(std::memory_order_relaxed)) return;
    SoleMode& m = sole_mode();
    std::lock_guard<std::mutex> g(m.lock);
    if (m.sole_flag == &tls_sole_thread) m.sole_flag = nullptr;
    tls_sole_thread.store(false, std::memory_order_relaxed);
}

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
    init_thread_state();
    enter_sole_mode_or_end_it();
}

void init_thread_with(SoleHandoff h) {
    if (tls_thread != nullptr) return;
    init_thread_state();
    if (h.sole)
        take_sole_mode(h);
    else
        enter_sole_mode_or_end_it();
}

namespace {
void init_thread_state() {
    pthread_once(&key_once, &make_key);
    auto* ts = new ThreadState();
    ts->id = next_thread_id.fetch_add(1, std::memory_order_relaxed);
    ts->pending.reserve(1024);
    for (size_t cls = 0; cls < kFreeLists; ++cls) ts->cache.free[cls] = empty_list(cls);
    tls_thread = ts;
    tls_alloc = &ts->cache;
    tls_stack_limit = compute_stack_limit();
    pthread_setspecific(thread_key, ts);
}
}  // namespace

void share_with_threads() {
    if (!sole_mode_over.load(std::memory_order_acquire)) end_sole_mode();
}

SoleHandoff hand_sole_mode_over() {
    if (!tls_sole_thread.load(std::memory_order_relaxed)) return SoleHandoff{false};
    tls_sole_thread.store(false, std::memory_order_relaxed);
    return SoleHandoff{true};
}

void take_sole_mode(SoleHandoff h) {
    if (!h.sole) return;
    SoleMode& m = sole_mode();
    std::lock_guard<std::mutex> g(m.lock);
    if (sole_mode_over.load(std::memory_order_relaxed)) return;
    m.sole_flag = &tls_sole_thread;
    tls_sole_thread.store(true, std::memory_order_relaxed);
}

uint64_t thread_allocated_bytes() { return thread_state()->cache.allocated_bytes; }

}  // namespace rts
