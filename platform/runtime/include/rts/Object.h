// The object model: every language value is a reference to a heap object with one uniform header.
//
// Ownership conventions
//   rts::Value      a counted reference. Copying retains, moving steals, destruction releases.
//                   A function taking `Value` consumes its argument; one taking `const Value&`
//                   borrows it for the duration of the call.
//   Object*         a raw pointer, used inside the runtime and in object layouts. `Owned` marks
//                   a pointer whose reference the holder must give up; `Borrowed` one it must not.
//
// Reference counts: a count of 0 means "not counted": static objects (constructors without
// fields, static records, top-level constants) are never retained, released or freed. A count with
// the top bit set marks an object inside a compact region (rts/Compact.h): the object itself is
// never changed or freed, and retaining or releasing it counts on its region instead. Both are
// "special" counts, tested together by the one compare that skips them, so an ordinary object pays
// nothing for regions. A live heap object has a count of 1 or more (below 2^31). A release that
// sees a count of 1 owns the only reference, so no other thread can be touching the count and the
// object is freed without a read-modify-write.
//
// Single-threaded counting. Almost every program starts with one thread, and while it is the only
// thread that can reach runtime objects its counts and suspended computations need no atomic
// read-modify-write: the first thread to enter the runtime is the sole thread, and counts,
// claims and updates there are plain loads and stores. Sole mode ends, for the whole process and
// for good, before any object can become reachable from a second thread: when a thread is forked
// (which also covers the finalizer thread of weak references and values captured by, published
// to or exchanged with other threads through mailboxes and shared computations), or when code
// that hands objects to a thread of its own calls share_with_threads() first. From then on every
// thread counts atomically. Compact regions count on the region the same way. Top-level
// constants and weak references need nothing of their own: their objects reach other threads only
// through threads that exist.
#pragma once

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#define RTS_LIKELY(x) __builtin_expect(!!(x), 1)
#define RTS_UNLIKELY(x) __builtin_expect(!!(x), 0)
#define RTS_INLINE inline __attribute__((always_inline))
#define RTS_COLD __attribute__((cold, noinline))

// Checked accessors: sanitizer and debug builds verify kinds and field indices where they are
// used, so a wrong constructor or index fails at the mistake rather than somewhere later.
#if defined(RTS_SANITIZED) || !defined(NDEBUG)
#define RTS_CHECKS 1
#define RTS_ASSERT(cond, what) (RTS_LIKELY(cond) ? void(0) : ::rts::assert_failed(what, __FILE__, __LINE__))
#else
#define RTS_CHECKS 0
#define RTS_ASSERT(cond, what) void(0)
#endif

namespace rts {

[[noreturn]] void assert_failed(const char* what, const char* file, int line);

// What an object is. A walk over objects switches over these without a default.
enum class Kind : uint8_t {
    Con,       // constructor: `nptrs` references, then `nwords` unboxed words
    Fun,       // function: FunInfo* (code, arity), then its captured data
    Pap,       // partial application: the function, then the arguments given so far
    Thunk,     // suspended computation (see Eval.h for its states)
    Bytes,     // byte array (pinned: objects never move); tag 1 when mutable
    MutVar,    // mutable reference holding one value
    Opaque,    // runtime-internal object with its own destructor (threads, mailboxes...)
};

// The header holds numbers only: no address of code or descriptor, so a constructor object means
// the same at any address and in any process.
//   rc      reference count, 0 for static and compact objects
//   kind    Kind
//   tag     Con: constructor index in declaration order. Pap: the arguments still missing.
//           Bytes: 1 if mutable. Others: unused.
//   nptrs   number of reference fields that follow the header (Con, Pap, MutVar)
//   nwords  number of unboxed 64-bit words after the references (Con). Bytes: the class of the
//           block (block_class), by which it is freed also after the array was shrunk.
struct Object {
    std::atomic<uint32_t> rc;
    Kind kind;
    uint8_t tag;
    uint8_t nptrs;
    uint8_t nwords;

