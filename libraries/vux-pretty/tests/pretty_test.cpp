// The Pretty class in both copies: texts of base values at precedences 0 and 11, the precedence
// test, what each instance forces, the defaults, and PrettyLevel's instances.
#include "PrettyTesting.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "Text/PrettyPrint/Annotated/DrovaneClass.h"
#include "Text/PrettyPrint/DrovaneClass.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "Data/Either.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"

using namespace pretty_testing;
using vux::testing::failing;
using vux::testing::str;
using vux::testing::to_string;
using VUX::Internal::Maybe::Just;
using VUX::Internal::Maybe::Nothing;
using VUX::Num::Integer::IS;
namespace AC = Text::PrettyPrint::Annotated::DrovaneClass;
namespace PC = Text::PrettyPrint::DrovaneClass;

namespace {

// The operations of one copy of the class.
struct Copy {
    const char* name;
    Value (*Int)();
    Value (*Integer)();
    Value (*Double)();
    Value (*Char)();
    Value (*Unit)();
    Value (*Bool)();
    Value (*Ordering)();
    Value (*Maybe)(const Value&);
    Value (*Either)(const Value&, const Value&);
    Value (*List)(const Value&);
    Value (*Tuple2)(const std::array<Value, 2>&);
    Value (*Tuple8)(const std::array<Value, 8>&);
    Value (*pPrintPrec)(const Value&, const Value&, const Value&, const Value&);
    Value (*prettyShow)(const Value&, const Value&);
    Value (*prettyParen)(const Value&, const Value&);
    Value (*prettyRecord)(Value, Value, Value);
    Value (*prettyNormal)();
    Value (*precEleven)();
    bool (*above10)(const Value&);
    Value (*showLevel)();
    Value (*ordLevel)();
    Value (*render)(const Value&);
};
#define VUX_COPY(ns, render)                                                                                \
    Copy {                                                                                                  \
        #ns, &ns::inst_Pretty_Int, &ns::inst_Pretty_Integer, &ns::inst_Pretty_Double, &ns::inst_Pretty_Char, \
            &ns::inst_Pretty_Unit, &ns::inst_Pretty_Bool, &ns::inst_Pretty_Ordering, &ns::inst_Pretty_Maybe,  \
            &ns::inst_Pretty_Either, &ns::inst_Pretty_List, &ns::inst_Pretty_Tuple<2>,                       \
            &ns::inst_Pretty_Tuple<8>, &ns::pPrintPrec, &ns::prettyShow, &ns::prettyParen, &ns::prettyRecord, \
            &ns::prettyNormal, &ns::precEleven, &ns::precedenceAbove10, &ns::inst_Show_PrettyLevel,           \
            &ns::inst_Ord_PrettyLevel, &render                                                                \
    }
void PrintTo(const Copy& c, std::ostream* os) { *os << c.name; }

const Copy copies[] = {VUX_COPY(AC, D::render), VUX_COPY(PC, Text::PrettyPrint::Drovane::render)};
#undef VUX_COPY

Value ratio(int64_t n, int64_t d) { return VUX::Internal::Real::op_percent(IS(n), IS(d)); }
Value chr(char c) { return VUX::Types::C_hash(static_cast<unsigned char>(c)); }
Value pair(Value a, Value b) { return VUX::Tuple::Tuple2(std::move(a), std::move(b)); }

class PrettyCopies : public ::testing::TestWithParam<Copy> {
  protected:
    const Copy& c = GetParam();
    std::string at(const Value& dPretty, const Value& prec, const Value& x) {
        return to_string(c.render(c.pPrintPrec(dPretty, c.prettyNormal(), prec, x)));
    }
    Value string() { return c.List(c.Char()); }
};

}  // namespace

