// Compact regions (see rts/Compact.h).
#include "rts/Compact.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "rts/Bytes.h"
#include "rts/Eval.h"

namespace rts {

namespace {

struct RegionState;

// What the runtime keeps in front of each block; never exported.
struct alignas(16) Chunk {
    Chunk* next;
    RegionState* region;  // null while an import is being filled
    uint64_t capacity;    // bytes of the block after this prefix
    uint64_t unused;
    CompactBlockHeader* block() { return reinterpret_cast<CompactBlockHeader*>(this + 1); }
    char* bytes() { return reinterpret_cast<char*>(this + 1); }
};
static_assert(sizeof(Chunk) == 32);

Chunk* chunk_of_block(void* block) { return static_cast<Chunk*>(block) - 1; }

// A region's state lives as long as the process: its blocks are never freed, so references into
// them stay valid whatever happens to the region object.
struct RegionState {
    std::mutex lock;
    Chunk* first = nullptr;
    Chunk* last = nullptr;
    uint64_t block_size;
    uint64_t total = 0;
};

struct RegionObject {
    OpaqueObject head;
    RegionState* state;
};

void destroy_region(Object*) {}
constexpr OpaqueInfo region_info{&destroy_region, sizeof(RegionObject), "Compact#"};

RegionState& state_of(const Value& region) {
    RTS_ASSERT(region && region->kind == Kind::Opaque &&
                   reinterpret_cast<OpaqueObject*>(region.get())->info == &region_info,
               "not a compact region");
    return *reinterpret_cast<RegionObject*>(region.get())->state;
}

Value region_value(RegionState* s) {
    void* mem = allocate_bytes(sizeof(RegionObject));
    auto* r = new (mem) RegionObject{OpaqueObject{Object(1, Kind::Opaque, 0, 0, 0), &region_info}, s};
    return Value::adopt(&r->head.header);
}

// Every region block by address, for the membership tests.
std::mutex blocks_lock;
std::map<uintptr_t, Chunk*>& all_blocks() {
    static auto* m = new std::map<uintptr_t, Chunk*>;
    return *m;
}
std::unordered_set<Chunk*>& importing() {
    static auto* s = new std::unordered_set<Chunk*>;
    return *s;
}

Chunk* chunk_containing(const void* p) {
    const auto a = reinterpret_cast<uintptr_t>(p);
    std::lock_guard g(blocks_lock);
    auto& m = all_blocks();
    auto it = m.upper_bound(a);
    if (it == m.begin()) return nullptr;
    --it;
    Chunk* c = it->second;
    return a < it->first + c->block()->used ? c : nullptr;
}

constexpr uint64_t round16(uint64_t n) { return (n + 15) & ~uint64_t{15}; }
constexpr uint64_t kMaxBlock = uint64_t{1} << 46;

Chunk* new_chunk(uint64_t capacity) {
    if (capacity > kMaxBlock) raise(RtsError::HeapOverflow);
    void* mem = std::aligned_alloc(16, sizeof(Chunk) + round16(capacity));
    if (mem == nullptr) raise(RtsError::HeapOverflow);
    return new (mem) Chunk{nullptr, nullptr, capacity, 0};
}

void register_chunk(Chunk* c) {
    std::lock_guard g(blocks_lock);
    all_blocks()[reinterpret_cast<uintptr_t>(c->bytes())] = c;
}

Chunk* add_block(RegionState& r, uint64_t at_least) {
    Chunk* c = new_chunk(round16(std::max(r.block_size, at_least + sizeof(CompactBlockHeader))));
    c->region = &r;
    const uint64_t index = r.last ? r.last->block()->index + 1 : 0;
    *c->block() = CompactBlockHeader{kCompactMagic, reinterpret_cast<uint64_t>(c->bytes()),
                                     c->capacity,   sizeof(CompactBlockHeader),
                                     index,         0};
    (r.last ? r.last->next : r.first) = c;
    r.last = c;
    r.total += c->capacity;
    register_chunk(c);
    return c;
}

Object* region_alloc(RegionState& r, uint64_t size) {
    size = round16(size);
    Chunk* c = r.last;
    if (c == nullptr || c->capacity - c->block()->used < size) c = add_block(r, size);
    CompactBlockHeader* h = c->block();
    auto* o = reinterpret_cast<Object*>(c->bytes() + h->used);
    h->used += size;
    return o;
}

uint64_t checksum(const char* p, uint64_t n) {
    uint64_t lanes[4] = {0x9E3779B97F4A7C15, 0xC2B2AE3D27D4EB4F, 0x165667B19E3779F9, 0x27D4EB2F165667C5};
    for (uint64_t i = 0; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        uint64_t& l = lanes[(i >> 3) & 3];
        l = std::rotl(l ^ w, 31) * 0x9FB21C651E98DF25;
    }
    return lanes[0] ^ std::rotl(lanes[1], 16) ^ std::rotl(lanes[2], 32) ^ std::rotl(lanes[3], 48) ^ n;
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
        if (Chunk* c = chunk_containing(o); c != nullptr && c->region == &region_) return o;
        if (sharing_) {
            if (auto it = copies_.find(o); it != copies_.end()) return it->second;
        }
        Object* copy = o->kind == Kind::Con ? copy_con(v) : copy_bytes(v);
        if (sharing_) copies_.emplace(o, copy);
        return copy;
    }

