// Compact regions (see rts/Compact.h).
#include "rts/Compact.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "rts/Bytes.h"
#include "rts/Eval.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace rts {

namespace {

struct RegionState;
struct Import;

// What the runtime keeps in front of each block; never exported.
struct alignas(16) Chunk {
    Chunk* next;
    RegionState* region;  // null while an import is being filled
    uint64_t capacity;    // bytes of the block after this prefix
    Import* import;       // the import that is filling the block, else null
    CompactBlockHeader* block() { return reinterpret_cast<CompactBlockHeader*>(this + 1); }
    char* bytes() { return reinterpret_cast<char*>(this + 1); }
};
static_assert(sizeof(Chunk) == 32);

Chunk* chunk_of_block(void* block) { return static_cast<Chunk*>(block) - 1; }

// Bytes of the blocks of every region and import alive.
std::atomic<uint64_t> live_block_bytes{0};

// A region: its blocks and the count of references to it. The region object (`Compact#`) holds
// one reference, and so does every reference to an object inside the region held from outside it
// (references between objects of the region are not counted). The last release frees every block.
struct RegionState {
    std::atomic<uint64_t> refs{1};
    std::mutex lock;
    Chunk* first = nullptr;
    Chunk* last = nullptr;
    uint64_t block_size = 4096;
    uint64_t total = 0;
};

// Blocks of freed regions kept for new blocks of the same size, up to kCachedBytes in all, so a
// program that makes or imports regions again and again reuses memory already mapped instead of
// faulting fresh pages in. Sanitizer builds keep none, so a use after free is seen.
#ifndef RTS_SANITIZED
constexpr uint64_t kCachedBytes = uint64_t{256} << 20;
struct BlockCache {
    std::mutex lock;
    std::unordered_multimap<uint64_t, Chunk*> blocks;  // by capacity
    uint64_t bytes = 0;
};
BlockCache& block_cache() {
    static auto* c = new BlockCache;  // never destroyed: regions may die during exit
    return *c;
}
#endif

Chunk* cached_chunk(uint64_t capacity) {
#ifndef RTS_SANITIZED
    BlockCache& cache = block_cache();
    std::lock_guard g(cache.lock);
    if (auto it = cache.blocks.find(capacity); it != cache.blocks.end()) {
        Chunk* c = it->second;
        cache.blocks.erase(it);
        cache.bytes -= capacity;
        return c;
    }
#else
    (void)capacity;
#endif
    return nullptr;
}

void free_chunk(Chunk* c) {
    live_block_bytes.fetch_sub(c->capacity, std::memory_order_relaxed);
#ifndef RTS_SANITIZED
    BlockCache& cache = block_cache();
    std::lock_guard g(cache.lock);
    if (cache.bytes + c->capacity <= kCachedBytes) {
        cache.blocks.emplace(c->capacity, c);
        cache.bytes += c->capacity;
        return;
    }
#endif
    std::free(c);
}

void free_region(RegionState* r) {
    for (Chunk* c = r->first; c != nullptr;) {
        Chunk* next = c->next;
        free_chunk(c);
        c = next;
    }
    delete r;
}

// Counting on a region mirrors counting on an object (rts/Object.h): plain on the sole thread,
// atomic otherwise, and a release that sees the last reference frees without a read-modify-write.
void retain_region(RegionState* r) {
    if (sole_thread())
        r->refs.store(r->refs.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    else
        r->refs.fetch_add(1, std::memory_order_relaxed);
}

void release_region(RegionState* r) {
    const uint64_t n = r->refs.load(std::memory_order_acquire);
    if (n == 1)
        free_region(r);
    else if (sole_thread())
        r->refs.store(n - 1, std::memory_order_relaxed);
    else if (r->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        free_region(r);
}

// An object inside a region has the count kCompactCount | (its offset in its block / 16), so its
// block, and from there its region, is found from the object alone. The mark is part of the
// exported bytes: offsets mean the same at any address.
constexpr uint64_t kMaxBlock = uint64_t{1} << 35;  // offsets / 16 fit in the mark's 31 bits

constexpr uint32_t mark_at(uint64_t offset) { return kCompactCount | static_cast<uint32_t>(offset / 16); }

Chunk* chunk_of_object(const Object* o) {
    const uint32_t mark = o->rc.load(std::memory_order_relaxed);
    const char* block = reinterpret_cast<const char*>(o) - uint64_t{mark & ~kCompactCount} * 16;
    return chunk_of_block(const_cast<char*>(block));
}

// The region holding `o`, or null for an object outside every region.
RegionState* region_holding(const Object* o) {
    if (o == nullptr || o->rc.load(std::memory_order_relaxed) < kCompactCount) return nullptr;
    return chunk_of_object(o)->region;
}

struct RegionObject {
    OpaqueObject head;
    RegionState* state;
};

void destroy_region(Object* o) { release_region(reinterpret_cast<RegionObject*>(o)->state); }
constexpr OpaqueInfo region_info{&destroy_region, sizeof(RegionObject), "Compact#"};

RegionState& state_of(const Value& region) {
    RTS_ASSERT(region && region->kind == Kind::Opaque &&
                   reinterpret_cast<OpaqueObject*>(region.get())->info == &region_info,
               "not a compact region");
    return *reinterpret_cast<RegionObject*>(region.get())->state;
}

// The region object of a new region, holding the region's first reference.
Value region_value(RegionState* s) {
    void* mem = allocate_bytes(sizeof(RegionObject));
    auto* r = new (mem) RegionObject{OpaqueObject{Object(1, Kind::Opaque, 0, 0, 0), &region_info}, s};
    return Value::adopt(&r->head.header);
}

constexpr uint64_t round16(uint64_t n) { return (n + 15) & ~uint64_t{15}; }

Chunk* new_chunk(uint64_t capacity) {
    if (capacity > kMaxBlock) raise(RtsError::HeapOverflow);
    void* mem = cached_chunk(capacity);
    if (mem == nullptr) mem = std::aligned_alloc(16, sizeof(Chunk) + round16(capacity));
    if (mem == nullptr) raise(RtsError::HeapOverflow);
    live_block_bytes.fetch_add(capacity, std::memory_order_relaxed);
    return new (mem) Chunk{nullptr, nullptr, capacity, nullptr};
}

void append_chunk(RegionState& r, Chunk* c) {
    c->region = &r;
    (r.last ? r.last->next : r.first) = c;
    r.last = c;
    r.total += c->capacity;
}

// The object starts of a block of `size` bytes: one bit per 16 bytes, at the block's end.
constexpr uint64_t starts_offset(uint64_t size) { return size - round16((size / 16 + 63) / 64 * 8); }
uint64_t* starts_of(char* block, uint64_t size) {
    return reinterpret_cast<uint64_t*>(block + starts_offset(size));
}
constexpr uint64_t start_bit(uint64_t off) { return uint64_t{1} << (off / 16 % 64); }

Chunk* add_block(RegionState& r, uint64_t at_least) {
    if (at_least > kMaxBlock) raise(RtsError::HeapOverflow);
    // Room for the header, the object and the starts, which take less than 1/64 and 64 bytes.
    const uint64_t need = sizeof(CompactBlockHeader) + at_least;
    Chunk* c = new_chunk(round16(std::max(r.block_size, need + need / 64 + 64)));
    std::memset(starts_of(c->bytes(), c->capacity), 0, c->capacity - starts_offset(c->capacity));
    const uint64_t index = r.last ? r.last->block()->index + 1 : 0;
    *c->block() = CompactBlockHeader{kCompactMagic, reinterpret_cast<uint64_t>(c->bytes()),
                                     c->capacity,   sizeof(CompactBlockHeader),
                                     index,         0};
    append_chunk(r, c);
    return c;
}

// Copies the `size` bytes of `from` into the region and marks the copy as the region's.
Object* region_copy(RegionState& r, const Object* from, uint64_t size) {
    const uint64_t rounded = round16(size);
    Chunk* c = r.last;
    if (c == nullptr || starts_offset(c->capacity) - c->block()->used < rounded) c = add_block(r, rounded);
    CompactBlockHeader* h = c->block();
    auto* o = reinterpret_cast<Object*>(c->bytes() + h->used);
    std::memcpy(static_cast<void*>(o), from, size);
    o->rc.store(mark_at(h->used), std::memory_order_relaxed);
    starts_of(c->bytes(), c->capacity)[h->used / 1024] |= start_bit(h->used);
    h->used += rounded;
    return o;
}

// Two running sums per lane (a Fletcher sum over 64-bit words): any change of one word, and any
// exchange of two different words, changes the result. Eight independent lanes, in two vectors
// of four that stay in registers (two halves each without AVX), keep it at the speed of the
// cache. The sum is taken in steps of 64 bytes, so the import can take it a piece at a time, just
// ahead of its walk over the objects.
using Lanes = uint64_t __attribute__((vector_size(32)));

class Checksum {
  public:
    // Adds the `n` bytes at `p`, a multiple of 64.
    RTS_INLINE void add(const char* p, uint64_t n) {
        for (uint64_t i = 0; i < n; i += 64) {
            Lanes w0, w1;
            std::memcpy(&w0, p + i, 32);
            std::memcpy(&w1, p + i + 32, 32);
            b0_ += a0_ += w0;
            b1_ += a1_ += w1;
        }
    }
    // The sum of `total` bytes, given their last words past the multiples of 64 (`tail`, fewer
    // than eight).
    uint64_t finish(uint64_t total, const uint64_t* tail, uint64_t tail_words) const {
        uint64_t sum = total * 0x9E3779B97F4A7C15;
        auto mix = [&sum](uint64_t w) { sum = std::rotl(sum ^ w, 29) * 0xC2B2AE3D27D4EB4F; };
        for (uint64_t i = 0; i < tail_words; ++i) mix(tail[i]);
        for (const Lanes* l : {&a0_, &a1_, &b0_, &b1_})
            for (int i = 0; i < 4; ++i) mix((*l)[i]);
        return sum;
    }

  private:
    Lanes a0_ = {1, 2, 3, 4}, a1_ = {5, 6, 7, 8}, b0_ = {}, b1_ = {};
};

// The words of the `n` bytes at `p` that follow its multiples of 64; their count.
uint64_t tail_words(const char* p, uint64_t n, uint64_t (&tail)[8]) {
    const uint64_t bulk = n & ~uint64_t{63};
    std::memcpy(tail, p + bulk, (n - bulk) & ~uint64_t{7});
    return (n - bulk) / 8;
}

uint64_t checksum(const char* p, uint64_t n) {
    Checksum sum;
    sum.add(p, n & ~uint64_t{63});
    uint64_t tail[8];
    const uint64_t words = tail_words(p, n, tail);
    return sum.finish(n, tail, words);
}

// ---------------------------------------------------------------------------------------------
// Copying in, iteratively: each reference field still to fill is a pending entry.

struct Pending {
    Value source;
    Slot* slot;
};

class Copier {
  public:
    Copier(RegionState& r, bool sharing) : region_(r), sharing_(sharing) {}

    Object* copy(const Value& value) {
        Object* root = place(force(value));
        while (!pending_.empty()) {
            Pending p = std::move(pending_.back());
            pending_.pop_back();
            p.slot->ref = place(force(p.source));
        }
        return root;
    }

  private:
    Object* place(const Value& v) {
        Object* o = v.get();
        if (region_holding(o) == &region_) return o;
        if (sharing_) {
            if (auto it = copies_.find(o); it != copies_.end()) return it->second;
        }
        Object* copy = o->kind == Kind::Con ? copy_con(v) : copy_bytes(v);
        if (sharing_) copies_.emplace(o, copy);
        return copy;
    }

    Object* copy_con(const Value& v) {
        Object* o = v.get();
        Object* copy = region_copy(region_, o, con_size(o->nptrs, o->nwords));
        // Until filled, each reference points at the copy itself, so a copy interrupted by an
        // exception leaves only well-formed (unreachable) objects behind. The last field is
        // pushed first, so fields are copied in order, each right after its parent where it can
        // be: a list's elements lie beside their cells, and the stack stays short.
        Slot* slots = con_slots(copy);
        for (uint32_t i = o->nptrs; i-- > 0;) {
            slots[i].ref = copy;
            pending_.push_back(Pending{field(v, i), &slots[i]});
        }
        return copy;
    }

    Object* copy_bytes(const Value& v) {
        if (v->kind != Kind::Bytes || bytes_mutable(v)) raise(RtsError::CompactionFailed);
        Object* copy = region_copy(region_, v.get(), sizeof(BytesObject) + bytes_length(v));
        copy->nwords = 0;
        return copy;
    }

    RegionState& region_;
    bool sharing_;
    std::vector<Pending> pending_;
    std::unordered_map<Object*, Object*> copies_;
};

Value add(const Value& region, const Value& value, bool sharing) {
    RegionState& r = state_of(region);
    std::lock_guard g(r.lock);
    Object* copy = Copier(r, sharing).copy(value);
    retain_region(&r);  // the reference handed back
    return Value::adopt(copy);
}

// ---------------------------------------------------------------------------------------------
// Import. Each block is checked and fixed while its bytes are still in the cache: when the block
// after it is allocated (the caller fills a block before asking for the next), and the last one
// at the fix-up. A block's header and checksum are checked, then one walk over its objects checks
// each of them and moves the references within the block; the references into other blocks wait
// for the fix-up, when every block's object starts (one bit per 16 bytes) are known. A reference
// is accepted only at an object start of the region.

struct ImportBlock {
    Chunk* chunk;
    uint64_t self = 0, used = 0;       // where the block was built, and its bytes in use
    const uint64_t* starts = nullptr;  // in the block, checked against its objects
};

// 1 when an object starts `unit` 16-byte units into the block, else 0.
RTS_INLINE uint64_t start_at_unit(const uint64_t* starts, uint64_t unit) {
    return (starts[unit / 64] >> (unit % 64)) & 1;
}
bool starts_at(const uint64_t* starts, uint64_t off) { return start_at_unit(starts, off / 16) != 0; }
// Word `w` of the starts, without those at or past `used` units (the starts are taken only
// among the objects).
RTS_INLINE uint64_t starts_below(const uint64_t* starts, uint64_t w, uint64_t used) {
    if (w * 64 >= used) return 0;
    return used - w * 64 >= 64 ? starts[w] : starts[w] & ((uint64_t{1} << (used - w * 64)) - 1);
}

struct Import {
    std::vector<ImportBlock> blocks;  // in chain order
    std::vector<Slot*> elsewhere;     // references into other blocks, still to move
    bool damaged = false;
};

// Imports being filled, so that an import abandoned by an exception stays reachable.
std::mutex imports_lock;
std::unordered_set<Import*>& imports() {
    static auto* s = new std::unordered_set<Import*>;
    return *s;
}

// The header of block `index`, up to its checksum, which the walk over the objects checks.
bool check_header(Chunk* c, uint64_t index) {
    if (c->capacity < sizeof(CompactBlockHeader)) return false;
    const CompactBlockHeader* h = c->block();
    return h->magic == kCompactMagic && h->size == c->capacity && h->index == index && h->size % 16 == 0 &&
           h->size >= 128 && h->used >= sizeof(CompactBlockHeader) && h->used <= starts_offset(h->size) &&
           h->used % 16 == 0 && h->self % 16 == 0 && h->self != 0 && h->self + h->used > h->self;
}

// The size of the well-formed byte array at `off`, or 0.
uint64_t bytes_size(const char* base, uint64_t off, uint64_t used) {
    const auto* o = reinterpret_cast<const Object*>(base + off);
    if (o->rc.load(std::memory_order_relaxed) != mark_at(off) || o->kind != Kind::Bytes || o->tag != 0 ||
        o->nptrs != 0 || o->nwords != 0 || used - off < 16)
        return 0;
    const uint64_t length = reinterpret_cast<const BytesObject*>(o)->length;
    if (length > used) return 0;
    const uint64_t size = round16(sizeof(BytesObject) + length);
    return size <= used - off ? size : 0;
}

// The checksum of a block's objects, taken a piece at a time just ahead of the walk that checks
// them and moves their references: the walk then reads bytes the sum has just brought into the
// cache, and the sum is of the bytes as exported. The last words past the multiples of 64 are
// read first.
class BlockSum {
  public:
    BlockSum(const char* base, uint64_t used)
        : base_(base),
          used_(used),
          end_(kFrom + ((used - kFrom) & ~uint64_t{63})),
          tail_count_(tail_words(base + kFrom, used - kFrom, tail_)) {
        if (at_ == end_) covered_ = used;
    }
    // Sums the bytes of the block up to offset `to` at least, before the walk changes them.
    RTS_INLINE void reach(uint64_t to) {
        if (RTS_UNLIKELY(to > covered_)) advance(to);
    }
    uint64_t finish() {
        advance(used_);
        return sum_.finish(used_ - kFrom, tail_, tail_count_);
    }

  private:
    static constexpr uint64_t kFrom = sizeof(CompactBlockHeader);
    static constexpr uint64_t kPiece = 1024;

    RTS_INLINE void advance(uint64_t to) {
        const uint64_t next =
            std::min(end_, kFrom + ((std::max(to, at_ + kPiece) - kFrom + 63) & ~uint64_t{63}));
        sum_.add(base_ + at_, next - at_);
        at_ = next;
        covered_ = at_ == end_ ? used_ : at_;
    }

    const char* base_;
    uint64_t used_, end_;
    uint64_t at_ = kFrom, covered_ = kFrom;
    uint64_t tail_[8];
    uint64_t tail_count_;
    Checksum sum_;
};

constexpr uint64_t kMaxConUnits = round16(con_size(255, 255)) / 16;

// The header of a constructor in a region (kind and count), without its offset.
constexpr uint64_t kConHeader = kCompactCount | uint64_t{static_cast<uint8_t>(Kind::Con)} << 32;

// The objects starting in one word `w` of a block's starts (64 units of 16 bytes), with 512-bit
// vectors eight units at a time, when each is a constructor of at most kWideUnits units: its
// header carries the mark of its own offset, and the next recorded start is exactly where it
// ends. Each object is checked against the starts alone, not against the object before it, so
// the eight of a vector are checked at once. The caller has checked that the first start is where
// the object before the word ended, and that words `w` and `w + 1` lie within the objects. On
// success `refs` holds, for each piece of 16 words from the word's first unit, which are
// references (the objects' fields reach at most three pieces past the word's eight), and
// `pieces` their number; otherwise the word is walked one object at a time, which takes byte
// arrays and larger objects and finds the damage. Nothing is written.
#if defined(__x86_64__)
#define RTS_WIDE_CHAIN
#define RTS_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi2")))
// GCC takes the intrinsics' deliberately undefined vectors for uninitialized variables.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

constexpr uint64_t kWideUnits = 24;  // so an object's reference words fit a 64-bit mask from its vector
constexpr int kWidePieces = 8 + 3;   // pieces of 16 words: the word's own and those its objects reach

// The 128-bit pieces (a0 | a1, a2 | a3, b0 | b1, b2 | b3).
RTS_WIDE_TARGET RTS_INLINE __m512i or_halves(__m512i a, __m512i b) {
    return _mm512_or_si512(_mm512_shuffle_i64x2(a, b, 0b10'00'10'00), _mm512_shuffle_i64x2(a, b, 0b11'01'11'01));
}

// Eight 64-bit ORs at once: lane g of the result is the OR of the lanes of `v[g]`.
RTS_WIDE_TARGET RTS_INLINE __m512i or_across(const __m512i (&v)[8]) {
    __m512i pairs[4];
    for (int i = 0; i < 4; ++i)  // in each 128 bits: (v[2i]'s two lanes, v[2i+1]'s two lanes)
        pairs[i] = _mm512_or_si512(_mm512_unpacklo_epi64(v[2 * i], v[2 * i + 1]),
                                   _mm512_unpackhi_epi64(v[2 * i], v[2 * i + 1]));
    return or_halves(or_halves(pairs[0], pairs[1]), or_halves(pairs[2], pairs[3]));
}

RTS_WIDE_TARGET bool wide_chain(const char* base, uint64_t w, const uint64_t* starts,
                                uint16_t (&refs)[kWidePieces], int& pieces) {
    const uint64_t bits = starts[w];
    const __m512i lane = _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 6, 7);
    const __m512i even = _mm512_setr_epi64(0, 2, 4, 6, 8, 10, 12, 14);
    const __m512i first_ref = _mm512_setr_epi64(1, 3, 5, 7, 9, 11, 13, 15);
    const __m512i mark_and_kind = _mm512_set1_epi64(0xFF'FFFF'FFFF);
    const __m512i field_counts = _mm512_set1_epi64(static_cast<int64_t>(0xFFFF'0000'0000'0000));
    const __m512i one = _mm512_set1_epi64(1), two = _mm512_set1_epi64(2), byte = _mm512_set1_epi64(0xff);
    const __m512i too_long_bias = _mm512_set1_epi64(63 - kWideUnits);  // (units + bias) / 64 != 0 past kWideUnits
    const __m512i here = _mm512_set1_epi64(static_cast<int64_t>(bits));
    const __m512i next = _mm512_set1_epi64(static_cast<int64_t>(starts[w + 1]));
    __m512i in_word = lane;
    __m512i expected_header = _mm512_or_si512(_mm512_add_epi64(lane, _mm512_set1_epi64(static_cast<int64_t>(w * 64))),
                                              _mm512_set1_epi64(kConHeader));
    __m512i ref_words[8];
    __m512i bad = _mm512_setzero_si512();  // nonzero in the lanes of starts found wrong
    const char* p = base + w * 64 * 16;
    for (int g = 0; g < 8; ++g, p += 128) {
        const auto at = static_cast<__mmask8>(bits >> (8 * g));
        const __m512i header = _mm512_permutex2var_epi64(_mm512_loadu_si512(p), even, _mm512_loadu_si512(p + 64));
        // (header & mark_and_kind) ^ expected_header
        const __m512i wrong_header = _mm512_ternarylogic_epi64(header, mark_and_kind, expected_header, 0x6A);
        // Units of the object: (header + references + words + 1) / 2.
        const __m512i fields = _mm512_sad_epu8(_mm512_and_si512(header, field_counts), _mm512_setzero_si512());
        const __m512i units = _mm512_srli_epi64(_mm512_add_epi64(fields, two), 1);
        // The starts after the object's own: the first where it ends.
        const __m512i after = _mm512_xor_si512(_mm512_shrdv_epi64(here, next, in_word), one);
        const __m512i first_after = _mm512_and_si512(after, _mm512_sub_epi64(_mm512_setzero_si512(), after));
        const __m512i wrong_end = _mm512_xor_si512(first_after, _mm512_sllv_epi64(one, units));
        const __m512i too_long = _mm512_srli_epi64(_mm512_add_epi64(units, too_long_bias), 6);
        bad = _mm512_mask_ternarylogic_epi64(bad, at, wrong_header, wrong_end, 0xFE);  // bad | a | b
        bad = _mm512_mask_or_epi64(bad, at, bad, too_long);
        // The reference words of each object, from the piece's first word.
        const __m512i nptrs = _mm512_and_si512(_mm512_srli_epi64(header, 48), byte);
        ref_words[g] = _mm512_maskz_sllv_epi64(at, _mm512_sub_epi64(_mm512_sllv_epi64(one, nptrs), one), first_ref);
        in_word = _mm512_add_epi64(in_word, _mm512_set1_epi64(8));
        expected_header = _mm512_add_epi64(expected_header, _mm512_set1_epi64(8));
    }
    if (_mm512_test_epi64_mask(bad, bad) != 0) return false;
    alignas(64) uint64_t own[8];
    _mm512_store_si512(own, or_across(ref_words));
    uint64_t reach = 0;  // reference words from the piece's first word on, of objects begun before
    for (int g = 0; g < 8; ++g) {
        const uint64_t words = reach | own[g];
        refs[g] = static_cast<uint16_t>(words);
        reach = words >> 16;
    }
    for (pieces = 8; reach != 0; reach >>= 16) refs[pieces++] = static_cast<uint16_t>(reach);
    return true;
}

// The references at `refs` among the eight words at `p` that point at object starts held in
// `window` (the starts of eight words from `near`), moved; returns the others.
struct WideMove {
    __m512i window, from, moved;  // `from`: the old address of the window's first unit

    RTS_WIDE_TARGET RTS_INLINE __mmask8 eight(char* p, __mmask8 refs) const {
        // The words lie within the objects: all eight are read, and those not moved written back.
        const __m512i r = _mm512_loadu_si512(p);
        // In units from the window's first; a misaligned one is rotated far away.
        const __m512i to = _mm512_ror_epi64(_mm512_sub_epi64(r, from), 4);
        const __m512i index = _mm512_srli_epi64(to, 6);
        const __mmask8 near_enough = _mm512_mask_cmplt_epu64_mask(refs, index, _mm512_set1_epi64(8));
        const __m512i word = _mm512_permutexvar_epi64(index, window);
        const __mmask8 ok = _mm512_mask_test_epi64_mask(near_enough, _mm512_rorv_epi64(word, to), _mm512_set1_epi64(1));
        _mm512_storeu_si512(p, _mm512_mask_add_epi64(r, ok, r, moved));
        return ok;
    }
};

// Moves the references of the pieces that wide_chain found for word `w`, where each points
// at an object start near the word: the starts of the eight words from four before it are
// held in a vector, so each reference takes a permutation and a shift instead of a lookup of
// its own. Leaves in `refs` those left as they were (farther, elsewhere or damaged).
RTS_WIDE_TARGET void wide_move(char* base, uint64_t w, uint16_t (&refs)[kWidePieces], int pieces, uint64_t used,
                               uint64_t self, uint64_t moved, const uint64_t* starts) {
    // Only the starts of the objects: none at or past `used`.
    const uint64_t near = std::max<uint64_t>(w, 4) - 4;
    __m512i window;
    if ((near + 8) * 64 <= used) {
        window = _mm512_loadu_si512(starts + near);
    } else {
        alignas(64) uint64_t held[8];
        for (uint64_t j = 0; j < 8; ++j) held[j] = starts_below(starts, near + j, used);
        window = _mm512_load_si512(held);
    }
    const WideMove move{window,
                        _mm512_set1_epi64(static_cast<int64_t>(self + near * 64 * 16)),
                        _mm512_set1_epi64(static_cast<int64_t>(moved))};
    char* const piece = base + w * 64 * 16;
    for (int g = 0; g < pieces; ++g) {
        char* p = piece + g * 128;
        const __mmask8 lo = move.eight(p, static_cast<__mmask8>(refs[g]));
        const __mmask8 hi = move.eight(p + 64, static_cast<__mmask8>(refs[g] >> 8));
        refs[g] &= static_cast<uint16_t>(~_mm512_kunpackb(hi, lo));
    }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

bool has_wide_chain() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi2");
    return has;
}
#endif

// One walk over the block's objects, by the starts recorded in the block: each start must be where
// the object before it ends (the first right after the header, and the last object must end at
// the block's used bytes), and each object well formed with the mark of its own offset. So the
// starts are checked to be exactly the objects, and the objects' headers are read independently
// of each other. A reference into the block itself must point at a start, and is moved at once;
// the references into other blocks wait for the fix-up. The block's checksum is taken on the way.
class BlockWalk {
  public:
    BlockWalk(ImportBlock& b, std::vector<Slot*>& elsewhere)
        : used_(b.used / 16),
          self_(b.self),
          base_(b.chunk->bytes()),
          moved_(reinterpret_cast<uint64_t>(base_) - self_),
          starts_(b.starts),
          elsewhere_(elsewhere),
          sum_(base_, b.used) {}

    RTS_INLINE bool run(uint64_t checksum, bool wide) {
        for (uint64_t w = 0, words = (used_ + 63) / 64; w < words; ++w) {
            const uint64_t bits = starts_below(starts_, w, used_);
            const uint64_t reach = (w + 1) * 64 + kMaxConUnits;  // the objects starting here end before
            sum_.reach(reach * 16);
#ifdef RTS_WIDE_CHAIN
            // The word and the next lie within the objects, and the first start continues the chain.
            if (wide && (w + 2) * 64 <= used_ && bits != 0 && w * 64 + std::countr_zero(bits) == expected_) {
                uint16_t refs[kWidePieces];
                if (int pieces = 0; wide_chain(base_, w, starts_, refs, pieces)) {
                    wide_move(base_, w, refs, pieces, used_, self_, moved_, starts_);
                    if (!move_left(w, refs, pieces)) return false;
                    expected_ = (w + 1) * 64 + std::countr_zero(starts_[w + 1]);
                    continue;
                }
            }
#else
            (void)wide;
#endif
            // Far enough from the used end, no constructor starting here can run past it, and
            // its end need not be tested on its own.
            if (!(reach <= used_ ? walk_word<false>(w, bits) : walk_word<true>(w, bits))) return false;
        }
        return expected_ == used_ && sum_.finish() == checksum;
    }

  private:
    // The objects starting in word `w` of the starts, `bits`. The walk's state is kept in
    // locals: the stores to the references could otherwise alias it.
    template <bool kNearEnd>
    RTS_INLINE bool walk_word(uint64_t w, uint64_t bits) {
        const uint64_t used = used_, self = self_, moved = moved_;
        char* base = base_;
        const uint64_t* starts = starts_;
        uint64_t expected = expected_;
        for (; bits != 0; bits &= bits - 1) {
            const uint64_t at = w * 64 + std::countr_zero(bits);
            // Where the last object ended, the count (the mark of this offset) and the kind,
            // compared at once.
            uint64_t header;
            std::memcpy(&header, base + at * 16, 8);
            if (RTS_UNLIKELY((((header ^ (kConHeader | at)) << 24) | (at ^ expected)) != 0)) {
                expected = other_object(at, expected);
                if (expected == 0) return false;
                continue;
            }
            const uint64_t nptrs = (header >> 48) & 0xff;
            expected = at + (nptrs + (header >> 56) + 2) / 2;  // round16(con_size(...)) / 16
            if (kNearEnd && expected > used) return false;
            if (nptrs == 0) continue;  // a box of numbers
            if (!move_object(reinterpret_cast<Slot*>(base + at * 16 + 8), nptrs, used, self, moved, starts))
                return false;
        }
        expected_ = expected;
        return true;
    }

#ifdef RTS_WIDE_CHAIN
    // The references that wide_move left in the pieces of word `w`, one at a time.
    bool move_left(uint64_t w, const uint16_t (&refs)[kWidePieces], int pieces) {
        auto* words = reinterpret_cast<Slot*>(base_ + w * 64 * 16);
        for (int g = 0; g < pieces; ++g)
            for (uint32_t left = refs[g]; left != 0; left &= left - 1)
                if (!move_references(words + g * 16 + std::countr_zero(left), 1)) return false;
        return true;
    }
#endif

    // Checks and moves the `nptrs` references at `s`, an object's.
    RTS_INLINE bool move_object(Slot* s, uint64_t nptrs, uint64_t used, uint64_t self, uint64_t moved,
                                const uint64_t* starts) {
        if (nptrs == 2) {  // the commonest shape (a list's cell, a pair), both inside: one test
            const uint64_t to0 = unit_offset(s[0], self), to1 = unit_offset(s[1], self);
            if (RTS_LIKELY((to0 < used) & (to1 < used))) {
                if (RTS_UNLIKELY((start_at_unit(starts, to0) & start_at_unit(starts, to1)) == 0)) return false;
                s[0].word += moved;
                s[1].word += moved;
                return true;
            }
        }
        return move_references(s, nptrs);
    }

    // The offset of a reference in 16 bytes, rotated so that a misaligned one is out of the
    // block: one compare for both.
    static RTS_INLINE uint64_t unit_offset(Slot s, uint64_t self) { return std::rotr(s.word - self, 4); }

    bool move_references(Slot* s, uint64_t nptrs) {
        for (Slot* end = s + nptrs; s != end; ++s) {
            const uint64_t to = unit_offset(*s, self_);
            if (RTS_LIKELY(to < used_)) {
                if (RTS_UNLIKELY(start_at_unit(starts_, to) == 0)) return false;
                s->word += moved_;
            } else {
                elsewhere_.push_back(s);  // the fix-up finds its block, or none
            }
        }
        return true;
    }

    // An object at `at` that is no constructor: it must be a byte array where the last object
    // ended. Where it ends, or 0.
    RTS_COLD uint64_t other_object(uint64_t at, uint64_t expected) const {
        if (at != expected) return 0;
        const uint64_t size = bytes_size(base_, at * 16, used_ * 16);
        return size == 0 ? 0 : at + size / 16;
    }

    // Offsets are counted in units of 16 bytes (an object's mark holds its own), and a reference
    // is moved by adding the distance between the old and the new block.
    const uint64_t used_, self_;
    char* const base_;
    const uint64_t moved_;
    const uint64_t* const starts_;
    std::vector<Slot*>& elsewhere_;
    BlockSum sum_;
    uint64_t expected_ = sizeof(CompactBlockHeader) / 16;  // where the next object starts
};

// Where the processor has them, the walk takes its checksum with wider vectors and decodes with
// the newer bit instructions; the variant is chosen once, when the runtime is loaded. Not under
// the sanitizers: their runtimes are not set up yet when the loader picks the variant.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RTS_NO_LOAD_TIME_VARIANTS
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RTS_NO_LOAD_TIME_VARIANTS
#endif
#if defined(__x86_64__) && defined(__ELF__) && !defined(RTS_NO_LOAD_TIME_VARIANTS)
#define RTS_WIDE_VARIANT __attribute__((target_clones("default", "arch=x86-64-v3")))
#else
#define RTS_WIDE_VARIANT
#endif

RTS_WIDE_VARIANT bool walk_block(ImportBlock& b, std::vector<Slot*>& elsewhere, uint64_t checksum, bool wide) {
    return BlockWalk(b, elsewhere).run(checksum, wide);
}

// Checks and fixes block `index` of `imp`, which the caller has filled; a failure marks the import
// as damaged.
void check_block(Import& imp, size_t index) {
    if (imp.damaged) return;
    ImportBlock& b = imp.blocks[index];
    if (!check_header(b.chunk, index)) {
        imp.damaged = true;
        return;
    }
    CompactBlockHeader* h = b.chunk->block();
    b.self = h->self;
    b.used = h->used;
    b.starts = starts_of(b.chunk->bytes(), h->size);
#ifdef RTS_WIDE_CHAIN
    const bool wide = has_wide_chain();
#else
    const bool wide = false;
#endif
    if (!walk_block(b, imp.elsewhere, h->checksum, wide)) {
        imp.damaged = true;
        return;
    }
    h->self = reinterpret_cast<uint64_t>(b.chunk->bytes());
}

// The new address of `ref`, a reference of the exporting process, or null when it is no object
// start of the region. `sorted` holds the blocks by old address, their ranges apart.
Object* translate(const std::vector<const ImportBlock*>& sorted, uint64_t ref) {
    auto it = std::upper_bound(sorted.begin(), sorted.end(), ref,
                               [](uint64_t a, const ImportBlock* b) { return a < b->self; });
    if (it == sorted.begin()) return nullptr;
    const ImportBlock& b = **--it;
    const uint64_t off = ref - b.self;
    if (off >= b.used || off % 16 != 0 || !starts_at(b.starts, off)) return nullptr;
    return reinterpret_cast<Object*>(b.chunk->bytes() + off);
}

// Moves the references between blocks; the root's new address, or null.
Object* finish_import(Import& imp, uint64_t root) {
    std::vector<const ImportBlock*> sorted;
    sorted.reserve(imp.blocks.size());
    for (const ImportBlock& b : imp.blocks) sorted.push_back(&b);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->self < b->self; });
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i - 1]->self + sorted[i - 1]->used > sorted[i]->self) return nullptr;
    for (Slot* s : imp.elsewhere) {
        Object* to = translate(sorted, s->word);
        if (to == nullptr) return nullptr;
        s->ref = to;
    }
    return translate(sorted, root);
}