TEST_P(PrettyCopies, TextsAtPrecedence0And11) {
    struct Row {
        const char* name;
        std::function<Value(const Copy&)> record;
        std::function<Value()> value;
        std::string at0, at11;
    };
    using namespace VUX::Num::Integer;
    const Row rows[] = {
        {"Int", [](const Copy& c) { return c.Int(); }, [] { return I(5); }, "5", "5"},
        {"negative Int", [](const Copy& c) { return c.Int(); }, [] { return I(-5); }, "-5", "-5"},
        {"Integer", [](const Copy& c) { return c.Integer(); }, [] { return integerNegate(integerPow(IS(10), 20)); },
         "-100000000000000000000", "-100000000000000000000"},
        {"Double", [](const Copy& c) { return c.Double(); }, [] { return VUX::Types::D_hash(-0.25); }, "-0.25", "-0.25"},
        {"Char", [](const Copy& c) { return c.Char(); }, [] { return chr('x'); }, "x", "x"},
        {"string", [](const Copy& c) { return c.List(c.Char()); }, [] { return str("a\"b\n"); }, "\"a\\\"b\\n\"",
         "\"a\\\"b\\n\""},
        {"empty string", [](const Copy& c) { return c.List(c.Char()); }, [] { return str(""); }, "\"\"", "\"\""},
        {"unit", [](const Copy& c) { return c.Unit(); }, [] { return VUX::Tuple::Unit(); }, "()", "()"},
        {"Bool", [](const Copy& c) { return c.Bool(); }, [] { return VUX::Types::True(); }, "True", "True"},
        {"Ordering", [](const Copy& c) { return c.Ordering(); }, [] { return VUX::Types::GT(); }, "GT", "GT"},
        {"Just", [](const Copy& c) { return c.Maybe(c.Int()); }, [] { return Just(I(5)); }, "Just 5", "(Just 5)"},
        {"Just negative", [](const Copy& c) { return c.Maybe(c.Int()); }, [] { return Just(I(-1)); }, "Just -1",
         "(Just -1)"},
        {"nested Just", [](const Copy& c) { return c.Maybe(c.Maybe(c.Int())); }, [] { return Just(Just(I(1))); },
         "Just (Just 1)", "(Just (Just 1))"},
        {"Nothing", [](const Copy& c) { return c.Maybe(c.Int()); }, [] { return Nothing(); }, "Nothing", "Nothing"},
        {"Left", [](const Copy& c) { return c.Either(c.Char(), c.List(c.Char())); },
         [] { return Data::Either::Left(chr('x')); }, "Left x", "(Left x)"},
        {"Right", [](const Copy& c) { return c.Either(c.Char(), c.List(c.Char())); },
         [] { return Data::Either::Right(str("ab")); }, "Right \"ab\"", "(Right \"ab\")"},
        {"pair", [](const Copy& c) { return c.Tuple2({c.Int(), c.Char()}); }, [] { return pair(I(1), chr('a')); },
         "(1, a)", "(1, a)"},
        {"8-tuple",
         [](const Copy& c) {
             return c.Tuple8({c.Int(), c.Char(), c.Bool(), c.Unit(), c.Ordering(), c.Maybe(c.Int()),
                              c.List(c.Int()), c.List(c.Char())});
         },
         [] {
             return VUX::Tuple::Tuple(I(1), chr('c'), VUX::Types::False(), VUX::Tuple::Unit(), VUX::Types::LT(),
                                      Just(I(2)), vux::testing::ints({3}), str("s"));
         },
         "(1, c, False, (), LT, Just 2, [3], \"s\")", "(1, c, False, (), LT, Just 2, [3], \"s\")"},
        {"list of pairs", [](const Copy& c) { return c.List(c.Tuple2({c.Int(), c.Int()})); },
         [] { return vux::testing::list({pair(I(1), I(2)), pair(I(3), I(4))}); }, "[(1, 2), (3, 4)]",
         "[(1, 2), (3, 4)]"},
        {"list of lists", [](const Copy& c) { return c.List(c.List(c.Int())); },
         [] { return vux::testing::list({vux::testing::ints({1, 2}), vux::testing::ints({3})}); }, "[[1, 2], [3]]",
         "[[1, 2], [3]]"},
        {"list of strings", [](const Copy& c) { return c.List(c.List(c.Char())); },
         [] { return vux::testing::list({str("a"), str("")}); }, "[\"a\", \"\"]", "[\"a\", \"\"]"},
        {"units", [](const Copy& c) { return c.List(c.Unit()); },
         [] { return vux::testing::list({VUX::Tuple::Unit(), VUX::Tuple::Unit()}); }, "[(), ()]", "[(), ()]"},
        {"Bools", [](const Copy& c) { return c.List(c.Bool()); },
         [] { return vux::testing::list({VUX::Types::True(), VUX::Types::False()}); }, "[True, False]",
         "[True, False]"},
        {"orderings", [](const Copy& c) { return c.List(c.Ordering()); },
         [] { return vux::testing::list({VUX::Types::LT(), VUX::Types::EQ(), VUX::Types::GT()}); }, "[LT, EQ, GT]",
         "[LT, EQ, GT]"},
        {"empty list", [](const Copy& c) { return c.List(c.Int()); }, [] { return VUX::Types::Nil(); }, "[]", "[]"},
        {"Just of an empty document",
         [](const Copy& c) {
             Value empty = rts::fun<3>([](const Value&, const Value&, const Value&) { return D::empty(); });
             return c.Maybe(c.prettyRecord(empty, Value(), Value()));
         },
         [] { return Just(VUX::Tuple::Unit()); }, "Just", "(Just)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Value d = row.record(c);
        EXPECT_EQ(at(d, ratio(0, 1), row.value()), row.at0);
        EXPECT_EQ(at(d, c.precEleven(), row.value()), row.at11);
        EXPECT_EQ(to_string(c.prettyShow(d, row.value())), row.at0);
    }
}

TEST_P(PrettyCopies, PrecedenceTest) {
    struct Row {
        int64_t n, d;
        bool above;
    } rows[] = {{11, 1, true}, {21, 2, true}, {10, 1, false}, {0, 1, false}, {-5, 1, false}, {20, 2, false}};
    Value justInt = c.Maybe(c.Int());
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.n) + "/" + std::to_string(r.d));
        EXPECT_EQ(c.above10(ratio(r.n, r.d)), r.above);
        EXPECT_EQ(at(justInt, ratio(r.n, r.d), Just(I(5))), r.above ? "(Just 5)" : "Just 5");
    }
    // Beyond the machine range the products are big numbers.
    Value huge = VUX::Num::Integer::integerPow(IS(10), 30);
    EXPECT_TRUE(c.above10(VUX::Internal::Real::op_percent(huge, IS(7))));
    EXPECT_FALSE(c.above10(VUX::Internal::Real::op_percent(IS(1), huge)));
    // The shared 11/1 is one value, already reduced.
    EXPECT_TRUE(rts::same(c.precEleven(), c.precEleven()));
    EXPECT_EQ(VUX::Num::Integer::integerToInt_hash(VUX::Internal::Real::numerator(c.precEleven())), 11);
}

