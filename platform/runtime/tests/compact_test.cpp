// Compact regions: deep copies with and without sharing, refusals, membership, export and import
// within the process and in another process, and imports of damaged or forged bytes.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <unordered_set>
#include <vector>

#include "RuntimeTest.h"
#include "rts/Compact.h"
#include "rts/MVar.h"
#include "rts/Weak.h"

namespace {

using namespace rts_test;
using rts::Object;

Value bytes_of(const std::string& s) {
    Value b = rts::byte_array_from(s.data(), s.size());
    rts::freeze_byte_array(b);
    return b;
}

// A binary tree of depth d with lazy children, a word and a byte array in every node.
Value tree(int d, int64_t n = 1) {
    if (d == 0) return rts::con(0);
    Value left = rts::delay([=] { return tree(d - 1, 2 * n); });
    Value right = rts::delay([=] { return tree(d - 1, 2 * n + 1); });
    return rts::con_words<1>(1, {static_cast<uint64_t>(n)}, std::move(left), std::move(right),
                             bytes_of("node " + std::to_string(n)));
}

// A list of n boxed numbers, built without recursion.
Value list(int64_t n) {
    Value l = rts::con(0);
    for (int64_t i = n; i > 0; --i) l = rts::con(1, box(i), std::move(l));
    return l;
}

// Structural equality after forcing, without recursion.
bool same_value(const Value& a, const Value& b) {
    std::vector<std::pair<Value, Value>> todo{{a, b}};
    while (!todo.empty()) {
        auto [x0, y0] = std::move(todo.back());
        todo.pop_back();
        const Value& x = rts::force(x0);
        const Value& y = rts::force(y0);
        if (x->kind != y->kind || x->tag != y->tag || x->nptrs != y->nptrs) return false;
        if (x->kind == rts::Kind::Bytes) {
            if (rts::bytes_length(x) != rts::bytes_length(y) ||
                std::memcmp(rts::bytes_data(x), rts::bytes_data(y), rts::bytes_length(x)) != 0)
                return false;
            continue;
        }
        if (x->nwords != y->nwords) return false;
        for (uint32_t i = 0; i < x->nwords; ++i)
            if (rts::word(x, i) != rts::word(y, i)) return false;
        for (uint32_t i = 0; i < x->nptrs; ++i) todo.emplace_back(rts::field(x, i), rts::field(y, i));
    }
    return true;
}

// Every object reachable from `v` lies in `region` and carries the region's mark; visits each
// object once.
void expect_closed(const Value& region, const Value& v) {
    std::unordered_set<Object*> seen;
    std::vector<Object*> todo{v.get()};
    while (!todo.empty()) {
        Object* o = todo.back();
        todo.pop_back();
        if (!seen.insert(o).second) continue;
        ASSERT_EQ(rts::compactContains_hash(region, Value::share(o)), 1);
        ASSERT_GE(o->rc.load(), rts::kCompactCount);
        if (o->kind == rts::Kind::Con)
            for (uint32_t i = 0; i < o->nptrs; ++i) todo.push_back(rts::con_slots(o)[i].ref);
    }
}

// The objects reachable from `v` lie apart: none reaches into the next one.
void expect_apart(const Value& v) {
    std::unordered_set<Object*> seen;
    std::vector<Object*> todo{v.get()};
    std::vector<std::pair<uintptr_t, uintptr_t>> extents;
    while (!todo.empty()) {
        Object* o = todo.back();
        todo.pop_back();
        if (!seen.insert(o).second) continue;
        const uintptr_t at = reinterpret_cast<uintptr_t>(o);
        if (o->kind == rts::Kind::Bytes) {
            extents.emplace_back(at, at + sizeof(rts::BytesObject) + reinterpret_cast<rts::BytesObject*>(o)->length);
            continue;
        }
        extents.emplace_back(at, at + rts::con_size(o->nptrs, o->nwords));
        for (uint32_t i = 0; i < o->nptrs; ++i) todo.push_back(rts::con_slots(o)[i].ref);
    }
    std::sort(extents.begin(), extents.end());
    for (size_t i = 1; i < extents.size(); ++i) ASSERT_LE(extents[i - 1].second, extents[i].first);
}

struct Exported {
    std::vector<std::string> blocks;
    uint64_t root;
};

Exported export_region(const Value& region, const Value& root) {
    Exported e{{}, reinterpret_cast<uint64_t>(root.get())};
    for (auto b = rts::compactGetFirstBlock_hash(region); b.first != nullptr;
         b = rts::compactGetNextBlock_hash(region, b.first))
        e.blocks.emplace_back(static_cast<const char*>(b.first), b.second);
    return e;
}

// `v` added with its sharing to a region of small blocks, exported: blocks enough to be dropped,
// swapped and damaged one at a time.
Exported exported_in_blocks(const Value& v) {
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAddWithSharing_hash(region, v);
    Exported e = export_region(region, root);
    EXPECT_GE(e.blocks.size(), 3u);
    return e;
}

// The imported (region, root), or a null region.
std::pair<Value, Value> import_region(const Exported& e) {
    void* first = nullptr;
    void* previous = nullptr;
    for (const std::string& b : e.blocks) {
        void* block = rts::compactAllocateBlock_hash(b.size(), previous);
        std::memcpy(block, b.data(), b.size());
        if (first == nullptr) first = block;
        previous = block;
    }
    auto [region, root] = rts::compactFixupPointers_hash(first, e.root);
    if (!region) return {};
    return {std::move(region), Value::share(root)};
}

rts::CompactBlockHeader* header_of(const std::string& block) {
    return reinterpret_cast<rts::CompactBlockHeader*>(const_cast<char*>(block.data()));
}
void reseal(std::string& block) {
    header_of(block)->checksum = rts::compact_block_checksum(header_of(block));
}

// The region still takes `v`, and its bytes still import with the copy as root.
void expect_still_usable(const Value& region, const Value& v) {
    Value copy = rts::compactAdd_hash(region, v);
    auto [imported, root] = import_region(export_region(region, copy));
    ASSERT_TRUE(imported);
    EXPECT_TRUE(same_value(root, v));
}

TEST(Compact, CopyHoldsTheEvaluatedValueAndLeavesTheSourceOutside) {
    Value region = rts::compactNew_hash(4096);
    Value source = tree(8);
    Value copy = rts::compactAdd_hash(region, source);
    EXPECT_TRUE(same_value(copy, source));
    expect_closed(region, copy);
    EXPECT_EQ(rts::compactContains_hash(region, source), 0);
    EXPECT_EQ(rts::compactContainsAny_hash(source), 0);
    EXPECT_EQ(rts::compactContainsAny_hash(copy), 1);
    EXPECT_GT(rts::compactSize_hash(region), 4096u);  // the tree needed more than one block

    // Adding a value already in the region gives it back; a second region does not hold it.
    EXPECT_EQ(rts::compactAdd_hash(region, copy).get(), copy.get());
    Value other = rts::compactNew_hash(4096);
    EXPECT_EQ(rts::compactContains_hash(other, copy), 0);
    Value again = rts::compactAdd_hash(other, copy);
    EXPECT_NE(again.get(), copy.get());
    EXPECT_TRUE(same_value(again, source));

    // The copy outlives the source and the region object.
    source = Value();
    region = Value();
    EXPECT_TRUE(same_value(copy, tree(8)));
}

// A region lives while anything refers to it or into it, and goes with all its blocks after the
// last reference: the handle, a root, an inner object held by a value or by a heap object, a weak
// reference keyed on an inner object. Under AddressSanitizer a block freed too early shows as a
// use after free, one never freed as a leak.
TEST(Compact, RegionIsFreedWithItsLastReference) {
    const uint64_t before = rts::compact_live_bytes();
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAdd_hash(region, tree(6));
    EXPECT_GT(rts::compact_live_bytes(), before + 4096);  // more than one block
    Value inner = rts::field(root, 1);                    // the right subtree
    region = Value();
    root = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    EXPECT_TRUE(same_value(inner, tree(5, 3)));

    Value holder = rts::con(0, rts::field(inner, 2), box(1));  // a heap object holding a byte array
    Value weak = rts::mkWeakNoFinalizer_hash(rts::field(inner, 0), box(5));
    inner = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rts::bytes_data(rts::field(holder, 0))), 6),
              "node 3");
    holder = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    EXPECT_EQ(unbox(rts::deRefWeak_hash(weak)), 5);
    weak = Value();
    EXPECT_EQ(rts::compact_live_bytes(), before);

    // A region that nothing but its handle ever held, and an imported one.
    rts::compactAdd_hash(rts::compactNew_hash(4096), tree(4));
    EXPECT_EQ(rts::compact_live_bytes(), before);
    {
        Value r = rts::compactNew_hash(4096);
        auto [imported, value] = import_region(export_region(r, rts::compactAdd_hash(r, tree(6))));
        ASSERT_TRUE(imported);
        r = Value();
        imported = Value();
        EXPECT_TRUE(same_value(value, tree(6)));
    }
    EXPECT_EQ(rts::compact_live_bytes(), before);
}