void forget_import(Import* imp) {
    std::lock_guard g(imports_lock);
    imports().erase(imp);
}

}  // namespace

void compact_retain(Object* o) { retain_region(chunk_of_object(o)->region); }
void compact_release(Object* o) { release_region(chunk_of_object(o)->region); }

uint64_t compact_block_checksum(const CompactBlockHeader* h) {
    return checksum(reinterpret_cast<const char*>(h + 1), h->used - sizeof(CompactBlockHeader));
}

uint64_t compact_live_bytes() { return live_block_bytes.load(std::memory_order_relaxed); }

Value compactNew_hash(uint64_t block_size) {
    auto s = std::make_unique<RegionState>();
    s->block_size = std::clamp<uint64_t>(round16(block_size), 4096, kMaxBlock);
    add_block(*s, 0);
    return region_value(s.release());
}

Value compactAdd_hash(const Value& region, const Value& value) { return add(region, value, false); }
Value compactAddWithSharing_hash(const Value& region, const Value& value) { return add(region, value, true); }

int64_t compactContains_hash(const Value& region, const Value& value) {
    return region_holding(value.get()) == &state_of(region);
}

int64_t compactContainsAny_hash(const Value& value) { return region_holding(value.get()) != nullptr; }

uint64_t compactSize_hash(const Value& region) {
    RegionState& r = state_of(region);
    std::lock_guard g(r.lock);
    return r.total;
}