TEST_P(PrettyCopies, ForcesExactlyWhatEachInstanceNeeds) {
    Value l = c.prettyNormal();
    Value justInt = c.Maybe(c.Int());
    // Maybe: Nothing never demands the precedence; Just does.
    EXPECT_EQ(to_string(c.render(c.pPrintPrec(justInt, l, failing(), Nothing()))), "Nothing");
    EXPECT_THROW(c.pPrintPrec(justInt, l, failing(), Just(I(1))), rts::Exception);
    // Either demands the precedence before looking at the value.
    Value either = c.Either(c.Int(), c.Int());
    EXPECT_THROW(c.pPrintPrec(either, l, failing(), Data::Either::Left(I(1))), rts::Exception);
    try {
        c.pPrintPrec(either, l, failing("precedence"), failing("value"));
        ADD_FAILURE() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "precedence"));
    }
    // Tuples and lists never demand it; unit never demands its value.
    Value pairRecord = c.Tuple2({c.Int(), c.Int()});
    EXPECT_EQ(to_string(c.render(c.pPrintPrec(pairRecord, l, failing(), pair(I(1), I(2))))), "(1, 2)");
    EXPECT_EQ(to_string(c.render(c.pPrintPrec(c.List(c.Int()), l, failing(), vux::testing::ints({1})))), "[1]");
    EXPECT_EQ(to_string(c.render(c.pPrintPrec(c.Unit(), l, failing(), failing()))), "()");
    // Component and element documents are suspended until the layout reaches them.
    Value lazyPair = c.pPrintPrec(pairRecord, l, ratio(0, 1), pair(I(1), failing()));
    EXPECT_THROW(to_string(c.render(lazyPair)), rts::Exception);
    Value lazyList = c.pPrintPrec(c.List(c.Int()), l, ratio(0, 1), vux::testing::list({I(1), failing()}));
    EXPECT_THROW(to_string(c.render(lazyList)), rts::Exception);
}

TEST_P(PrettyCopies, LongListsAreFilled) {
    std::vector<int64_t> xs;
    for (int i = 0; i < 40; ++i) xs.push_back(1000 + i);
    std::string text = at(c.List(c.Int()), ratio(0, 1), vux::testing::ints(xs));
    // 67 columns of text per line (the default ribbon); continuation lines sit under the first element.
    std::string expected =
        "[1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,\n"
        " 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021,\n"
        " 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032,\n"
        " 1033, 1034, 1035, 1036, 1037, 1038, 1039]";
    EXPECT_EQ(text, expected);
}