    Object* copy_con(const Value& v) {
        Object* o = v.get();
        const size_t size = con_size(o->nptrs, o->nwords);
        Object* copy = region_alloc(region_, size);
        std::memcpy(static_cast<void*>(copy), o, size);
        copy->rc.store(0, std::memory_order_relaxed);
        // Until filled, each reference points at the copy itself, so a copy interrupted by an
        // exception leaves only well-formed (unreachable) objects behind.
        Slot* slots = con_slots(copy);
        for (uint32_t i = 0; i < o->nptrs; ++i) {
            slots[i].ref = copy;
            pending_.push_back(Pending{field(v, i), &slots[i]});
        }
        return copy;
    }

    Object* copy_bytes(const Value& v) {
        if (v->kind != Kind::Bytes || bytes_mutable(v)) raise(RtsError::CompactionFailed);
        const size_t size = sizeof(BytesObject) + bytes_length(v);
        Object* copy = region_alloc(region_, size);
        std::memcpy(static_cast<void*>(copy), v.get(), size);
        copy->rc.store(0, std::memory_order_relaxed);
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
    return Value::adopt(Copier(r, sharing).copy(value));
}

// ---------------------------------------------------------------------------------------------
// Import checks.

struct ImportBlock {
    Chunk* chunk;
    uint64_t self, used;
    std::vector<bool> starts;  // object starts, one flag per 16 bytes after the header
};

bool check_header(Chunk* c, uint64_t index) {
    if (c->capacity < sizeof(CompactBlockHeader)) return false;
    const CompactBlockHeader* h = c->block();
    return h->magic == kCompactMagic && h->size == c->capacity && h->index == index &&
           h->used >= sizeof(CompactBlockHeader) && h->used <= h->size && h->used % 16 == 0 &&
           h->self % 16 == 0 && h->self != 0 && h->self + h->used > h->self &&
           h->checksum == compact_block_checksum(h);
}

// The size of the well-formed object at `off`, or 0.
uint64_t object_size(const char* base, uint64_t off, uint64_t used) {
    const auto* o = reinterpret_cast<const Object*>(base + off);
    if (o->rc.load(std::memory_order_relaxed) != 0) return 0;
    uint64_t size;
    if (o->kind == Kind::Con) {
        size = round16(con_size(o->nptrs, o->nwords));
    } else if (o->kind == Kind::Bytes && o->tag == 0 && o->nptrs == 0 && o->nwords == 0 && used - off >= 16) {
        const uint64_t length = reinterpret_cast<const BytesObject*>(o)->length;
        if (length > used) return 0;
        size = round16(sizeof(BytesObject) + length);
    } else {
        return 0;
    }
    return size <= used - off ? size : 0;
}

bool mark_objects(ImportBlock& b) {
    const char* base = b.chunk->bytes();
    b.starts.assign((b.used - sizeof(CompactBlockHeader)) / 16, false);
    for (uint64_t off = sizeof(CompactBlockHeader); off < b.used;) {
        const uint64_t size = object_size(base, off, b.used);
        if (size == 0) return false;
        b.starts[(off - sizeof(CompactBlockHeader)) / 16] = true;
        off += size;
    }
    return true;
}

// The new address of the exporting process's reference `ref`, or null when it is no object start
// of the region. `blocks` is sorted by old address.
Object* translate(const std::vector<ImportBlock*>& blocks, uint64_t ref) {
    auto it = std::upper_bound(blocks.begin(), blocks.end(), ref,
                               [](uint64_t a, const ImportBlock* b) { return a < b->self; });
    if (it == blocks.begin()) return nullptr;
    const ImportBlock& b = **--it;
    const uint64_t off = ref - b.self;
    if (off >= b.used || off < sizeof(CompactBlockHeader) || off % 16 != 0) return nullptr;
    if (!b.starts[(off - sizeof(CompactBlockHeader)) / 16]) return nullptr;
    return reinterpret_cast<Object*>(b.chunk->bytes() + off);
}

bool fix_references(ImportBlock& b, const std::vector<ImportBlock*>& sorted) {
    char* base = b.chunk->bytes();
    for (uint64_t off = sizeof(CompactBlockHeader); off < b.used;) {
        auto* o = reinterpret_cast<Object*>(base + off);
        if (o->kind == Kind::Con) {
            Slot* s = con_slots(o);
            for (uint32_t i = 0; i < o->nptrs; ++i) {
                Object* to = translate(sorted, reinterpret_cast<uint64_t>(s[i].ref));
                if (to == nullptr) return false;
                s[i].ref = to;
            }
        }
        off += object_size(base, off, b.used);
    }
    return true;
}

// Checks the chain and fixes it up; the root's new address, or null.
Object* check_and_fix(std::vector<ImportBlock>& blocks, uint64_t root) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        ImportBlock& b = blocks[i];
        if (!check_header(b.chunk, i)) return nullptr;
        b.self = b.chunk->block()->self;
        b.used = b.chunk->block()->used;
        if (!mark_objects(b)) return nullptr;
    }
    std::vector<ImportBlock*> sorted;
    for (ImportBlock& b : blocks) sorted.push_back(&b);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->self < b->self; });
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i - 1]->self + sorted[i - 1]->used > sorted[i]->self) return nullptr;
    Object* new_root = translate(sorted, root);
    if (new_root == nullptr) return nullptr;
    // Translation reads only the old addresses kept in `blocks`, so fixing one block before the
    // next is checked is safe; a failure part way gives all blocks back.
    for (ImportBlock& b : blocks)
        if (!fix_references(b, sorted)) return nullptr;
    return new_root;
}

}  // namespace

