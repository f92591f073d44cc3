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

// ---------------------------------------------------------------------------------------------
// Packed text

// The UTF-8 text of characters given one per byte (Latin-1).
std::string latin1ToUtf8(const std::string& bytes) {
    std::vector<uint32_t> points(bytes.begin(), bytes.end());
    for (uint32_t& p : points) p &= 0xFF;
    std::string out;
    for (uint32_t p : points) out += List::toUtf8(List::fromValues({List::boxChar(p)}));
    return out;
}

// A packed run stands for its characters whoever reads it: a walk that owns it (the value moved
// in, its only reference) reads it in place, any other reader forces it to cells, and both see the
// same text, also when the run is forced first and read in place after or the other way round.
TEST(PackedText, StandsForItsCharacters) {
    struct Case {
        int64_t spaces;
        std::string latin1, tail;
    };
    const Case cases[] = {
        {0, "abc", ""}, {3, "", "x"}, {-4, "q", "r"}, {256, "\xe9z\n", ""},
        {257, "", "end"}, {1000, "a b\n", "\xff"}, {5, std::string(3000, 'w'), "!"},
    };
    for (const Case& c : cases) {
        const std::string text = std::string(std::max<int64_t>(c.spaces, 0), ' ') + c.latin1 + c.tail;
        const std::vector<uint32_t> points(vux::testing::code_points(str(text)));
        auto run = [&] { return List::packedText(c.spaces, c.latin1, str(c.tail)); };
        EXPECT_EQ(List::toUtf8(run()), latin1ToUtf8(text)) << text;
        EXPECT_EQ(List::codePoints(run()), points) << text;
        std::vector<uint32_t> viaValues;
        for (const Value& ch : List::toValues(run())) viaValues.push_back(charOf(rts::force(ch)));
        EXPECT_EQ(viaValues, points) << text;
        // Two holders: the first reader forces it, the second reads the cells.
        Value held = run();
        Value other = held;
        EXPECT_EQ(vux::testing::code_points(held), points) << text;
        EXPECT_EQ(List::toUtf8(std::move(other)), latin1ToUtf8(text)) << text;
        EXPECT_TRUE(List::eqString(held, str(text))) << text;
        EXPECT_EQ(List::length(held), static_cast<int64_t>(points.size())) << text;
    }
    // A run of nothing is its tail itself.
    Value tail = str("t");
    EXPECT_TRUE(same(List::packedText(0, "", tail), tail));
    EXPECT_TRUE(same(List::packedText(-3, "", tail), tail));
}

// Read in place, a run builds no cell: a million spaces cost no allocation per character, also
// when the run is reached behind a cell or behind another run.
TEST(PackedText, AnOwnedRunIsReadInPlace) {
    Value text = Cons(List::boxChar('>'), List::packedText(1000000, "ab", List::packedText(2, "cd", str("."))));
    const uint64_t before = rts::thread_allocated_bytes();
    const std::string out = List::toUtf8(std::move(text));
    EXPECT_LT(rts::thread_allocated_bytes() - before, 4096u);
    EXPECT_EQ(out, ">" + std::string(1000000, ' ') + "ab  cd.");
    // The same text read by a walk that does not own it is built a block of cells at a time.
    Value shared = List::packedText(1000000, "ab", Nil());
    EXPECT_EQ(List::length(shared), 1000002);
}

// What follows a run is forced only when reached, and its error surfaces after the run's
// characters: the first characters of a run in front of a failing tail read without error.
TEST(PackedText, ATailIsForcedOnlyWhenReached) {
    vux::testing::Counter counter;
    auto run = [&] { return List::packedText(300, "ab", vux::testing::counting(counter, failing())); };
    EXPECT_EQ(List::toUtf8(List::take(302, run())), std::string(300, ' ') + "ab");
    EXPECT_EQ(counter.count(), 0);
    try {
        List::toUtf8(run());
        ADD_FAILURE() << "the failing tail was not reached";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e));
    }
    EXPECT_EQ(counter.count(), 1);
    EXPECT_THROW(List::length(run()), rts::Exception);
    EXPECT_THROW(List::codePoints(run()), rts::Exception);
}

