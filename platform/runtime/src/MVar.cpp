// One-slot mailboxes: a value slot and a queue of blocked operations, oldest first.
//
// Invariant: while the mailbox is full only putters wait; while it is empty only takers and
// readers wait. So a put into an empty mailbox serves the waiters, and a take from a full one
// refills it from the oldest putter.
#include <stdexcept>

#include "ThreadsInternal.h"
#include "rts/MVar.h"

namespace rts {

namespace {

struct MVarWaiter {
    enum Op : uint8_t { Take, Read, Put };
    Op op;
    ThreadControl* thread;
    Object* value = nullptr;  // Put: the value to put, owned until handed over. Take/Read: received.
    bool done = false;        // set under the mailbox lock and the waiter's handle lock
    MVarWaiter* prev = nullptr;
    MVarWaiter* next = nullptr;
};

struct MVarObject {
    OpaqueObject head;
    std::mutex lock;
    Object* value = nullptr;  // owned; null when empty
    MVarWaiter* first = nullptr;
    MVarWaiter* last = nullptr;

    explicit MVarObject(const OpaqueInfo* info) : head{Object(1, Kind::Opaque, 0, 0, 0), info} {}
};

void destroy_mvar(Object* o) {
    auto* m = reinterpret_cast<MVarObject*>(o);
    Object* v = m->value;
    m->~MVarObject();
    release(v);
}
constexpr OpaqueInfo mvar_info{&destroy_mvar, sizeof(MVarObject), "MVar#"};

MVarObject* as_mvar(const Value& v) {
    if (!is_mvar(v)) throw std::logic_error("rts: not a mailbox");
    return reinterpret_cast<MVarObject*>(v.get());
}

void append(MVarObject* m, MVarWaiter* w) {
    w->prev = m->last;
    w->next = nullptr;
    if (m->last != nullptr)
        m->last->next = w;
    else
        m->first = w;
    m->last = w;
}

void unlink(MVarObject* m, MVarWaiter* w) {
    (w->prev != nullptr ? w->prev->next : m->first) = w->next;
    (w->next != nullptr ? w->next->prev : m->last) = w->prev;
}

// Completes a waiter: it may return at once, so it is unlinked first and not touched after.
void complete(MVarObject* m, MVarWaiter* w, Object* received) {
    unlink(m, w);
    unpark(w->thread, [w, received] {
        if (w->op != MVarWaiter::Put) w->value = received;
        w->done = true;
    });
}

// Puts `v` (owned) into the empty mailbox: every waiting reader gets it, then the oldest taker
// takes it; with no taker it stays in the slot. Caller holds the lock.
void fill_locked(MVarObject* m, Object* v) {
    for (MVarWaiter* w = m->first; w != nullptr;) {
        MVarWaiter* next = w->next;
        if (w->op == MVarWaiter::Read) {
            retain(v);
            complete(m, w, v);
        }
        w = next;
    }
    for (MVarWaiter* w = m->first; w != nullptr; w = w->next) {
        if (w->op == MVarWaiter::Take) {
            complete(m, w, v);
            return;
        }
    }
    m->value = v;
}

// Empties the full mailbox and returns its value (owned), refilling it from the oldest putter.
Object* empty_locked(MVarObject* m) {
    Object* v = m->value;
    m->value = nullptr;
    if (MVarWaiter* p = m->first) {
        m->value = p->value;
        complete(m, p, nullptr);
    }
    return v;
}

// Waits for a queued operation. Answers true when it completed; false when an asynchronous
// exception interrupted it and it was withdrawn, leaving the mailbox as it was. The exception is
// raised here; false is answered only if, after all, there was none to raise (the caller retries).
bool await(MVarObject* m, MVarWaiter& w, ThreadState* ts) {
    if (park(w.thread, ts, [&w] { return w.done; })) return true;
    {
        std::lock_guard<std::mutex> g(m->lock);
        // Completed just as the exception came: keep the result, raise the exception later.
        if (w.done) return true;
        unlink(m, &w);
    }
    if (w.op == MVarWaiter::Put) release(w.value);  // back to the caller, who still holds it
    deliver_async_cold(ts);
    return false;
}

// Blocks in operation `op` on `m`. For a put, `value` is the value (owned).
Object* block(MVarObject* m, std::unique_lock<std::mutex>& g, MVarWaiter::Op op, Object* value, ThreadControl* self,
              ThreadState* ts, bool& completed) {
    MVarWaiter w{op, self, value};
    append(m, &w);
    g.unlock();
    completed = await(m, w, ts);
    return w.value;
}

}  // namespace

bool is_mvar(const Value& v) {
    return v && v->kind == Kind::Opaque && reinterpret_cast<OpaqueObject*>(v.get())->info == &mvar_info;
}

Value newMVar_hash() {
    void* mem = allocate_bytes(sizeof(MVarObject));
    auto* m = new (mem) MVarObject(&mvar_info);
    return Value::adopt(&m->head.header);
}

Value takeMVar_hash(const Value& mvar) {
    MVarObject* m = as_mvar(mvar);
    ThreadState* ts = thread_state();
    ThreadControl* self = current_control();
    for (;;) {
        std::unique_lock<std::mutex> g(m->lock);
        if (m->value != nullptr) return Value::adopt(empty_locked(m));
        bool completed;
        Object* v = block(m, g, MVarWaiter::Take, nullptr, self, ts, completed);
        if (completed) return Value::adopt(v);
    }
}

Value readMVar_hash(const Value& mvar) {
    MVarObject* m = as_mvar(mvar);
    ThreadState* ts = thread_state();
    ThreadControl* self = current_control();
    for (;;) {
        std::unique_lock<std::mutex> g(m->lock);
        if (m->value != nullptr) return Value::share(m->value);
        bool completed;
        Object* v = block(m, g, MVarWaiter::Read, nullptr, self, ts, completed);
        if (completed) return Value::adopt(v);
    }
}

void putMVar_hash(const Value& mvar, Value value) {
    MVarObject* m = as_mvar(mvar);
    ThreadState* ts = thread_state();
    ThreadControl* self = current_control();
    for (;;) {
        std::unique_lock<std::mutex> g(m->lock);
        if (m->value == nullptr) {
            fill_locked(m, value.detach());
            return;
        }
        bool completed;
        block(m, g, MVarWaiter::Put, Value(value).detach(), self, ts, completed);
        if (completed) return;
    }
}

Value tryTakeMVar_hash(const Value& mvar) {
    MVarObject* m = as_mvar(mvar);
    std::lock_guard<std::mutex> g(m->lock);
    if (m->value == nullptr) return Value();
    return Value::adopt(empty_locked(m));
}

Value tryReadMVar_hash(const Value& mvar) {
    MVarObject* m = as_mvar(mvar);
    std::lock_guard<std::mutex> g(m->lock);
    return Value::share(m->value);
}

bool tryPutMVar_hash(const Value& mvar, Value value) {
    MVarObject* m = as_mvar(mvar);
    std::lock_guard<std::mutex> g(m->lock);
    if (m->value != nullptr) return false;
    fill_locked(m, value.detach());
    return true;
}

bool isEmptyMVar_hash(const Value& mvar) {
    MVarObject* m = as_mvar(mvar);
    std::lock_guard<std::mutex> g(m->lock);
    return m->value == nullptr;
}

}  // namespace rts
