// The document data model: text forms, equality, mapping over annotations, deep evaluation,
// construction laziness and the Semigroup operations.
#include <gtest/gtest.h>

#include <cmath>

#include "Control/DeepSeq.h"
#include "Testing.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"

namespace D = Text::PrettyPrint::Annotated::Drovane;
namespace Show = VUX::Internal::Show;
using rts::Value;
using VUX::Types::I_hash;
using vux::testing::failing;
using vux::testing::is_failure;
using vux::testing::str;
using vux::testing::to_string;

namespace {

std::string shows(const Value& dShow, int64_t d, const Value& x) {
    return to_string(Show::showsPrec(dShow, d, x, VUX::Types::Nil()));
}
Value txt(const std::string& s) { return D::text(str(s)); }
std::string render(const Value& d) { return to_string(D::render(d)); }
Value docs(std::initializer_list<Value> ds) { return vux::testing::list(std::vector<Value>(ds)); }

// The display text of the exception that evaluating `f()` raises.
template <class F>
std::string failureText(F&& f) {
    try {
        rts::force(f());
    } catch (const rts::Exception& e) {
        return rts::display(e);
    }
    return "<no exception>";
}

}  // namespace

TEST(TextForms, ElementsModesStylesAndSpans) {
    Value noAnnot = D::NoAnnot(D::Chr_hash('x'), I_hash(-1));
    Value showAnnot = D::inst_Show_AnnotDetails(Show::inst_Show_Int());
    struct Row {
        Value record;
        int64_t prec;
        Value value;
        std::string expected;
    } rows[] = {
        {showAnnot, 0, noAnnot, "NoAnnot (Chr 'x') (-1)"},
        {showAnnot, 11, noAnnot, "(NoAnnot (Chr 'x') (-1))"},
        {showAnnot, 11, D::AnnotStart(), "AnnotStart"},
        {showAnnot, 0, D::AnnotEnd(I_hash(7)), "AnnotEnd 7"},
        {showAnnot, 0, D::AnnotEnd(I_hash(-7)), "AnnotEnd (-7)"},
        {D::inst_Show_TextDetails(), 0, D::Str(str("a\"b")), "Str \"a\\\"b\""},
        {D::inst_Show_TextDetails(), 11, D::PStr(str("")), "(PStr \"\")"},
        {D::inst_Show_TextDetails(), 0, D::Chr_hash('\''), "Chr '\\''"},
        {D::inst_Show_Mode(), 11, Value::adopt(D::Mode_closure_tbl[D::ZigZagMode_tag]), "ZigZagMode"},
        {D::inst_Show_Style(), 0, D::style(), "Style {mode = PageMode, lineLength = 100, ribbonsPerLine = 1.5}"},
        {D::inst_Show_Style(), 11, D::style(), "(Style {mode = PageMode, lineLength = 100, ribbonsPerLine = 1.5})"},
        {D::inst_Show_Style(), 0,
         D::Style(Value::adopt(D::Mode_closure_tbl[D::LeftMode_tag]), I_hash(-3), VUX::Types::F_hash(std::nanf(""))),
         "Style {mode = LeftMode, lineLength = -3, ribbonsPerLine = NaN}"},
        {D::inst_Show_Span(Show::inst_Show_Int()), 0, D::Span_hash(3, -2, I_hash(7)),
         "Span {spanStart = 3, spanLength = -2, spanAnnotation = 7}"},
        {D::inst_Show_Span(Show::inst_Show_Int()), 11, D::Span_hash(0, 0, I_hash(-1)),
         "(Span {spanStart = 0, spanLength = 0, spanAnnotation = -1})"},
    };
    for (const Row& r : rows) EXPECT_EQ(shows(r.record, r.prec, r.value), r.expected);
}

TEST(Equality, ComparesConstructorsThenFieldsInOrder) {
    EXPECT_FALSE(D::textDetailsEq(D::Str(str("ab")), D::PStr(str("ab"))));
    EXPECT_FALSE(D::textDetailsEq(D::Chr_hash('a'), D::Str(str("a"))));
    EXPECT_TRUE(D::textDetailsEq(D::Str(str("ab")), D::Str(str("ab"))));
    Value dEqInt = VUX::Classes::inst_Eq_Int();
    EXPECT_FALSE(D::annotDetailsEq(dEqInt, D::NoAnnot(D::Chr_hash('x'), I_hash(1)), D::NoAnnot(D::Chr_hash('x'), I_hash(2))));
    // A difference in constructor decides without looking at the fields.
    EXPECT_FALSE(D::annotDetailsEq(dEqInt, D::AnnotEnd(failing()), D::AnnotStart()));
    Value nan = VUX::Types::F_hash(std::nanf(""));
    Value page = Value::adopt(D::Mode_closure_tbl[D::PageMode_tag]);
    EXPECT_FALSE(D::styleEq(D::Style(page, I_hash(80), nan), D::Style(page, I_hash(80), nan)));
    EXPECT_TRUE(D::styleEq(D::style(), D::Style(page, I_hash(100), VUX::Types::F_hash(1.5f))));
    // The mode decides before the line length is looked at.
    Value left = Value::adopt(D::Mode_closure_tbl[D::LeftMode_tag]);
    EXPECT_FALSE(D::styleEq(D::Style(page, failing(), nan), D::Style(left, failing(), nan)));
    EXPECT_FALSE(D::spanEq(dEqInt, D::Span_hash(1, 2, failing()), D::Span_hash(1, 3, failing())));
}