TEST_P(PrettyCopies, DefaultsAndPrettyParen) {
    // Only pPrint given: pPrintPrec ignores level and precedence.
    Value print = rts::fun<1>([](const Value& x) { return D::text(str("v" + std::to_string(VUX::Types::intOf(rts::force(x))))); });
    Value fromPrint = c.prettyRecord(Value(), print, Value());
    EXPECT_EQ(at(fromPrint, failing(), I(3)), "v3");
    EXPECT_EQ(at(c.List(fromPrint), ratio(0, 1), vux::testing::ints({1, 2})), "[v1, v2]");
    // Only pPrintPrec given: pPrint uses level 0 and precedence 0.
    Value prec = rts::fun<3>([](const Value& level, const Value& p, const Value&) {
        int64_t n = VUX::Num::Integer::integerToInt_hash(VUX::Internal::Real::numerator(p));
        return D::text(str(std::to_string(VUX::Types::intOf(rts::force(level))) + "/" + std::to_string(n)));
    });
    Value fromPrec = c.prettyRecord(prec, Value(), Value());
    EXPECT_EQ(to_string(c.prettyShow(fromPrec, VUX::Tuple::Unit())), "0/0");
    EXPECT_EQ(to_string(c.render(c.pPrintPrec(c.List(fromPrec), I(4), c.precEleven(),
                                                vux::testing::list({VUX::Tuple::Unit()})))),
              "[4/0]");
    EXPECT_THROW(c.prettyRecord(Value(), Value(), Value()), std::invalid_argument);

    Value x = t("x");
    EXPECT_TRUE(rts::same(c.prettyParen(VUX::Types::False(), x), x));
    EXPECT_EQ(to_string(c.render(c.prettyParen(VUX::Types::True(), D::empty()))), "()");
    EXPECT_EQ(to_string(c.render(c.prettyParen(VUX::Types::True(), x))), "(x)");
}

TEST_P(PrettyCopies, PrettyLevelInstances) {
    Value show = c.showLevel();
    auto showsPrec = [&](int64_t d, int64_t level) {
        return to_string(VUX::Internal::Show::showsPrec(show, d, I(level), VUX::Types::Nil()));
    };
    EXPECT_EQ(to_string(VUX::Internal::Show::show(show, c.prettyNormal())), "PrettyLevel 0");
    EXPECT_EQ(showsPrec(11, 3), "(PrettyLevel 3)");
    EXPECT_EQ(showsPrec(10, 3), "PrettyLevel 3");
    EXPECT_EQ(showsPrec(0, -1), "PrettyLevel (-1)");
    EXPECT_EQ(showsPrec(11, -1), "(PrettyLevel (-1))");
    EXPECT_EQ(to_string(VUX::Internal::Show::showList(show, vux::testing::ints({1, 2}), VUX::Types::Nil())),
              "[PrettyLevel 1,PrettyLevel 2]");
    Value ord = c.ordLevel();
    EXPECT_EQ(rts::force(rts::apply(VUX::Classes::compare(ord), I(2), I(1)))->tag, VUX::Types::GT_tag);
    EXPECT_EQ(rts::force(rts::apply(VUX::Classes::compare(ord), I(0), c.prettyNormal()))->tag, VUX::Types::EQ_tag);
    EXPECT_TRUE(VUX::Types::isTrue(
        rts::force(rts::apply(VUX::Classes::op_eq_eq(VUX::Classes::Ord_Eq(ord)), I(7), I(7)))));
}

INSTANTIATE_TEST_SUITE_P(Copies, PrettyCopies, ::testing::ValuesIn(copies),
                         [](const ::testing::TestParamInfo<Copy>& info) {
                             return std::string(info.param.name[0] == 'A' ? "Annotated" : "Plain");
                         });

TEST(PrettyCopiesApart, EachCopyHasItsOwnValuesAndTheAnnotatedOneServesAnyAnnotation) {
    EXPECT_FALSE(rts::same(AC::prettyNormal(), PC::prettyNormal()));
    EXPECT_FALSE(rts::same(AC::inst_Pretty_Int(), PC::inst_Pretty_Int()));
    EXPECT_FALSE(rts::same(AC::precEleven(), PC::precEleven()));
    // The annotated copy's document is an annotated document of any annotation type.
    Value d = AC::pPrint(AC::inst_Pretty_Maybe(AC::inst_Pretty_Int()), Just(I(5)));
    Value spans = D::renderSpans(D::op_lt_plus_gt(t("x"), D::annotate(str("tag"), d)));
    const Value& p = rts::force(spans);
    EXPECT_EQ(to_string(rts::field(p, 0)), "x Just 5");
    std::vector<Value> s = vux::testing::items(rts::field(p, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(VUX::Types::intOf(D::spanStart(s[0])), 2);
    EXPECT_EQ(VUX::Types::intOf(D::spanLength(s[0])), 6);
    EXPECT_EQ(to_string(D::spanAnnotation(s[0])), "tag");
}
