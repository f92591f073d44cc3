// Allocation and freeing: long and deep structures are freed with a flat stack.
#include <malloc.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "RuntimeTest.h"
#include "rts/Compact.h"

namespace {

using namespace rts_test;
using rts::Value;

constexpr int64_t kTenMillion = 10'000'000;

// Every walk below runs with the stack limit 256 KiB below the test's frame: a free loop that
// recursed would hit it (a release cannot raise, so it would crash instead).
class FlatStack : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = rts::limit_stack_depth(256 * 1024); }
    void TearDown() override { rts::restore_stack_limit(previous_); }
    uintptr_t previous_ = 0;
};

constinit const rts::StaticNullary nil{0};

TEST_F(FlatStack, TenMillionCellListIsBuiltConsumedAndReleased) {
    Value list = nil.value();
    for (int64_t i = kTenMillion; i > 0; --i) list = rts::con(1, box(i), std::move(list));
    int64_t sum = 0, n = 0;
    for (Value cur = list; rts::tag_of(rts::force(cur)) == 1;) {
        sum += unbox(rts::field(cur, 0));
        ++n;
        Value next = rts::field(cur, 1);
        cur = std::move(next);
    }
    EXPECT_EQ(n, kTenMillion);
    EXPECT_EQ(sum, kTenMillion * (kTenMillion + 1) / 2);
    list = Value();  // releases ten million cells and boxes
}

// Deep nesting through each kind of reference the free loop must follow.
struct Nesting {
    const char* name;
    int64_t depth;
    Value (*wrap)(Value inner);
};

const Nesting kNestings[] = {
    {"ConstructorFirstField", kTenMillion, [](Value in) { return rts::con(0, std::move(in), box(1)); }},
    {"ConstructorOnlyField", kTenMillion, [](Value in) { return rts::con(0, std::move(in)); }},
    {"ConstructorLastField", 1'000'000, [](Value in) { return rts::con(0, box(1), box(2), std::move(in)); }},
    {"UnevaluatedThunkClosure", kTenMillion,
     [](Value in) { return rts::delay([in = std::move(in)]() { return in; }); }},
    {"EvaluatedThunk", 1'000'000,
     [](Value in) {
         Value t = rts::delay([in = std::move(in)]() { return rts::con(0, in); });
         rts::force(t);
         return t;
     }},
    {"FunctionClosure", 1'000'000,
     [](Value in) { return rts::fun<1>([in = std::move(in)](const Value& x) { return x; }); }},
    {"PartialApplication", 1'000'000,
     [](Value in) { return rts::apply(rts::fun<2>([](const Value& a, const Value&) { return a; }), in); }},
    {"MutableReference", 1'000'000, [](Value in) { return rts::new_mut_var(std::move(in)); }},
    // Two dying fields with references of their own: one is carried on, the other queued.
    {"TwoDyingFieldsDeepFirst", 1'000'000,
     [](Value in) { return rts::con(0, std::move(in), rts::con(0, box(1))); }},
    {"TwoDyingFieldsDeepLast", 1'000'000,
     [](Value in) { return rts::con(0, rts::con(0, box(1)), std::move(in)); }},
};

class DeepFree : public FlatStack, public ::testing::WithParamInterface<Nesting> {};

TEST_P(DeepFree, NestedStructureIsFreedWithoutRecursion) {
    DestroyCounter dc;
    Value v = rts::fun<1>([token = dc.token()](const Value& x) { return x; });  // the innermost
    for (int64_t i = 0; i < GetParam().depth; ++i) v = GetParam().wrap(std::move(v));
    EXPECT_EQ(dc.destroyed(), 0);
    v = Value();
    EXPECT_EQ(dc.destroyed(), 1);  // the walk reached the bottom
}

INSTANTIATE_TEST_SUITE_P(Kinds, DeepFree, ::testing::ValuesIn(kNestings),
                         [](const auto& info) { return std::string(info.param.name); });

// A balanced tree of a million counted closures, whose nodes each kill several fields at once and
// also hold one shared closure, is freed whole; the shared closure lives on until its last
// reference goes.
TEST_F(FlatStack, TreeOfSeveralDyingFieldsPerNodeIsFreedWhole) {
    constexpr int kLeaves = 1 << 20;
    DestroyCounter leaves, shared_counter;
    auto closure = [](DestroyCounter& dc) {
        return rts::fun<1>([t = dc.token()](const Value& x) { return x; });
    };
    Value shared = closure(shared_counter);
    std::vector<Value> level;
    for (int i = 0; i < kLeaves; ++i) level.push_back(closure(leaves));
    while (level.size() > 1) {
        std::vector<Value> up;
        for (size_t i = 0; i + 1 < level.size(); i += 2)
            up.push_back(rts::con(0, std::move(level[i]), box(int64_t(i)), shared, std::move(level[i + 1])));
        level = std::move(up);
    }
    Value tree = std::move(level[0]);
    level.clear();
    tree = Value();
    EXPECT_EQ(leaves.destroyed(), kLeaves);
    EXPECT_EQ(shared_counter.destroyed(), 0);
    shared = Value();
    EXPECT_EQ(shared_counter.destroyed(), 1);
}

