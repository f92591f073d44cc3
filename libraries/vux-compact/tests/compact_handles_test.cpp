// VUX.Compact and VUX.Compact.Serialized: handles, their lock and masking, export and import.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Data/ByteString.h"
#include "Testing.h"
#include "VUX/Compact.h"
#include "VUX/Compact/Serialized.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Tuple.h"
#include "rts/Compact.h"
#include "rts/MVar.h"
#include "rts/Mask.h"
#include "rts/Profiling.h"

namespace {

using namespace VUX::Compact;
using namespace VUX::Compact::Serialized;
using rts::Value;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;
namespace T = VUX::Types;

Value ints(int64_t from, int64_t to) {
    Value l = T::Nil();
    for (int64_t i = to; i >= from; --i) l = T::Cons(T::I_hash(i), std::move(l));
    return l;
}

std::vector<int64_t> intsOf(const Value& list) {
    std::vector<int64_t> out;
    for (const Value* l = &rts::force(list); (*l)->tag == T::Cons_tag; l = &rts::force(rts::field(*l, 1)))
        out.push_back(rts::int_word(rts::force(rts::field(*l, 0)), 0));
    return out;
}

std::vector<int64_t> range(int64_t from, int64_t to) {
    std::vector<int64_t> v;
    for (int64_t i = from; i <= to; ++i) v.push_back(i);
    return v;
}

bool truth(const Value& b) { return T::isTrue(rts::force(b)); }
uint64_t wordOf(const Value& w) { return rts::word(rts::force(w), 0); }

// The blocks of a handle's region copied out as byte strings, with its record.
std::pair<Value, Value> exportBytes(const Value& c) {
    Value out;
    runIO(withSerializedCompact(c, rts::fun<1>([&out](const Value& record) {
                                    return io([&out, record] {
                                        std::vector<Value> bss;
                                        const Value blocks = serializedCompactBlockList(record);
                                        const Value* l = &rts::force(blocks);
                                        for (; (*l)->tag == T::Cons_tag; l = &rts::force(rts::field(*l, 1))) {
                                            const Value& pair = rts::force(rts::field(*l, 0));
                                            const char* p =
                                                reinterpret_cast<const char*>(addressOf(rts::field(pair, 0)));
                                            bss.push_back(Data::ByteString::fromBytes(
                                                std::string_view(p, wordOf(rts::field(pair, 1)))));
                                        }
                                        Value list = T::Nil();
                                        for (auto it = bss.rbegin(); it != bss.rend(); ++it)
                                            list = T::Cons(*it, std::move(list));
                                        out = VUX::Tuple::Tuple2(record, std::move(list));
                                        return VUX::Tuple::Unit();
                                    });
                                })));
    const Value& pair = rts::force(out);
    return {rts::field(pair, 0), rts::field(pair, 1)};
}

Value justValue(const Value& m) {
    const Value& v = rts::force(m);
    EXPECT_EQ(v->tag, VUX::Internal::Maybe::Just_tag);
    return v->tag == VUX::Internal::Maybe::Just_tag ? rts::field(v, 0) : Value();
}

TEST(Compact, HandlesHoldTheRootAndShareRegionAndLock) {
    Value c = runIO(compact(ints(1, 100)));
    EXPECT_EQ(intsOf(getCompact(c)), range(1, 100));
    EXPECT_FALSE(rts::isEmptyMVar_hash(lockOf(rts::force(c))));
    EXPECT_TRUE(truth(runIO(inCompact(c, getCompact(c)))));
    EXPECT_TRUE(truth(runIO(isCompact(getCompact(c)))));
    Value outside = ints(1, 3);
    EXPECT_FALSE(truth(runIO(inCompact(c, outside))));
    EXPECT_FALSE(truth(runIO(isCompact(outside))));

    Value d = runIO(compactAdd(c, ints(5, 7)));
    EXPECT_EQ(intsOf(getCompact(d)), range(5, 7));
    EXPECT_EQ(intsOf(getCompact(c)), range(1, 100));
    EXPECT_EQ(regionOf(rts::force(d)).get(), regionOf(rts::force(c)).get());
    EXPECT_EQ(lockOf(rts::force(d)).get(), lockOf(rts::force(c)).get());
    EXPECT_TRUE(truth(runIO(inCompact(c, getCompact(d)))));

    // A separate region answers False for the other's root.
    Value e = runIO(compactSized(T::I_hash(4096), T::fromBool(true), ints(1, 2)));
    EXPECT_FALSE(truth(runIO(inCompact(e, getCompact(c)))));
    EXPECT_NE(lockOf(rts::force(e)).get(), lockOf(rts::force(c)).get());
}

// A region lives while a handle on it, or a value taken out of it, lives, and goes after the last.
TEST(Compact, RegionLivesWhileAHandleOrAValueFromItLives) {
    const uint64_t before = rts::compact_live_bytes();
    Value c = runIO(compactSized(T::I_hash(4096), T::fromBool(false), ints(1, 2000)));
    Value added = runIO(compactAdd(c, ints(1, 10)));
    Value tail = rts::field(rts::force(getCompact(c)), 1);
    auto [record, bss] = exportBytes(c);
    Value imported = justValue(runIO(importCompactByteStrings(record, bss)));
    c = Value();
    EXPECT_GT(rts::compact_live_bytes(), before);
    added = Value();
    EXPECT_EQ(intsOf(tail), range(2, 2000));
    tail = Value();
    EXPECT_EQ(intsOf(getCompact(imported)), range(1, 2000));
    imported = Value();
    EXPECT_EQ(rts::compact_live_bytes(), before);
}

TEST(Compact, SharingFlagChoosesTheAdd) {
    Value shared = ints(1, 10);
    Value pair = VUX::Tuple::Tuple2(shared, shared);
    for (bool sharing : {false, true}) {
        Value root = getCompact(runIO(compactSized(T::I_hash(4096), T::fromBool(sharing), pair)));
        EXPECT_EQ(rts::field(root, 0).get() == rts::field(root, 1).get(), sharing);
    }
    Value root = getCompact(runIO(compactWithSharing(pair)));
    EXPECT_EQ(rts::field(root, 0).get(), rts::field(root, 1).get());
}

TEST(Compact, RefusedAddRaisesAndLeavesTheLockFull) {
    Value c = runIO(compact(ints(1, 3)));
    Value withFunction = T::Cons(rts::fun<1>([](const Value& x) { return x; }), T::Nil());
    std::string text;
    try {
        runIO(compactAdd(c, withFunction));
    } catch (const rts::Exception& e) {
        text = rts::display(e);
    }
    EXPECT_EQ(text.rfind("compaction failed", 0), 0u) << text;
    EXPECT_GT(wordOf(runIO(compactSize(c))), 0u);  // would block on an empty lock
    EXPECT_EQ(intsOf(getCompact(c)), range(1, 3));
}

TEST(Compact, LockedOperationsKeepTheCallersMaskingState) {
    Value c = runIO(compact(ints(1, 3)));
    for (auto state : {rts::MaskingState::Unmasked, rts::MaskingState::MaskedInterruptible,
                       rts::MaskingState::MaskedUninterruptible}) {
        rts::with_masking_state(state, [&] {
            rts::MaskingState inside{};
            runIO(withSerializedCompact(c, rts::fun<1>([&inside](const Value&) {
                                            return io([&inside] {
                                                inside = rts::masking_state();
                                                return VUX::Tuple::Unit();
                                            });
                                        })));
            EXPECT_EQ(inside, state);
            EXPECT_EQ(rts::masking_state(), state);
            runIO(compactResize(c, T::W_hash(8192)));
            EXPECT_EQ(rts::masking_state(), state);
        });
    }
}

TEST(Serialized, ByteStringsRoundTripAndAddressesAreIgnored) {
    Value c = runIO(compactSized(T::I_hash(4096), T::fromBool(false), ints(1, 2000)));
    auto [record, bss] = exportBytes(c);
    const Value& blocks = serializedCompactBlockList(record);
    EXPECT_EQ(rts::force(blocks)->tag, T::Cons_tag);  // at least one block
    EXPECT_EQ(addressOf(serializedCompactRoot(record)),
              reinterpret_cast<uint64_t>(rootOf(rts::force(c)).get()));

    Value imported = justValue(runIO(importCompactByteStrings(record, bss)));
    ASSERT_TRUE(imported);
    EXPECT_EQ(intsOf(getCompact(imported)), range(1, 2000));
    EXPECT_TRUE(truth(runIO(isCompact(getCompact(imported)))));
    EXPECT_FALSE(truth(runIO(inCompact(c, getCompact(imported)))));

    // The same blocks with every address replaced by null.
    Value nulls = T::Nil();
    std::vector<Value> pairs;
    for (const Value* l = &rts::force(blocks); (*l)->tag == T::Cons_tag; l = &rts::force(rts::field(*l, 1)))
        pairs.push_back(rts::force(rts::field(*l, 0)));
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
        nulls = T::Cons(VUX::Tuple::Tuple2(Ptr(nullptr), rts::field(*it, 1)), std::move(nulls));
    Value again = justValue(
        runIO(importCompactByteStrings(SerializedCompact(nulls, serializedCompactRoot(record)), bss)));
    ASSERT_TRUE(again);
    EXPECT_EQ(intsOf(getCompact(again)), range(1, 2000));
}

TEST(Serialized, MismatchesAndDamageGiveNothing) {
    Value c = runIO(compactSized(T::I_hash(4096), T::fromBool(false), ints(1, 2000)));
    auto [record, bss] = exportBytes(c);
    auto nothing = [](const Value& m) { return rts::force(m)->tag == VUX::Internal::Maybe::Nothing_tag; };
    std::vector<Value> strings;
    for (const Value* l = &rts::force(bss); (*l)->tag == T::Cons_tag; l = &rts::force(rts::field(*l, 1)))
        strings.push_back(rts::field(*l, 0));
    ASSERT_GE(strings.size(), 2u);
    auto listOf = [](std::vector<Value> v) {
        Value l = T::Nil();
        for (auto it = v.rbegin(); it != v.rend(); ++it) l = T::Cons(*it, std::move(l));
        return l;
    };
    std::vector<Value> fewer(strings.begin(), strings.end() - 1), more = strings, shorter = strings,
                                                                  flipped = strings;
    more.push_back(strings.back());
    std::string s = Data::ByteString::toStdString(strings[0]);
    shorter[0] = Data::ByteString::fromBytes(s.substr(0, s.size() - 16));
    s[s.size() / 2] ^= 0x40;
    flipped[0] = Data::ByteString::fromBytes(s);
    for (const auto& candidate : {fewer, more, shorter, flipped})
        EXPECT_TRUE(nothing(runIO(importCompactByteStrings(record, listOf(candidate)))));
    EXPECT_TRUE(
        nothing(runIO(importCompactByteStrings(SerializedCompact(T::Nil(), Ptr(nullptr)), T::Nil()))));
}

TEST(Serialized, ImportCallsTheFillFunctionOncePerBlockInOrder) {
    Value c = runIO(compactSized(T::I_hash(4096), T::fromBool(false), ints(1, 2000)));
    auto [record, bss] = exportBytes(c);
    std::vector<uint64_t> sizes;
    std::vector<std::string> bytes;
    for (const Value* l = &rts::force(bss); (*l)->tag == T::Cons_tag; l = &rts::force(rts::field(*l, 1)))
        bytes.emplace_back(Data::ByteString::view(rts::field(*l, 0)));
    Value fill = rts::fun<2>([&](const Value& ptr, const Value& size) {
        return io([&, ptr, size] {
            const size_t i = sizes.size();
            sizes.push_back(wordOf(size));
            std::memcpy(reinterpret_cast<void*>(addressOf(ptr)), bytes.at(i).data(), bytes.at(i).size());
            return VUX::Tuple::Unit();
        });
    });
    Value imported = justValue(runIO(importCompact(record, fill)));
    ASSERT_TRUE(imported);
    EXPECT_EQ(intsOf(getCompact(imported)), range(1, 2000));
    std::vector<uint64_t> expected;
    for (const std::string& b : bytes) expected.push_back(b.size());
    EXPECT_EQ(sizes, expected);

    // An empty block list never calls the fill function.
    sizes.clear();
    EXPECT_EQ(rts::force(runIO(importCompact(SerializedCompact(T::Nil(), Ptr(nullptr)), fill)))->tag,
              VUX::Internal::Maybe::Nothing_tag);
    EXPECT_TRUE(sizes.empty());
}

#ifdef VUX_PROFILING
TEST(Profiling, BothModulesRegisterTheirCentres) {
    for (const char* module : {"VUX.Compact", "VUX.Compact.Serialized"}) {
        std::vector<std::string> centres;
        for (const auto& r : rts::prof::registrations())
            if (r.module == module && r.kind == rts::prof::ListKind::CostCentres) centres = r.labels;
        ASSERT_FALSE(centres.empty()) << module;
        EXPECT_EQ(centres[0], "CAF");
    }
    runIO(compact(ints(1, 3)));
    EXPECT_GE(rts::prof::totals_of("VUX.Compact", "compact").entries, 1u);
}
#endif

}  // namespace
