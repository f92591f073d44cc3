// Threads known to the runtime: identifiers, forking, asynchronous exceptions and their delivery.
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "ThreadsInternal.h"
#include "rts/MVar.h"

namespace rts {

namespace {

// ---------------------------------------------------------------------------------------------
// Thread identifiers: opaque objects holding the thread's handle.

struct ThreadObject {
    OpaqueObject head;
    ThreadControl control;
};

void destroy_thread_object(Object* o) { reinterpret_cast<ThreadObject*>(o)->control.~ThreadControl(); }
constexpr OpaqueInfo thread_info{&destroy_thread_object, sizeof(ThreadObject), "ThreadId#"};

std::atomic<uint64_t> next_thread_number{1};

Value new_thread_object() {
    void* mem = allocate_bytes(sizeof(ThreadObject));
    auto* t = static_cast<ThreadObject*>(mem);
    new (&t->head) OpaqueObject{Object(1, Kind::Opaque, 0, 0, 0), &thread_info};
    new (&t->control) ThreadControl();
    Value v = Value::adopt(&t->head.header);
    t->control.self = v.get();
    t->control.number = next_thread_number.fetch_add(1, std::memory_order_relaxed);
    t->control.done = newMVar_hash();
    return v;
}

// Binds a handle to the running thread. Exceptions thrown before the thread started wait for it.
void attach(ThreadState* ts, ThreadControl* c) {
    std::lock_guard<std::mutex> g(c->lock);
    c->ts = ts;
    c->pthread = pthread_self();
    if (c->head != nullptr) ts->async_pending.store(true, std::memory_order_relaxed);
    ts->control = c;
}

// The thread has ended: exceptions still queued count as delivered, waiters of wait_thread wake.
void finish(ThreadControl* c) {
    AsyncThrow* queued;
    {
        std::lock_guard<std::mutex> g(c->lock);
        c->finished = true;
        c->in_interruptible_call = false;  // a region left by an exception that ended the thread
        if (c->ts != nullptr) {
            c->ts->async_pending.store(false, std::memory_order_relaxed);
            c->ts->control = nullptr;
        }
        c->ts = nullptr;
        queued = c->head;
        c->head = c->tail = nullptr;
        for (AsyncThrow* e = queued; e != nullptr; e = e->next) e->state = AsyncThrow::Taken;
    }
    while (queued != nullptr) {
        AsyncThrow* e = queued;
        queued = e->next;
        unpark(e->thrower, [e] { e->state = AsyncThrow::Delivered; });
    }
    tryPutMVar_hash(c->done, realWorld_hash());
}

// Threads that the runtime did not start get a handle on first need; it ends with the thread.
struct ForeignThread {
    Object* self = nullptr;
    ~ForeignThread() {
        if (self == nullptr) return;
        finish(&reinterpret_cast<ThreadObject*>(self)->control);
        release(self);
    }
};
thread_local ForeignThread foreign_thread;

// ---------------------------------------------------------------------------------------------
// Forked threads

void report_uncaught(uint64_t number, const Exception& e) {
    std::string text = display(e);
    std::fprintf(stderr, "thread %llu: %s\n", static_cast<unsigned long long>(number), text.c_str());
}
std::atomic<UncaughtHandler> uncaught_handler{&report_uncaught};

struct StartInfo {
    std::function<void()> body;
    Value thread;  // the thread's own reference to its identifier, dropped when it ends
    uint8_t mask;
};

void run_body(ThreadState* ts, ThreadControl* c, StartInfo& s) {
    try {
        async_safe_point(ts);  // killed before it started: end without running
        s.body();
        ts->mask = 1;
    } catch (const Exception& e) {
        ts->mask = 1;  // nothing more is delivered while the thread winds up
        if (e.kind() == RtsError::ThreadKilled) return;
        try {
            uncaught_handler.load()(c->number, e);
        } catch (...) {
        }
    } catch (const std::exception& e) {
        ts->mask = 1;
        std::fprintf(stderr, "thread %llu: %s\n", static_cast<unsigned long long>(c->number), e.what());
    } catch (...) {
        ts->mask = 1;
        std::fprintf(stderr, "thread %llu: unknown exception\n", static_cast<unsigned long long>(c->number));
    }
}

void* thread_main(void* arg) {
    std::unique_ptr<StartInfo> s(static_cast<StartInfo*>(arg));
    init_thread_cold();
    ThreadState* ts = tls_thread;
    ThreadControl* c = control_of(s->thread);
    ts->mask = s->mask;
    attach(ts, c);
    run_body(ts, c, *s);
    finish(c);
    return nullptr;
}

// Delivery of the thrower's own exception aside, waits until `entry` is delivered. While it is
// still queued the wait is interruptible: the thrower then withdraws it and takes its own
// exception. A target inside an interruptible foreign call is signalled again now and then, in
// case the first signal came before its call started blocking.
void wait_delivered(ThreadControl* self, ThreadState* ts, ThreadControl* target, AsyncThrow& entry) {
    using std::chrono::milliseconds;
    milliseconds backoff{1};
    bool interruptible = true;
    std::unique_lock<std::mutex> g(self->lock);
    while (entry.state != AsyncThrow::Delivered) {
        if (interruptible && deliverable_when_blocked(ts)) {
            g.unlock();
            bool withdrawn = false;
            {
                std::lock_guard<std::mutex> tg(target->lock);
                if (entry.state == AsyncThrow::Queued) {
                    AsyncThrow** link = &target->head;
                    AsyncThrow* prev = nullptr;
                    while (*link != &entry) prev = *link, link = &(*link)->next;
                    *link = entry.next;
                    if (target->tail == &entry) target->tail = prev;
                    if (target->head == nullptr && target->ts != nullptr)
                        target->ts->async_pending.store(false, std::memory_order_relaxed);
                    withdrawn = true;
                }
            }
            if (withdrawn) {
                deliver_async_cold(ts);
                return;  // (only if nothing was raised after all: the throw is abandoned)
            }
            interruptible = false;  // the target has taken it: its delivery is imminent
            g.lock();
            continue;
        }
        self->parked = true;
        std::cv_status woken = self->wake.wait_for(g, backoff);
        self->parked = false;
        if (woken == std::cv_status::timeout) {
            g.unlock();
            {
                std::lock_guard<std::mutex> tg(target->lock);
                if (entry.state == AsyncThrow::Queued && target->in_interruptible_call) send_interrupt(target);
            }
            backoff = std::min(backoff * 2, milliseconds(64));
            g.lock();
        }
    }
}

void throw_async(const Value& thread, Value exception, RtsError kind) {
    ThreadState* ts = thread_state();
    ThreadControl* self = current_control();
    ThreadControl* target = control_of(thread);
    if (target == self) throw Exception(std::move(exception), kind, true);
    AsyncThrow entry{std::move(exception), kind, self};
    {
        std::lock_guard<std::mutex> g(target->lock);
        if (target->finished) return;
        if (target->tail != nullptr)
            target->tail->next = &entry;
        else
            target->head = &entry;
        target->tail = &entry;
        if (target->ts != nullptr) target->ts->async_pending.store(true, std::memory_order_relaxed);
        target->wake.notify_all();
        if (target->in_interruptible_call) send_interrupt(target);
    }
    wait_delivered(self, ts, target, entry);
}

constinit const StaticNullary real_world{0};

thread_local int64_t allocation_counter_base = 0;

}  // namespace

// ---------------------------------------------------------------------------------------------

Value realWorld_hash() { return real_world.value(); }

ThreadControl* control_of(const Value& thread) {
    if (!is_thread_id(thread)) throw std::logic_error("rts: not a thread identifier");
    return &reinterpret_cast<ThreadObject*>(thread.get())->control;
}

bool is_thread_id(const Value& v) {
    return v && v->kind == Kind::Opaque && reinterpret_cast<OpaqueObject*>(v.get())->info == &thread_info;
}

ThreadControl* current_control() {
    ThreadState* ts = thread_state();
    if (RTS_LIKELY(ts->control != nullptr)) return ts->control;
    Value t = new_thread_object();
    ThreadControl* c = control_of(t);
    attach(ts, c);
    if (foreign_thread.self != nullptr) {  // a handle that ended earlier in this thread's exit
        release(foreign_thread.self);
    }
    foreign_thread.self = t.detach();
    return c;
}

void deliver_async_cold(ThreadState* ts) {
    ThreadControl* c = ts->control;
    AsyncThrow* e;
    {
        if (c == nullptr) {
            ts->async_pending.store(false, std::memory_order_relaxed);
            return;
        }
        std::lock_guard<std::mutex> g(c->lock);
        e = c->head;
        if (e != nullptr) {
            c->head = e->next;
            if (c->head == nullptr) c->tail = nullptr;
            e->state = AsyncThrow::Taken;
        }
        if (c->head == nullptr) ts->async_pending.store(false, std::memory_order_relaxed);
    }
    if (e == nullptr) return;
    Value exception = e->exception;
    RtsError kind = e->kind;
    unpark(e->thrower, [e] { e->state = AsyncThrow::Delivered; });
    throw Exception(std::move(exception), kind, true);
}

Value fork_thread(std::function<void()> body) {
    ThreadState* ts = thread_state();
    share_with_threads();  // the new thread reaches what the body captured
    Value t = new_thread_object();
    auto* start = new StartInfo{std::move(body), t, ts->mask};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kLargeStackBytes);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int rc = pthread_create(&thread, &attr, &thread_main, start);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete start;
        throw std::runtime_error(std::string("forkIO: ") + std::strerror(rc));
    }
    return t;
}

