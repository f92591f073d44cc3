// The size-class allocator and the free loop.
//
// Small blocks (up to 512 bytes) come from per-thread free lists, refilled from a shared pool of
// blocks that exited threads gave back, or carved from fresh 256 KiB chunks. Chunks are never
// returned to the system: freed blocks are reused, so a program that keeps little alive stays
// small. Larger blocks go to malloc. In sanitizer builds every block goes to malloc.
#include <cstdlib>
#include <mutex>
#include <new>

#include "ThreadState.h"

namespace rts {

namespace {

constexpr size_t kChunkBytes = 256 * 1024;

struct SharedPool {
    std::mutex lock;
    void* free[kSmallClasses] = {};
    std::vector<void*> chunks;  // every chunk ever made, so leak checkers see them as reachable
};
SharedPool& pool() {
    static SharedPool* p = new SharedPool();  // never destroyed: threads may exit after main
    return *p;
}

void* system_alloc(size_t size) {
    void* p = std::malloc(size);
    if (p == nullptr) raise(RtsError::HeapOverflow);
    return p;
}

// Puts a new batch of blocks of class `cls` on the thread's free list.
void refill(ThreadState* ts, size_t cls) {
    size_t block = cls * kAllocGranule;
    {
        SharedPool& sp = pool();
        std::lock_guard<std::mutex> g(sp.lock);
        if (sp.free[cls] != nullptr) {
            ts->cache.free[cls] = sp.free[cls];
            sp.free[cls] = nullptr;
            return;
        }
    }
    if (ts->bump + block > ts->bump_end) {
        char* chunk = static_cast<char*>(std::aligned_alloc(kAllocGranule, kChunkBytes));
        if (chunk == nullptr) raise(RtsError::HeapOverflow);
        {
            SharedPool& sp = pool();
            std::lock_guard<std::mutex> g(sp.lock);
            sp.chunks.push_back(chunk);
        }
        ts->bump = chunk;
        ts->bump_end = chunk + kChunkBytes;
    }
    // Carve up to 64 blocks at a time so one class does not take the whole chunk.
    void* head = ts->cache.free[cls];
    for (int i = 0; i < 64 && ts->bump + block <= ts->bump_end; ++i) {
        void* b = ts->bump;
        ts->bump += block;
        *static_cast<void**>(b) = head;
        head = b;
    }
    ts->cache.free[cls] = head;
}

}  // namespace

void* allocate_slow(size_t size) {
    ThreadState* ts = thread_state();
    if (size == 0) size = 1;
#ifdef RTS_SANITIZED
    ts->cache.allocated_bytes += size;
    return system_alloc(size);
#else
    size_t cls = (size + kAllocGranule - 1) / kAllocGranule;
    if (cls >= kSmallClasses) {
        ts->cache.allocated_bytes += size;
        return system_alloc(size);
    }
    if (ts->cache.free[cls] == nullptr) refill(ts, cls);
    return allocate_bytes(size);
#endif
}

void deallocate_slow(void* p, size_t size) {
#ifndef RTS_SANITIZED
    size_t cls = (size + kAllocGranule - 1) / kAllocGranule;
    if (cls < kSmallClasses) {
        thread_state();
        deallocate_bytes(p, size);
        return;
    }
#endif
    std::free(p);
}

void flush_alloc_cache(ThreadState* ts) {
    SharedPool& sp = pool();
    std::lock_guard<std::mutex> g(sp.lock);
    for (size_t cls = 0; cls < kSmallClasses; ++cls) {
        void* head = ts->cache.free[cls];
        if (head == nullptr) continue;
        void* tail = head;
        while (*static_cast<void**>(tail) != nullptr) tail = *static_cast<void**>(tail);
        *static_cast<void**>(tail) = sp.free[cls];
        sp.free[cls] = head;
        ts->cache.free[cls] = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------
// Freeing. An object whose count reached zero releases its references and gives its memory back.
// Releases made while freeing do not recurse: the free loop queues the objects they kill and
// frees them one after another, so a list of ten million cells is freed with a flat stack.

namespace {

size_t object_size(Object* o) {
    switch (o->kind) {
        case Kind::Con:
        case Kind::Pap:
        case Kind::MutVar: return con_size(o->nptrs, o->nwords);
        case Kind::Fun: return fun_info(o)->size;
        case Kind::Thunk: return as_thunk(o)->info->size;
        case Kind::Bytes: return sizeof(BytesObject) + reinterpret_cast<BytesObject*>(o)->length;
        case Kind::Opaque: return reinterpret_cast<OpaqueObject*>(o)->info->size;
    }
    __builtin_unreachable();
}

void release_slots(Object* o) {
    Slot* s = con_slots(o);
    for (uint32_t i = 0; i < o->nptrs; ++i) release(s[i].ref);
}

void destroy_and_free(Object* o) {
    size_t size = object_size(o);
    switch (o->kind) {
        case Kind::Con:
        case Kind::Pap:
        case Kind::MutVar: release_slots(o); break;
        case Kind::Fun:
            if (auto d = fun_info(o)->destroy) d(o);
            break;
        case Kind::Thunk: {
            ThunkObject* t = as_thunk(o);
            uint64_t st = t->state.load(std::memory_order_acquire) & kThunkStateMask;
            if (st == kUnevaluated) {
                if (auto d = t->info->destroy) d(o);
            } else {
                release(t->result);
            }
            break;
        }
        case Kind::Bytes: break;
        case Kind::Opaque: reinterpret_cast<OpaqueObject*>(o)->info->destroy(o); break;
    }
    deallocate_bytes(o, size);
}

}  // namespace

void free_object_cold(Object* o) {
    ThreadState* ts = thread_state();
    if (ts->freeing) {
        ts->pending.push_back(o);
        return;
    }
    ts->freeing = true;
    destroy_and_free(o);
    while (!ts->pending.empty()) {
        Object* next = ts->pending.back();
        ts->pending.pop_back();
        destroy_and_free(next);
    }
    ts->freeing = false;
}

}  // namespace rts