// Runs in an endless text, each made on demand: a reader takes as much as it needs.
TEST(PackedText, EndlessTextOfRuns) {
    struct Endless {
        static Value from(int i) {
            return List::packedText(i % 3, "ab", rts::delay([i] { return Cons(List::boxChar('|'), from(i + 1)); }));
        }
    };
    EXPECT_EQ(List::toUtf8(List::take(16, Endless::from(0))), "ab| ab|  ab|ab| ");
    EXPECT_EQ(List::length(List::take(100000, Endless::from(0))), 100000);
}

// A text that comes back to its own run is a cycle and never freed, hence a child process (see
// tieAKnotAndExit): the run, forced by the first reader, then stands for the cells of the cycle.
[[noreturn]] void packAKnotAndExit() {
    auto self = std::make_shared<Value>();
    Value back = rts::delay([self] { return *self; });
    *self = List::packedText(1, "ab", back);
    const bool taken = List::toUtf8(List::take(8, *self)) == " ab ab a";
    const bool again = List::toUtf8(List::take(4, *self)) == " ab ";
    std::fprintf(stderr, "taken=%d again=%d\n", taken, again);
    std::_Exit(taken && again ? 0 : 1);
}

TEST(PackedText, ACycleThroughARun) {
    EXPECT_EXIT(packAKnotAndExit(), ::testing::ExitedWithCode(0), "taken=1 again=1");
}

// The builder packs evaluated characters below 256 and spaces; anything else stays as it is, in
// its place, evaluated only when read: characters above 255, suspended ones, failing ones.
TEST(PackedText, TheBuilderKeepsWhatItCannotPack) {
    vux::testing::Counter counter;
    auto build = [&] {
        List::TextBuilder b;
        b.pushSpaces(2);
        b.pushChar('a');
        b.pushChar(0x263A);
        b.pushChar(0xE9);
        b.push(vux::testing::counting(counter, C_hash('c')));
        b.push(C_hash(0x1F600));
        b.push(List::boxChar('d'));
        b.pushSpaces(40);
        b.pushSpaces(3);
        b.pushChar(0xD800);
        b.push(failing());
        b.pushChar('!');
        EXPECT_FALSE(b.empty());
        return b.finish(str("end"));
    };
    // The characters before the failing one, and after it.
    std::vector<uint32_t> before = {' ', ' ', 'a', 0x263A, 0xE9, 'c', 0x1F600, 'd'};
    before.insert(before.end(), 43, ' ');
    before.push_back(0xD800);
    const std::vector<uint32_t> after = {'!', 'e', 'n', 'd'};
    const auto failingAt = static_cast<int64_t>(before.size());

    Value text = build();
    EXPECT_TRUE(List::evaluatedListCell(text));  // the first character is a cell
    EXPECT_EQ(List::length(text), failingAt + 1 + static_cast<int64_t>(after.size()));
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(List::codePoints(List::take(failingAt, text)), before);
    EXPECT_EQ(counter.count(), 1);
    EXPECT_EQ(List::codePoints(List::drop(failingAt + 1, text)), after);
    EXPECT_THROW(List::codePoints(build()), rts::Exception);
    EXPECT_THROW(List::toUtf8(build()), rts::Exception);
    // Without the failing character, the owned walks read the same text.
    List::TextBuilder b;
    for (uint32_t p : before) b.pushChar(p);
    EXPECT_EQ(List::codePoints(b.finish(Nil())), before);
    List::TextBuilder empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(same(empty.finish(Nil()), Nil()));
}

TEST(Strings, IsStringOfStringIsTheListItself) {
    Value s = List::op_plus_plus(str("ab"), failing());  // a tail that must not be demanded
    Value made = Data::String::fromString(Data::String::inst_IsString_List.value(), s);
    EXPECT_TRUE(same(made, s));
}

}  // namespace
