// Data.Map: balance and order after many random inserts, lookups agreeing with std::map, custom
// orderings, laziness of values, persistence, equality and the text form.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

#include "Data/Map.h"
#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"

namespace {

using rts::Value;
using namespace Data::Map;
using VUX::Types::I_hash;
using VUX::Types::intOf;
namespace Show = VUX::Internal::Show;

Value intOrd() { return VUX::Classes::inst_Ord_Int(); }
int64_t intv(const Value& v) { return intOf(rts::force(v)); }
Value pair(Value a, Value b) { return VUX::Tuple::Tuple2(std::move(a), std::move(b)); }

// An Ord record on Ints from a three-way comparison of the unboxed values.
Value ordBy(std::function<int(int64_t, int64_t)> cmp) {
    Value compare = rts::fun<2>([cmp](const Value& a, const Value& b) {
        int c = cmp(intv(a), intv(b));
        return Value::adopt(VUX::Types::Ordering_closure_tbl[c < 0 ? 0 : c == 0 ? 1 : 2]);
    });
    return VUX::Classes::ordRecordFrom(VUX::Classes::inst_Eq_Int(), compare, Value());
}

// The keys of a map in the order toList gives them, and whether a lookup found v.
std::vector<int64_t> keys(const Value& m) {
    std::vector<int64_t> ks;
    for (const Value& p : vux::testing::items(toList(m))) ks.push_back(intv(rts::field(rts::force(p), 0)));
    return ks;
}
std::optional<int64_t> found(const Value& dOrd, int64_t k, const Value& m) {
    const Value& r = rts::force(lookup(dOrd, I_hash(k), m));
    if (r->tag == VUX::Internal::Maybe::Nothing_tag) return std::nullopt;
    return intv(rts::field(r, 0));
}

TEST(Map, RandomInsertsKeepBalanceAndOrderAndAgreeWithStdMap) {
    std::mt19937_64 rng(21);
    std::uniform_int_distribution<int64_t> keyOf(-50'000, 50'000);
    std::map<int64_t, int64_t> expected;
    Value m = empty(), snapshot;
    std::map<int64_t, int64_t> atSnapshot;
    for (int64_t i = 0; i < 100'000; ++i) {
        int64_t k = keyOf(rng);
        m = insert(intOrd(), I_hash(k), I_hash(i), std::move(m));
        expected[k] = i;
        if (i == 1000) snapshot = m, atSnapshot = expected;
        if (i % 20'000 == 0) {
            ASSERT_TRUE(valid(intOrd(), m)) << "after " << i << " inserts";
        }
    }
    EXPECT_TRUE(valid(intOrd(), m));
    EXPECT_EQ(size(m), static_cast<int64_t>(expected.size()));
    for (int64_t k = -50'010; k <= 50'010; k += 7) {
        auto it = expected.find(k);
        EXPECT_EQ(found(intOrd(), k, m),
                  it == expected.end() ? std::nullopt : std::optional<int64_t>(it->second))
            << k;
        EXPECT_EQ(VUX::Types::isTrue(rts::force(member(intOrd(), I_hash(k), m))), it != expected.end());
    }
    std::vector<int64_t> ascending;
    for (const auto& [k, v] : expected) ascending.push_back(k);
    EXPECT_EQ(keys(m), ascending);
    // The map at the snapshot is unchanged by the later inserts.
    EXPECT_TRUE(valid(intOrd(), snapshot));
    EXPECT_EQ(size(snapshot), static_cast<int64_t>(atSnapshot.size()));
    for (const auto& [k, v] : atSnapshot) EXPECT_EQ(found(intOrd(), k, snapshot), v);
}

TEST(Map, AscendingAndDescendingInsertsStayBalanced) {
    Value up = empty(), down = empty();
    for (int64_t i = 0; i < 5000; ++i) {
        up = insert(intOrd(), I_hash(i), I_hash(i), std::move(up));
        down = insert(intOrd(), I_hash(-i), I_hash(i), down);
    }
    EXPECT_TRUE(valid(intOrd(), up));
    EXPECT_TRUE(valid(intOrd(), down));
    EXPECT_EQ(size(up), 5000);
}

TEST(Map, ACustomOrdRecordDecidesOrderAndEquality) {
    Value reversed = ordBy([](int64_t a, int64_t b) { return (b > a) - (b < a); });
    Value m =
        fromList(reversed, vux::testing::list({pair(I_hash(2), I_hash(0)), pair(I_hash(9), I_hash(0)),
                                               pair(I_hash(-4), I_hash(0)), pair(I_hash(5), I_hash(0))}));
    EXPECT_EQ(keys(m), (std::vector<int64_t>{9, 5, 2, -4}));
    EXPECT_TRUE(valid(reversed, m));
    EXPECT_FALSE(valid(intOrd(), m));
    // Keys equal under the record are one key: the later insert replaces key and value.
    Value byLastDigit = ordBy([](int64_t a, int64_t b) { return static_cast<int>(a % 10 - b % 10); });
    Value n = insert(byLastDigit, I_hash(13), I_hash(2), insert(byLastDigit, I_hash(3), I_hash(1), empty()));
    EXPECT_EQ(size(n), 1);
    EXPECT_EQ(keys(n), (std::vector<int64_t>{13}));
    EXPECT_EQ(found(byLastDigit, 23, n), 2);
}

TEST(Map, ValuesStayUnevaluatedKeysAreEvaluated) {
    Value m =
        insert(intOrd(), I_hash(1), vux::testing::failing(), singleton(I_hash(2), vux::testing::failing()));
    EXPECT_EQ(size(m), 2);
    const Value& r = rts::force(lookup(intOrd(), I_hash(1), m));
    ASSERT_EQ(r->tag, VUX::Internal::Maybe::Just_tag);
    EXPECT_THROW(rts::force(rts::field(r, 0)), rts::Exception);
    EXPECT_EQ(keys(m), (std::vector<int64_t>{1, 2}));
    EXPECT_THROW(insert(intOrd(), vux::testing::failing(), I_hash(0), empty()), rts::Exception);
    EXPECT_THROW(singleton(vux::testing::failing(), I_hash(0)), rts::Exception);
    // fromList: a later pair replaces an earlier one with an equal key.
    Value f =
        fromList(intOrd(), vux::testing::list({pair(I_hash(1), I_hash(10)), pair(I_hash(1), I_hash(20))}));
    EXPECT_EQ(found(intOrd(), 1, f), 20);
    EXPECT_EQ(size(f), 1);
}

TEST(Map, OperationsAsFunctionValues) {
    Value m = rts::apply(insert_closure.value(), intOrd(), I_hash(4), I_hash(40), empty());
    Value r = rts::apply(lookup_closure.value(), intOrd(), I_hash(4), m);
    EXPECT_EQ(intv(rts::field(rts::force(r), 0)), 40);
}

TEST(Map, EqualityAndTextForm) {
    Value dShow = inst_Show_Map(Show::inst_Show_Int(), Show::inst_Show_Char());
    auto chars = [](std::initializer_list<std::pair<int64_t, char>> kvs) {
        Value m = empty();
        for (auto [k, c] : kvs) m = insert(intOrd(), I_hash(k), VUX::Types::C_hash(c), m);
        return m;
    };
    Value ab = chars({{2, 'b'}, {1, 'a'}});
    EXPECT_EQ(vux::testing::to_string(Show::show(dShow, ab)), "fromList [(1,'a'),(2,'b')]");
    EXPECT_EQ(vux::testing::to_string(Show::showsPrec(dShow, 11, ab, VUX::Types::Nil())),
              "(fromList [(1,'a'),(2,'b')])");
    EXPECT_EQ(vux::testing::to_string(Show::show(dShow, empty())), "fromList []");
    Value dEq = inst_Eq_Map(VUX::Classes::inst_Eq_Int(), VUX::Classes::inst_Eq_Char());
    auto eq = [&](const Value& a, const Value& b) {
        return VUX::Classes::test(VUX::Classes::op_eq_eq(dEq), a, b);
    };
    EXPECT_TRUE(eq(ab, chars({{1, 'a'}, {2, 'b'}})));
    EXPECT_FALSE(eq(ab, chars({{1, 'a'}, {2, 'c'}})));
    EXPECT_FALSE(eq(ab, chars({{1, 'a'}})));
    EXPECT_TRUE(VUX::Classes::test(VUX::Classes::op_slash_eq(dEq), ab, empty()));
}

}  // namespace
