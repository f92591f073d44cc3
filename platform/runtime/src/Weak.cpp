// Weak references: a registry of weak cells by key, the free path's hook, and the finalizer thread.
//
// A weak reference object holds a cell; the registry holds the cells of every key that is still
// alive, so a finalizer runs when its key dies even if the weak reference object is gone. A cell
// goes from live to dead once, under its registry shard's lock: by the key's death
// (weak_key_dying) or by finalizeWeak#; whoever kills it runs or queues its finalizer.
//
// Reviving a key: deRefWeak# takes a new reference to a key whose count it sees above zero, with a
// compare-and-swap. The free path may free an object whose count it read as 1 without decrementing
// it, so weak_key_dying, under the same lock, finds a count of 2 or more in that case and gives up
// the free instead (dropping the releasing thread's reference).
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "ThreadState.h"
#include "rts/Mask.h"
#include "rts/Weak.h"

namespace rts {

namespace detail {
std::atomic<uint64_t> weak_side_keys{0};
}  // namespace detail

namespace {

struct WeakCell {
    Object* key;                // not counted
    Object* value = nullptr;    // counted unless value_is_key
    Object* finalizer = nullptr;  // counted; null for none
    bool value_is_key = false;
    bool finalizer_takes_value = false;
    bool static_key = false;    // never dies: not in the registry
    bool holds_key = false;     // counted: a key inside a compact region (see make_weak)
    bool dead = false;          // guarded by the key's shard lock