// A small constructor whose fields outlive it, or die with it holding no references, is freed at
// its release without the free loop: counts come back exactly, a field held twice dies at its
// second release, and the blocks of dying leaves go back to be reused.
TEST(Alloc, ConstructorWithCountedFieldsFreedAtItsRelease) {
    Value a = box(1);
    Value b = rts::byte_array_from("xy", 2);
    rts::con(0, a, b, a, nil.value());
    rts::con(0, b);
    EXPECT_EQ(count_of(a), 1u);
    EXPECT_EQ(count_of(b), 1u);

    DestroyCounter dc;
    Value fn = rts::fun<1>([token = dc.token()](const Value& x) { return x; });
    Value twice = rts::con(0, fn, std::move(fn));
    EXPECT_EQ(dc.destroyed(), 0);
    twice = Value();
    EXPECT_EQ(dc.destroyed(), 1);

    Value leaf1 = box(2), leaf2 = box(3);
    const rts::Object* blocks[2] = {leaf1.get(), leaf2.get()};
    rts::con(0, std::move(leaf1), std::move(leaf2));
    Value again1 = box(4), again2 = box(5);
#ifndef RTS_SANITIZED  // the sanitizers' builds allocate with malloc
    EXPECT_TRUE((again1.get() == blocks[0] && again2.get() == blocks[1]) ||
                (again1.get() == blocks[1] && again2.get() == blocks[0]));
#else
    (void)blocks;
#endif
    EXPECT_EQ(unbox(again1) + unbox(again2), 9);

    // One reference, a byte array that dies with it (a big number over its limbs).
    Value limbs = rts::new_byte_array(3000);
    const rts::Object* limbs_block = limbs.get();
    rts::con(0, std::move(limbs));
    Value limbs_again = rts::new_byte_array(3000);
#ifndef RTS_SANITIZED
    EXPECT_EQ(limbs_again.get(), limbs_block);
#else
    (void)limbs_block;
#endif
    EXPECT_EQ(rts::bytes_length(limbs_again), 3000u);
}

// An evaluated lazy list dies along its evaluated tails and their cells, one after another, and
// stops at the first tail still held elsewhere; a box also held elsewhere loses just one count.
TEST(Alloc, EvaluatedListDiesUpToATailStillHeld) {
    constexpr int64_t kCells = 10, kKept = 6;
    Value shared_box = box(100);
    Value list = nil.value(), kept;
    for (int64_t i = kCells; i > 0; --i) {
        Value head = i == 2 ? shared_box : box(i);
        Value cell = rts::con(1, std::move(head), std::move(list));
        list = rts::delay([cell] { return cell; });
        rts::force(list);
        if (i == kKept) kept = list;
    }
    EXPECT_EQ(count_of(kept), 2u);
    EXPECT_EQ(count_of(shared_box), 2u);
    list = Value();
    EXPECT_EQ(count_of(kept), 1u);
    EXPECT_EQ(count_of(shared_box), 1u);
    int64_t sum = 0;
    for (Value cur = kept; rts::tag_of(rts::force(cur)) == 1;) {
        sum += unbox(rts::field(rts::force(cur), 0));
        Value next = rts::field(rts::force(cur), 1);
        cur = std::move(next);
    }
    EXPECT_EQ(sum, kKept + 7 + 8 + 9 + kCells);
}

// A thread whose first act in the runtime is a release (its allocator not set up yet) frees what
// it was handed: evaluated suspended computations, cells and boxes dying one after another, down
// to a closure at the bottom; then it allocates from the blocks it got back.
TEST(Alloc, ThreadFreesBeforeItsFirstAllocation) {
    DestroyCounter dc;
    Value list = rts::fun<1>([token = dc.token()](const Value& x) { return x; });
    for (int i = 0; i < 1000; ++i) {
        Value t = rts::delay([cell = rts::con(1, box(i), std::move(list))]() { return cell; });
        rts::force(t);
        list = std::move(t);
    }
    rts::share_with_threads();
    int64_t made = 0;
    std::thread([&] {
        list = Value();
        made = unbox(box(7));
    }).join();
    EXPECT_EQ(dc.destroyed(), 1);
    EXPECT_EQ(made, 7);
}

