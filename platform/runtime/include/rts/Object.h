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
// Each thread keeps one free list per class. A list that grows past kMaxCachedBlocks (a thread
// that frees what others allocated) goes to a shared pool as one batch, so memory freed by one
// thread is reused by the others instead of piling up.
inline constexpr size_t kAllocGranule = 16;
inline constexpr size_t kSmallClasses = 33;  // sizes up to 512 bytes come from free lists
inline constexpr uint32_t kMaxCachedBlocks = 4096;

struct AllocCache {
    void* free[kSmallClasses];        // singly linked through each free block's first word
    uint32_t cached[kSmallClasses];   // blocks on each list
    uint64_t allocated_bytes;         // total the thread has allocated
};
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

// The free-list class that a block of `size` bytes comes from and goes back to, or 0 for a block
// of the system allocator (a large one, or any in sanitizer builds).
RTS_INLINE constexpr uint8_t block_class(size_t size) {
#ifdef RTS_SANITIZED
    (void)size;
    return 0;
#else
    size_t cls = size_class(size);
    return cls < kSmallClasses ? static_cast<uint8_t>(cls) : 0;
#endif
}

void* allocate_slow(size_t size);
void deallocate_slow(void* p, size_t size);
// Gives a thread's overlong free list of class `cls` to the shared pool.
void release_cached_cold(size_t cls);

RTS_INLINE void* allocate_bytes(size_t size) {
#ifdef VUX_PROFILING
    charge_alloc(size);
#endif
#ifndef RTS_SANITIZED
    size_t cls = size_class(size);
    AllocCache* c = tls_alloc;
    if (RTS_LIKELY(c != nullptr && cls < kSmallClasses)) {
        void* p = c->free[cls];
        if (RTS_LIKELY(p != nullptr)) {
            c->free[cls] = *static_cast<void**>(p);
            --c->cached[cls];
            c->allocated_bytes += cls * kAllocGranule;
            return p;
        }
    }
#endif
    return allocate_slow(size);
}

// Puts a block of small class `cls` on the calling thread's free list `c`.
RTS_INLINE void push_free_block(AllocCache* c, size_t cls, void* p) {
    *static_cast<void**>(p) = c->free[cls];
    c->free[cls] = p;
    if (RTS_UNLIKELY(++c->cached[cls] > kMaxCachedBlocks)) release_cached_cold(cls);
}

