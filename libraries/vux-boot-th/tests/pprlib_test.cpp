// The document layer: whole rendered texts of its constants and combinators, the renumbering of
// unique names, and the state flowing left to right through every combinator.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Testing.h"
#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/PprLib.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Num/Integer.h"

using namespace VUX::Boot::TH::PprLib;
namespace S = VUX::Internal::TH::Syntax;
namespace P = Text::PrettyPrint::Drovane;
namespace B = VUX::Internal::Base;
using vux::testing::failing;
using vux::testing::is_failure;
using vux::testing::str;
using vux::testing::to_string;

namespace {

std::string rendered(const Value& m) { return to_string(show(m)); }
Value t(const char* s) { return text(str(s)); }
Value docs(std::initializer_list<Value> ms) { return S::list(ms); }
// The counter of the state a run from the initial state leaves.
int64_t counterAfter(const Value& m) {
    Value counter = rts::field(run(m, initialState()).state, 1);
    return VUX::Num::Integer::integerToInt_hash(rts::force(counter));
}

TEST(PprLibDocuments, ConstantsAndValues) {
    struct Row {
        Value m;
        const char* text;
    };
    const Row rows[] = {
        {empty(), ""},
        {semi(), ";"},
        {comma(), ","},
        {colon(), ":"},
        {space(), " "},
        {equals(), "="},
        {hcat(docs({lparen(), rparen(), lbrack(), rbrack(), lbrace(), rbrace()})), "()[]{}"},
        {dcolon(), "::"},
        {arrow(), "->"},
        {ptext(str("p")), "p"},
        {char_(VUX::Types::C_hash('c')), "c"},
        {int_(S::int_(-42)), "-42"},
        {integer(S::integer(123)), "123"},
        {double_(VUX::Types::D_hash(2.5)), "2.5"},
        {float_(VUX::Types::F_hash(0.1f)), "0.1"},
        {rational(VUX::Internal::Real::op_percent(S::integer(-3), S::integer(4))), "(-3) % 4"},
        {parens(empty()), "()"},
        {brackets(empty()), "[]"},
        {braces(empty()), "{}"},
        {quotes(empty()), "''"},
        {doubleQuotes(empty()), "\"\""},
        {parens(t("a")), "(a)"},
        {quotes(t("a")), "'a'"},
        {doubleQuotes(t("a")), "\"a\""},
        {op_lt_plus_gt(t("a"), empty()), "a"},
        {op_lt_plus_gt(empty(), t("a")), "a"},
        {op_lt_gt(t("a"), t("b")), "ab"},
        {op_lt_plus_gt(t("a"), t("b")), "a b"},
        {op_dollar_dollar(t("a"), t("b")), "a\nb"},
        {op_dollar_dollar(t("abc"), nest(S::int_(4), t("b"))), "abc b"},
        {op_dollar_plus_dollar(t("abc"), nest(S::int_(4), t("b"))), "abc\n    b"},
        {hsep(docs({})), ""},
        {vcat(docs({})), ""},
        {sep(docs({})), ""},
        {fsep(docs({})), ""},
        {hsep(docs({t("a"), empty(), t("b")})), "a b"},
        {vcat(docs({t("a"), t("b")})), "a\nb"},
        {sep(docs({t("a"), t("b")})), "a b"},
        {cat(docs({t("a"), t("b")})), "ab"},
        {hang(t("let"), S::int_(2), t("x")), "let x"},
        {hang(t("let"), S::int_(2), vcat(docs({t("x"), t("y")}))), "let\n  x\n  y"},
        {hsep(punctuate(comma(), docs({t("a"), t("b"), t("c")}))), "a, b, c"},
    };
    for (const auto& r : rows) EXPECT_EQ(rendered(r.m), r.text);
}

// The ribbon is 67 characters on a line of 100.
TEST(PprLibDocuments, LayoutFollowsTheRibbon) {
    std::string word(10, 'w');
    auto words = [&](int n) {
        std::vector<Value> ms(n, t(word.c_str()));
        return vux::testing::list(ms);
    };
    std::string six = word;
    for (int i = 1; i < 6; ++i) six += " " + word;
    EXPECT_EQ(rendered(sep(words(6))), six);  // 65 characters fit
    std::string stacked = word;
    for (int i = 1; i < 7; ++i) stacked += "\n" + word;
    EXPECT_EQ(rendered(sep(words(7))), stacked);  // 76 do not
    EXPECT_EQ(rendered(fsep(words(7))), six + "\n" + word);
    EXPECT_EQ(rendered(nest(S::int_(3), t("x"))), "   x");
}

TEST(PprLibDocuments, PunctuateKeepsShortLists) {
    EXPECT_TRUE(vux::testing::items(punctuate(comma(), docs({}))).empty());
    Value one = t("a");
    auto items = vux::testing::items(punctuate(comma(), docs({one})));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(rts::same(items[0], one));
}

TEST(PprLibDocuments, IsEmptyTestsTheDocumentItself) {
    auto isEmptyOf = [](const Value& m) {
        return VUX::Types::isTrue(rts::force(run(isEmpty(m), initialState()).result));
    };
    EXPECT_TRUE(isEmptyOf(empty()));
    EXPECT_TRUE(isEmptyOf(hsep(docs({empty(), empty()}))));
    EXPECT_FALSE(isEmptyOf(t("")));
}

TEST(PprLibShow, ShowsPrecShowListAndToDoc) {
    Value m = op_lt_plus_gt(t("a"), t("b"));
    EXPECT_EQ(to_string(showsPrec(S::int_(11), m, str("!"))), "a b!");
    EXPECT_EQ(to_string(showsPrec(S::int_(0), m, str("!"))), "a b!");
    EXPECT_EQ(to_string(showList(docs({}), str(""))), "[]");
    EXPECT_EQ(to_string(showList(docs({t("a b"), t("c")}), str("."))), "[a b,c].");
    Value viaRecord = rts::apply(VUX::Internal::Show::show(inst_Show_PprM_Doc()), m);
    EXPECT_EQ(to_string(viaRecord), "a b");
    EXPECT_EQ(to_string(renderDoc(to_Drovane_Doc(m))), "a b");
}

// Unique names receive 0, 1, ... in the order the document first meets them.
TEST(PprLibRenumbering, WholeTexts) {
    Value x = S::mkNameU("x", 5021), y = S::mkNameU("y", 77), x2 = S::mkNameU("x", 5021);
    Value op = S::mkNameU("+", 9);
    struct Row {
        Value m;
        const char* text;
        int64_t counter;
    };
    const Row rows[] = {
        // distinct names in order, the same name (built apart, in any position) reusing its number
        {hsep(docs({pprName(x), pprName(y), pprName_prime(S::Applied(), x2), pprName_prime(S::Infix(), x)})),
         "x_0 y_1 x_0 `x_0`", 2},
        // swapping the operands swaps the numbers
        {op_lt_plus_gt(pprName(y), pprName(x)), "y_0 x_1", 2},
        // the same unique with another occurrence is another name
        {hsep(docs({pprName(S::mkNameU("a", 3)), pprName(S::mkNameU("b", 3)), pprName(S::mkNameU("a", 3))})),
         "a_0 b_1 a_0", 2},
        // other flavours print as they are and leave the numbering alone
        {hsep(docs({pprName(S::mkNameQ("M", "f")), pprName(y), pprName(S::mkName("g")), pprName(x)})),
         "M.f y_0 g x_1", 2},
        {hsep(docs({pprName_prime(S::Applied(), op), pprName_prime(S::Infix(), op), pprName(op)})),
         "(+_0) +_0 +_0", 1},
        {pprName(S::mkNameL("l", 4)), "l_4", 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(rendered(r.m), r.text);
        EXPECT_EQ(counterAfter(r.m), r.counter) << r.text;
        EXPECT_EQ(rendered(r.m), r.text) << "a second rendering starts again from 0";
    }
}

// Each combinator runs its parts in argument order: a is numbered before b.
TEST(PprLibRenumbering, StateFlowsLeftToRightThroughEveryCombinator) {
    Value a = pprName(S::mkNameU("a", 100)), b = pprName(S::mkNameU("b", 1));
    struct Row {
        const char* name;
        Value m;
        const char* text;
    };
    Value k = rts::fun<1>([b](const Value& da) { return op_lt_gt(document(da), b); });
    Value pairUp = rts::fun<2>([](const Value& p, const Value& q) { return P::op_lt_plus_gt(p, q); });
    const Row rows[] = {
        {"<>", op_lt_gt(a, b), "a_0b_1"},
        {"<+>", op_lt_plus_gt(a, b), "a_0 b_1"},
        {"$$", op_dollar_dollar(a, b), "a_0\nb_1"},
        {"$+$", op_dollar_plus_dollar(a, b), "a_0\nb_1"},
        {"hcat", hcat(docs({a, b})), "a_0b_1"},
        {"hsep", hsep(docs({a, b})), "a_0 b_1"},
        {"vcat", vcat(docs({a, b})), "a_0\nb_1"},
        {"sep", sep(docs({a, b})), "a_0 b_1"},
        {"cat", cat(docs({a, b})), "a_0b_1"},
        {"fsep", fsep(docs({a, b})), "a_0 b_1"},
        {"fcat", fcat(docs({a, b})), "a_0b_1"},
        {"hang", hang(a, S::int_(2), b), "a_0 b_1"},
        {"nest", op_lt_gt(nest(S::int_(1), a), b), " a_0b_1"},
        {"parens", op_lt_gt(parens(a), b), "(a_0)b_1"},
        {"brackets", op_lt_gt(brackets(a), b), "[a_0]b_1"},
        {"braces", op_lt_gt(braces(a), b), "{a_0}b_1"},
        {"quotes", op_lt_gt(quotes(a), b), "'a_0'b_1"},
        {"doubleQuotes", op_lt_gt(doubleQuotes(a), b), "\"a_0\"b_1"},
        {">>=", op_gt_gt_eq(a, k), "a_0b_1"},
        {">>", op_lt_gt(op_gt_gt(a, b), a), "b_1a_0"},
        {"*>", op_lt_gt(op_star_gt(a, b), a), "b_1a_0"},
        {"<*", op_lt_gt(op_lt_star(a, b), b), "a_0b_1"},
        {"liftA2", liftA2(pairUp, a, b), "a_0 b_1"},
        {"<*>", op_lt_star_gt(fmap(pairUp, a), b), "a_0 b_1"},
        {"<$", op_lt_gt(op_lt_dollar(P::text(str("c")), a), b), "cb_1"},
        {"isEmpty", op_gt_gt(isEmpty(a), b), "b_1"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(rendered(r.m), r.text);
        EXPECT_EQ(counterAfter(r.m), 2);
    }
}

// The separator runs after each element it is attached to, once per place.
TEST(PprLibRenumbering, PunctuateAttachesTheSeparatorAfterEachElement) {
    Value separator = op_lt_gt(comma(), pprName(S::mkNameU("s", 9)));
    Value items =
        docs({pprName(S::mkNameU("a", 1)), pprName(S::mkNameU("b", 1)), pprName(S::mkNameU("c", 1))});
    Value m = hsep(punctuate(separator, items));
    EXPECT_EQ(rendered(m), "a_0,s_1 b_2,s_1 c_3");
    EXPECT_EQ(counterAfter(m), 4);
}

TEST(PprLibLaziness, DocumentsAreBuiltOnDemandStatesAtOnce) {
    // A part whose document fails leaves the state to flow on; only rendering demands the document.
    Value m = op_lt_plus_gt(document(failing()), pprName(S::mkNameU("a", 1)));
    EXPECT_EQ(counterAfter(m), 1);
    try {
        rendered(m);
        FAIL() << "the failing document was not demanded";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(is_failure(e));
    }
    // Building a computation runs nothing; the name itself is evaluated when the computation is built.
    vux::testing::Counter runs;
    Value counted = rts::fun<1>(
        [runs](const Value& s) { return vux::testing::counting(runs, VUX::Tuple::Tuple2(P::empty(), s)); });
    Value built = hsep(docs({PprM(counted), PprM(counted)}));
    EXPECT_EQ(runs.count(), 0);
    rendered(built);
    EXPECT_EQ(runs.count(), 2);
    EXPECT_THROW(pprName(failing()), rts::Exception);
}

TEST(PprLibMonad, RecordsThreadTheState) {
    Value a = pprName(S::mkNameU("a", 1));
    Value k = rts::fun<1>([](const Value& d) { return document(d); });
    Value viaMonad = rts::apply(B::op_gt_gt_eq(inst_Monad_PprM()), a, k);
    EXPECT_EQ(rendered(viaMonad), "a_0");
    Value viaPure = rts::apply(B::pure(inst_Applicative_PprM()), P::text(str("p")));
    EXPECT_EQ(rendered(viaPure), "p");
    EXPECT_EQ(counterAfter(viaPure), 0);
    Value viaFunctor =
        rts::apply(B::fmap(inst_Functor_PprM()), rts::fun<1>([](const Value& d) { return P::parens(d); }), a);
    EXPECT_EQ(rendered(viaFunctor), "(a_0)");
}

TEST(PprLibDeep, LongListsAndDeepNesting) {
    std::vector<Value> many;
    for (int i = 0; i < 20000; ++i) many.push_back(pprName(S::mkNameU("v", i)));
    Value m = vcat(vux::testing::list(many));
    EXPECT_EQ(counterAfter(m), 20000);
    // A very deep composition either runs or raises the catchable stack overflow, never crashes.
    Value deep = pprName(S::mkNameU("d", 1));
    for (int i = 0; i < 1000000; ++i) deep = parens(deep);
    try {
        EXPECT_EQ(counterAfter(deep), 1);
    } catch (const rts::Exception& e) {
        EXPECT_EQ(e.kind(), rts::RtsError::StackOverflow);
    }
}

}  // namespace
