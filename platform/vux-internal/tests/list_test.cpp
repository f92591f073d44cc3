// Laziness and constant stack of the list functions; the class records of lists and Maybe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Data/String.h"
#include "Testing.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Real.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::Value;
using vux::testing::failing;
using vux::testing::int_values;
using vux::testing::ints;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value succ() {
    return rts::fun<1>([](const Value& x) { return I_hash(intOf(rts::force(x)) + 1); });
}
Value naturals() { return List::iterate(succ(), I_hash(0)); }

TEST(Lists, LazyWhereTheLanguageIs) {
    // map, ++ and take on an endless list, and elements that fail but are never demanded.
    Value doubled = List::map(rts::fun<1>([](const Value& x) { return I_hash(2 * intOf(rts::force(x))); }), naturals());
    EXPECT_EQ(int_values(List::take(4, doubled)), (std::vector<int64_t>{0, 2, 4, 6}));
    Value appended = List::op_plus_plus(ints({7}), naturals());
    EXPECT_EQ(int_values(List::take(3, appended)), (std::vector<int64_t>{7, 0, 1}));
    // The tail of ++ is shared, not copied.
    Value tail = ints({1, 2});
    Value joined = List::op_plus_plus(ints({0}), tail);
    EXPECT_TRUE(same(rts::force(rts::field(rts::force(joined), 1)), tail));
    // Failing elements and a failing tail are not touched until reached.
    Value partial = List::op_plus_plus(vux::testing::list({failing()}), failing());
    EXPECT_EQ(List::length(List::take(1, partial)), 1);
    Value mapped = List::map(succ(), vux::testing::list({I_hash(1), failing()}));
    EXPECT_EQ(List::length(mapped), 2);
    EXPECT_THROW(int_values(mapped), rts::Exception);
    EXPECT_EQ(List::length(List::replicate(3, failing())), 3);
    EXPECT_EQ(int_values(List::take(2, List::concat(vux::testing::list({ints({}), ints({5}), List::repeat(I_hash(9))})))),
              (std::vector<int64_t>{5, 9}));
}

TEST(Lists, LongListsRunInConstantStack) {
    const int64_t n = 2000000;
    EXPECT_EQ(List::length(List::take(n, naturals())), n);
    // Elements evaluated at once (iterate's would be a chain of n suspended additions).
    Value xs = rts::apply(rts::field(Real::inst_Enum_Int(), 6), I_hash(0), I_hash(n - 1));
    EXPECT_EQ(intOf(rts::force(List::last(xs, Value()))), n - 1);
    EXPECT_EQ(intOf(rts::force(rts::field(rts::force(List::reverse(xs)), 0))), n - 1);
    Value copied = List::op_plus_plus(xs, ints({-1}));
    EXPECT_EQ(intOf(rts::force(List::last(copied, Value()))), -1);
    Value a = List::replicate(n, C_hash('a'));
    EXPECT_TRUE(List::eqString(a, List::replicate(n, C_hash('a'))));
    EXPECT_FALSE(List::eqString(a, List::op_plus_plus(List::replicate(n - 1, C_hash('a')), str("b"))));
}

// Int enumerations whose step does not fit an Int still step, and stop at the limit.
TEST(Lists, IntEnumerationsWithHugeSteps) {
    Value d = Real::inst_Enum_Int();
    auto fromThen = [&](int64_t x, int64_t y) {
        return int_values(List::take(4, rts::apply(rts::field(d, 5), I_hash(x), I_hash(y))));
    };
    auto fromThenTo = [&](int64_t x, int64_t y, int64_t z) {
        return int_values(rts::apply(rts::field(d, 7), I_hash(x), I_hash(y), I_hash(z)));
    };
    using V = std::vector<int64_t>;
    EXPECT_EQ(fromThen(INT64_MIN, INT64_MAX), (V{INT64_MIN, INT64_MAX}));
    EXPECT_EQ(fromThen(INT64_MAX, INT64_MIN), (V{INT64_MAX, INT64_MIN}));
    EXPECT_EQ(fromThen(INT64_MIN, 0), (V{INT64_MIN, 0}));
    EXPECT_EQ(fromThen(-1, INT64_MAX), (V{-1, INT64_MAX}));
    EXPECT_EQ(fromThen(INT64_MAX - 2, INT64_MAX - 1), (V{INT64_MAX - 2, INT64_MAX - 1, INT64_MAX}));
    EXPECT_EQ(fromThen(5, 5), (V{5, 5, 5, 5}));
    EXPECT_EQ(fromThenTo(INT64_MIN, 0, INT64_MAX), (V{INT64_MIN, 0}));
    EXPECT_EQ(fromThenTo(INT64_MIN, INT64_MAX, INT64_MAX), (V{INT64_MIN, INT64_MAX}));
    EXPECT_EQ(fromThenTo(INT64_MAX, INT64_MIN, INT64_MIN), (V{INT64_MAX, INT64_MIN}));
    EXPECT_EQ(fromThenTo(INT64_MAX, -1, INT64_MIN), (V{INT64_MAX, -1}));
    EXPECT_EQ(fromThenTo(0, 3, 10), (V{0, 3, 6, 9}));
    EXPECT_EQ(fromThenTo(10, 7, 0), (V{10, 7, 4, 1}));
    EXPECT_EQ(fromThenTo(0, -1, 1), (V{}));
    EXPECT_EQ(fromThenTo(1, 2, 0), (V{}));
}

