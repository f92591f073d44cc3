// Literals, brackets, separators and list printers, keywords.
#include <gtest/gtest.h>

#include <string>

#include "Testing.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Internal/Word.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;
namespace L = VUX::Boot::TH::PprLib;
namespace R = VUX::Internal::Real;

namespace {

std::string rendered(const Value& m) { return to_string(L::show(m)); }
Value ratio(int64_t n, int64_t d) { return R::op_percent(integer(n), integer(d)); }
// A rational given as decimal digits over a power of ten, for numbers beyond 64 bits.
Value bigRatio(const char* n, const char* d) {
    return R::reduce(VUX::Internal::Read::read(VUX::Internal::Read::inst_Read_Integer(), str(n)),
                     VUX::Internal::Read::read(VUX::Internal::Read::inst_Read_Integer(), str(d)));
}

TEST(PprLiterals, NumbersAtEachPrecedence) {
    struct Row {
        Value lit;
        const char* atNoPrec;
        const char* atAppPrec;
    };
    const Row rows[] = {
        {IntegerL(integer(-3)), "-3", "(-3)"},
        {IntegerL(integer(3)), "3", "3"},
        {IntPrimL(integer(-1)), "-1#", "(-1#)"},
        {IntPrimL(integer(7)), "7#", "7#"},
        {WordPrimL(integer(-1)), "-1##", "-1##"},
        {WordPrimL(integer(12)), "12##", "12##"},
        // rationals: fractions, whole numbers, short decimals, scientific forms
        {RationalL(ratio(1, 3)), "1 / 3", "(1 / 3)"},
        {RationalL(ratio(-1, 3)), "-1 / 3", "(-1 / 3)"},
        {RationalL(ratio(5, 2)), "2.5", "2.5"},
        {RationalL(ratio(-5, 2)), "-2.5", "(-2.5)"},
        {RationalL(ratio(5, 1)), "5.0", "5.0"},
        {RationalL(ratio(0, 1)), "0.0", "0.0"},
        {RationalL(ratio(100, 1)), "100.0", "100.0"},
        {RationalL(ratio(-1, 2)), "-0.5", "(-0.5)"},
        {RationalL(ratio(1, 100)), "0.01", "0.01"},
        {RationalL(ratio(1, 80)), "0.0125", "0.0125"},
        {RationalL(ratio(1, 1000)), "1e-3", "1e-3"},
        {RationalL(ratio(3, 2000)), "1.5e-3", "1.5e-3"},
        {RationalL(ratio(-1, 1000)), "-1e-3", "(-1e-3)"},
        {RationalL(ratio(99, 10000)), "9.9e-3", "9.9e-3"},
        {RationalL(ratio(9999999, 1)), "9999999.0", "9999999.0"},
        {RationalL(ratio(19999999, 2)), "9999999.5", "9999999.5"},
        {RationalL(ratio(10000000, 1)), "1e7", "1e7"},
        {RationalL(ratio(123456789, 1)), "1.23456789e8", "1.23456789e8"},
        {RationalL(ratio(24691357, 2)), "1.23456785e7", "1.23456785e7"},
        {RationalL(ratio(-123456789, 1)), "-1.23456789e8", "(-1.23456789e8)"},
        {RationalL(bigRatio("123",
                            "1"
                            "000000000000000000000000000000")),
         "1.23e-28", "1.23e-28"},
        {RationalL(bigRatio("5"
                            "000000000000000000000000000000000000000",
                            "1")),
         "5e39", "5e39"},
        {RationalL(bigRatio("1",
                            "7"
                            "00000000000000000000000")),
         "1 / 700000000000000000000000", "(1 / 700000000000000000000000)"},
        // zero over a denominator other than 1 (not reduced): zero, or a fraction where the
        // denominator has other prime factors
        {RationalL(R::op_colon_percent(integer(0), integer(10))), "0.0", "0.0"},
        {RationalL(R::op_colon_percent(integer(0), integer(4))), "0.0", "0.0"},
        {RationalL(R::op_colon_percent(integer(0), integer(3))), "0 / 3", "(0 / 3)"},
        // primitive floating literals: the converted value's text, the sign from the rational
        {FloatPrimL(ratio(1, 10)), "0.1#", "0.1#"},
        {FloatPrimL(ratio(-5, 2)), "-2.5#", "(-2.5#)"},
        {DoublePrimL(ratio(1, 3)), "0.3333333333333333##", "0.3333333333333333##"},
        {DoublePrimL(ratio(-1, 100)), "-1.0e-2##", "(-1.0e-2##)"},
        {FloatPrimL(bigRatio("-1",
                             "1"
                             "0000000000000000000000000000000000000000000000000000000000000")),
         "-0.0#", "(-0.0#)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.atNoPrec);
        EXPECT_EQ(rendered(pprLit(noPrec, r.lit)), r.atNoPrec);
        EXPECT_EQ(rendered(pprLit(appPrec, r.lit)), r.atAppPrec);
        EXPECT_EQ(to_string(pprint(inst_Ppr_Lit(), r.lit)), r.atNoPrec);
    }
}

TEST(PprLiterals, CharactersAndStrings) {
    using VUX::Internal::Word::W8_hash;
    struct Row {
        Value lit;
        const char* text;
    };
    const Row rows[] = {
        {CharL(VUX::Types::C_hash('x')), "'x'"},
        {CharL(VUX::Types::C_hash('\'')), "'\\''"},
        {CharL(VUX::Types::C_hash('\n')), "'\\n'"},
        {CharPrimL(VUX::Types::C_hash('\t')), "'\\t'#"},
        {StringL(str("")), "\"\""},
        {StringL(str("say \"hi\"\\")), "\"say \\\"hi\\\"\\\\\""},
        {StringL(str("one\ntwo\nthree")), "\"one\\n\\\n\\two\\n\\\n\\three\""},
        {StringPrimL(list({W8_hash('a'), W8_hash(0), W8_hash(0xe9)})), "\"a\\NUL\\233\"#"},
        {StringPrimL(list({W8_hash('a'), W8_hash('\n'), W8_hash('b')})), "\"a\\n\\\n\\b\"#"},
        {BytesPrimL(unit()), "\"<binary data>\""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(rendered(pprLit(appPrec, r.lit)), r.text);
    }
    // ppr_list: one literal per line.
    EXPECT_EQ(
        to_string(pprint(inst_Ppr_List(inst_Ppr_Lit()), list({IntegerL(integer(-1)), StringL(str("a"))}))),
        "-1\n\"a\"");
}

// The text of a document that is exactly one chunk (one text element, nothing after it), with
// its width checked against the text; "<not one chunk>" otherwise.
std::string chunk(const Value& m) {
    namespace A = Text::PrettyPrint::Annotated::Drovane;
    const Value& doc = rts::force(L::to_Drovane_Doc(m));
    if (doc->tag != A::TextBeside_tag || rts::force(rts::field(doc, 1))->tag != A::Empty_tag)
        return "<not one chunk>";
    const Value& element = rts::force(rts::field(doc, 0));
    if (element->tag != A::NoAnnot_tag) return "<not one chunk>";
    const Value& t = rts::force(rts::field(element, 0));
    std::string text =
        t->tag == A::Chr_tag ? std::string(1, char(rts::word(t, 0))) : to_string(rts::field(t, 0));
    if (A::elementWidth(element) != int64_t(text.size())) return "<width differs>";
    return text;
}

TEST(PprKeywords, EachIsOneChunkWithExactlyItsText) {
    struct Row {
        Value (*keyword)();
        const char* text;
    };
#define VUX_ROW(name, literal) {&Keywords::name, literal},
    const Row rows[] = {VUX_PPR_KEYWORDS(VUX_ROW)};
#undef VUX_ROW
    for (const auto& r : rows) {
        EXPECT_EQ(chunk(r.keyword()), r.text);
        EXPECT_TRUE(rts::same(r.keyword(), r.keyword()));  // shared
    }
    EXPECT_EQ(chunk(Keywords::kwIn()), " in");
    EXPECT_EQ(chunk(Keywords::kwSpecialiseInstance()), "{-# SPECIALISE instance");
    EXPECT_EQ(chunk(Keywords::kwBackslash()), "\\");
    // the shared constants of the smaller printers
    EXPECT_EQ(chunk(bar()), "|");
    EXPECT_EQ(chunk(pprCallconv(JavaScript())), "javascript");
    EXPECT_EQ(chunk(pprCallconv(CCall())), "ccall");
    EXPECT_EQ(chunk(pprSafety(Interruptible())), "interruptible");
    EXPECT_EQ(chunk(showtextl(inst_Show_Callconv(), CApi())), "capi");
    EXPECT_EQ(chunk(showtextl(inst_Show_BndrVis(), BndrInvis())), "bndrinvis");
}

TEST(PprKeywords, SmallPieces) {
    EXPECT_EQ(rendered(barPrefix(L::text(str("C")))), "| C");
    EXPECT_EQ(rendered(fieldProjection(str("field"))), ".field");
    EXPECT_EQ(rendered(gadtArgSeparator()), " ->");
    Value ifs = rts::force(emptyMultiIf());
    EXPECT_EQ(chunk(rts::field(ifs, 0)), "if {}");
    EXPECT_EQ(rts::force(rts::field(ifs, 1))->tag, VUX::Types::Nil_tag);

    Value t = VarT(mkName("T"));
    Value gadt = GadtC(list({mkName("C")}), list({}), t), normal = NormalC(mkName("C"), list({}));
    Value wrapped = ForallC(list({}), list({}), ForallC(list({}), list({}), RecGadtC(list({}), list({}), t)));
    EXPECT_TRUE(isGadtCon(gadt));
    EXPECT_TRUE(isGadtCon(wrapped));
    EXPECT_FALSE(isGadtCon(ForallC(list({}), list({}), ForallC(list({}), list({}), normal))));
    EXPECT_FALSE(isGadtCon(InfixC(pair(unit(), t), mkName("+"), pair(unit(), t))));
    EXPECT_FALSE(isGadtDecl(list({})));
    EXPECT_TRUE(isGadtDecl(list({gadt, wrapped})));
    Value failing = rts::delay([]() -> Value { throw std::runtime_error("examined"); });
    EXPECT_FALSE(isGadtDecl(VUX::Types::Cons(normal, failing)));  // stops at the first
}

TEST(PprBrackets, BracketsBarsAndSeparators) {
    Value x = L::text(str("x"));
    EXPECT_EQ(rendered(quoteParens(L::empty())), "'()");
    EXPECT_EQ(rendered(quoteParens(x)), "'(x)");
    EXPECT_EQ(rendered(hashParens(L::empty())), "(#  #)");
    struct Row {
        int64_t alt, arity;
        const char* text;
    };
    const Row bars[] = {{1, 1, "(# x #)"},    {2, 3, "(# |x| #)"},  {3, 3, "(# | |x #)"},
                        {1, 3, "(# x| | #)"}, {0, 2, "(# x| | #)"}, {5, 3, "(# | | | |x #)"}};
    for (const auto& r : bars) EXPECT_EQ(rendered(unboxedSumBars(x, int_(r.alt), int_(r.arity))), r.text);
    EXPECT_EQ(rendered(pprBndrVis(BndrReq(), x)), "x");
    EXPECT_EQ(rendered(pprBndrVis(BndrInvis(), x)), "@x");

    Value names = list({mkName("a"), mkName("+"), mkName("c")});
    EXPECT_EQ(rendered(commaSep(inst_Ppr_Name(), list({}))), "");
    EXPECT_EQ(rendered(commaSep(inst_Ppr_Name(), list({mkName("a")}))), "a");
    EXPECT_EQ(rendered(commaSep(inst_Ppr_Name(), names)), "a, +, c");
    EXPECT_EQ(rendered(commaSepApplied(names)), "a, (+), c");
    EXPECT_EQ(rendered(semiSep(inst_Ppr_Name(), names)), "a; +; c");
    Value upper = rts::fun<1>([](const Value& n) { return L::text(str("N")); });
    EXPECT_EQ(rendered(commaSepWith(upper, names)), "N, N, N");
    EXPECT_EQ(rendered(semiSepWith(upper, names)), "N; N; N");
    // Too long for one line: one element per line, the separators at the ends of the lines.
    std::string word(40, 'w');
    Value longNames = list({mkName(word), mkName(word), mkName(word)});
    EXPECT_EQ(rendered(semiSep(inst_Ppr_Name(), longNames)), word + ";\n" + word + ";\n" + word);

    // Bytes become characters of the same codes, on demand.
    using VUX::Internal::Word::W8_hash;
    Value failing = rts::delay([]() -> Value { throw std::runtime_error("examined"); });
    Value chars = rts::force(bytesToString(VUX::Types::Cons(W8_hash(0xff), failing)));
    EXPECT_EQ(VUX::Types::charOf(rts::force(rts::field(chars, 0))), 0xffu);
}

}  // namespace