uint64_t compact_block_checksum(const CompactBlockHeader* h) {
    return checksum(reinterpret_cast<const char*>(h + 1), h->used - sizeof(CompactBlockHeader));
}

Value compactNew_hash(uint64_t block_size) {
    auto* s = new RegionState;
    s->block_size = std::clamp<uint64_t>(round16(block_size), 4096, kMaxBlock);
    add_block(*s, 0);
    return region_value(s);
}

Value compactAdd_hash(const Value& region, const Value& value) { return add(region, value, false); }
Value compactAddWithSharing_hash(const Value& region, const Value& value) { return add(region, value, true); }

int64_t compactContains_hash(const Value& region, const Value& value) {
    Chunk* c = chunk_containing(value.get());
    return c != nullptr && c->region == &state_of(region);
}

int64_t compactContainsAny_hash(const Value& value) { return chunk_containing(value.get()) != nullptr; }

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
    Chunk* c = new_chunk(size);
    std::lock_guard g(blocks_lock);
    if (previous != nullptr) {
        Chunk* p = chunk_of_block(previous);
        RTS_ASSERT(importing().count(p) != 0 && p->next == nullptr,
                   "compactAllocateBlock#: not the last new block");
        p->next = c;
    }
    importing().insert(c);
    return c->bytes();
}

std::pair<Value, Object*> compactFixupPointers_hash(void* first, uint64_t root) {
    std::vector<ImportBlock> blocks;
    {
        std::lock_guard g(blocks_lock);
        Chunk* c = chunk_of_block(first);
        RTS_ASSERT(importing().count(c) != 0, "compactFixupPointers#: not a new block");
        for (; c != nullptr; c = c->next) {
            importing().erase(c);
            blocks.push_back(ImportBlock{c, 0, 0, {}});
        }
    }
    Object* new_root = check_and_fix(blocks, root);
    if (new_root == nullptr) {
        for (ImportBlock& b : blocks) std::free(b.chunk);
        return {Value(), nullptr};
    }
    auto* s = new RegionState;
    s->block_size = 4096;
    for (ImportBlock& b : blocks) {
        Chunk* c = b.chunk;
        c->region = s;
        c->block()->self = reinterpret_cast<uint64_t>(c->bytes());
        s->total += c->capacity;
        (s->last ? s->last->next : s->first) = c;
        s->last = c;
        register_chunk(c);
    }
    return {region_value(s), new_root};
}

}  // namespace rts