    constexpr Object(uint32_t count, Kind k, uint8_t t, uint8_t p, uint8_t w)
        : rc(count), kind(k), tag(t), nptrs(p), nwords(w) {}
};
static_assert(sizeof(Object) == 8, "the object header is one word");
static_assert(offsetof(Object, kind) == 4 && offsetof(Object, tag) == 5 && offsetof(Object, nptrs) == 6 &&
              offsetof(Object, nwords) == 7, "compact regions copy headers between processes byte for byte");
static_assert(sizeof(std::atomic<uint32_t>) == 4 && std::atomic<uint32_t>::is_always_lock_free);

using Owned = Object*;
using Borrowed = Object*;

// One field of an object: a reference or an unboxed word. Fields are stored raw (so static objects
// can be constant-initialised) and read as Values through these views.
union Slot {
    Object* ref;
    uint64_t word;
};
static_assert(sizeof(Slot) == 8);
constexpr Slot ref_slot(const Object* o) { return Slot{.ref = const_cast<Object*>(o)}; }
constexpr Slot word_slot(uint64_t w) { return Slot{.word = w}; }

// A constructor's nptrs references, then its nwords words, follow the header.
RTS_INLINE Slot* con_slots(Object* o) { return reinterpret_cast<Slot*>(reinterpret_cast<char*>(o) + sizeof(Object)); }
RTS_INLINE constexpr size_t con_size(uint32_t nptrs, uint32_t nwords) { return sizeof(Object) + 8 * (nptrs + nwords); }

// Counts that retain and release leave alone: 0 (static) or a compact region's mark.
inline constexpr uint32_t kCompactCount = uint32_t{1} << 31;
RTS_INLINE constexpr bool special_count(uint32_t c) { return static_cast<int32_t>(c) <= 0; }
RTS_INLINE constexpr bool compact_count(uint32_t c) { return static_cast<int32_t>(c) < 0; }
// Retaining and releasing an object of a compact region: counts on the region, which is freed
// with all its blocks when its last reference goes (Compact.cpp).
void compact_retain(Object* o);
void compact_release(Object* o);

// Whether the calling thread is the sole thread (see "Single-threaded counting" above). Another
// thread entering the runtime clears the flag of the sole thread, hence the atomic.
extern constinit thread_local std::atomic<bool> tls_sole_thread __attribute__((tls_model("initial-exec")));
RTS_INLINE bool sole_thread() { return tls_sole_thread.load(std::memory_order_relaxed); }

// Ends sole mode for the process before the calling thread hands objects to a thread of its own
// (a thread not made by fork_thread), or makes them reachable through memory other threads read.
// Cheap after the first call.
void share_with_threads();

// Allocation: a thread-local size-class allocator (plain malloc in sanitizer builds, so the
// sanitizers see every object). Sizes are rounded up to 16 bytes; objects are 16-byte aligned.
// Each thread keeps one free list per class. Small blocks (up to 512 bytes) are carved from
// chunks; a list of them that grows past kMaxCachedBlocks (a thread that frees what others
// allocated) goes to a shared pool as one batch, so memory freed by one thread is reused by the
// others instead of piling up. Medium blocks (up to 2 KiB: every constructor without references,
// such as a big number's limbs) and large ones (up to 64 KiB, such as the limbs of a big number of
// a thousand limbs) come from malloc and are cached per thread up to about kMaxCachedMediumBytes a
// class; past that they go back to malloc, so memory they held is not kept for their size alone.
// Large classes are coarse, four to a doubling of the size, so a block is at most a quarter
// bigger than asked; larger blocks are malloc's alone.
inline constexpr size_t kAllocGranule = 16;
inline constexpr size_t kSmallClasses = 33;   // sizes up to 512 bytes: carved from chunks
inline constexpr size_t kBlockClasses = 129;  // sizes up to 2 KiB: a class every 16 bytes
inline constexpr size_t kLargeClasses = 20;   // sizes up to 64 KiB: four classes a doubling
inline constexpr size_t kFreeLists = kBlockClasses + kLargeClasses;
inline constexpr size_t kMaxLargeBlock = 64 * 1024;
inline constexpr uint64_t kMaxCachedBlocks = 4096;
inline constexpr uint64_t kMaxCachedMediumBytes = 128 * 1024;

// A block on a free list: its first word links the next block, its second holds the list's depth
// from it to the end, so the head tells whether the list is full and neither taking nor giving
// back a block updates a counter. A list ends at a sentinel, never written, whose first word is
// null: `empty_free_list` (depth 0) for a small class, so a list holds kMaxCachedBlocks blocks;
// the class's own `empty_medium_list` for a medium or large one, whose depth leaves room for about
// kMaxCachedMediumBytes. A thread whose allocator is not set up yet has `no_alloc_cache`, whose
// lists are all `no_free_list` (null, and a depth beyond the bound): taking a block from it or
// from an empty list, and giving one back to it, fail over to the slow paths, which set the thread
// up. Blocks are read through this type while free and as objects while in use, hence may_alias.
struct __attribute__((may_alias)) FreeBlock {
    FreeBlock* next;
    uint64_t depth;
};
extern FreeBlock empty_free_list;
extern FreeBlock no_free_list;
extern std::array<FreeBlock, kFreeLists - kSmallClasses> empty_medium_lists;

// The sentinel that ends the free lists of class `cls`.
RTS_INLINE FreeBlock* empty_list(size_t cls) {
    return cls < kSmallClasses ? &empty_free_list : &empty_medium_lists[cls - kSmallClasses];
}

struct AllocCache {
    FreeBlock* free[kFreeLists];
    uint64_t allocated_bytes;  // total the thread has allocated
};
extern AllocCache no_alloc_cache;
extern constinit thread_local AllocCache* tls_alloc __attribute__((tls_model("initial-exec")));

// Profiling builds (VUX_PROFILING) charge every allocation, one object and its size, to the calling
// thread's current cost-centre stack, whose counters lead the stack object (rts/Profiling.h). A
// thread that entered no cost centre has a null pointer and is charged to the MAIN stack. The plain
// build compiles none of the charging.
struct AllocCounters {
    std::atomic<uint64_t> objects{0};
    std::atomic<uint64_t> bytes{0};
};
extern constinit thread_local AllocCounters* tls_ccs_alloc __attribute__((tls_model("initial-exec")));
extern AllocCounters* const main_ccs_alloc;
RTS_INLINE void charge_alloc(size_t size) {
    AllocCounters* c = tls_ccs_alloc;
    if (RTS_UNLIKELY(c == nullptr)) c = main_ccs_alloc;
    c->objects.fetch_add(1, std::memory_order_relaxed);
    c->bytes.fetch_add(size, std::memory_order_relaxed);
}

RTS_INLINE constexpr size_t size_class(size_t size) { return (size + kAllocGranule - 1) / kAllocGranule; }

// The class of a large block, 2 KiB < size <= 64 KiB: with 2^(e-1) < size <= 2^e, the size is
// rounded up to a multiple of 2^(e-3), which is 5 to 8 of them.
RTS_INLINE constexpr size_t large_class(size_t size) {
    const unsigned e = static_cast<unsigned>(std::bit_width(size - 1));
    const size_t steps = (size + (size_t{1} << (e - 3)) - 1) >> (e - 3);
    return kBlockClasses + 4 * (e - 12) + (steps - 5);
}

// The size of the blocks of class `cls`, medium or large.
RTS_INLINE constexpr size_t class_bytes(size_t cls) {
    if (cls < kBlockClasses) return cls * kAllocGranule;
    const size_t i = cls - kBlockClasses;
    return (5 + i % 4) << (9 + i / 4);
}
static_assert(large_class(2049) == kBlockClasses && class_bytes(kBlockClasses) == 2560 &&
              large_class(4096) == kBlockClasses + 3 && large_class(4097) == kBlockClasses + 4 &&
              large_class(8024) == kBlockClasses + 7 && class_bytes(kBlockClasses + 7) == 8192 &&
              large_class(kMaxLargeBlock) == kFreeLists - 1 && class_bytes(kFreeLists - 1) == kMaxLargeBlock);
static_assert(kFreeLists <= 256, "a byte array's class fits the header's nwords byte");

// The free-list class that a block of `size` bytes comes from and goes back to, or 0 for a block
// of the system allocator (a larger one, or any in sanitizer builds).
RTS_INLINE constexpr uint8_t block_class(size_t size) {
#ifdef RTS_SANITIZED
    (void)size;
    return 0;
#else
    const size_t cls = size_class(size);
    if (RTS_LIKELY(cls < kBlockClasses)) return static_cast<uint8_t>(cls);
    return size <= kMaxLargeBlock ? static_cast<uint8_t>(large_class(size)) : 0;
#endif
}

void* allocate_slow(size_t size);
void deallocate_slow(void* p, size_t size);
// Gives the calling thread's free list of small class `cls`, full, to the shared pool, then puts
// `p` on it; gives a medium or large block back to malloc instead (also sets the thread up).
void push_to_full_list_cold(size_t cls, void* p);

// The head of the calling thread's free list of class `cls`, taken off it, or null when the list
// is empty (or the thread not set up).
RTS_INLINE void* pop_free_block(size_t cls) {
    AllocCache* c = tls_alloc;
    FreeBlock* b = c->free[cls];
    FreeBlock* next = b->next;
    if (RTS_UNLIKELY(next == nullptr)) return nullptr;
    c->free[cls] = next;
    c->allocated_bytes += class_bytes(cls);
    return b;
}

RTS_INLINE void* allocate_bytes(size_t size) {
#ifdef VUX_PROFILING
    charge_alloc(size);
#endif
#ifndef RTS_SANITIZED
    if (const size_t cls = size_class(size); RTS_LIKELY(cls < kBlockClasses))
        if (void* b = pop_free_block(cls); RTS_LIKELY(b != nullptr)) return b;
#endif
    return allocate_slow(size);
}

// allocate_bytes for a size whose block_class is `cls`, with the large classes inline too: for a
// site that allocates them often (a byte array, such as a big number's limbs).
RTS_INLINE void* allocate_block(size_t size, size_t cls) {
#ifdef VUX_PROFILING
    charge_alloc(size);
#endif
    if (RTS_LIKELY(cls != 0))
        if (void* b = pop_free_block(cls); RTS_LIKELY(b != nullptr)) return b;
    return allocate_slow(size);
}

// Puts a block of class `cls` on the calling thread's free list `c` unless that list is full;
// answers whether it did.
RTS_INLINE bool push_if_room(AllocCache* c, size_t cls, void* p) {
    FreeBlock* head = c->free[cls];
    const uint64_t depth = head->depth;
    if (RTS_UNLIKELY(depth >= kMaxCachedBlocks)) return false;
    auto* b = static_cast<FreeBlock*>(p);
    b->next = head;
    b->depth = depth + 1;
    c->free[cls] = b;
    return true;
}

// Puts a block of class `cls` on the calling thread's free list `c`.
RTS_INLINE void push_free_block(AllocCache* c, size_t cls, void* p) {
    if (RTS_UNLIKELY(!push_if_room(c, cls, p))) push_to_full_list_cold(cls, p);
}

RTS_INLINE void deallocate_bytes(void* p, size_t size) {
#ifndef RTS_SANITIZED
    const size_t cls = size_class(size);
    if (RTS_LIKELY(cls < kBlockClasses)) {
        push_free_block(tls_alloc, cls, p);
        return;
    }
#endif
    deallocate_slow(p, size);
}

// Total bytes allocated by the calling thread so far.
uint64_t thread_allocated_bytes();

// Freeing an object whose count reached zero; iterative, never recursive.
void free_object_cold(Object* o);

namespace detail {
// The number of live weak references whose key is a constructor, partial application or byte
// array (Weak.cpp). While it is zero no dying constructor can be a weak key. Lowered with release
// and read with acquire: a free that reads zero and skips the weak registry comes after whatever
// the code that lowered it did to the key.
extern std::atomic<uint64_t> weak_side_keys;
}  // namespace detail

// Suspended computations (thunks). Their layout is here, with the free path that walks it; how
// they are made and forced is in rts/Eval.h.
//
// States, held in the low two bits of `state`:
//   Unevaluated  the computation has not run, or an asynchronous exception interrupted it.
//                `info` and the captured data are live.
//   Running      one thread (its id in bits 8 and up) is running the computation: the thunk is
//                blackholed. The owner demanding it again raises the loop exception; any other
//                thread blocks until it leaves this state (bit 2 says somebody waits).
//   Evaluated    `result` holds the value, in weak head normal form and never itself a thunk.
//                The captured data were released before the state was published.
//   Failed       the computation raised a synchronous exception: `result` holds the exception
//                value and bits 3 to 7 its runtime kind; every demand raises it again without
//                running the code. The captured data were released.
// Transitions: Unevaluated -> Running by compare-and-swap (a plain store on the sole thread);
// Running -> Evaluated | Failed by the owner; Running -> Unevaluated when an asynchronous
// exception interrupts the owner. Bit 1 is set exactly when `result` holds a reference.

class Value;

struct ThunkInfo {
    Value (*code)(Object* self);    // the computation; reads what it captured from the object
    void (*destroy)(Object* self);  // releases what it captured; null when nothing is
    uint32_t size;                  // size of the whole object in bytes
};

enum ThunkState : uint64_t { kUnevaluated = 0, kRunning = 1, kEvaluated = 2, kFailed = 3 };
inline constexpr uint64_t kThunkStateMask = 3;
inline constexpr uint64_t kThunkWaiters = 4;
inline constexpr uint64_t kThunkHoldsResult = 2;  // the bit Evaluated and Failed share

struct ThunkObject {
    Object header;
    std::atomic<uint64_t> state;
    Object* result;
    const ThunkInfo* info;
    // captured data follow, 16-byte aligned