TEST(Compact, DeepValuesAreCopiedWithoutRecursion) {
    Value region = rts::compactNew_hash(1 << 20);
    Value copy = rts::compactAdd_hash(region, list(1000000));
    EXPECT_TRUE(same_value(copy, list(1000000)));
}

TEST(Compact, SharingVariantKeepsSharingAndCycles) {
    Value shared = tree(3);
    Value pair = rts::con(0, shared, shared);
    Value plain_region = rts::compactNew_hash(4096), sharing_region = rts::compactNew_hash(4096);
    Value plain = rts::compactAdd_hash(plain_region, pair);
    Value kept = rts::compactAddWithSharing_hash(sharing_region, pair);
    EXPECT_NE(rts::field(plain, 0).get(), rts::field(plain, 1).get());
    EXPECT_EQ(rts::field(kept, 0).get(), rts::field(kept, 1).get());
    EXPECT_TRUE(same_value(plain, pair));
    EXPECT_TRUE(same_value(kept, pair));
}

// A two-cell cycle 1, 2, 1, 2, ... built from static cells (uncounted, so the test leaks nothing).
extern const rts::StaticCon<1, 1> cycle_b;
constinit const rts::StaticCon<1, 1> cycle_a(1, rts::ref_slot(&cycle_b.header), rts::word_slot(1));
constinit const rts::StaticCon<1, 1> cycle_b(1, rts::ref_slot(&cycle_a.header), rts::word_slot(2));

