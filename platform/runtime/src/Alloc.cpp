// The size-class allocator and the free loop.
//
// Small blocks (up to 512 bytes) come from per-thread free lists. A list that runs dry is refilled
// with a batch from the shared pool (blocks that other threads gave back), else carved from the
// thread's current chunk, else from a spare piece of chunk that an exited thread left, else from a
// fresh 256 KiB chunk. Chunks are never returned to the system: freed blocks are reused, so a
// program that keeps little alive stays small. A program's first 2 MiB of chunks come from malloc;
// later ones are carved from 2 MiB regions that the kernel is asked to back with huge pages, where
// the first touch of fresh memory takes one fault per 2 MiB instead of one per 4 KiB (on a virtual
// machine a fault costs far more than the zeroing it does). Medium and large blocks (up to 64 KiB) come from
// malloc one at a time and are kept on per-thread free lists of bounded weight, beyond which (and
// at thread exit) they go back to malloc; larger blocks go to malloc. In sanitizer builds every
// block goes to malloc.
//
// A batch in the pool is a free list (rts/Object.h: each block's second word holds its depth)
// whose head block's second word links the next batch instead; the second block's depth tells the
// batch's length. Every block is at least 16 bytes, so both words exist and nothing is allocated to
// keep the pool.
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#include "ThreadState.h"
#include "rts/Weak.h"