// Dying objects that hold values inside a compact region, an evaluated suspended computation, a
// pair and a box of one reference, release them on the region: it lives while they do and goes
// with the last of them.
TEST(Alloc, DyingObjectsReleaseTheirReferencesIntoACompactRegion) {
    const uint64_t before = rts::compact_live_bytes();
    Value region = rts::compactNew_hash(4096);
    Value root = rts::compactAdd_hash(region, rts::con(1, box(1), box(2)));
    Value thunk = rts::delay([root] { return root; });
    rts::force(thunk);
    Value pair = rts::con(0, box(3), root);
    Value only = rts::con(0, root);
    region = Value();
    root = Value();
    thunk = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    EXPECT_EQ(unbox(rts::field(rts::field(pair, 1), 1)), 2);
    pair = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    only = Value();
    EXPECT_EQ(rts::compact_live_bytes(), before);
}

TEST(Alloc, ThreadAllocatedBytesGrows) {
    uint64_t before = rts::thread_allocated_bytes();
    Value v = rts::con(0, box(1), box(2));
    EXPECT_GE(rts::thread_allocated_bytes() - before, 16u + 32u);
}

// Shrinking keeps the object, its address and its leading bytes, for arrays in small blocks and
// in system blocks, and down to nothing.
TEST(Bytes, ShrinkInPlaceKeepsTheObjectAndItsBytes) {
    for (size_t length : {40u, 400u, 1000u, 5000u}) {
        Value b = rts::new_byte_array_uninit(length);
        ASSERT_TRUE(rts::bytes_mutable(b));
        uint8_t* data = rts::bytes_data(b);
        for (size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(i * 7);
        for (size_t to : {length - 1, length / 2, size_t(8), size_t(0)}) {
            rts::shrink_byte_array(b, to);
            EXPECT_EQ(rts::bytes_length(b), to);
            EXPECT_EQ(rts::bytes_data(b), data);
            size_t same = 0;
            for (size_t i = 0; i < to; ++i) same += data[i] == static_cast<uint8_t>(i * 7);
            EXPECT_EQ(same, to) << length << " shrunk to " << to;
        }
    }
}

// A shrunk array is freed by the block it was allocated in, not by its new length: had it gone onto
// the free list of its shrunk size, the next array of that size would be given the same block. One
// beyond 64 KiB goes back to the system allocator; a smaller one onto the free list of its original
// class, whose head it becomes: the next array of a size of that class gets it, and one of another
// class (the shrunk size, or the neighbouring class of the coarse large ones) does not.
TEST(Alloc, ShrunkByteArrayIsFreedByItsOriginalBlock) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    struct Case {
        size_t length, shrunk, other_class, same_class;  // same_class 0: the block is malloc's
    };
    for (Case c : {Case{100000, 100, 100, 0}, Case{1000, 100, 100, 1000}, Case{400, 24, 24, 400},
                   Case{2100, 2100, 3000, 2500}, Case{8000, 100, 8200, 7500}, Case{60000, 30000, 50000, 65000}}) {
        Value b = rts::new_byte_array(c.length);
        rts::shrink_byte_array(b, c.shrunk);
        const void* block = b.get();
        b = Value();
        Value of_other_class = rts::new_byte_array(c.other_class);
        EXPECT_NE(of_other_class.get(), block) << c.length;
        if (c.same_class != 0) {
            Value of_same_class = rts::new_byte_array(c.same_class);
            EXPECT_EQ(of_same_class.get(), block) << c.length;
        }
    }
}

// Freezing keeps an array's kind and block class: frozen, it still goes back onto the free list of
// the class it was allocated in, small, medium or large, and the next array of that class gets it.
TEST(Alloc, FrozenByteArrayIsFreedByItsBlock) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    for (size_t length : {40u, 1000u, 8000u, 60000u}) {
        Value b = rts::new_byte_array(length);
        rts::freeze_byte_array(b);
        EXPECT_FALSE(rts::bytes_mutable(b));
        EXPECT_EQ(b->kind, rts::Kind::Bytes);
        EXPECT_EQ(rts::bytes_length(b), length);
        const void* block = b.get();
        b = Value();
        Value next = rts::new_byte_array(length);
        EXPECT_EQ(next.get(), block) << length;
    }
}