Value fork_thread(Value action) {
    return fork_thread(std::function<void()>([action = std::move(action)] { run_io(action); }));
}

Value my_thread_id() { return Value::share(current_control()->self); }

uint64_t thread_id_number(const Value& thread) { return control_of(thread)->number; }

void throw_to(const Value& thread, Value exception) { throw_async(thread, std::move(exception), RtsError::None); }

void throw_to(const Value& thread, RtsError kind) {
    Value v;
    if (auto make = exception_hooks().make) v = make(kind);
    throw_async(thread, std::move(v), kind);
}

void kill_thread(const Value& thread) { throw_to(thread, RtsError::ThreadKilled); }

void yield() {
    safe_point();
    sched_yield();
}

void wait_thread(const Value& thread) { readMVar_hash(control_of(thread)->done); }

bool thread_finished(const Value& thread) {
    ThreadControl* c = control_of(thread);
    std::lock_guard<std::mutex> g(c->lock);
    return c->finished;
}

ThreadStatus thread_status(const Value& thread) {
    ThreadControl* c = control_of(thread);
    std::lock_guard<std::mutex> g(c->lock);
    if (c->finished) return ThreadStatus::Finished;
    return c->parked || c->in_interruptible_call ? ThreadStatus::Blocked : ThreadStatus::Running;
}

bool async_exception_pending(const Value& thread) {
    ThreadControl* c = control_of(thread);
    std::lock_guard<std::mutex> g(c->lock);
    return c->head != nullptr;
}

void safe_point() { async_safe_point(thread_state()); }

bool async_exception_pending() { return thread_state()->async_pending.load(std::memory_order_relaxed); }

void set_uncaught_handler(UncaughtHandler handler) {
    uncaught_handler.store(handler != nullptr ? handler : &report_uncaught);
}

int64_t getThreadAllocationCounter_hash() {
    return allocation_counter_base - static_cast<int64_t>(thread_allocated_bytes());
}

void setThreadAllocationCounter_hash(int64_t value) {
    allocation_counter_base = value + static_cast<int64_t>(thread_allocated_bytes());
}

}  // namespace rts
