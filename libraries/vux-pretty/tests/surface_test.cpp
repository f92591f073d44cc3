// The document surface: Show and Eq by rendered text, bracketing with its static documents for
// an empty argument, the conditional forms, and the constructors as function values.
#include "PrettyTesting.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"

using namespace pretty_testing;
using vux::testing::failing;
using vux::testing::str;
using vux::testing::to_string;

namespace {
Value field(const rts::StaticCon<3>& record, size_t i) { return rts::field(record.value(), i); }
std::string showsPrec(int64_t d, const Value& doc, const std::string& rest) {
    return to_string(rts::apply(field(D::inst_Show_Doc_closure, 0), I(d), doc, str(rest)));
}
bool eq(const Value& x, const Value& y) {
    return VUX::Types::isTrue(rts::force(rts::apply(rts::field(D::inst_Eq_Doc(), 0), x, y)));
}
bool ne(const Value& x, const Value& y) {
    return VUX::Types::isTrue(rts::force(rts::apply(rts::field(D::inst_Eq_Doc(), 1), x, y)));
}
}  // namespace

TEST(ShowDoc, RendersWithoutParenthesesInFrontOfTheRest) {
    Value d = D::op_dollar_dollar(t("a b"), t("c"));
    EXPECT_EQ(showsPrec(0, d, "!"), "a b\nc!");
    EXPECT_EQ(showsPrec(11, d, "!"), "a b\nc!");
    // The precedence is ignored, so a failing one is never demanded.
    EXPECT_EQ(to_string(rts::apply(field(D::inst_Show_Doc_closure, 0), failing(), d, str(""))), "a b\nc");
    EXPECT_EQ(to_string(rts::apply(field(D::inst_Show_Doc_closure, 1), d)), to_string(D::render(d)));
    EXPECT_EQ(to_string(D::showDoc(D::empty())), "");
}

TEST(ShowDoc, ListFormHasNoSpaces) {
    Value list = docs({t("a"), D::op_dollar_dollar(t("b"), t("c")), D::empty()});
    EXPECT_EQ(to_string(rts::apply(field(D::inst_Show_Doc_closure, 2), list, str("."))), "[a,b\nc,].");
    EXPECT_EQ(to_string(D::showListDoc(docs({}), str(""))), "[]");
}

TEST(EqDoc, ComparesRenderedTextOnly) {
    Value ab = t("ab");
    EXPECT_TRUE(eq(ab, D::op_lt_gt(t("a"), t("b"))));
    EXPECT_TRUE(eq(ab, D::annotate(I(1), ab)));
    EXPECT_TRUE(eq(D::sep(docs({t("a"), t("b")})), t("a b")));
    EXPECT_FALSE(eq(ab, t("a b")));
    EXPECT_FALSE(ne(ab, D::hcat(docs({t("a"), D::empty(), t("b")}))));
    EXPECT_TRUE(ne(ab, D::op_dollar_dollar(t("a"), t("b"))));
    EXPECT_TRUE(eq(D::empty(), t("")));
}

namespace {
struct BracketRow {
    const char* name;
    Value (*bracket)(const Value&);
    Value (*maybe)(const Value&, const Value&);
    Value (*empty)();
    uint32_t open, close;
};
const BracketRow bracketRows[] = {
    {"quotes", &D::quotes, &D::maybeQuotes, &D::emptyQuotes, '\'', '\''},
    {"doubleQuotes", &D::doubleQuotes, &D::maybeDoubleQuotes, &D::emptyDoubleQuotes, '"', '"'},
    {"parens", &D::parens, &D::maybeParens, &D::emptyParens, '(', ')'},
    {"brackets", &D::brackets, &D::maybeBrackets, &D::emptyBrackets, '[', ']'},
    {"braces", &D::braces, &D::maybeBraces, &D::emptyBraces, '{', '}'},
};

// Whether d is TextBeside (NoAnnot (Chr c) 1) Empty.
bool isCharDoc(const Value& d, uint32_t c) {
    const Value& v = rts::force(d);
    if (v->tag != D::TextBeside_tag || rts::force(rts::field(v, 1))->tag != D::Empty_tag) return false;
    const Value& e = rts::field(v, 0);
    if (e->tag != D::NoAnnot_tag || D::elementWidth(e) != 1) return false;
    const Value& td = rts::force(rts::field(e, 0));
    return td->tag == D::Chr_tag && rts::word(td, 0) == c;
}
// Whether d is Beside l False r, with the parts checked by the predicates.
bool isBesideNoSpace(const Value& d, const std::function<bool(const Value&)>& l,
                     const std::function<bool(const Value&)>& r) {
    const Value& v = rts::force(d);
    return v->tag == D::Beside_tag && !VUX::Types::isTrue(rts::force(rts::field(v, 1))) && l(rts::field(v, 0)) &&
           r(rts::field(v, 2));
}
}  // namespace