namespace rts {

FreeBlock empty_free_list{nullptr, 0};
FreeBlock no_free_list{nullptr, ~uint64_t(0)};

namespace {
constexpr std::array<FreeBlock, kFreeLists - kSmallClasses> make_empty_medium_lists() {
    std::array<FreeBlock, kFreeLists - kSmallClasses> lists{};
    for (size_t cls = kSmallClasses; cls < kFreeLists; ++cls) {
        const uint64_t room = kMaxCachedMediumBytes / class_bytes(cls);
        lists[cls - kSmallClasses] = FreeBlock{nullptr, kMaxCachedBlocks - room};
    }
    return lists;
}
}  // namespace
constinit std::array<FreeBlock, kFreeLists - kSmallClasses> empty_medium_lists = make_empty_medium_lists();

namespace {
constexpr AllocCache make_no_alloc_cache() {
    AllocCache c{};
    for (FreeBlock*& list : c.free) list = &no_free_list;
    return c;
}
}  // namespace
constinit AllocCache no_alloc_cache = make_no_alloc_cache();

namespace {

constexpr size_t kChunkBytes = 256 * 1024;
constexpr int kCarveBlocks = 64;  // blocks carved per refill, so one class does not take a chunk
constexpr size_t kRegionBytes = 2 * 1024 * 1024;  // a huge page
constexpr size_t kMallocChunks = kRegionBytes / kChunkBytes;

struct SharedPool {
    std::mutex lock;
    void* batches[kSmallClasses] = {};
    void* spare_areas = nullptr;  // unused tails of chunks: [0] next area, [1] end of this one
    std::vector<void*> chunks;    // every chunk from malloc, so leak checkers see them as reachable
    char* region_next = nullptr;  // the chunks not yet given out of the current huge-page region
    char* region_end = nullptr;
};
SharedPool& pool() {
    static SharedPool* p = new SharedPool();  // never destroyed: threads may exit after main
    return *p;
}

void*& word0(void* b) { return static_cast<void**>(b)[0]; }
void*& word1(void* b) { return static_cast<void**>(b)[1]; }

void* system_alloc(size_t size) {
    void* p = std::malloc(size);
    if (p == nullptr) raise(RtsError::HeapOverflow);
    return p;
}

// Puts the non-empty list `head` into the pool as one batch. Caller holds the lock.
void push_batch(SharedPool& sp, size_t cls, FreeBlock* head) {
    word1(head) = sp.batches[cls];
    sp.batches[cls] = head;
}

// Gives the thread's list of class `cls` to the pool, if it holds anything. Caller holds the lock.
void give_list_to_pool(SharedPool& sp, AllocCache& c, size_t cls) {
    if (c.free[cls]->depth == 0) return;
    push_batch(sp, cls, c.free[cls]);
    c.free[cls] = &empty_free_list;
}

// Gives the blocks of the thread's list of medium or large class `cls` back to malloc.
void free_medium_list(AllocCache& c, size_t cls) {
    for (FreeBlock* b = c.free[cls]; b->next != nullptr;) {
        FreeBlock* next = b->next;
        std::free(b);
        b = next;
    }
    c.free[cls] = empty_list(cls);
}

// Takes one batch of class `cls` from the pool into the thread's empty list.
bool take_batch(ThreadState* ts, size_t cls) {
    SharedPool& sp = pool();
    std::lock_guard<std::mutex> g(sp.lock);
    auto* head = static_cast<FreeBlock*>(sp.batches[cls]);
    if (head == nullptr) return false;
    sp.batches[cls] = word1(head);
    head->depth = head->next->depth + 1;
    ts->cache.free[cls] = head;
    return true;
}

// Maps a fresh region aligned to its size, so that it can be backed by one huge page; the hint
// is only a hint. Answers whether it could.
bool map_region(SharedPool& sp) {
    void* p = mmap(nullptr, 2 * kRegionBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    char* start = static_cast<char*>(p);
    char* region = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(p) + kRegionBytes - 1) & ~(kRegionBytes - 1));
    if (region != start) munmap(start, size_t(region - start));
    munmap(region + kRegionBytes, size_t(start + 2 * kRegionBytes - (region + kRegionBytes)));
#ifdef MADV_HUGEPAGE
    madvise(region, kRegionBytes, MADV_HUGEPAGE);
#endif
    sp.region_next = region;
    sp.region_end = region + kRegionBytes;
    return true;
}

// A fresh chunk: from malloc for the first few, else from a huge-page region.
char* new_chunk(SharedPool& sp) {
    std::lock_guard<std::mutex> g(sp.lock);
    if (sp.chunks.size() >= kMallocChunks && (sp.region_next != sp.region_end || map_region(sp))) {
        char* chunk = sp.region_next;
        sp.region_next += kChunkBytes;
        return chunk;
    }
    char* chunk = static_cast<char*>(std::aligned_alloc(kAllocGranule, kChunkBytes));
    if (chunk == nullptr) raise(RtsError::HeapOverflow);
    sp.chunks.push_back(chunk);
    return chunk;
}

// Gives the thread a fresh carving area: a spare piece of chunk, else a new chunk.
void new_area(ThreadState* ts, size_t block) {
    SharedPool& sp = pool();
    {
        std::lock_guard<std::mutex> g(sp.lock);
        for (void** link = &sp.spare_areas; *link != nullptr; link = &word0(*link)) {
            char* area = static_cast<char*>(*link);
            char* end = static_cast<char*>(word1(area));
            if (area + block <= end) {
                *link = word0(area);
                ts->bump = area;
                ts->bump_end = end;
                return;
            }
        }
    }
    char* chunk = new_chunk(sp);
    ts->bump = chunk;
    ts->bump_end = chunk + kChunkBytes;
}

// Puts new blocks of class `cls` on the thread's empty free list (never reached when every block
// comes from malloc, in sanitizer builds).
void refill(ThreadState* ts, size_t cls) {
    if (take_batch(ts, cls)) return;
    size_t block = cls * kAllocGranule;
    if (size_t(ts->bump_end - ts->bump) < block) new_area(ts, block);
    FreeBlock* head = &empty_free_list;
    for (int n = 0; n < kCarveBlocks && size_t(ts->bump_end - ts->bump) >= block; ++n) {
        auto* b = reinterpret_cast<FreeBlock*>(ts->bump);
        ts->bump += block;
        b->next = head;
        b->depth = head->depth + 1;
        head = b;
    }
    ts->cache.free[cls] = head;
}

// What a new block of `bytes` asks of malloc. Blocks of one class come from it one after another,
// so when their stride is close to a multiple of 4 KiB, a result and its operands land at nearly
// the same page offset, and a loop that reads them and writes the result stalls on false matches of
// its loads against its stores (which compare only the offset within the page). A little more
// than asked shifts the next block along the page: at most an eighth, 512 bytes.
constexpr size_t malloc_size(size_t bytes) {
    if (bytes % 2048 != 0) return bytes;
    return bytes + std::min<size_t>(bytes / 8, 512);
}

// A block of medium or large class `cls`: the head of the thread's list, else a new one.
void* take_block(AllocCache& c, size_t cls) {
    const size_t bytes = class_bytes(cls);
    c.allocated_bytes += bytes;
    FreeBlock* b = c.free[cls];
    if (b->next == nullptr) return system_alloc(malloc_size(bytes));
    c.free[cls] = b->next;
    return b;
}

// deallocate_bytes on the calling thread's cache `c`.
RTS_INLINE void give_back(AllocCache& c, void* p, size_t size) {
    if (const size_t cls = block_class(size); RTS_LIKELY(cls != 0))
        push_free_block(&c, cls, p);
    else
        std::free(p);
}

}  // namespace

void* allocate_slow(size_t size) {
    ThreadState* ts = thread_state();
    async_safe_point(ts);
    if (size == 0) size = 1;
    const size_t cls = block_class(size);
    if (cls == 0) {
        ts->cache.allocated_bytes += size;
        return system_alloc(size);
    }
    if (cls >= kSmallClasses) return take_block(ts->cache, cls);
    if (ts->cache.free[cls]->next == nullptr) refill(ts, cls);
    return allocate_bytes(size);
}

