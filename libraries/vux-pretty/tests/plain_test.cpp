// The plain front: the same documents as the annotated core for the same construction (node for
// node, over generated documents), its own static documents, number documents, rendering,
// instances and the Semigroup/Monoid copies.
#include <random>

#include "PrettyTesting.h"
#include "Text/PrettyPrint.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Real.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"

using namespace pretty_testing;
using vux::testing::str;
using vux::testing::to_string;
namespace P = Text::PrettyPrint::Drovane;

namespace {

// The operations a generated document is built with, for one front.
struct Front {
    const char* name;
    Value (*chars[14])();  // static one-character documents
    Value (*brackets[5])(const Value&);
    Value (*maybes[5])(const Value&, const Value&);
    Value (*compose[4])(const Value&, const Value&);
    Value (*lists[7])(const Value&);
    Value (*numbers[5])(const Value&);
};
const Front annotatedFront = {
    "annotated",
    {&D::semi, &D::comma, &D::colon, &D::space, &D::equals, &D::lparen, &D::rparen, &D::lbrack, &D::rbrack,
     &D::lbrace, &D::rbrace, &D::quote, &D::doubleQuote, &D::empty},
    {&D::quotes, &D::doubleQuotes, &D::parens, &D::brackets, &D::braces},
    {&D::maybeQuotes, &D::maybeDoubleQuotes, &D::maybeParens, &D::maybeBrackets, &D::maybeBraces},
    {&D::op_lt_gt, &D::op_lt_plus_gt, &D::op_dollar_dollar, &D::op_dollar_plus_dollar},
    {&D::hcat, &D::hsep, &D::vcat, &D::sep, &D::cat, &D::fsep, &D::fcat},
    {&D::int_, &D::integer, &D::float_, &D::double_, &D::rational},
};
const Front plainFront = {
    "plain",
    {&P::semi, &P::comma, &P::colon, &P::space, &P::equals, &P::lparen, &P::rparen, &P::lbrack, &P::rbrack,
     &P::lbrace, &P::rbrace, &P::quote, &P::doubleQuote, &P::empty},
    {&P::quotes, &P::doubleQuotes, &P::parens, &P::brackets, &P::braces},
    {&P::maybeQuotes, &P::maybeDoubleQuotes, &P::maybeParens, &P::maybeBrackets, &P::maybeBraces},
    {&P::op_lt_gt, &P::op_lt_plus_gt, &P::op_dollar_dollar, &P::op_dollar_plus_dollar},
    {&P::hcat, &P::hsep, &P::vcat, &P::sep, &P::cat, &P::fsep, &P::fcat},
    {&P::int_, &P::integer, &P::float_, &P::double_, &P::rational},
};

// A generated construction, built the same way through either front.
struct Expr {
    enum Kind { Text, Char, Static, Number, Bracket, Maybe, Compose, Nest, List, Hang, Punctuate } kind;
    int which = 0;  // index into the front's table, flag, or amount
    std::string s;
    std::vector<Expr> kids;
};

Expr generate(std::mt19937& rng, int depth) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char* words[] = {"", "a", "bb", "ccc", "hello", "world", "x y", "abcdefghij"};
    int kind = depth <= 0 ? pick(4) : pick(11);
    Expr e{static_cast<Expr::Kind>(kind), 0, {}, {}};
    switch (e.kind) {
        case Expr::Text: e.s = words[pick(8)]; e.which = pick(2); break;  // which: text or ptext
        case Expr::Char: e.s = std::string(1, static_cast<char>('a' + pick(26))); break;
        case Expr::Static: e.which = pick(14); break;
        case Expr::Number: e.which = pick(5); e.s = std::to_string(pick(2001) - 1000); break;
        case Expr::Bracket: e.which = pick(5); e.kids.push_back(generate(rng, depth - 1)); break;
        case Expr::Maybe: e.which = pick(10); e.kids.push_back(generate(rng, depth - 1)); break;
        case Expr::Compose:
            e.which = pick(4);
            e.kids = {generate(rng, depth - 1), generate(rng, depth - 1)};
            break;
        case Expr::Nest: e.which = pick(9) - 4; e.kids.push_back(generate(rng, depth - 1)); break;
        case Expr::List:
        case Expr::Punctuate: {
            e.which = pick(7);
            int n = pick(5);
            for (int i = 0; i < n; ++i) e.kids.push_back(generate(rng, depth - 1));
            break;
        }
        case Expr::Hang:
            e.which = pick(5);
            e.kids = {generate(rng, depth - 1), generate(rng, depth - 1)};
            break;
    }
    return e;
}