TEST(Bracketing, EmptyArgumentGivesTheStaticPairOtherwiseTheArgumentBetween) {
    for (const BracketRow& row : bracketRows) {
        SCOPED_TRACE(row.name);
        std::string pair = {char(row.open), char(row.close)};
        Value e = row.bracket(D::empty());
        EXPECT_TRUE(rts::same(e, row.empty()));
        EXPECT_TRUE(rts::same(e, row.bracket(D::empty())));
        auto openDoc = [&](const Value& d) { return isCharDoc(d, row.open); };
        auto closeDoc = [&](const Value& d) { return isCharDoc(d, row.close); };
        EXPECT_TRUE(isBesideNoSpace(e, openDoc, closeDoc));
        EXPECT_EQ(to_string(D::render(e)), pair);

        Value x = t("x y");
        Value b = row.bracket(x);
        EXPECT_TRUE(isBesideNoSpace(
            b, [&](const Value& l) { return isBesideNoSpace(l, openDoc, [&](const Value& m) { return rts::same(m, x); }); },
            closeDoc));
        EXPECT_EQ(to_string(D::render(b)), pair.substr(0, 1) + "x y" + pair.substr(1));
        // A document that renders empty but is not Empty is still bracketed around.
        EXPECT_FALSE(rts::same(row.bracket(t("")), e));

        EXPECT_TRUE(rts::same(row.maybe(VUX::Types::False(), x), x));
        EXPECT_EQ(to_string(D::render(row.maybe(VUX::Types::True(), x))), to_string(D::render(b)));
        EXPECT_THROW(row.maybe(failing(), x), rts::Exception);
    }
}

TEST(ConstructorFunctions, EvaluateExactlyTheirEvaluatedFields) {
    using rts::apply;
    Value f = failing();
    Value x = t("x");
    // Deferred fields take failing values.
    EXPECT_EQ(apply(D::NilAbove_closure.value(), f)->tag, D::NilAbove_tag);
    EXPECT_EQ(apply(D::Union_closure.value(), f, f)->tag, D::Union_tag);
    EXPECT_EQ(apply(D::Beside_closure.value(), f, f, f)->tag, D::Beside_tag);
    EXPECT_EQ(apply(D::Above_closure.value(), f, f, f)->tag, D::Above_tag);
    EXPECT_EQ(apply(D::AnnotEnd_closure.value(), f)->tag, D::AnnotEnd_tag);
    EXPECT_EQ(apply(D::Str_closure.value(), f)->tag, D::Str_tag);
    EXPECT_EQ(apply(D::PStr_closure.value(), f)->tag, D::PStr_tag);
    EXPECT_EQ(apply(D::Style_closure.value(), f, f, f)->tag, D::Style_tag);
    EXPECT_EQ(apply(D::TextBeside_closure.value(), D::spaceText(), f)->tag, D::TextBeside_tag);
    Value span = apply(D::Span_closure.value(), I(3), I(-2), f);
    EXPECT_EQ(VUX::Types::intOf(D::spanStart(span)), 3);
    EXPECT_EQ(VUX::Types::intOf(D::spanLength(span)), -2);
    Value spans = apply(D::Spans_closure.value(), I(4), f, f, f);
    EXPECT_EQ(VUX::Types::intOf(D::sOffset(spans)), 4);
    // Evaluated fields are evaluated when the value is built.
    EXPECT_THROW(apply(D::TextBeside_closure.value(), f, x), rts::Exception);
    EXPECT_THROW(apply(D::Nest_closure.value(), f, x), rts::Exception);
    EXPECT_THROW(apply(D::NoAnnot_closure.value(), f, I(1)), rts::Exception);
    EXPECT_THROW(apply(D::NoAnnot_closure.value(), apply(D::Str_closure.value(), str("a")), f), rts::Exception);
    EXPECT_THROW(apply(D::Chr_closure.value(), f), rts::Exception);
    EXPECT_THROW(apply(D::Span_closure.value(), I(0), f, I(0)), rts::Exception);
    EXPECT_THROW(apply(D::Spans_closure.value(), f, f, f, f), rts::Exception);
    // What they build renders like the operations' documents.
    Value built = apply(D::Nest_closure.value(), I(2),
                        apply(D::TextBeside_closure.value(),
                              apply(D::NoAnnot_closure.value(), apply(D::Chr_closure.value(), VUX::Types::C_hash('z')), I(1)),
                              D::empty()));
    EXPECT_EQ(to_string(D::render(built)), "  z");
}