RTS_INLINE void deallocate_bytes(void* p, size_t size) {
#ifndef RTS_SANITIZED
    size_t cls = size_class(size);
    AllocCache* c = tls_alloc;
    if (RTS_LIKELY(c != nullptr && cls < kSmallClasses)) {
        push_free_block(c, cls, p);
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

// Frees an object whose count reached zero. Most of what dies is a small constructor (fewer than
// eight references and eight words) whose fields either outlive it or die with it as leaves
// (constructors without references, byte arrays). Such a constructor is freed here: its fields'
// counts lowered (plainly on the sole thread), the leaves among them and then its own block going
// straight back to the thread's free lists. Everything else takes free_object_cold: other kinds,
// larger constructors, a constructor with a field that dies with it and has references of its own
// (which the free loop releases), any constructor while some weak reference keys on a constructor
// or byte array (one predictable branch) and a thread whose allocator is not set up yet. Every
// library has its own copy (hidden, out of line), so a release site stays small and the call goes
// through no PLT.
#ifndef RTS_SANITIZED
namespace detail {
// Objects without references of their own: a dying one is given back at once.
RTS_INLINE bool is_leaf(const Object* o) {
    return (o->kind == Kind::Con && o->nptrs == 0) || o->kind == Kind::Bytes;
}

// Whether a field leaves its constructor's free on the inline path: null, static, outliving this
// release, or a leaf that dies with it. `counted` collects whether any field is counted.
RTS_INLINE bool field_stays(const Slot& field, bool& counted) {
    if (field.ref == nullptr) return true;
    const uint32_t c = field.ref->rc.load(std::memory_order_acquire);
    counted |= c != 0;
    return c != 1 || is_leaf(field.ref);
}

// Gives a small constructor's block back to the free list `c`. The common classes are constants
// on predicted branches, so the list's address does not wait for the header just read, and the
// next allocation from that list does not stall behind this push.
RTS_INLINE void push_con_block(AllocCache* c, Object* o, uint32_t fields) {
    if (fields <= 1)
        push_free_block(c, size_class(con_size(1, 0)), o);
    else if (fields <= 3)
        push_free_block(c, size_class(con_size(3, 0)), o);
    else if (fields <= 5)
        push_free_block(c, size_class(con_size(5, 0)), o);
    else
        push_free_block(c, size_class(con_size(fields, 0)), o);
}

// A field whose count reached zero inside the inline free: a leaf goes straight back, anything
// else (a field held twice, or released meanwhile by another thread) to the free loop.
RTS_INLINE void free_dead_field(AllocCache* c, Object* f) {
    if (RTS_UNLIKELY(weak_side_keys.load(std::memory_order_acquire) != 0))  // made a key meanwhile
        free_object_cold(f);
    else if (f->kind == Kind::Con && f->nptrs == 0 && f->nwords < 8)
        push_con_block(c, f, f->nwords);
    else if (f->kind == Kind::Bytes && f->nwords != 0)
        push_free_block(c, f->nwords, f);  // a byte array's block class
    else
        free_object_cold(f);
}

// Frees a small constructor whose counted fields all passed field_stays: releases them (plainly
// on the sole thread), gives the dying leaves back, then the constructor's block.
__attribute__((noinline, visibility("hidden"))) inline void free_con_releasing_fields(Object* o, AllocCache* c,
                                                                                      uint32_t nptrs,
                                                                                      uint32_t fields) {
    Slot* s = con_slots(o);
    const bool sole = sole_thread();
    for (uint32_t i = 0; i < nptrs; ++i) {
        Object* f = s[i].ref;
        if (f == nullptr) continue;
        const uint32_t n = f->rc.load(std::memory_order_acquire);
        if (special_count(n)) {
            if (RTS_UNLIKELY(n != 0)) compact_release(f);
            continue;
        }
        bool dead;
        if (n == 1) {
            dead = true;
        } else if (sole) {
            f->rc.store(n - 1, std::memory_order_relaxed);
            dead = false;
        } else {
            dead = f->rc.fetch_sub(1, std::memory_order_acq_rel) == 1;
        }
        if (dead) free_dead_field(c, f);
    }
    push_con_block(c, o, fields);
}
}  // namespace detail

__attribute__((noinline, visibility("hidden"))) inline void free_object(Object* o) {
    // The header's second half, kind, tag, nptrs and nwords, read at once: one test finds a
    // constructor with fewer than eight references and eight words.
    static_assert(std::endian::native == std::endian::little);
    uint32_t shape;
    std::memcpy(&shape, reinterpret_cast<const char*>(o) + offsetof(Object, kind), 4);
    constexpr uint32_t kNotSmallCon = 0xF8F800FF;  // kind non-zero, nptrs or nwords above 7
    static_assert(static_cast<uint8_t>(Kind::Con) == 0);
    AllocCache* c = tls_alloc;
    if (RTS_LIKELY((shape & kNotSmallCon) == 0 && c != nullptr) &&
        RTS_LIKELY(detail::weak_side_keys.load(std::memory_order_acquire) == 0)) {
        const uint32_t nptrs = (shape >> 16) & 7, fields = nptrs + (shape >> 24);
        bool counted = false;
        // Unrolled: one predicted jump on the number of references, no loop.
        const Slot* s = con_slots(o);
        // clang-format off
        switch (nptrs) {
            case 7: if (!detail::field_stays(s[6], counted)) goto cold; [[fallthrough]];
            case 6: if (!detail::field_stays(s[5], counted)) goto cold; [[fallthrough]];
            case 5: if (!detail::field_stays(s[4], counted)) goto cold; [[fallthrough]];
            case 4: if (!detail::field_stays(s[3], counted)) goto cold; [[fallthrough]];
            case 3: if (!detail::field_stays(s[2], counted)) goto cold; [[fallthrough]];
            case 2: if (!detail::field_stays(s[1], counted)) goto cold; [[fallthrough]];
            case 1: if (!detail::field_stays(s[0], counted)) goto cold; [[fallthrough]];
            case 0: break;
        }
        // clang-format on
        // Its only calls are tail calls, so it saves no registers.
        if (counted) return detail::free_con_releasing_fields(o, c, nptrs, fields);
        detail::push_con_block(c, o, fields);
        return;
    }
cold:
    free_object_cold(o);
}
#else
RTS_INLINE void free_object(Object* o) { free_object_cold(o); }
#endif

RTS_INLINE void retain(Object* o) {
    if (!o) return;
    const uint32_t c = o->rc.load(std::memory_order_relaxed);
    if (special_count(c)) {
        if (RTS_UNLIKELY(c != 0)) compact_retain(o);
        return;
    }
    if (sole_thread())
        o->rc.store(c + 1, std::memory_order_relaxed);
    else
        o->rc.fetch_add(1, std::memory_order_relaxed);
}

RTS_INLINE void release(Object* o) {
    if (!o) return;
    const uint32_t c = o->rc.load(std::memory_order_acquire);
    if (special_count(c)) {
        if (RTS_UNLIKELY(c != 0)) compact_release(o);
        return;
    }
    if (c == 1) {
        free_object(o);
    } else if (sole_thread()) {
        o->rc.store(c - 1, std::memory_order_relaxed);
    } else if (o->rc.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        free_object(o);
    }
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

// A fresh constructor object with count 1; its references and words are left for the caller to
// fill in (every reference slot must be set before the object is released).
RTS_INLINE Object* alloc_con(uint8_t tag, uint8_t nptrs, uint8_t nwords) {
    void* mem = allocate_bytes(con_size(nptrs, nwords));
    return new (mem) Object(1, Kind::Con, tag, nptrs, nwords);
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