    constexpr ThunkObject(uint32_t rc, const ThunkInfo* i)
        : header(rc, Kind::Thunk, 0, 0, 0), state(kUnevaluated), result(nullptr), info(i) {}
};
static_assert(sizeof(ThunkObject) == 32 && sizeof(ThunkObject) % 16 == 0, "captured data stay 16-byte aligned");
static_assert(offsetof(ThunkObject, state) == 8 && offsetof(ThunkObject, result) == 16 &&
              offsetof(ThunkObject, info) == 24);

RTS_INLINE ThunkObject* as_thunk(Object* o) { return reinterpret_cast<ThunkObject*>(o); }

// The header's second half, kind, tag, nptrs and nwords, as one number, so that a walk tests an
// object's shape in one comparison.
RTS_INLINE uint32_t shape_of(const Object* o) {
    static_assert(std::endian::native == std::endian::little);
    uint32_t shape;
    std::memcpy(&shape, reinterpret_cast<const char*>(o) + offsetof(Object, kind), 4);
    return shape;
}
// shape_of a constructor with this tag and these fields.
constexpr uint32_t con_shape(uint8_t tag, uint8_t nptrs, uint8_t nwords) {
    static_assert(offsetof(Object, tag) == offsetof(Object, kind) + 1 &&
                  offsetof(Object, nptrs) == offsetof(Object, kind) + 2 &&
                  offsetof(Object, nwords) == offsetof(Object, kind) + 3);
    return static_cast<uint32_t>(Kind::Con) | uint32_t(tag) << 8 | uint32_t(nptrs) << 16 | uint32_t(nwords) << 24;
}

// Frees an object whose count reached zero, inline as far as it can. Most of what dies is small
// constructors and partial applications (fewer than eight references and eight words), objects
// without references (constructors of any size, byte arrays of up to 64 KiB) and evaluated
// suspended computations: their references are released (plainly on the sole thread) and their
// blocks go straight back to the thread's free lists. A reference that dies with them goes back at
// once when it is a leaf (a constructor without references, a byte array); the first one that is
// not is freed next by the same loop (free_objects), so a list or any other chain dies without
// recursion; a further one goes to the free loop (free_rest_cold). Everything else takes the free
// loop: other kinds, suspended computations not evaluated (destroying their closures runs code),
// larger objects with references, a suspended computation marked as a weak key, the rest of an
// object from a reference into a compact region on (counted on its region), any object while some
// weak reference keys on a constructor or byte array (one predictable branch), and a thread whose
// allocator is not set up yet. Every library has its own copy (hidden, out of line), so a
// release site stays small and the call goes through no PLT.
#ifndef RTS_SANITIZED
namespace detail {
static_assert(static_cast<uint8_t>(Kind::Con) == 0 && static_cast<uint8_t>(Kind::Pap) == 2);
// Set bits: not a constructor or partial application, or nptrs or nwords above 7.
inline constexpr uint32_t kNotSmallFields = 0xF8F800FD;
// Set bits: not a constructor, or some references.
inline constexpr uint32_t kNotLeafCon = 0x00FF00FF;
// Kind and tag of a suspended computation without the weak-key mark.
inline constexpr uint32_t kPlainThunk = static_cast<uint8_t>(Kind::Thunk);

// The free-list class of an object of `fields` references and words (con_size), in one add.
RTS_INLINE constexpr size_t fields_class(uint32_t fields) { return (fields + 2) / 2; }
// The class of a list cell or a pair, whose free list is the busiest. free_object gives such
// blocks back to it as a constant, so that the list's head is written at an address of the form
// allocation reads it with: a store passes to a load of the same form much sooner than to one
// with an index register, and the head passes between them twice for each block.
inline constexpr size_t kPairClass = fields_class(2);
static_assert(fields_class(2 + 1) == kPairClass && fields_class(2 + 2) != kPairClass,
              "two references and at most one word make a block of the pair class");
static_assert(fields_class(0) == size_class(con_size(0, 0)) &&
              fields_class(1) == size_class(con_size(1, 0)) &&
              fields_class(2) == size_class(con_size(2, 0)) &&
              fields_class(5) == size_class(con_size(3, 2)) &&
              fields_class(14) == size_class(con_size(7, 7)) &&
              fields_class(255) == size_class(con_size(0, 255)) && fields_class(255) < kBlockClasses,
              "fields_class is con_size's class; every constructor without references has a free list");

// The free-list class of a dying object without references of its own, which goes straight back
// (a constructor, a byte array from a free list), or 0.
RTS_INLINE size_t leaf_class(const Object* f) {
    const uint32_t shape = shape_of(f);
    if ((shape & kNotLeafCon) == 0) return block_class(con_size(0, shape >> 24));
    if (f->kind == Kind::Bytes) return shape >> 24;  // nwords holds a byte array's block class
    return 0;
}

// Gives the block of a dead object straight back to the free list `c`, when it is a leaf and the
// list has room; answers whether it did. Off the sole thread a weak reference may have been made
// on it since the free began, by the thread that let go of it last: hence a second look at the
// weak keys there.
RTS_INLINE bool give_back_leaf(AllocCache* c, Object* f, bool sole) {
    if (!sole && RTS_UNLIKELY(weak_side_keys.load(std::memory_order_acquire) != 0)) return false;
    const size_t cls = leaf_class(f);
    return cls != 0 && push_if_room(c, cls, f);
}
}  // namespace detail

// The free loop's entries for what free_object leaves to it: the rest of a constructor or partial
// application `o` whose fields from `from` on are still held, and `a` and `b` (either may be null),
// fields that died with references of their own; and a block of class `cls` whose free list is
// full, after which `next` (if not null) is freed.
void free_rest_cold(Object* o, uint32_t from, Object* a, Object* b);
void give_back_cold(Object* o, size_t cls, Object* next);

namespace detail {
// What release_ref leaves to the free loop.
enum class Left : uint8_t {
    nothing,  // released; if it died, given back or made `next`
    second,   // released, and a second reference that died with references of its own: `second`
    compact,  // not released: an object of a compact region, which counts on its region
};

// Releases `f`, a reference of an object being freed. A count of 1 is this reference alone, which
// no other thread can touch: it dies without a read-modify-write. If it dies, a leaf goes back at
// once and the first other one becomes `next`, the object freed after this one.
RTS_INLINE Left release_ref(AllocCache* c, Object* f, bool sole, Object*& next, Object*& second) {
    if (f == nullptr) return Left::nothing;
    const uint32_t n = f->rc.load(std::memory_order_acquire);
    if (n != 1) {
        // As in retain: a static reference returns at once, a compact one leaves the inline path.
        if (n == 0) return Left::nothing;
        if (RTS_UNLIKELY(compact_count(n))) return Left::compact;
        if (RTS_LIKELY(sole)) {
            f->rc.store(n - 1, std::memory_order_relaxed);
            return Left::nothing;
        }
        if (f->rc.fetch_sub(1, std::memory_order_acq_rel) != 1) return Left::nothing;
    }
    if (give_back_leaf(c, f, sole)) return Left::nothing;
    if (next == nullptr) {
        next = f;
        return Left::nothing;
    }
    second = f;
    return Left::second;
}

// Releases the references `s[0, n)` of a dying constructor or partial application. Answers -1, or
// the index from which the free loop must go on: after a second reference that died with
// references of its own, or at a reference into a compact region.
RTS_INLINE int release_refs(AllocCache* c, Slot* s, uint32_t n, bool sole, Object*& next, Object*& second) {
    for (uint32_t i = 0; i < n; ++i) {
        const Left left = release_ref(c, s[i].ref, sole, next, second);
        if (RTS_UNLIKELY(left != Left::nothing)) return static_cast<int>(i) + (left == Left::second);
    }
    return -1;
}

// release_refs of the two references of a list cell or a pair, without a loop.
RTS_INLINE int release_two_refs(AllocCache* c, Slot* s, bool sole, Object*& next, Object*& second) {
    if (RTS_UNLIKELY(release_ref(c, s[0].ref, sole, next, second) != Left::nothing)) return 0;  // compact
    const Left left = release_ref(c, s[1].ref, sole, next, second);
    if (RTS_UNLIKELY(left != Left::nothing)) return 1 + (left == Left::second);
    return -1;
}

// The free-list class of `o` if it is an evaluated (or failed) suspended computation, not marked as
// a weak key, of a small class: one reference to release, no closure to destroy. Else 0.
RTS_INLINE size_t evaluated_thunk_class(Object* o, uint32_t shape) {
    if ((shape & 0xffff) != kPlainThunk) return 0;
    ThunkObject* t = as_thunk(o);
    if (!(t->state.load(std::memory_order_relaxed) & kThunkHoldsResult)) return 0;
    const size_t cls = size_class(t->info->size);
    return cls < kSmallClasses ? cls : 0;
}

// free_object's loop, for a chain of objects. Only tail calls leave it, so it saves few registers.
__attribute__((noinline, visibility("hidden"))) inline void free_objects(Object* o) {
    AllocCache* const c = tls_alloc;
    const bool sole = sole_thread();
    for (;;) {
        if (RTS_UNLIKELY(weak_side_keys.load(std::memory_order_acquire) != 0)) break;
        const uint32_t shape = shape_of(o);
        Object* next = nullptr;
        Object* second = nullptr;
        size_t cls;
        if ((shape & kNotSmallFields) == 0) {
            Slot* s = con_slots(o);
            const uint32_t nptrs = (shape >> 16) & 0xff;
            const int from = RTS_LIKELY(nptrs == 2) ? release_two_refs(c, s, sole, next, second)
                                                    : release_refs(c, s, nptrs, sole, next, second);
            if (RTS_UNLIKELY(from >= 0)) return free_rest_cold(o, from, next, second);
            cls = fields_class(nptrs + (shape >> 24));
        } else if ((cls = evaluated_thunk_class(o, shape)) != 0) {
            if (release_ref(c, as_thunk(o)->result, sole, next, second) == Left::compact) break;
        } else if ((cls = leaf_class(o)) != 0) {
            // Nothing to release, so nothing follows it.
            if (RTS_UNLIKELY(!push_if_room(c, cls, o))) return give_back_cold(o, cls, nullptr);
            return;
        } else {
            break;
        }
        if (RTS_UNLIKELY(!push_if_room(c, cls, o))) return give_back_cold(o, cls, next);
        if (next == nullptr) return;
        o = next;
    }
    free_object_cold(o);
}
}  // namespace detail

// The commonest deaths, a constructor of two references (a list cell, a pair), a constructor
// without references (a box, a small big number), one of a single reference (a big number's
// limbs beyond its inline ones, an optional value) and an evaluated suspended computation, are
// finished here without saving registers, as long as no more than one reference dies with each
// that has references of its own. That one is freed next here when it is of these shapes too (an
// evaluated list tail and its cell die together), else it and anything else go on in free_objects.
__attribute__((noinline, visibility("hidden"))) inline void free_object(Object* o) {
    AllocCache* const c = tls_alloc;
    const bool sole = sole_thread();
    for (;;) {
        if (RTS_UNLIKELY(detail::weak_side_keys.load(std::memory_order_acquire) != 0)) return free_object_cold(o);
        const uint32_t shape = shape_of(o);
        Object* next = nullptr;
        Object* second = nullptr;
        size_t cls;
        if ((shape & (detail::kNotSmallFields | 0xff0000)) == (2 << 16)) {
            const int from = detail::release_two_refs(c, con_slots(o), sole, next, second);
            if (RTS_UNLIKELY(from >= 0)) return free_rest_cold(o, from, next, second);
            if (RTS_LIKELY((shape >> 24) <= 1)) {  // a list cell or a pair: at most one word, kPairClass
                if (RTS_UNLIKELY(!push_if_room(c, detail::kPairClass, o)))
                    return give_back_cold(o, detail::kPairClass, next);
                if (next == nullptr) return;
                o = next;
                continue;
            }
            cls = detail::fields_class(2 + (shape >> 24));
        } else if ((shape & detail::kNotLeafCon) == 0) {
            cls = detail::fields_class(shape >> 24);  // nothing to release
        } else if ((cls = detail::evaluated_thunk_class(o, shape)) != 0) {
            if (detail::release_ref(c, as_thunk(o)->result, sole, next, second) == detail::Left::compact)
                return free_object_cold(o);
        } else if ((shape & (detail::kNotSmallFields | 0xff0000)) == (1 << 16)) {
            // One reference: it can only become `next`, or be a compact one left to the loop.
            if (RTS_UNLIKELY(detail::release_ref(c, con_slots(o)[0].ref, sole, next, second) != detail::Left::nothing))
                return free_rest_cold(o, 0, nullptr, nullptr);
            cls = detail::fields_class(1 + (shape >> 24));
        } else {
            return detail::free_objects(o);
        }
        if (RTS_UNLIKELY(!push_if_room(c, cls, o))) return give_back_cold(o, cls, next);
        if (next == nullptr) return;
        o = next;
    }
}
#else
RTS_INLINE void free_object(Object* o) { free_object_cold(o); }
#endif

// Counting. A count of 0 (static objects, never freed) is left alone. Static fields (nullary
// constructors) are as common as counted ones, so that case is a short forward branch rather than a
// trip out of line and back; the compact test reuses the flags of the same compare.
RTS_INLINE void retain(Object* o) {
    if (!o) return;
    const uint32_t c = o->rc.load(std::memory_order_relaxed);
    if (c == 0) return;
    if (RTS_UNLIKELY(compact_count(c))) return compact_retain(o);
    if (sole_thread())
        o->rc.store(c + 1, std::memory_order_relaxed);
    else
        o->rc.fetch_add(1, std::memory_order_relaxed);
}

RTS_INLINE void release(Object* o) {
    if (!o) return;
    const uint32_t c = o->rc.load(std::memory_order_acquire);
    if (c == 1) return free_object(o);
    if (c == 0) return;
    if (RTS_UNLIKELY(compact_count(c))) return compact_release(o);
    if (sole_thread())
        o->rc.store(c - 1, std::memory_order_relaxed);
    else if (o->rc.fetch_sub(1, std::memory_order_acq_rel) == 1)
        free_object(o);
}

class Value {
  public:
    constexpr Value() noexcept : p_(nullptr) {}
    // Adopts a reference (an allocation's first one, or a static object).
    static Value adopt(Owned o) noexcept { return Value(o, 0); }
    // Takes a new reference to an object held elsewhere.
    static Value share(Borrowed o) noexcept {
        retain(o);
        return Value(o, 0);
    }
    Value(const Value& v) noexcept : p_(v.p_) { retain(p_); }
    Value(Value&& v) noexcept : p_(v.p_) { v.p_ = nullptr; }
    Value& operator=(const Value& v) noexcept {
        retain(v.p_);
        Object* old = p_;
        p_ = v.p_;
        release(old);
        return *this;
    }
    Value& operator=(Value&& v) noexcept {
        if (this != &v) {
            Object* old = p_;
            p_ = v.p_;
            v.p_ = nullptr;
            release(old);
        }
        return *this;
    }
    ~Value() { release(p_); }