// A dying object without references goes straight back onto its class's free list whatever its
// size up to 2 KiB, released itself or as the field of a dying constructor: the next object of its
// size gets its block.
TEST(Alloc, ObjectsWithoutReferencesOfAnySizeGoBackToTheirFreeList) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    for (uint8_t words : {8, 100, 255}) {
        for (bool as_field : {false, true}) {
            Value leaf = Value::adopt(rts::alloc_con(1, 0, words));
            const void* block = leaf.get();
            if (as_field)
                rts::con(0, std::move(leaf), box(1));
            else
                leaf = Value();
            Value next = Value::adopt(rts::alloc_con(2, 0, words));
            EXPECT_EQ(next.get(), block) << int(words) << (as_field ? " as a field" : "");
        }
    }
    for (size_t length : {200u, 2000u}) {
        const void* block = rts::new_byte_array(length).get();
        Value next = rts::new_byte_array(length);
        EXPECT_EQ(next.get(), block) << length;
    }
}

// A constructor of more than 2 KiB goes back onto the free list of its size's large class, through
// the free loop: the next object of that class gets its block.
TEST(Alloc, LargeConstructorIsFreedByItsSize) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    auto con_of_nulls = [](uint8_t nptrs, uint8_t nwords) {
        rts::Object* o = rts::alloc_con(0, nptrs, nwords);
        for (size_t i = 0; i < nptrs; ++i) rts::con_slots(o)[i].ref = nullptr;
        return Value::adopt(o);
    };
    const void* block = con_of_nulls(200, 200).get();  // 3208 bytes
    Value of_same_class = con_of_nulls(255, 140);       // 3168 bytes
    EXPECT_EQ(of_same_class.get(), block);
}

// Medium and large blocks come from malloc and only a bounded number of them stays cached per
// thread: what is freed beyond it, and what a thread holds when it exits, goes back to malloc.
TEST(Alloc, CachedMediumBlocksAreBounded) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    constexpr size_t kSlack = 64 * 1024;
    auto in_use = [] { return mallinfo2().uordblks; };
    struct Case {
        size_t objects;
        Value (*make)();
    };
    const Case cases[] = {
        {4000, [] { return Value::adopt(rts::alloc_con(1, 0, 100)); }},  // about 3 MiB
        {100, [] { return rts::new_byte_array_uninit(40000); }},         // about 4 MiB
    };
    for (const Case& c : cases) {
        auto make_and_drop = [&c] {
            std::vector<Value> held;
            for (size_t i = 0; i < c.objects; ++i) held.push_back(c.make());
            held.clear();
        };
        make_and_drop();  // fills this thread's list up to its bound
        const size_t before = in_use();
        make_and_drop();
        EXPECT_LE(in_use(), before + kSlack) << c.objects;

        std::thread(make_and_drop).join();
        EXPECT_LE(in_use(), before + kSlack) << c.objects;
    }
}

// Blocks of a size that is a multiple of 2 KiB, made one after another by a fresh thread, do not
// sit at nearly the same offset within a page, where loops reading some and writing another stall.
// Placement is malloc's, so a few close pairs are allowed; one per block is the fault.
TEST(Alloc, LargeBlocksMadeInARowSitAtDifferentPageOffsets) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    for (size_t length : {2048u - 16u, 8192u - 16u, 16384u - 16u}) {
        size_t close_pairs = 0;
        std::thread([&] {
            std::vector<Value> held;
            for (int i = 0; i < 16; ++i) held.push_back(rts::new_byte_array_uninit(length));
            for (size_t i = 1; i < held.size(); ++i) {
                const auto offset = [&](size_t j) { return reinterpret_cast<uintptr_t>(held[j].get()) % 4096; };
                const uintptr_t apart = (offset(i) - offset(i - 1)) % 4096;
                close_pairs += apart < 128 || apart > 4096 - 128;
            }
        }).join();
        EXPECT_LE(close_pairs, 3u) << length;
    }
}

// Blocks freed on one thread are reused by others instead of piling up: a producer thread
// allocates, the main thread frees, over and over. Without the shared pool the memory would grow
// with every round.
TEST(Alloc, BlocksFreedByAnotherThreadAreReused) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "sanitizer builds allocate with malloc";
#endif
    constexpr int kRounds = 20, kCells = 200'000;
    auto produce = [] {
        Value list;
        std::thread t([&] {
            list = nil.value();
            for (int i = 0; i < kCells; ++i) list = rts::con(1, box(i), std::move(list));
        });
        t.join();
        return list;
    };
    produce() = Value();  // warm up
    long first = -1;
    for (int round = 0; round < kRounds; ++round) {
        produce() = Value();
        FILE* f = std::fopen("/proc/self/statm", "r");
        long size = 0, resident = 0;
        ASSERT_EQ(std::fscanf(f, "%ld %ld", &size, &resident), 2);
        std::fclose(f);
        if (round == 1) first = resident;
        if (round > 1) {
            EXPECT_LE(resident, first + 2048) << "round " << round;  // within 8 MiB
        }
    }
}

}  // namespace