    WeakCell(const WeakCell&) = delete;
    explicit WeakCell(Object* k) : key(k) {}
    ~WeakCell() {
        release(finalizer);
        if (!value_is_key) release(value);
        if (holds_key) release(key);
    }
};
using CellPtr = std::shared_ptr<WeakCell>;

// ---------------------------------------------------------------------------------------------
// The registry

struct Shard {
    std::mutex lock;
    std::unordered_map<Object*, std::vector<CellPtr>> cells;
};
constexpr size_t kShards = 16;
Shard& shard_of(Object* key) {
    static Shard* shards = new Shard[kShards];  // never destroyed: keys may die during exit
    return shards[(reinterpret_cast<uintptr_t>(key) >> 4) % kShards];
}

bool uses_side_table(const Object* o) { return o->kind == Kind::Con || o->kind == Kind::Pap || o->kind == Kind::Bytes; }

// Takes a reference to a live key; fails on a key whose count already reached zero.
bool try_retain(Object* key) {
    uint32_t c = key->rc.load(std::memory_order_relaxed);
    do {
        if (c == 0) return false;
    } while (!key->rc.compare_exchange_weak(c, c + 1, std::memory_order_acq_rel, std::memory_order_relaxed));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Running finalizers

// Runs the cell's finalizer; `key` is the kept key for a finalizer that takes it as its value.
void run_finalizer(WeakCell& cell, Value key) {
    Value fin = Value::adopt(cell.finalizer);
    cell.finalizer = nullptr;
    if (!cell.finalizer_takes_value) {
        run_io(fin);
        return;
    }
    Value v = cell.value_is_key ? std::move(key) : Value::share(cell.value);
    apply(fin, v, realWorld_hash());
}

struct Job {
    CellPtr cell;
    Object* kept_key = nullptr;  // owned; null unless the finalizer takes the key
};

struct FinalizerQueue {
    std::mutex lock;
    std::condition_variable work;
    std::condition_variable idle;
    std::deque<Job> jobs;
    std::deque<Job> dropped;  // queued when the process exited
    uint64_t queued = 0;
    uint64_t finished = 0;
    bool running = false;
    bool shutting_down = false;
    std::mutex start_lock;  // taken alone, never with `lock`
    std::atomic<bool> started{false};
    bool exit_hook = false;  // guarded by start_lock
};
FinalizerQueue& queue() {
    static FinalizerQueue* q = new FinalizerQueue();  // never destroyed
    return *q;
}

void run_job(Job& job) {
    try {
        run_finalizer(*job.cell, Value::adopt(job.kept_key));
    } catch (...) {
        // A finalizer's exception has nobody to go to: it is dropped.
    }
    job.cell.reset();
}

[[noreturn]] void finalizer_loop() {
    FinalizerQueue& q = queue();
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> g(q.lock);
            q.work.wait(g, [&] { return !q.jobs.empty() && !q.shutting_down; });
            job = std::move(q.jobs.front());
            q.jobs.pop_front();
            q.running = true;
        }
        thread_state()->mask = 0;
        run_job(job);
        {
            std::lock_guard<std::mutex> g(q.lock);
            q.running = false;
            ++q.finished;
        }
        q.idle.notify_all();
    }
}

// At exit: let a running finalizer finish, drop the queued ones (without running their releases).
void stop_finalizers() {
    FinalizerQueue& q = queue();
    std::unique_lock<std::mutex> g(q.lock);
    q.shutting_down = true;
    q.idle.wait(g, [&] { return !q.running; });
    // Kept, not destroyed: releasing their values could run code while the process exits.
    for (Job& j : q.jobs) q.dropped.push_back(std::move(j));
    q.jobs.clear();
}

// Starts the finalizer thread once. The thread is marked started only after it was forked, and
// the two happen masked uninterruptibly under `start_lock`: an asynchronous exception at a safe
// point of the fork waits until the mark is set, and a fork that fails leaves it unset, so the
// next finalizer tries again instead of queueing behind a thread that never came.
void ensure_finalizer_thread() {
    FinalizerQueue& q = queue();
    if (q.started.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> g(q.start_lock);
    if (q.started.load(std::memory_order_relaxed)) return;
    with_masking_state(MaskingState::MaskedUninterruptible, [&] {
        if (!q.exit_hook) {
            std::atexit(&stop_finalizers);
            q.exit_hook = true;
        }
        Value t = fork_thread(std::function<void()>([] { finalizer_loop(); }));
        t.detach();  // the finalizer thread's identifier lives as long as the process
        q.started.store(true, std::memory_order_release);
    });
}

void enqueue_job(Job job) {
    FinalizerQueue& q = queue();
    {
        std::lock_guard<std::mutex> g(q.lock);
        if (!q.shutting_down) {
            q.jobs.push_back(std::move(job));
            ++q.queued;
            q.work.notify_one();
            return;
        }
    }
    job.cell.reset();  // at exit: dropped
    release(job.kept_key);
}

// ---------------------------------------------------------------------------------------------
// Weak reference objects

struct WeakObject {
    OpaqueObject head;
    CellPtr cell;
};
void destroy_weak_object(Object* o) { reinterpret_cast<WeakObject*>(o)->~WeakObject(); }
constexpr OpaqueInfo weak_info{&destroy_weak_object, sizeof(WeakObject), "Weak#"};

WeakCell& cell_of(const Value& w) {
    if (!w || w->kind != Kind::Opaque || reinterpret_cast<OpaqueObject*>(w.get())->info != &weak_info)
        throw std::logic_error("rts: not a weak reference");
    return *reinterpret_cast<WeakObject*>(w.get())->cell;
}

void mark_key(Object* k) {
    if (uses_side_table(k))
        detail::weak_side_keys.fetch_add(1, std::memory_order_relaxed);
    else
        std::atomic_ref<uint8_t>(k->tag).fetch_or(detail::kWeakKeyMark, std::memory_order_relaxed);
}

Value make_weak(const Value& key, Value value, Value finalizer, bool takes_value) {
    Object* k = key.get();
    void* mem = allocate_bytes(sizeof(WeakObject));
    auto cell = std::make_shared<WeakCell>(k);
    auto* w = new (mem) WeakObject{OpaqueObject{Object(1, Kind::Opaque, 0, 0, 0), &weak_info}, cell};
    Value weak = Value::adopt(&w->head.header);
    cell->value_is_key = same(value, key);
    cell->value = cell->value_is_key ? k : value.detach();
    cell->finalizer_takes_value = takes_value;
    bool has_finalizer = static_cast<bool>(finalizer);
    cell->finalizer = finalizer.detach();
    // An object inside a compact region is never freed on its own, so such a key does not die
    // either: it is kept like a static key, and its region is kept for as long as the cell lives.
    const uint32_t count = k->rc.load(std::memory_order_relaxed);
    cell->static_key = special_count(count);
    if (count != 0 && cell->static_key) {
        retain(k);
        cell->holds_key = true;
    }
    if (!cell->static_key) {
        Shard& s = shard_of(k);
        std::lock_guard<std::mutex> g(s.lock);
        s.cells[k].push_back(cell);
        mark_key(k);
    }
    if (has_finalizer) ensure_finalizer_thread();
    return weak;
}

}  // namespace

namespace detail {

bool weak_key_dying(Object* o) {
    Shard& s = shard_of(o);
    std::vector<CellPtr> cells;
    uint32_t kept = 0;
    {
        std::lock_guard<std::mutex> g(s.lock);
        if (o->rc.load(std::memory_order_acquire) >= 2) {
            // Revived by deRefWeak# after the releasing thread saw the last reference.
            o->rc.fetch_sub(1, std::memory_order_acq_rel);
            return false;
        }
        auto it = s.cells.find(o);
        if (it == s.cells.end()) {
            if (!uses_side_table(o)) o->tag &= uint8_t(~kWeakKeyMark);
            return true;
        }
        cells = std::move(it->second);
        s.cells.erase(it);
        for (const CellPtr& c : cells) {
            c->dead = true;
            if (uses_side_table(o)) weak_side_keys.fetch_sub(1, std::memory_order_release);
            if (c->finalizer != nullptr && c->finalizer_takes_value && c->value_is_key) ++kept;
        }
        if (!uses_side_table(o)) o->tag &= uint8_t(~kWeakKeyMark);
        o->rc.store(kept, std::memory_order_release);
    }
    for (CellPtr& c : cells) {
        if (c->finalizer != nullptr) {
            bool keeps = c->finalizer_takes_value && c->value_is_key;
            enqueue_job(Job{std::move(c), keeps ? o : nullptr});
        } else if (!c->value_is_key) {
            release(c->value);  // the value lived only as long as the key
            c->value = nullptr;
        }
    }
    return kept == 0;
}

}  // namespace detail

Value mkWeak_hash(const Value& key, Value value, Value finalizer) {
    return make_weak(key, std::move(value), std::move(finalizer), false);
}

Value mkWeakNoFinalizer_hash(const Value& key, Value value) { return make_weak(key, std::move(value), Value(), false); }

Value mk_weak_finalizing_value(const Value& key, Value value, Value finalizer) {
    return make_weak(key, std::move(value), std::move(finalizer), true);
}

Value deRefWeak_hash(const Value& weak) {
    WeakCell& c = cell_of(weak);
    std::lock_guard<std::mutex> g(shard_of(c.key).lock);
    if (c.dead) return Value();
    if (c.static_key) return Value::share(c.value);
    if (!c.value_is_key) return c.key->rc.load(std::memory_order_acquire) == 0 ? Value() : Value::share(c.value);
    if (!try_retain(c.key)) return Value();
    return Value::adopt(c.key);
}

namespace {
// Lowers weak_side_keys for a cell whose key uses the side table, when it goes out of scope.
struct SideKeyRelease {
    bool armed = false;
    ~SideKeyRelease() {
        if (armed) detail::weak_side_keys.fetch_sub(1, std::memory_order_release);
    }
};
}  // namespace

// Once the side count is lowered, a release elsewhere may free the key without taking the shard
// lock, so nothing here reads the key's header after that: the count goes down under the lock
// when the key is not held, and only after the held key (for a finalizer that takes it) has been
// released otherwise.
bool finalizeWeak_hash(const Value& weak) {
    WeakCell& c = cell_of(weak);
    CellPtr keep_cell = reinterpret_cast<WeakObject*>(weak.get())->cell;
    CellPtr dropped;
    SideKeyRelease side_key;  // destroyed after `key`
    Value key;
    {
        Shard& s = shard_of(c.key);
        std::lock_guard<std::mutex> g(s.lock);
        if (c.dead) return false;
        if (c.finalizer != nullptr && c.finalizer_takes_value && c.value_is_key) {
            if (c.static_key)
                key = Value::adopt(c.key);
            else if (try_retain(c.key))
                key = Value::adopt(c.key);
            else
                return false;  // the key is dying: its free path finalizes this cell
        }
        c.dead = true;
        if (!c.static_key) {
            auto it = s.cells.find(c.key);
            if (it != s.cells.end()) {
                auto& v = it->second;
                for (auto i = v.begin(); i != v.end(); ++i) {
                    if (i->get() == &c) {
                        dropped = std::move(*i);
                        v.erase(i);
                        break;
                    }
                }
                if (v.empty()) s.cells.erase(it);
            }
            // The header mark stays: the key's free path clears it (writing it now could race
            // with a concurrent free reading it).
            if (uses_side_table(c.key)) {
                if (key)
                    side_key.armed = true;
                else
                    detail::weak_side_keys.fetch_sub(1, std::memory_order_release);
            }
        }
    }
    if (c.finalizer == nullptr) return false;
    run_finalizer(c, std::move(key));
    return true;
}

void wait_for_finalizers() {
    FinalizerQueue& q = queue();
    std::unique_lock<std::mutex> g(q.lock);
    uint64_t target = q.queued;
    q.idle.wait(g, [&] { return q.finished >= target || q.shutting_down; });
}

Value keepAlive_hash(const Value& x, const Value& action) {
    Value hold = x;
    return run_io(action);
}

}  // namespace rts