    Object* get() const noexcept { return p_; }
    Object* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // Gives up the reference without releasing it.
    Owned detach() noexcept {
        Object* o = p_;
        p_ = nullptr;
        return o;
    }

  private:
    constexpr Value(Object* o, int) noexcept : p_(o) {}
    Object* p_;
};
static_assert(sizeof(Value) == sizeof(Object*), "a Value is one pointer, so fields can be read as Values");

// Reference identity, without evaluating either side.
RTS_INLINE bool same(const Value& a, const Value& b) noexcept { return a.get() == b.get(); }

RTS_INLINE const Value& as_value(Object* const& slot) { return *reinterpret_cast<const Value*>(&slot); }
RTS_INLINE Value& as_value_mut(Object*& slot) { return *reinterpret_cast<Value*>(&slot); }

// ---------------------------------------------------------------------------------------------
// Constructors

// A fresh object header with count 1 at `mem`, written as one word: the release of a short-lived
// object reads its kind, tag and counts as one number, which separate byte stores would make wait
// for them to retire.
RTS_INLINE Object* new_header(void* mem, Kind kind, uint8_t tag, uint8_t nptrs, uint8_t nwords) {
    auto* o = new (mem) Object(1, kind, tag, nptrs, nwords);
    static_assert(std::endian::native == std::endian::little);
    const uint64_t header = 1 | uint64_t(static_cast<uint8_t>(kind)) << 32 | uint64_t(tag) << 40 |
                            uint64_t(nptrs) << 48 | uint64_t(nwords) << 56;
    std::memcpy(mem, &header, sizeof header);
    return o;
}

// A fresh constructor object with count 1; its references and words are left for the caller to
// fill in (every reference slot must be set before the object is released).
RTS_INLINE Object* alloc_con(uint8_t tag, uint8_t nptrs, uint8_t nwords) {
    return new_header(allocate_bytes(con_size(nptrs, nwords)), Kind::Con, tag, nptrs, nwords);
}

// alloc_con when the calling thread's free list has a block at hand, else null (always null in
// builds that allocate each object on its own or charge it to a cost centre): for a path that
// would rather go out of line to alloc_con than keep its values across the slow path's call.
RTS_INLINE Object* try_alloc_con(uint8_t tag, uint8_t nptrs, uint8_t nwords) {
#if defined(RTS_SANITIZED) || defined(VUX_PROFILING)
    (void)tag, (void)nptrs, (void)nwords;
    return nullptr;
#else
    const size_t cls = size_class(con_size(nptrs, nwords));
    if (cls >= kBlockClasses) return nullptr;
    void* mem = pop_free_block(cls);
    return RTS_LIKELY(mem != nullptr) ? new_header(mem, Kind::Con, tag, nptrs, nwords) : nullptr;
#endif
}

RTS_INLINE uint8_t tag_of(const Value& v) {
    RTS_ASSERT(v->kind == Kind::Con, "tag_of: not an evaluated constructor");
    return v->tag;
}
RTS_INLINE const Value& field(const Value& v, size_t i) {
    RTS_ASSERT(v->kind == Kind::Con && i < v->nptrs, "field: not a constructor, or no such reference field");
    return as_value(con_slots(v.get())[i].ref);
}
RTS_INLINE uint64_t word(const Value& v, size_t i) {
    RTS_ASSERT(v->kind == Kind::Con && i < v->nwords, "word: not a constructor, or no such word");
    uint64_t w;
    std::memcpy(&w, &con_slots(v.get())[v->nptrs + i], 8);
    return w;
}
RTS_INLINE int64_t int_word(const Value& v, size_t i) { return static_cast<int64_t>(word(v, i)); }
RTS_INLINE double double_word(const Value& v, size_t i) {
    uint64_t w = word(v, i);
    double d;
    std::memcpy(&d, &w, 8);
    return d;
}
RTS_INLINE float float_word(const Value& v, size_t i) {
    uint32_t w = static_cast<uint32_t>(word(v, i));
    float f;
    std::memcpy(&f, &w, 4);
    return f;
}
RTS_INLINE uint64_t bits_of(double d) {
    uint64_t w;
    std::memcpy(&w, &d, 8);
    return w;
}
RTS_INLINE uint64_t bits_of(float f) {
    uint32_t w;
    std::memcpy(&w, &f, 4);
    return w;
}

// Builds a constructor from its references (consumed) and no words.
template <class... Fields>
RTS_INLINE Value con(uint8_t tag, Fields&&... fs) {
    static_assert(sizeof...(Fields) <= 255, "a constructor has at most 255 reference fields");
    Object* o = alloc_con(tag, sizeof...(Fields), 0);
    Slot* s = con_slots(o);
    size_t i = 0;
    ((s[i++].ref = Value(std::forward<Fields>(fs)).detach()), ...);
    return Value::adopt(o);
}

// Builds a constructor of one unboxed word (`I#`, `C#`, `D#`...).
RTS_INLINE Value con_word(uint8_t tag, uint64_t w) {
    Object* o = alloc_con(tag, 0, 1);
    con_slots(o)[0].word = w;
    return Value::adopt(o);
}

// Builds a constructor from references (consumed) followed by unboxed words.
template <size_t W, class... Fields>
Value con_words(uint8_t tag, const uint64_t (&words)[W], Fields&&... fs) {
    static_assert(sizeof...(Fields) <= 255 && W <= 255, "at most 255 references and 255 words");
    Object* o = alloc_con(tag, sizeof...(Fields), W);
    Slot* s = con_slots(o);
    size_t i = 0;
    ((s[i++].ref = Value(std::forward<Fields>(fs)).detach()), ...);
    if constexpr (W > 0) std::memcpy(&s[i], words, 8 * W);
    return Value::adopt(o);
}

// A static constructor object: never counted, constant-initialised, shared by the whole process.
// Slots are given with ref_slot(&other.header) and word_slot(n), references first.
template <size_t P, size_t W = 0>
struct alignas(16) StaticCon {
    Object header;
    Slot slots[P + W];
    template <class... Slots>
    constexpr StaticCon(uint8_t tag, Slots... s) : header(0, Kind::Con, tag, P, W), slots{s...} {
        static_assert(sizeof...(Slots) == P + W, "one slot per field");
    }
    Value value() const { return Value::adopt(object()); }
    constexpr Object* object() const { return const_cast<Object*>(&header); }
};
template <>
struct alignas(16) StaticCon<0, 0> {
    Object header;
    constexpr explicit StaticCon(uint8_t tag) : header(0, Kind::Con, tag, 0, 0) {}
    Value value() const { return Value::adopt(object()); }
    constexpr Object* object() const { return const_cast<Object*>(&header); }
};
using StaticNullary = StaticCon<0, 0>;
static_assert(offsetof(StaticCon<2>, slots) == sizeof(Object) && sizeof(StaticCon<2>) == con_size(2, 0) + 8,
              "a static constructor is laid out like a heap one");
static_assert(alignof(StaticNullary) == kAllocGranule);

}  // namespace rts