void compactResize_hash(const Value& region, uint64_t block_size) {
    RegionState& r = state_of(region);
    std::lock_guard g(r.lock);
    r.block_size = std::clamp<uint64_t>(round16(block_size), 4096, kMaxBlock);
}

namespace {
std::pair<void*, uint64_t> exported(Chunk* c) {
    if (c == nullptr) return {nullptr, 0};
    c->block()->checksum = compact_block_checksum(c->block());
    return {c->bytes(), c->capacity};
}
}  // namespace

std::pair<void*, uint64_t> compactGetFirstBlock_hash(const Value& region) {
    RegionState& r = state_of(region);
    std::lock_guard g(r.lock);
    return exported(r.first);
}

std::pair<void*, uint64_t> compactGetNextBlock_hash(const Value& region, void* block) {
    RegionState& r = state_of(region);
    std::lock_guard g(r.lock);
    Chunk* c = chunk_of_block(block);
    RTS_ASSERT(c->region == &r, "compactGetNextBlock#: not a block of this region");
    return exported(c->next);
}

void* compactAllocateBlock_hash(uint64_t size, void* previous) {
    Import* imp;
    if (previous == nullptr) {
        auto fresh = std::make_unique<Import>();
        std::lock_guard g(imports_lock);
        imports().insert(fresh.get());
        imp = fresh.release();
    } else {
        imp = chunk_of_block(previous)->import;
        RTS_ASSERT(imp != nullptr && imp->blocks.back().chunk == chunk_of_block(previous),
                   "compactAllocateBlock#: not the last new block");
        check_block(*imp, imp->blocks.size() - 1);
    }
    Chunk* c = new_chunk(size);
    c->import = imp;
    if (previous != nullptr) chunk_of_block(previous)->next = c;
    imp->blocks.push_back(ImportBlock{c});
    return c->bytes();
}

std::pair<Value, Object*> compactFixupPointers_hash(void* first, uint64_t root) {
    Import* imp = chunk_of_block(first)->import;
    RTS_ASSERT(imp != nullptr && imp->blocks.front().chunk == chunk_of_block(first),
               "compactFixupPointers#: not a new block");
    forget_import(imp);
    std::unique_ptr<Import> owned(imp);
    check_block(*imp, imp->blocks.size() - 1);
    Object* new_root = imp->damaged ? nullptr : finish_import(*imp, root);
    if (new_root == nullptr) {
        for (ImportBlock& b : imp->blocks) free_chunk(b.chunk);
        return {Value(), nullptr};
    }
    auto s = std::make_unique<RegionState>();
    for (ImportBlock& b : imp->blocks) {
        b.chunk->import = nullptr;
        append_chunk(*s, b.chunk);
    }
    return {region_value(s.release()), new_root};
}

}  // namespace rts
