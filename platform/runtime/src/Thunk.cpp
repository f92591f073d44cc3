// Evaluating suspended computations: blackholing, waiting, updating and keeping exceptions.
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "ThreadState.h"

namespace rts {

namespace {

// Threads waiting for another thread's thunk sleep on one of these, chosen by the thunk's address.
struct WaitStripe {
    std::mutex lock;
    std::condition_variable cv;
};
constexpr size_t kStripes = 64;
WaitStripe& stripe_of(Object* t) {
    // Never destroyed: other threads may still force thunks while the process exits.
    static WaitStripe* stripes = new WaitStripe[kStripes];
    return stripes[(reinterpret_cast<uintptr_t>(t) >> 5) % kStripes];
}

constexpr int kOwnerShift = 8;
constexpr int kKindShift = 3;

uint64_t running_by(uint64_t id) { return kRunning | (id << kOwnerShift); }

// publish() off the sole thread: waiters may have to be woken.
__attribute__((noinline)) void publish_shared(ThunkObject* t, uint64_t next) {
    uint64_t old = t->state.exchange(next, std::memory_order_acq_rel);
    if (old & kThunkWaiters) {
        WaitStripe& w = stripe_of(&t->header);
        { std::lock_guard<std::mutex> g(w.lock); }
        w.cv.notify_all();
    }
}

// Leaves the Running state for `next`, waking any waiters. The sole thread has none to wake.
RTS_INLINE void publish(ThunkObject* t, uint64_t next) {
    if (RTS_LIKELY(sole_thread()))
        t->state.store(next, std::memory_order_release);
    else
        publish_shared(t, next);
}

// Blocks until the thunk, which another thread runs, leaves the Running state.
void wait_for(ThunkObject* t) {
    WaitStripe& w = stripe_of(&t->header);
    std::unique_lock<std::mutex> g(w.lock);
    uint64_t st = t->state.load(std::memory_order_acquire);
    while ((st & kThunkStateMask) == kRunning) {
        if (!(st & kThunkWaiters) &&
            !t->state.compare_exchange_weak(st, st | kThunkWaiters, std::memory_order_acq_rel)) {
            continue;  // st was reloaded
        }
        w.cv.wait(g);
        st = t->state.load(std::memory_order_acquire);
    }
}

[[noreturn]] void raise_kept(ThunkObject* t, uint64_t st) {
    auto kind = static_cast<RtsError>((st >> kKindShift) & 0x1f);
    throw Exception(Value::share(t->result), kind, false);
}

void destroy_closure(ThunkObject* t) {
    if (auto d = t->info->destroy) d(&t->header);
}

// Gives every thunk of `chain` the outcome of an exception that ended its computation.
void fail_all(ThunkObject* const* chain, size_t n, const Exception& e) {
    if (e.is_async()) {
        // Interrupted: leave each thunk as it was, to be run again on the next demand.
        for (size_t i = n; i-- > 0;) publish(chain[i], kUnevaluated);
        return;
    }
    uint64_t failed = kFailed | (uint64_t(static_cast<uint8_t>(e.kind())) << kKindShift);
    for (size_t i = n; i-- > 0;) {
        ThunkObject* t = chain[i];
        destroy_closure(t);
        t->result = Value(e.value()).detach();
        publish(t, failed);
    }
}

void reset_all(const std::vector<ThunkObject*>& chain) {
    for (size_t i = chain.size(); i-- > 0;) publish(chain[i], kUnevaluated);
}

// Claims the thunk for this thread. Returns false if it is already evaluated; raises its kept
// exception, or the loop exception if this thread is already running it; waits while another
// thread runs it.
__attribute__((noinline)) bool claim_any(ThunkObject* t, uint64_t owner_id) {
    const uint64_t mine = running_by(owner_id);
    for (;;) {
        uint64_t st = t->state.load(std::memory_order_acquire);
        switch (st & kThunkStateMask) {
            case kEvaluated: return false;
            case kFailed: raise_kept(t, st);
            case kRunning:
                if ((st >> kOwnerShift) == owner_id) raise(RtsError::NonTermination);
                wait_for(t);
                continue;
            case kUnevaluated:
                if (sole_thread()) {
                    t->state.store(mine, std::memory_order_relaxed);
                    return true;
                }
                if (t->state.compare_exchange_strong(st, mine, std::memory_order_acq_rel)) return true;
                continue;
        }
    }
}

// claim(), with the common case first: on the sole thread an unevaluated thunk is claimed with a
// plain store, since no other thread can be claiming it.
RTS_INLINE bool claim(ThunkObject* t, uint64_t owner_id) {
    if (RTS_LIKELY(sole_thread()) && t->state.load(std::memory_order_relaxed) == kUnevaluated) {
        t->state.store(running_by(owner_id), std::memory_order_relaxed);
        return true;
    }
    return claim_any(t, owner_id);
}

// Runs the computation of a thunk this thread has claimed.
RTS_INLINE Value run_claimed(ThunkObject* t) {
    try {
        return t->info->code(&t->header);
    } catch (const std::bad_alloc&) {
        raise(RtsError::HeapOverflow);
    }
}

// The value of a computation that returned another suspended computation `r`. Unevaluated thunks
// met on the way are claimed and run here, one after another, so a long chain of computations
// that return computations runs in constant stack; they all receive the final value. Their
// closures are kept until then, so an interrupted chain can run again.
RTS_COLD Value finish_chain(uint64_t owner_id, Value r) {
    std::vector<ThunkObject*> chain;
    std::vector<Value> holds;  // keeps the claimed thunks alive
    try {
        while (r->kind == Kind::Thunk) {
            ThunkObject* u = as_thunk(r.get());
            if (!claim(u, owner_id)) {
                Value w = as_value(u->result);
                r = std::move(w);
                break;
            }
            chain.push_back(u);
            holds.push_back(std::move(r));
            r = run_claimed(u);
        }
    } catch (const Exception& e) {
        fail_all(chain.data(), chain.size(), e);
        throw;
    } catch (...) {
        reset_all(chain);
        throw;
    }
    for (size_t i = chain.size(); i-- > 0;) {
        ThunkObject* c = chain[i];
        destroy_closure(c);
        c->result = Value(r).detach();
        publish(c, kEvaluated);
    }
    return r;
}

}  // namespace

void force_empty() { throw std::logic_error("rts: forced an empty reference (a null or moved-from Value)"); }

// Kept small: nested demands stack one frame of this per level.
const Value& force_thunk(Object* o) {
    ThreadState* ts = thread_state();
    stack_check();
    async_safe_point(ts);
    ThunkObject* t = as_thunk(o);
    if (!claim(t, ts->id)) return as_value(t->result);
    Object* result;
    try {
        Value r = run_claimed(t);
        if (RTS_UNLIKELY(r->kind == Kind::Thunk)) r = finish_chain(ts->id, std::move(r));
        result = r.detach();
    } catch (const Exception& e) {
        fail_all(&t, 1, e);
        throw;
    } catch (...) {
        publish(t, kUnevaluated);
        throw;
    }
    destroy_closure(t);
    t->result = result;
    publish(t, kEvaluated);
    return as_value(t->result);
}

}  // namespace rts