TEST(Lists, StringFunctions) {
    auto lineTexts = [](const std::string& s) {
        std::vector<std::string> out;
        for (const Value& l : vux::testing::items(List::lines(str(s)))) out.push_back(to_string(l));
        return out;
    };
    EXPECT_EQ(lineTexts("a\nbc\n"), (std::vector<std::string>{"a", "bc"}));
    EXPECT_EQ(lineTexts("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(lineTexts("").empty());
    EXPECT_FALSE(List::eqString(str("ab"), str("abc")));
    EXPECT_TRUE(List::eqString(str(""), str("")));
    EXPECT_EQ(int_values(List::drop(2, ints({1, 2, 3}))), (std::vector<int64_t>{3}));
    EXPECT_TRUE(List::null(List::drop(5, ints({1}))));
}

// UTF-8 text in and out: well-formed text round-trips, each byte that does not start a
// well-formed sequence becomes U+FFFD, and a surrogate or out-of-range character is written as one.
TEST(Conversions, Utf8InAndOut) {
    const std::string text = "a\u00e9\u20ac\U0001F600z";
    EXPECT_EQ(List::codePoints(List::fromUtf8(text)),
              (std::vector<uint32_t>{'a', 0xE9, 0x20AC, 0x1F600, 'z'}));
    EXPECT_EQ(List::toUtf8(List::fromUtf8(text)), text);
    // Long texts, whose characters of every length fall on each byte offset of the output.
    for (size_t shift = 0; shift < 4; ++shift) {
        std::string longText(shift, 'x');
        for (int i = 0; i < 200; ++i) longText += text;
        EXPECT_EQ(List::toUtf8(List::fromUtf8(longText)), longText) << shift;
    }
    struct Malformed {
        const char* name;
        std::string bytes;
        std::vector<uint32_t> expected;
    };
    const uint32_t R = 0xFFFD;
    const Malformed cases[] = {
        {"LoneContinuation",
         "a\x80"
         "b",
         {'a', R, 'b'}},
        {"TruncatedAtEnd", "a\xE2\x82", {'a', R, R}},
        {"Overlong", "\xC0\xAF\xE0\x80\xAF", {R, R, R, R, R}},
        {"Surrogate", "\xED\xA0\x80", {R, R, R}},
        {"AboveUnicode", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"InvalidLead", "\xFF!", {R, '!'}},
    };
    for (const Malformed& c : cases)
        EXPECT_EQ(List::codePoints(List::fromUtf8(c.bytes)), c.expected) << c.name;
    Value odd = vux::testing::list({C_hash(0xD800), C_hash(0x110000), C_hash('x')});
    EXPECT_EQ(List::toUtf8(odd), "\uFFFD\uFFFDx");
}

TEST(Conversions, VectorsAndListsAndValuesOfOtherTypes) {
    std::vector<Value> xs{I_hash(1), failing(), I_hash(3)};
    std::vector<Value> back = List::toValues(List::fromValues(xs));
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < xs.size(); ++i) EXPECT_TRUE(same(back[i], xs[i]));  // elements not evaluated
    EXPECT_TRUE(List::toValues(List::fromValues({})).empty());
    // A value of another type where a list is expected raises an error, never read as a cell.
    const Value notLists[] = {VUX::Tuple::Tuple2(I_hash(1), I_hash(2)), rts::con(1, I_hash(1)),
                              rts::con(2, I_hash(1), Nil())};
    for (const Value& v : notLists) {
        EXPECT_THROW(List::toUtf8(v), rts::Exception);
        EXPECT_THROW(List::toValues(List::op_plus_plus(v, Nil())), rts::Exception);
    }
}

TEST(Records, MonadsAndSemigroups) {
    using namespace Base;
    // Maybe: Nothing short-circuits >>= without calling the continuation.
    Value k = rts::fun<1>([](const Value& x) { return Maybe::Just(I_hash(intOf(rts::force(x)) * 10)); });
    Value dM = Maybe::inst_Monad_Maybe();
    EXPECT_EQ(intOf(rts::force(rts::field(rts::force(op_gt_gt_eq(dM, Maybe::Just(I_hash(4)), k)), 0))), 40);
    EXPECT_EQ(rts::force(op_gt_gt_eq(dM, Maybe::Nothing(), failing()))->tag, Maybe::Nothing_tag);
    // Lists: >>= is concatMap.
    Value twice = rts::fun<1>([](const Value& x) { return vux::testing::list({x, x}); });
    EXPECT_EQ(int_values(op_gt_gt_eq(inst_Monad_List(), ints({1, 2}), twice)),
              (std::vector<int64_t>{1, 1, 2, 2}));
    // Functions: (f >>= k) r = k (f r) r.
    Value add = rts::fun<2>([](const Value& a, const Value& b) { return I_hash(intOf(rts::force(a)) + intOf(rts::force(b))); });
    Value bound = op_gt_gt_eq(inst_Monad_Function(), succ(), add);
    EXPECT_EQ(intOf(rts::force(rts::apply(bound, I_hash(5)))), 11);
    // stimes by doubling on lists, with Int and Integer counts; a count of 0 fails.
    Value stimes = Base::stimes(inst_Semigroup_List());
    EXPECT_EQ(to_string(rts::apply(stimes, Real::inst_Integral_Int(), I_hash(5), str("ab"))), "ababababab");
    EXPECT_EQ(to_string(rts::apply(stimes, Real::inst_Integral_Integer(), VUX::Num::Integer::IS(3), str("x"))),
              "xxx");
    try {
        rts::apply(stimes, Real::inst_Integral_Int(), I_hash(0), str("x"));
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_EQ(rts::display(e), "stimes: positive multiplier expected");
    }
    // mconcat and sconcat.
    EXPECT_EQ(to_string(rts::apply(mconcat(inst_Monoid_List()), vux::testing::list({str("a"), str(""), str("bc")}))),
              "abc");
    EXPECT_EQ(to_string(rts::apply(sconcat(inst_Semigroup_List()), op_colon_bar(str("a"), vux::testing::list({str("b")})))),
              "ab");
}

// `fix` ties a knot: the value refers to itself and is never freed. The check runs in a child
// process that ends with _Exit, so the leak checker of the sanitizer builds (which runs at normal
// exit) looks only at the parent, where no knot was tied.
[[noreturn]] void tieAKnotAndExit() {
    // An endless list defined through itself: one cell, its tail the list itself.
    Value ones = Base::fix(rts::fun<1>([](const Value& self) { return Cons(I_hash(1), self); }));
    const bool taken = int_values(List::take(3, ones)) == std::vector<int64_t>{1, 1, 1};
    const Value& cell = rts::force(ones);
    const bool shared = same(rts::force(rts::field(cell, 1)), cell);
    std::fprintf(stderr, "taken=%d shared=%d\n", taken, shared);
    std::_Exit(taken && shared ? 0 : 1);
}

TEST(Records, FixTiesAKnotInAChildProcess) {
    EXPECT_EXIT(tieAKnotAndExit(), ::testing::ExitedWithCode(0), "taken=1 shared=1");
}

TEST(Records, FixWithoutAKnotKeepsNothing) {
    // f's captures stay alive exactly as long as f: freed once no knot holds them.
    auto captured = std::make_shared<int>(0);
    {
        Value f = rts::fun<1>([captured](const Value&) { return I_hash(5); });
        Value evaluated = Base::fix(f);
        Value unevaluated = Base::fix(f);
        EXPECT_EQ(intOf(rts::force(evaluated)), 5);
        EXPECT_GT(captured.use_count(), 1);
    }
    EXPECT_EQ(captured.use_count(), 1);
}

TEST(Strings, IsStringOfStringIsTheListItself) {
    Value s = List::op_plus_plus(str("ab"), failing());  // a tail that must not be demanded
    Value made = Data::String::fromString(Data::String::inst_IsString_List.value(), s);
    EXPECT_TRUE(same(made, s));
}

}  // namespace