TEST(Functor, FailingFunctionLeavesTheStructureTraversable) {
    Value f = rts::fun<1>([](const Value&) -> Value { rts::raise(VUX::Types::I_hash(0)); });
    Value d = D::fmapDoc(f, D::annotate(I_hash(1), D::op_dollar_dollar(txt("a"), D::annotate(I_hash(2), txt("b")))));
    // Rendering walks every node and element without demanding an annotation value.
    EXPECT_EQ(render(d), "a\nb");
    Value replaced = D::replaceDoc(I_hash(9), D::annotate(I_hash(1), txt("a")));
    const Value& first = rts::force(replaced);
    ASSERT_EQ(first->tag, D::TextBeside_tag);
    const Value& rest = rts::force(D::reduceDoc(rts::field(first, 1)));
    ASSERT_EQ(rest->tag, D::TextBeside_tag);
    const Value& end = rts::force(rts::field(rest, 1));
    ASSERT_EQ(end->tag, D::TextBeside_tag);
    EXPECT_EQ(rts::force(rts::field(end, 0))->tag, D::AnnotEnd_tag);
    EXPECT_EQ(VUX::Types::intOf(rts::force(rts::field(rts::force(rts::field(end, 0)), 0))), 9);
}

TEST(DeepEvaluation, WalksUnreducedNodesAndAnnotations) {
    vux::testing::Counter c;
    Value d = D::op_lt_gt(txt("a"), D::annotate(vux::testing::counting(c, I_hash(1)), txt("b")));
    ASSERT_EQ(rts::force(d)->tag, D::Beside_tag);
    Control::DeepSeq::rnf(D::inst_NFData_Doc(Control::DeepSeq::inst_NFData_Scalar()), d);
    EXPECT_EQ(c.count(), 1);
    // A failing character inside a string is reached.
    Value bad = D::text(VUX::Types::Cons(failing(), VUX::Types::Nil()));
    EXPECT_THROW(Control::DeepSeq::rnf(D::inst_NFData_Doc(Control::DeepSeq::inst_NFData_Scalar()), bad),
                 rts::Exception);
}

TEST(Construction, EvaluatesOnlyWhatItSays) {
    // text walks the spine but not the characters; sizedText and zeroWidthText touch no string.
    Value chars = VUX::Types::Cons(failing(), VUX::Types::Cons(failing(), VUX::Types::Nil()));
    Value t = D::text(chars);
    EXPECT_EQ(D::elementWidth(rts::field(rts::force(t), 0)), 2);
    EXPECT_NO_THROW(D::sizedText(I_hash(5), failing()));
    EXPECT_NO_THROW(D::zeroWidthText(failing()));
    EXPECT_THROW(D::sizedText(failing(), str("x")), rts::Exception);
    EXPECT_THROW(D::char_(failing()), rts::Exception);
    // The right operand is evaluated first.
    try {
        D::op_lt_gt(failing("left"), failing("right"));
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(is_failure(e, "right"));
    }
    EXPECT_THROW(D::op_lt_gt(failing("left"), D::empty()), rts::Exception);
    EXPECT_TRUE(D::isEmptyDoc(D::nest(I_hash(3), D::empty())));
    EXPECT_FALSE(D::isEmptyDoc(txt("")));
}

TEST(Construction, NestingPunctuationAndNumbers) {
    Value n = D::nest(I_hash(2), D::nest(I_hash(3), txt("d")));
    ASSERT_EQ(n->tag, D::Nest_tag);
    EXPECT_EQ(D::nestAmount(n), 5);
    EXPECT_EQ(rts::force(rts::field(n, 0))->tag, D::TextBeside_tag);
    Value d = txt("d");
    EXPECT_TRUE(same(D::nest(I_hash(0), d), d));
    EXPECT_EQ(rts::force(D::punctuate(D::comma(), docs({})))->tag, VUX::Types::Nil_tag);
    EXPECT_EQ(render(D::hcat(D::punctuate(D::comma(), docs({txt("a")})))), "a");
    EXPECT_EQ(render(D::hsep(docs({D::int_(I_hash(-12)), D::double_(VUX::Types::D_hash(0.1)),
                                   D::float_(VUX::Types::F_hash(-1.0e7f)), D::integer(VUX::Num::Integer::IS(42)),
                                   D::rational(VUX::Internal::Real::reduce(VUX::Num::Integer::IS(-2),
                                                                           VUX::Num::Integer::IS(4)))}))),
              "-12 0.1 -1.0e7 42 (-1) % 2");
}

TEST(Semigroup, StimesSconcatMconcat) {
    Value dIntegralInt = VUX::Internal::Real::inst_Integral_Int();
    Value ab = txt("ab");
    for (int64_t n : {0, -3}) {
        Value r = D::stimes(dIntegralInt, I_hash(n), ab);  // nothing raised until demanded
        EXPECT_EQ(failureText([&] { return r; }), "stimes: positive multiplier expected");
    }
    EXPECT_EQ(render(D::stimes(dIntegralInt, I_hash(1), ab)), "ab");
    EXPECT_EQ(render(D::stimes(dIntegralInt, I_hash(3), ab)), "ababab");
    EXPECT_EQ(render(D::stimes(dIntegralInt, I_hash(7), ab)), "ababababababab");
    EXPECT_TRUE(same(D::sconcat(rts::con(0, ab, VUX::Types::Nil())), ab));
    EXPECT_EQ(D::mconcat(docs({}))->tag, D::Empty_tag);
    EXPECT_EQ(render(D::mconcat(docs({txt("a"), D::empty(), txt("b")}))), "ab");
}