Value build(const Front& f, const Expr& e) {
    auto kids = [&] {
        std::vector<Value> v;
        for (const Expr& k : e.kids) v.push_back(build(f, k));
        return vux::testing::list(v);
    };
    switch (e.kind) {
        case Expr::Text: return e.which ? D::ptext(str(e.s)) : D::text(str(e.s));
        case Expr::Char: return D::char_(VUX::Types::C_hash(static_cast<unsigned char>(e.s[0])));
        case Expr::Static: return f.chars[e.which]();
        case Expr::Number: {
            int64_t n = std::stoll(e.s);
            Value args[5] = {I(n), VUX::Num::Integer::integerMul(VUX::Num::Integer::IS(n), VUX::Num::Integer::IS(INT64_MAX)),
                             VUX::Types::F_hash(static_cast<float>(n) / 8), VUX::Types::D_hash(static_cast<double>(n) / 3),
                             VUX::Internal::Real::op_percent(VUX::Num::Integer::IS(n), VUX::Num::Integer::IS(7))};
            return f.numbers[e.which](args[e.which]);
        }
        case Expr::Bracket: return f.brackets[e.which](build(f, e.kids[0]));
        case Expr::Maybe: return f.maybes[e.which % 5](VUX::Types::fromBool(e.which >= 5), build(f, e.kids[0]));
        case Expr::Compose: return f.compose[e.which](build(f, e.kids[0]), build(f, e.kids[1]));
        case Expr::Nest: return D::nest(I(e.which), build(f, e.kids[0]));
        case Expr::List: return f.lists[e.which](kids());
        case Expr::Hang: return D::hang(build(f, e.kids[0]), I(e.which), build(f, e.kids[1]));
        case Expr::Punctuate: return f.lists[e.which](D::punctuate(f.chars[1](), kids()));
    }
    return D::empty();
}

}  // namespace

TEST(PlainFront, BuildsTheSameDocumentsAsTheAnnotatedCore) {
    std::mt19937 rng(20261210);
    for (int i = 0; i < 400; ++i) {
        Expr e = generate(rng, 4);
        Value a = build(annotatedFront, e);
        Value p = build(plainFront, e);
        SCOPED_TRACE("document " + std::to_string(i) + ": " + to_string(D::render(a)));
        EXPECT_EQ(DocCompare(20000).compare(a, p), "");
        EXPECT_EQ(DocCompare(20000).compare(D::reduceDoc(a), P::reduceDoc(p)), "");
        EXPECT_EQ(to_string(P::render(p)), to_string(D::render(a)));
        EXPECT_EQ(to_string(P::render(p)), to_string(D::render(p)));
    }
}

TEST(PlainFront, StaticDocumentsAreItsOwnWithTheSameNodes) {
    for (int i = 0; i < 14; ++i) {
        Value a = annotatedFront.chars[i]();
        Value p = plainFront.chars[i]();
        EXPECT_EQ(DocCompare(10).compare(a, p), "") << i;
        if (i < 13) {
            EXPECT_FALSE(rts::same(a, p)) << i;
        }
    }
    EXPECT_TRUE(rts::same(P::space(), P::space()));
    Value spaceDoc = P::space();
    const Value& sp = rts::force(spaceDoc);
    EXPECT_TRUE(rts::same(rts::field(sp, 0), D::spaceText()));
    EXPECT_TRUE(rts::same(P::parens(P::empty()), P::emptyParens()));
    EXPECT_EQ(to_string(P::render(P::emptyDoubleQuotes())), "\"\"");
    // The bracket of an empty argument is built from this module's own documents.
    EXPECT_TRUE(rts::same(rts::field(rts::force(P::emptyBrackets()), 0), P::lbrack()));
}