TEST(Compact, CycleSurvivesExportAndImport) {
    Value region = rts::compactNew_hash(4096);
    Value copy = rts::compactAddWithSharing_hash(region, cycle_a.value());
    const Value& second = rts::field(copy, 0);
    EXPECT_EQ(rts::word(second, 0), 2u);
    EXPECT_EQ(rts::field(second, 0).get(), copy.get());
    EXPECT_TRUE(rts::compactContains_hash(region, second));

    auto [imported, root] = import_region(export_region(region, copy));
    ASSERT_TRUE(imported);
    EXPECT_EQ(rts::word(root, 0), 1u);
    EXPECT_EQ(rts::word(rts::field(root, 0), 0), 2u);
    EXPECT_EQ(rts::field(rts::field(root, 0), 0).get(), root.get());
    expect_closed(imported, root);
}

TEST(Compact, RefusesFunctionsMutableObjectsWeakReferencesAndThreads) {
    Value region = rts::compactNew_hash(4096);
    const std::vector<std::pair<const char*, Value>> refused = {
        {"function", rts::fun<1>([](const Value& x) { return x; })},
        {"mutable reference", rts::new_mut_var(box(1))},
        {"mutable byte array", rts::new_byte_array(8)},
        {"mailbox", rts::newMVar_hash()},
        {"weak reference", rts::mkWeak_hash(box(1), box(2), Value())},
        {"thread identity", rts::my_thread_id()},
    };
    for (const auto& [what, v] : refused) {
        // Deep inside a value: the objects copied before the refusal stay well formed.
        Value holder = rts::con(1, box(7), rts::con(1, v, rts::con(0)));
        rts::Exception e = raised_by([&] { rts::compactAdd_hash(region, holder); });
        EXPECT_EQ(e.kind(), rts::RtsError::CompactionFailed) << what;
    }
    expect_still_usable(region, list(10));
}

TEST(Compact, ExceptionWhileEvaluatingLeavesTheRegionUsable) {
    Value region = rts::compactNew_hash(4096);
    Value failing =
        rts::con(1, box(1), rts::delay([]() -> Value { rts::raise(rts::RtsError::DivideByZero); }));
    EXPECT_EQ(raised_by([&] { rts::compactAdd_hash(region, failing); }).kind(), rts::RtsError::DivideByZero);
    expect_still_usable(region, tree(4));
}

TEST(Compact, ResizeChangesTheSizeOfLaterBlocks) {
    Value region = rts::compactNew_hash(4096);
    const uint64_t before = rts::compactSize_hash(region);
    rts::compactResize_hash(region, 1 << 16);
    rts::compactAdd_hash(region, list(1000));  // 32 bytes a cell: more than the first block
    EXPECT_EQ(rts::compactSize_hash(region), before + (1 << 16));
}

