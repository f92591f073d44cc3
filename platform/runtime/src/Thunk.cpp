// Evaluating suspended computations: blackholing, waiting, updating and keeping exceptions.
#include <condition_variable>
#include <mutex>

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
    static WaitStripe stripes[kStripes];
    return stripes[(reinterpret_cast<uintptr_t>(t) >> 5) % kStripes];
}

constexpr int kOwnerShift = 8;
constexpr int kKindShift = 3;

uint64_t running_by(uint64_t id) { return kRunning | (id << kOwnerShift); }

// Leaves the Running state for `next`, waking any waiters.
void publish(ThunkObject* t, uint64_t next) {
    uint64_t old = t->state.exchange(next, std::memory_order_acq_rel);
    if (old & kThunkWaiters) {
        WaitStripe& w = stripe_of(&t->header);
        { std::lock_guard<std::mutex> g(w.lock); }
        w.cv.notify_all();
    }
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

// Thunks claimed by one call of force_thunk: the first one demanded, then each thunk that a
// computation returned and that was claimed in the same frame (so that a chain of computations
// returning computations runs in constant stack). All get the same outcome.
struct Claimed {
    static constexpr size_t kMax = 32;
    ThunkObject* items[kMax];
    Value holds[kMax];  // keeps the later ones alive; items[0] is held by the caller
    size_t n = 0;
};

void fail_all(Claimed& c, const Exception& e) {
    if (e.is_async()) {
        // Interrupted: leave each thunk as it was, to be run again on the next demand.
        for (size_t i = c.n; i-- > 0;) publish(c.items[i], kUnevaluated);
        return;
    }
    uint64_t failed = kFailed | (uint64_t(static_cast<uint8_t>(e.kind())) << kKindShift);
    for (size_t i = c.n; i-- > 0;) {
        ThunkObject* t = c.items[i];
        destroy_closure(t);
        t->result = Value(e.value()).detach();
        publish(t, failed);
    }
}

void reset_all(Claimed& c) {
    for (size_t i = c.n; i-- > 0;) publish(c.items[i], kUnevaluated);
}

}  // namespace

const Value& force_thunk(Object* o) {
    ThreadState* ts = thread_state();
    stack_check();
    ThunkObject* t = as_thunk(o);
    const uint64_t mine = running_by(ts->id);
    for (;;) {
        uint64_t st = t->state.load(std::memory_order_acquire);
        switch (st & kThunkStateMask) {
            case kEvaluated: return as_value(t->result);
            case kFailed: raise_kept(t, st);
            case kRunning:
                if ((st >> kOwnerShift) == ts->id) raise(RtsError::NonTermination);
                wait_for(t);
                continue;
            case kUnevaluated:
                if (t->state.compare_exchange_strong(st, mine, std::memory_order_acq_rel)) break;
                continue;
        }
        break;
    }

    Claimed claimed;
    claimed.items[claimed.n++] = t;
    Value r;
    try {
        r = t->info->code(o);
        while (r->kind == Kind::Thunk) {
            ThunkObject* u = as_thunk(r.get());
            uint64_t st = u->state.load(std::memory_order_acquire);
            if ((st & kThunkStateMask) == kUnevaluated && claimed.n < Claimed::kMax &&
                u->state.compare_exchange_strong(st, mine, std::memory_order_acq_rel)) {
                claimed.items[claimed.n] = u;
                claimed.holds[claimed.n] = std::move(r);
                ++claimed.n;
                r = u->info->code(&u->header);
                continue;
            }
            Value w = force(r);
            r = std::move(w);
        }
    } catch (const Exception& e) {
        fail_all(claimed, e);
        throw;
    } catch (const std::bad_alloc&) {
        reset_all(claimed);
        raise(RtsError::HeapOverflow);
    } catch (...) {
        reset_all(claimed);
        throw;
    }

    for (size_t i = claimed.n; i-- > 0;) {
        ThunkObject* c = claimed.items[i];
        destroy_closure(c);
        c->result = Value(r).detach();
        publish(c, kEvaluated);
    }
    return as_value(t->result);
}

}  // namespace rts