TEST(PlainFront, NumberDocuments) {
    using namespace VUX::Num::Integer;
    Value big = integerPow(IS(2), 70);
    struct Row {
        Value doc;
        std::string text;
    } rows[] = {
        {P::int_(I(-5)), "-5"},
        {P::int_(I(INT64_MIN)), "-9223372036854775808"},
        {P::integer(big), "1180591620717411303424"},
        {P::integer(integerNegate(big)), "-1180591620717411303424"},
        {P::float_(VUX::Types::F_hash(1.5f)), "1.5"},
        {P::float_(VUX::Types::F_hash(0.1f)), "0.1"},
        {P::double_(VUX::Types::D_hash(-0.0)), "-0.0"},
        {P::double_(VUX::Types::D_hash(1.0e7)), "1.0e7"},
        {P::rational(VUX::Internal::Real::op_percent(IS(6), IS(8))), "3 % 4"},
        {P::rational(VUX::Internal::Real::op_percent(IS(-1), IS(2))), "(-1) % 2"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(to_string(P::render(r.doc)), r.text);
        // One string chunk whose width is counted when the document is built.
        const Value& d = rts::force(r.doc);
        ASSERT_EQ(d->tag, D::TextBeside_tag);
        EXPECT_EQ(D::elementWidth(rts::field(d, 0)), static_cast<int64_t>(r.text.size()));
    }
}

TEST(PlainFront, RenderingShowAndEquality) {
    Value d = P::op_dollar_dollar(t("a"), P::nest(I(2), P::op_dollar_plus_dollar(t("b"), t("c"))));
    EXPECT_EQ(to_string(P::render(d)), "a b\n  c");
    Value oneLine = P::Style(rts::Value::adopt(P::Mode_closure_tbl[D::OneLineMode_tag]), I(1), VUX::Types::F_hash(1.0f));
    EXPECT_EQ(to_string(P::renderStyle(oneLine, d)), "a b c");

    Value showsPrec = rts::field(P::inst_Show_Doc(), 0);
    EXPECT_EQ(to_string(rts::apply(showsPrec, I(11), d, str("!"))), "a b\n  c!");
    EXPECT_EQ(to_string(rts::apply(rts::field(P::inst_Show_Doc(), 2), docs({t("a"), t("b")}), str(""))), "[a,b]");
    Value eq = rts::field(P::inst_Eq_Doc(), 0);
    EXPECT_TRUE(VUX::Types::isTrue(rts::force(rts::apply(eq, d, D::annotate(VUX::Tuple::Unit(), d)))));
    EXPECT_FALSE(P::eqDoc(d, t("a b c")));

    Value beside = rts::fun<2>([](const Value& p, const Value& q) { return D::op_lt_plus_gt(p, q); });
    EXPECT_EQ(to_string(P::render(P::liftBinary(beside, t("a"), t("b")))), "a b");
    Value vertical = rts::fun<1>([](const Value& ds) { return D::vcat(ds); });
    EXPECT_EQ(to_string(P::render(P::liftList(vertical, docs({t("a"), t("b")})))), "a\nb");
    EXPECT_EQ(to_string(P::render(rts::apply(P::inst_IsString_Doc(), str("hi")))), "hi");
}

TEST(PlainFront, DeepEvaluationEvaluatesUnitAnnotations) {
    Value rnf = P::inst_NFData_Doc();
    Value d = P::op_dollar_dollar(D::annotate(VUX::Tuple::Unit(), t("a")), P::sep(docs({t("b"), t("c")})));
    EXPECT_EQ(rts::force(rts::apply(rnf, d))->tag, VUX::Tuple::Unit_tag);
    EXPECT_THROW(rts::apply(rnf, D::annotate(vux::testing::failing(), t("a"))), rts::Exception);
    EXPECT_THROW(rts::apply(rnf, P::text(vux::testing::list({VUX::Types::C_hash('a'), vux::testing::failing()}))),
                 rts::Exception);
}

TEST(PlainFront, SemigroupAndMonoid) {
    Value dIntInt = VUX::Internal::Real::inst_Integral_Int();
    Value dIntegral = VUX::Internal::Real::inst_Integral_Integer();
    Value ab = t("ab");
    // The count is checked when the result is demanded, as the core's stimes does: directly and
    // through the record.
    Value stimes = rts::field(P::inst_Semigroup_Doc(), 2);
    for (int64_t n : {0, -3}) {
        Value direct, recorded;
        EXPECT_FALSE(errorOf([&] { direct = P::stimes(dIntInt, I(n), ab); })) << n;
        EXPECT_FALSE(errorOf([&] { recorded = rts::apply(stimes, dIntInt, I(n), ab); })) << n;
        for (const Value& r : {direct, recorded}) {
            auto err = errorOf([&] { rts::force(r); });
            ASSERT_TRUE(err) << n;
            EXPECT_EQ(err->message, "stimes: positive multiplier expected");
            EXPECT_EQ(err->callStack, "");
        }
    }
    EXPECT_NO_THROW(P::stimes(dIntInt, vux::testing::failing(), ab))
        << "the count is not evaluated by the call";
    EXPECT_TRUE(rts::same(rts::force(P::stimes(dIntInt, I(1), ab)), ab));
    EXPECT_EQ(to_string(P::render(P::stimes(dIntInt, I(3), ab))), "ababab");
    EXPECT_EQ(to_string(P::render(P::stimes(dIntegral, VUX::Num::Integer::IS(7), t("x")))), "xxxxxxx");
    EXPECT_EQ(to_string(P::render(rts::apply(stimes, dIntInt, I(2), ab))), "abab");

    Value monoid = P::inst_Monoid_Doc();
    EXPECT_EQ(rts::force(rts::field(monoid, 1))->tag, D::Empty_tag);
    EXPECT_EQ(rts::force(rts::apply(rts::field(monoid, 3), docs({})))->tag, D::Empty_tag);
    EXPECT_EQ(to_string(P::render(rts::apply(rts::field(monoid, 3), docs({t("a"), P::empty(), t("b")})))), "ab");
    Value one = VUX::Internal::Base::op_colon_bar(ab, VUX::Types::Nil());
    EXPECT_TRUE(rts::same(rts::apply(rts::field(P::inst_Semigroup_Doc(), 1), one), ab));
}

TEST(PlainFront, TypeRepresentations) {
    using namespace VUX::Types;
    Value doc = P::tcDoc.value();
    EXPECT_STREQ(trNameBytes(rts::field(doc, 1)), "Doc");
    const Value& module = tyConModule(doc);
    EXPECT_STREQ(trNameBytes(rts::field(module, 1)), "Text.PrettyPrint.Drovane");
    EXPECT_EQ(std::string(trNameBytes(rts::field(module, 0))).rfind("vux-pretty-", 0), 0u);
    Value con = P::tc_prime_Doc.value();
    EXPECT_STREQ(trNameBytes(tyConName(con)), "'Doc");
    // 'Doc :: Annotated.Doc () -> Doc
    const Value& kind = tyConKind(con);
    ASSERT_EQ(kind->tag, KindRepFun_tag);
    const Value& arg = rts::field(kind, 0);
    ASSERT_EQ(arg->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(rts::same(rts::field(arg, 0), D::tcDoc.value()));
    EXPECT_EQ(vux::testing::items(rts::field(arg, 1)).size(), 1u);
    EXPECT_TRUE(rts::same(rts::field(rts::field(kind, 1), 0), doc));
    EXPECT_NE(tyConFingerprintLow(doc), tyConFingerprintLow(D::tcDoc.value()));
}