TEST(Compact, ImportInAnotherProcess) {
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAdd_hash(region, tree(7));
    const Exported e = export_region(region, root);
    ASSERT_GT(e.blocks.size(), 1u);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child knows the shape of the blocks and reads their bytes from the pipe.
        close(fds[1]);
        Exported got{std::vector<std::string>(e.blocks.size()), e.root};
        for (size_t i = 0; i < got.blocks.size(); ++i) {
            got.blocks[i].resize(e.blocks[i].size());
            for (size_t done = 0; done < got.blocks[i].size();) {
                const ssize_t n = read(fds[0], got.blocks[i].data() + done, got.blocks[i].size() - done);
                if (n <= 0) _exit(2);
                done += static_cast<size_t>(n);
            }
        }
        auto [imported, value] = import_region(got);
        _exit(imported && same_value(value, tree(7)) ? 0 : 1);
    }
    close(fds[0]);
    for (const std::string& b : e.blocks) ASSERT_EQ(write(fds[1], b.data(), b.size()), ssize_t(b.size()));
    close(fds[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Compact, ForgedBytesAreRefused) {
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAdd_hash(region, rts::con(1, bytes_of("abc"), list(3)));
    const Exported good = export_region(region, root);
    ASSERT_EQ(good.blocks.size(), 1u);
    auto object = [&](std::string& b, size_t off) { return reinterpret_cast<Object*>(b.data() + off); };
    constexpr size_t kFirst = sizeof(rts::CompactBlockHeader);  // the root's pair
    const size_t kBytes =
        reinterpret_cast<uint64_t>(rts::field(root, 0).get()) - header_of(good.blocks[0])->self;
    const std::vector<std::pair<const char*, std::function<void(Exported&)>>> forgeries = {
        {"reference outside the region",
         [&](Exported& e) { rts::con_slots(object(e.blocks[0], kFirst))[0].ref = root.get() - 4096; }},
        {"reference inside an object",
         [&](Exported& e) { rts::con_slots(object(e.blocks[0], kFirst))[0].word += 16; }},
        {"null reference",
         [&](Exported& e) { rts::con_slots(object(e.blocks[0], kFirst))[1].ref = nullptr; }},
        {"counted object", [&](Exported& e) { object(e.blocks[0], kFirst)->rc = 1; }},
        {"function kind", [&](Exported& e) { object(e.blocks[0], kFirst)->kind = rts::Kind::Fun; }},
        {"mutable byte array", [&](Exported& e) { object(e.blocks[0], kBytes)->tag = 1; }},
        {"object past the end", [&](Exported& e) { object(e.blocks[0], kFirst)->nwords = 255; }},
        {"byte array past the end",
         [&](Exported& e) {
             reinterpret_cast<rts::BytesObject*>(object(e.blocks[0], kBytes))->length = 1 << 20;
         }},
        {"root outside", [&](Exported& e) { e.root += 8; }},
        {"used beyond the size",
         [&](Exported& e) { header_of(e.blocks[0])->used = header_of(e.blocks[0])->size + 16; }},
        {"wrong index", [&](Exported& e) { header_of(e.blocks[0])->index = 1; }},
        {"foreign magic", [&](Exported& e) { header_of(e.blocks[0])->magic ^= 1; }},
        {"truncated block", [&](Exported& e) { e.blocks[0].resize(40); }},
        {"block too short", [&](Exported& e) { e.blocks[0].resize(e.blocks[0].size() - 16); }},
    };
    for (const auto& [what, forge] : forgeries) {
        Exported e = good;
        forge(e);
        // Resealed, so the checksum does not hide the forgery from the other checks.
        if (e.blocks[0].size() >= sizeof(rts::CompactBlockHeader) &&
            header_of(e.blocks[0])->used <= e.blocks[0].size())
            reseal(e.blocks[0]);
        EXPECT_FALSE(import_region(e).first) << what;
    }
    // The unforged bytes, resealed the same way, import.
    Exported e = good;
    reseal(e.blocks[0]);
    auto [imported, value] = import_region(e);
    ASSERT_TRUE(imported);
    EXPECT_TRUE(same_value(value, root));
}

TEST(Compact, ReferencesAmongConstructorsOnlyReachObjectStarts) {
    // A list alone: its block holds constructors only, whose references are checked in runs. The
    // forged cell lies near the end of the objects, its references reach back to the start.
    Value region = rts::compactNew_hash(1 << 16);
    Value root = rts::compactAdd_hash(region, list(1000));
    const Exported good = export_region(region, root);
    ASSERT_EQ(good.blocks.size(), 1u);
    const uint64_t self = header_of(good.blocks[0])->self, used = header_of(good.blocks[0])->used;
    Value cell = root;
    for (int i = 0; i < 990; ++i) cell = rts::field(cell, 1);
    const uint64_t next_at = reinterpret_cast<uint64_t>(rts::field(cell, 1).get());
    const uint64_t far_at = reinterpret_cast<uint64_t>(rts::field(root, 1).get());
    const uint64_t cell_off = reinterpret_cast<uint64_t>(cell.get()) - self;
    auto slots = [&](Exported& e) { return rts::con_slots(reinterpret_cast<Object*>(e.blocks[0].data() + cell_off)); };
    // The recorded starts lie at the block's end, one bit per 16 bytes; bits past the objects are
    // never taken for objects.
    auto record_start = [](std::string& b, uint64_t off) {
        const uint64_t size = header_of(b)->size, bitmap = ((size / 16 + 63) / 64 * 8 + 15) / 16 * 16;
        reinterpret_cast<uint64_t*>(b.data() + size - bitmap)[off / 1024] |= uint64_t{1} << (off / 16 % 64);
    };
    const std::vector<std::pair<const char*, std::function<void(Exported&)>>> forgeries = {
        {"into the next object", [&](Exported& e) { slots(e)[1].word = next_at + 16; }},
        {"into a far object", [&](Exported& e) { slots(e)[1].word = far_at + 16; }},
        {"misaligned", [&](Exported& e) { slots(e)[0].word += 8; }},
        {"before the block", [&](Exported& e) { slots(e)[0].word = self - 16; }},
        {"past the objects at a recorded start",
         [&](Exported& e) {
             record_start(e.blocks[0], used);
             slots(e)[1].word = self + used;
         }},
    };
    for (const auto& [what, forge] : forgeries) {
        Exported e = good;
        forge(e);
        reseal(e.blocks[0]);
        EXPECT_FALSE(import_region(e).first) << what;
    }
    // A reference to any object start of the block is taken, however far: here the list turns
    // into a cycle through its second cell.
    Exported e = good;
    slots(e)[1].word = far_at;
    reseal(e.blocks[0]);
    auto [imported, value] = import_region(e);
    ASSERT_TRUE(imported);
    expect_closed(imported, value);
    Value moved_cell = value;
    for (int i = 0; i < 990; ++i) moved_cell = rts::field(moved_cell, 1);
    EXPECT_EQ(rts::field(moved_cell, 1).get(), rts::field(value, 1).get());
    EXPECT_EQ(rts::word(rts::field(moved_cell, 0), 0), rts::word(rts::field(cell, 0), 0));
}

TEST(Compact, RandomDamageNeverGivesARegionPointingOutside) {
    const uint64_t before = rts::compact_live_bytes();
    const Exported good = exported_in_blocks(tree(7));
    ASSERT_GE(good.blocks.size(), 3u);
    std::mt19937_64 rng(34);
    int accepted = 0;
    for (int i = 0; i < 10000; ++i) {
        Exported e = good;
        auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
        switch (i % 5) {
            case 0:
            case 1: {
                std::string& b = e.blocks[pick(e.blocks.size())];
                b[pick(b.size())] ^= static_cast<char>(1 + pick(255));
                break;
            }
            case 2: e.blocks.erase(e.blocks.begin() + static_cast<long>(pick(e.blocks.size()))); break;
            case 3: std::swap(e.blocks[0], e.blocks[1 + pick(e.blocks.size() - 1)]); break;
            case 4: e.blocks[pick(e.blocks.size())].resize(pick(4096 + 64)); break;
        }
        if (e.blocks.empty()) continue;
        auto [imported, value] = import_region(e);
        if (!imported) continue;
        ++accepted;
        expect_closed(imported, value);
    }
    // Dropping the block that nothing points into, or a flip in an unused tail, can be harmless;
    // whatever was accepted was checked above.
    EXPECT_LT(accepted, 10000);
    // Every refused import gave its blocks back, and every accepted one went with its value.
    EXPECT_EQ(rts::compact_live_bytes(), before);
}

TEST(Compact, ResealedDamageInTheObjectsIsFoundByTheWalk) {
    // Flips inside the objects with the checksum made right again, so the walk over the objects
    // (headers, marks, the chain of starts, references) has to find them: lists give long runs of
    // small constructors, the tree byte arrays and wider constructors in between.
    const Exported good = exported_in_blocks(rts::con(1, list(300), tree(5), list(40)));
    ASSERT_GE(good.blocks.size(), 3u);
    std::mt19937_64 rng(17);
    int refused = 0;
    for (int i = 0; i < 4000; ++i) {
        Exported e = good;
        std::string& b = e.blocks[rng() % e.blocks.size()];
        const uint64_t objects = header_of(b)->used - sizeof(rts::CompactBlockHeader);
        for (int flips = 1 + static_cast<int>(rng() % 3); flips > 0; --flips)
            b[sizeof(rts::CompactBlockHeader) + rng() % objects] ^= static_cast<char>(1 + rng() % 255);
        reseal(b);
        auto [imported, value] = import_region(e);
        if (!imported) {
            ++refused;
            continue;
        }
        expect_closed(imported, value);
        expect_apart(value);
    }
    // Most flips land in headers or references; a flip in a number or a byte array's bytes is
    // harmless.
    EXPECT_GT(refused, 1000);
    EXPECT_LT(refused, 4000);
}

// A constructor of the given references and words.
Value con_of(uint8_t tag, const std::vector<Value>& refs, const std::vector<uint64_t>& words) {
    Object* o = rts::alloc_con(tag, static_cast<uint8_t>(refs.size()), static_cast<uint8_t>(words.size()));
    rts::Slot* s = rts::con_slots(o);
    for (size_t i = 0; i < refs.size(); ++i) s[i].ref = Value(refs[i]).detach();
    for (size_t i = 0; i < words.size(); ++i) s[refs.size() + i].word = words[i];
    return Value::adopt(o);
}

// A chain of constructors of many shapes, each holding the one before: up to six references
// (fresh boxes, and a few leaves shared from the start, so references reach far back and into
// other blocks) and up to four words, with now and then wide ones of 24 and 25 units of 16 bytes,
// one of 60 references, and a byte array.
Value shapes(int n) {
    std::mt19937_64 rng(8);
    const std::vector<Value> shared = {box(-1), bytes_of("shared"), box(-2)};
    Value chain = rts::con(0);
    for (int i = 0; i < n; ++i) {
        const size_t kind = rng() % 40;
        const size_t nrefs = kind == 0 ? 30 : kind == 1 ? 31 : kind == 3 ? 59 : rng() % 6;  // 47, 48 and 60 fields
        std::vector<Value> refs{chain};
        for (size_t r = 0; r < nrefs; ++r)
            refs.push_back(rng() % 4 == 0 ? shared[rng() % shared.size()] : box(static_cast<int64_t>(rng() % 1000)));
        if (kind == 2) refs.push_back(bytes_of(std::string(rng() % 40, 'b')));
        std::vector<uint64_t> words(kind < 2 ? 16 : rng() % 5);
        for (uint64_t& w : words) w = rng();
        chain = con_of(static_cast<uint8_t>(1 + rng() % 3), refs, words);
    }
    return chain;
}

TEST(Compact, ConstructorsOfManyShapesImportWholeAndEveryStartIsChecked) {
    Value region = rts::compactNew_hash(1 << 16);
    const Value v = shapes(6000);
    const Value root = rts::compactAddWithSharing_hash(region, v);
    const Exported good = export_region(region, root);
    ASSERT_GE(good.blocks.size(), 3u);
    {
        auto [imported, value] = import_region(good);
        ASSERT_TRUE(imported);
        expect_closed(imported, value);
        EXPECT_TRUE(same_value(value, v));
    }
    std::mt19937_64 rng(51);
    for (int i = 0; i < 300; ++i) {
        Exported e = good;
        std::string& b = e.blocks[rng() % e.blocks.size()];
        const uint64_t units = header_of(b)->used / 16, size = header_of(b)->size;
        if (i % 2 == 0) {
            // A start added inside an object or taken away: the starts no longer match the objects.
            auto* starts = reinterpret_cast<uint64_t*>(b.data() + size - ((size / 16 + 63) / 64 * 8 + 15) / 16 * 16);
            const uint64_t unit = rng() % units;
            starts[unit / 64] ^= uint64_t{1} << (unit % 64);
            EXPECT_FALSE(import_region(e).first) << "start flipped at unit " << unit;
            continue;
        }
        b[sizeof(rts::CompactBlockHeader) + rng() % (units * 16 - sizeof(rts::CompactBlockHeader))] ^=
            static_cast<char>(1 + rng() % 255);
        reseal(b);
        auto [imported, value] = import_region(e);
        if (!imported) continue;
        expect_closed(imported, value);
        expect_apart(value);
    }
}

}  // namespace