// Large blocks, which take no inline path, and blocks of the system allocator.
void deallocate_slow(void* p, size_t size) { give_back(thread_state()->cache, p, size); }

void push_to_full_list_cold(size_t cls, void* p) {
    AllocCache& c = thread_state()->cache;
    if (push_if_room(&c, cls, p)) return;  // the thread was not set up
    if (cls >= kSmallClasses) {
        std::free(p);
        return;
    }
    {
        SharedPool& sp = pool();
        std::lock_guard<std::mutex> g(sp.lock);
        give_list_to_pool(sp, c, cls);
    }
    push_if_room(&c, cls, p);
}

void flush_alloc_cache(ThreadState* ts) {
    for (size_t cls = kSmallClasses; cls < kFreeLists; ++cls) free_medium_list(ts->cache, cls);
    SharedPool& sp = pool();
    std::lock_guard<std::mutex> g(sp.lock);
    for (size_t cls = 1; cls < kSmallClasses; ++cls) give_list_to_pool(sp, ts->cache, cls);
    if (size_t(ts->bump_end - ts->bump) >= kAllocGranule) {
        word0(ts->bump) = sp.spare_areas;
        word1(ts->bump) = ts->bump_end;
        sp.spare_areas = ts->bump;
    }
    ts->bump = ts->bump_end = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Freeing. An object whose count reached zero releases its references and gives its memory back.
// Releases made while freeing do not recurse. Of the fields that freeing one object kills, the
// last is carried straight on as the next object to free, so a list or any other chain is freed
// in one loop without touching the queue; fields without references of their own are given back
// at once; only the earlier of several dying fields of one object wait in the thread's queue. So
// a list of ten million cells, or a structure nested ten million deep, is freed with a flat stack.

namespace {

size_t object_size(Object* o) {
    switch (o->kind) {
        case Kind::Con:
        case Kind::Pap:
        case Kind::MutVar: return con_size(o->nptrs, o->nwords);
        case Kind::Fun: return fun_info(o)->size;
        case Kind::Thunk: return as_thunk(o)->info->size;
        case Kind::Bytes: return 0;  // freed by the class in its header (free_bytes_block)
        case Kind::Opaque: return reinterpret_cast<OpaqueObject*>(o)->info->size;
    }
    __builtin_unreachable();
}

// Frees `o` and the chain carried on from it, leaving the queue to the caller. Only used when the
// queue cannot grow: deeper recursion is better than losing the object.
RTS_COLD void free_chain_now(ThreadState* ts, Object* o) noexcept;

// Queues an object whose count reached zero inside the free loop.
RTS_INLINE void enqueue(ThreadState* ts, Object* o) noexcept {
    try {
        ts->pending.push_back(o);
    } catch (const std::bad_alloc&) {
        free_chain_now(ts, o);
    }
}

// release() of a field of an object being freed: answers the field when this release killed it.
// A count of 1 is our reference alone, which no other thread can touch: it dies without a
// read-modify-write. The sole thread lowers other counts with a plain store.
RTS_INLINE Object* release_field(Object* f) {
    if (f == nullptr) return nullptr;
    const uint32_t c = f->rc.load(std::memory_order_acquire);
    if (special_count(c)) {
        if (RTS_UNLIKELY(c != 0)) compact_release(f);
        return nullptr;
    }
    if (c == 1) return f;
    if (sole_thread()) {
        f->rc.store(c - 1, std::memory_order_relaxed);
        return nullptr;
    }
    return f->rc.fetch_sub(1, std::memory_order_acq_rel) == 1 ? f : nullptr;
}

// A constructor without references has nothing to release, so a dying one is given back at once,
// unless some weak reference keys on a constructor (then the loop looks it up first).
RTS_INLINE bool is_leaf_con(const Object* o) {
    return o->kind == Kind::Con && o->nptrs == 0 &&
           RTS_LIKELY(detail::weak_side_keys.load(std::memory_order_acquire) == 0);
}

// Takes `dead`, a field that freeing an object killed: a leaf goes back at once, anything else
// becomes the object carried on, and the one carried so far (an earlier field) waits in the queue.
RTS_INLINE Object* carry(ThreadState* ts, Object* carried, Object* dead) {
    if (is_leaf_con(dead)) {
        give_back(ts->cache, dead, con_size(0, dead->nwords));
        return carried;
    }
    if (carried != nullptr) enqueue(ts, carried);
    return dead;
}

// Releases the `n` reference fields `s`; answers the one to carry on, if any died. Two fields (a
// list cell) are unrolled: no loop, and the first has no earlier field to queue.
RTS_INLINE Object* release_fields(ThreadState* ts, Slot* s, uint32_t n) {
    Object* next = nullptr;
    if (RTS_LIKELY(n == 2)) {
        if (Object* dead = release_field(s[0].ref)) next = carry(ts, nullptr, dead);
        if (Object* dead = release_field(s[1].ref)) next = carry(ts, next, dead);
        return next;
    }
    for (uint32_t i = 0; i < n; ++i)
        if (Object* dead = release_field(s[i].ref)) next = carry(ts, next, dead);
    return next;
}

// A byte array's block goes back by the class recorded when it was allocated: its length may
// have been lowered since.
void free_bytes_block(ThreadState* ts, Object* o) {
    if (const size_t cls = o->nwords; cls != 0)
        push_free_block(&ts->cache, cls, o);
    else
        std::free(o);
}

// Every kind but a constructor, out of line. Destructors of closures and opaque objects run code
// whose releases the loop's flag turns into queue entries.
RTS_COLD Object* destroy_other_and_free(ThreadState* ts, Object* o) {
    if (o->kind == Kind::Bytes) {
        free_bytes_block(ts, o);
        return nullptr;
    }
    const size_t size = object_size(o);
    Object* next = nullptr;
    switch (o->kind) {
        case Kind::Con:
        case Kind::Pap:
        case Kind::MutVar: next = release_fields(ts, con_slots(o), o->nptrs); break;
        case Kind::Fun:
            if (auto d = fun_info(o)->destroy) d(o);
            break;
        case Kind::Thunk: {
            ThunkObject* t = as_thunk(o);
            uint64_t st = t->state.load(std::memory_order_acquire) & kThunkStateMask;
            if (st == kUnevaluated) {
                if (auto d = t->info->destroy) d(o);
            } else {
                next = release_field(t->result);
            }
            break;
        }
        case Kind::Bytes: break;
        case Kind::Opaque: reinterpret_cast<OpaqueObject*>(o)->info->destroy(o); break;
    }
    give_back(ts->cache, o, size);
    return next;
}

// Constructors are most of what dies: inline, and no jump table for them. Their fields are
// released straight into the loop, so freeing one runs no code that could release reentrantly.
RTS_INLINE Object* destroy_con_and_free(ThreadState* ts, Object* o) {
    const uint32_t n = o->nptrs;
    const size_t size = con_size(n, o->nwords);
    Object* next = release_fields(ts, con_slots(o), n);
    give_back(ts->cache, o, size);
    return next;
}

// Frees one object whose count reached zero; answers the field to free next, if one died. A weak
// key is looked up before it is freed: for a constructor that costs one predictable branch (is
// there any key in the side table at all).
RTS_INLINE Object* free_one(ThreadState* ts, Object* o) {
    if (RTS_LIKELY(o->kind == Kind::Con)) {
        if (RTS_UNLIKELY(detail::weak_side_keys.load(std::memory_order_acquire) != 0) &&
            !detail::weak_key_dying(o))
            return nullptr;
        return destroy_con_and_free(ts, o);
    }
    if (detail::weak_key_marked(o) && !detail::weak_key_dying(o)) return nullptr;
    return destroy_other_and_free(ts, o);
}

void free_chain_now(ThreadState* ts, Object* o) noexcept {
    while (o != nullptr) o = free_one(ts, o);
}

// Past this many entries the queue's memory is given back after the loop.
constexpr size_t kPendingKeep = 4096;

// Frees `o`, the chain carried on from it, and whatever the queue holds, until none is left.
void free_all(ThreadState* ts, Object* o) {
    std::vector<Object*>& pending = ts->pending;
    for (;;) {
        while (o != nullptr) o = free_one(ts, o);
        if (pending.empty()) break;
        o = pending.back();
        pending.pop_back();
    }
    if (RTS_UNLIKELY(pending.capacity() > kPendingKeep)) std::vector<Object*>().swap(pending);
}

}  // namespace

void free_object_cold(Object* o) {
    ThreadState* ts = thread_state();
    if (ts->freeing) {
        // A release made by a destructor (or a weak key's death) inside the loop: queued, not
        // recursed into.
        enqueue(ts, o);
        return;
    }
    ts->freeing = true;
    free_all(ts, o);
    ts->freeing = false;
}

void free_rest_cold(Object* o, uint32_t from, Object* a, Object* b) {
    ThreadState* ts = thread_state();
    const bool outer = !ts->freeing;
    ts->freeing = true;
    for (Object* dead : {a, b})
        if (dead != nullptr) enqueue(ts, dead);
    Slot* s = con_slots(o);
    for (uint32_t i = from; i < o->nptrs; ++i)
        if (Object* dead = release_field(s[i].ref)) enqueue(ts, dead);
    give_back(ts->cache, o, con_size(o->nptrs, o->nwords));
    if (!outer) return;  // the loop under way frees what was queued
    free_all(ts, nullptr);
    ts->freeing = false;
}

void give_back_cold(Object* o, size_t cls, Object* next) {
    push_to_full_list_cold(cls, o);
    if (next != nullptr) free_object_cold(next);
}

}  // namespace rts
