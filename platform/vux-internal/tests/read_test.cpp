// Reading text forms back: the lexer, the whole readers and their errors, round trips of
// generated values through the writers, derived forms from one description, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "Testing.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/Int.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Word.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "VUX/Tuple.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;
namespace D = VUX::Internal::Derived;
namespace Lex = VUX::Internal::Text::Read::Lex;
namespace I = VUX::Num::Integer;

namespace {

// Structural equality of evaluated-as-needed values: constructors with the same tag, the same
// words and equal references (the derived equality of every type used here).
bool sameValue(const Value& a, const Value& b) {
    std::vector<std::pair<Value, Value>> todo{{a, b}};
    while (!todo.empty()) {
        auto [x0, y0] = todo.back();
        todo.pop_back();
        const Value& x = rts::force(x0);
        const Value& y = rts::force(y0);
        if (x->kind == rts::Kind::Bytes && y->kind == rts::Kind::Bytes) {  // the magnitude of a big number
            size_t n = rts::bytes_length(x);
            if (n != rts::bytes_length(y) || std::memcmp(rts::bytes_data(x), rts::bytes_data(y), n) != 0)
                return false;
            continue;
        }
        if (x->kind != rts::Kind::Con || y->kind != rts::Kind::Con) return false;
        if (x->tag != y->tag || x->nptrs != y->nptrs) return false;
        // A big Integer made by arithmetic holds its limbs after their count and may keep unused
        // words, zero, after them: words missing on one side compare as zero.
        if (x->nwords != y->nwords && x->nptrs != 0) return false;
        for (size_t i = 0; i < std::max(x->nwords, y->nwords); ++i) {
            uint64_t wx = i < x->nwords ? rts::word(x, i) : 0, wy = i < y->nwords ? rts::word(y, i) : 0;
            if (wx != wy) return false;
        }
        for (size_t i = 0; i < x->nptrs; ++i) todo.push_back({rts::field(x, i), rts::field(y, i)});
    }
    return true;
}

std::string showAt(const Value& dShow, int64_t d, const Value& x) {
    return to_string(Show::showsPrec(dShow, d, x, Nil()));
}

// The parses of readsPrec as (value, rest text) pairs.
std::vector<std::pair<Value, std::string>> parses(const Value& dRead, int64_t d, const std::string& text) {
    std::vector<std::pair<Value, std::string>> out;
    for (const Value& p : vux::testing::items(Read::readsPrec(dRead, d, str(text)))) {
        const Value& t = rts::force(p);
        out.push_back({rts::field(t, 0), to_string(rts::field(t, 1))});
    }
    return out;
}

// The text of readEither's Left, or "" for a Right.
std::string readError(const Value& dRead, const std::string& text) {
    const Value& e = rts::force(Read::readEither(dRead, str(text)));
    return e->tag == 0 ? to_string(rts::field(e, 0)) : "";
}

// ---------------------------------------------------------------------------------------------
// Lexer

struct LexRow {
    std::string input;
    bool ok;
    uint8_t kind;
    std::string text;  // Punc/Ident/Symbol/Number text, or the literal's characters
    std::string rest;
};

TEST(Lexer, OneLexemeAtATime) {
    std::vector<LexRow> rows = {
        {"  Foo_1' rest", true, Lex::Ident_tag, "Foo_1'", " rest"},
        {"_x", true, Lex::Ident_tag, "_x", ""},
        {"FooBar", true, Lex::Ident_tag, "FooBar", ""},
        {"\n\t(x", true, Lex::Punc_tag, "(", "x"},
        {"`", true, Lex::Punc_tag, "`", ""},
        {"= 1", true, Lex::Punc_tag, "=", " 1"},
        {"->", true, Lex::Punc_tag, "->", ""},
        {"-5", true, Lex::Symbol_tag, "-", "5"},
        {"<+>x", true, Lex::Symbol_tag, "<+>", "x"},
        {"0x1Fg", true, Lex::Number_tag, "0x1F", "g"},
        {"0o17", true, Lex::Number_tag, "0o17", ""},
        {"0xg", true, Lex::Number_tag, "0", "xg"},
        {"12.5e-3,", true, Lex::Number_tag, "12.5e-3", ","},
        {"1.x", true, Lex::Number_tag, "1", ".x"},
        {"1e", true, Lex::Number_tag, "1", "e"},
        {"2E+7", true, Lex::Number_tag, "2E+7", ""},
        {"'a'b", true, Lex::Char_tag, "a", "b"},
        {"'\\''", true, Lex::Char_tag, "'", ""},
        {"'\"'", true, Lex::Char_tag, "\"", ""},
        {"'\\^A'", true, Lex::Char_tag, "\x01", ""},
        {"\"\\SO\\&H\"", true, Lex::String_tag, "\x0eH", ""},
        {"\"\\SOH\"", true, Lex::String_tag, "\x01", ""},
        {"\"\\1234\\&5\"", true, Lex::String_tag,
         "\xd3\x92"
         "5",
         ""},  // U+04D2 then '5'
        {"\"a\\  \n  \\b\"", true, Lex::String_tag, "ab", ""},
        {"\"\\x41\\o101\\65\\DEL\\n\\\\\\\"\"", true, Lex::String_tag, "AAA\x7f\n\\\"", ""},
        {"   ", true, Lex::EOF_tag, "", ""},
        {"\"abc", false, 0, "", ""},
        {"\"a\\ b\"", false, 0, "", ""},
        {"\"\\1114112\"", false, 0, "", ""},
        {"\"\\q\"", false, 0, "", ""},
        {"'ab'", false, 0, "", ""},
        {"''", false, 0, "", ""},
        {"'\\&'", false, 0, "", ""},
        {"\xc3\xa9", false, 0, "", ""},
    };
    for (const LexRow& r : rows) {
        SCOPED_TRACE(r.input);
        Lex::Token tok;
        Value rest;
        Value input = vux::testing::utf8(r.input);
        bool ok = Lex::lexToken(input, tok, rest);
        ASSERT_EQ(ok, r.ok);
        if (!ok) continue;
        EXPECT_EQ(tok.kind, r.kind);
        if (tok.kind == Lex::Char_tag)
            EXPECT_EQ(List::toUtf8(Cons(tok.value, Nil())), r.text);
        else if (tok.kind == Lex::String_tag)
            EXPECT_EQ(List::toUtf8(tok.value), r.text);
        else
            EXPECT_EQ(tok.text, r.text);
        EXPECT_EQ(to_string(rest), r.rest);
        EXPECT_TRUE(Lex::sameLexeme(Lex::tokenOf(Lex::lexemeValue(tok)), tok));
    }
    // The language's lex: one (lexeme, rest) pair, or none.
    auto lexed = vux::testing::items(rts::apply(Lex::lex_closure.value(), str(" foo bar")));
    ASSERT_EQ(lexed.size(), 1u);
    const Value& pair = rts::force(lexed[0]);
    EXPECT_EQ(rts::force(rts::field(pair, 0))->tag, Lex::Ident_tag);
    EXPECT_EQ(to_string(rts::field(pair, 1)), " bar");
    EXPECT_TRUE(vux::testing::items(Lex::lex(str("\"abc"))).empty());
}

TEST(Lexer, NumberValues) {
    EXPECT_EQ(Lex::numberToWord64("0x1F"), 31u);
    EXPECT_EQ(Lex::numberToWord64("0o777"), 511u);
    EXPECT_EQ(Lex::numberToWord64("18446744073709551617"), 1u);  // modulo 2^64
    EXPECT_FALSE(Lex::numberToWord64("1.0").has_value());
    EXPECT_FALSE(Lex::numberToWord64("1e3").has_value());
    EXPECT_EQ(I::integerToDecimal(*Lex::numberToInteger("0xFFFFFFFFFFFFFFFFFFFF")),
              "1208925819614629174706175");
    EXPECT_EQ(Lex::numberToDouble("1.5e-3"), 1.5e-3);
    EXPECT_EQ(Lex::numberToDouble("0x10"), 16.0);
    EXPECT_EQ(Lex::numberToDouble("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Lex::numberToDouble("0.0000001e-400"), 0.0);
    EXPECT_EQ(Lex::numberToFloat("16777217"), 16777216.0f);  // rounded once, to single precision
}

// The parser combinators keep every parse.
TEST(Parsers, EveryParseIsKept) {
    namespace P = VUX::Internal::Text::ParserCombinators::ReadP;
    auto isA = [](uint32_t c) { return c == 'a'; };
    auto texts = [](const P::Parser& p, const std::string& input) {
        std::vector<std::string> out;
        for (const P::Parse& r : p.parse(0, str(input)))
            out.push_back(to_string(r.value) + "|" + to_string(r.rest));
        std::sort(out.begin(), out.end());
        return out;
    };
    using V = std::vector<std::string>;
    auto sorted = [](V v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(texts(P::many(P::char_('a')), "aab"), sorted({"a|ab", "aa|b", "|aab"}));
    EXPECT_EQ(texts(P::munch(isA), "aab"), (V{"aa|b"}));
    EXPECT_EQ(texts(P::munch1(isA), "b"), V{});
    V sepRests;
    for (const P::Parse& r : P::sepBy(P::munch1(isA), P::char_(',')).parse(0, str("a,aa,b")))
        sepRests.push_back(std::to_string(vux::testing::items(r.value).size()) + "|" + to_string(r.rest));
    std::sort(sepRests.begin(), sepRests.end());
    EXPECT_EQ(sepRests, (V{"0|a,aa,b", "1|,aa,b", "2|,b"}));
    EXPECT_EQ(texts(P::alt(P::string("ab"), P::string("a")), "abc"), sorted({"a|bc", "ab|c"}));
    EXPECT_EQ(texts(P::leftAlt(P::string("ab"), P::string("a")), "abc"), (V{"ab|c"}));
    EXPECT_EQ(texts(P::leftAlt(P::string("x"), P::string("a")), "abc"), (V{"a|bc"}));
    EXPECT_EQ(texts(P::then(P::skipSpaces(), P::string("a")), "  a"), (V{"a|"}));
    EXPECT_EQ(texts(P::between(P::char_('('), P::char_(')'), P::munch(isA)), "(aa)x"), (V{"aa|x"}));
    auto as_bs = [](const Value& as) { return P::string(std::string(to_string(as).size(), 'b')); };
    EXPECT_EQ(texts(P::bind(P::munch1(isA), as_bs), "aabbc"), (V{"bb|c"}));
    EXPECT_EQ(P::eof().parse(0, str("")).size(), 1u);
    EXPECT_EQ(P::eof().parse(0, str("x")).size(), 0u);
    // A repeated parser that reads nothing stops rather than loops.
    EXPECT_EQ(P::many(P::munch(isA)).parse(0, str("b")).size(), 2u);
    // ReadS functions made in C++ and the parsers of ReadS functions agree.
    Value readS = P::readP_to_S(P::many(P::char_('a')));
    EXPECT_EQ(vux::testing::items(rts::apply(readS, str("aa"))).size(), 3u);
    EXPECT_EQ(texts(P::readS_to_P(readS), "ab"), sorted({"a|b", "|ab"}));
}

// ---------------------------------------------------------------------------------------------
// Whole readers

TEST(Readers, ErrorsOfRead) {
    const Value dInt = Read::inst_Read_Int();
    EXPECT_EQ(readError(dInt, " 42 \n"), "");
    EXPECT_EQ(readError(dInt, "42 x"), "Prelude.read: no parse");
    EXPECT_EQ(readError(dInt, ""), "Prelude.read: no parse");
    // Two constructors of one name make every text of it ambiguous.
    Value dTwice = D::deriveRead({{"A"}, {"A"}});
    EXPECT_EQ(readError(dTwice, "A"), "Prelude.read: ambiguous parse");
    EXPECT_EQ(parses(dTwice, 0, "A").size(), 2u);

    for (auto [text, message] :
         {std::pair{"nope", "Prelude.read: no parse"}, std::pair{"A", "Prelude.read: ambiguous parse"}}) {
        const Value& d = std::string(text) == "A" ? dTwice : dInt;
        try {
            Read::read(d, str(text));
            ADD_FAILURE() << "read did not fail";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(rts::display(e), message);
        }
    }
    EXPECT_TRUE(Maybe::isNothing(Read::readMaybe(dInt, str("1 2"))));
    EXPECT_EQ(intOf(rts::force(Read::read(dInt, str("(  (-7) )")))), -7);
}

struct PrecRow {
    std::string text;
    int64_t prec;
    size_t parses;
};

TEST(Readers, PrecedenceAndParentheses) {
    const Value dInt = Read::inst_Read_Int();
    std::vector<PrecRow> rows = {
        {"-5", 6, 1},       {"-5", 7, 0},         {"-5", 11, 0},   {"(-5)", 11, 1},
        {"( - 5 )", 11, 1}, {"((((5))))", 11, 1}, {"((5)", 0, 0},  {"(5))", 0, 1},
        {"--5", 0, 0},      {"5.0", 0, 0},        {"0x10", 11, 1}, {"()", 0, 0},
    };
    for (const PrecRow& r : rows) {
        SCOPED_TRACE(r.text + " at " + std::to_string(r.prec));
        EXPECT_EQ(parses(dInt, r.prec, r.text).size(), r.parses);
    }
    auto p = parses(dInt, 0, "(5)) x");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].second, ") x");

    const Value dWord32 = Read::inst_Read_Word32(), dInt8 = Read::inst_Read_Int8();
    EXPECT_EQ(Word::wordNOf(rts::force(Read::read(dWord32, str("4294967296")))), 0u);
    EXPECT_EQ(Word::wordNOf(rts::force(Read::read(dWord32, str("4294967297")))), 1u);
    EXPECT_EQ(Word::wordNOf(rts::force(Read::read(dWord32, str("-1")))), 4294967295u);
    EXPECT_EQ(Int::intNOf(rts::force(Read::read(dInt8, str("200")))), -56);
    EXPECT_EQ(readError(Read::inst_Read_Natural(), "-1"), "Prelude.read: no parse");

    const Value dString = Read::inst_Read_List(Read::inst_Read_Char());
    EXPECT_EQ(to_string(Read::read(dString, str("['a', 'b']"))), "ab");
    EXPECT_EQ(to_string(Read::read(dString, str(" ( \"a\\SO\\&Hb\" ) "))), "a\x0eHb");
    const Value dDouble = Read::inst_Read_Double();
    EXPECT_TRUE(std::isnan(doubleOf(rts::force(Read::read(dDouble, str("NaN"))))));
    EXPECT_EQ(doubleOf(rts::force(Read::read(dDouble, str("-Infinity")))),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(doubleOf(rts::force(Read::read(dDouble, str("3")))), 3.0);
    EXPECT_EQ(parses(Read::inst_Read_Unit(), 11, " ( ( ) ) ").size(), 1u);
    EXPECT_EQ(parses(Read::inst_Read_Bool(), 11, "TrueFalse").size(), 0u);
}

// A record from a hand-written readsPrec: a 32-bit hash read with the Int reader and narrowed;
// its list reader is the default one.
TEST(Readers, RecordFromReadsPrec) {
    Value readsHash = rts::fun<2>([](const Value& d, const Value& s) {
        std::vector<Value> out;
        for (const Value& p :
             vux::testing::items(Read::readsPrec(Read::inst_Read_Int(), intOf(rts::force(d)), s))) {
            const Value& t = rts::force(p);
            uint64_t low = static_cast<uint32_t>(intOf(rts::force(rts::field(t, 0))));
            out.push_back(VUX::Tuple::Tuple2(Word::W32_hash(static_cast<uint32_t>(low)), rts::field(t, 1)));
        }
        return vux::testing::list(out);
    });
    Value dHash = Read::readsPrecRecord(readsHash);
    auto hashes =
        vux::testing::items(Read::read(Read::inst_Read_List(dHash), str(" [4294967297, (-1) ,0x10]")));
    ASSERT_EQ(hashes.size(), 3u);
    EXPECT_EQ(Word::wordNOf(rts::force(hashes[0])), 1u);
    EXPECT_EQ(Word::wordNOf(rts::force(hashes[1])), 4294967295u);
    EXPECT_EQ(Word::wordNOf(rts::force(hashes[2])), 16u);
    EXPECT_EQ(parses(dHash, 11, "-1").size(), 0u);

    Value x = Text::ParserCombinators::ReadP::readP_to_S(Read::choose({{"x", VUX::Tuple::Unit()}}));
    for (auto [text, mandatory, count] : {std::tuple{"x", false, 1u}, std::tuple{"x", true, 0u},
                                          std::tuple{" ( (x) )", true, 1u}, std::tuple{"((x)", false, 0u}}) {
        SCOPED_TRACE(text);
        Value found = rts::apply(Read::readParen(mandatory, x), str(text));
        size_t complete = 0;
        for (const Value& p : vux::testing::items(found))
            complete += Lex::onlySpaces(rts::field(rts::force(p), 1));
        EXPECT_EQ(complete, count);
    }
}

// ---------------------------------------------------------------------------------------------
// Derived forms

// data Shape = Dot | Box Int [Shape] | Named { label :: String, size :: Maybe Double }
//            | Int :+ Shape (infix 6) ; strict and unboxed fields in Span.
VUX_DERIVE_TEXT_FORMS(Mode, {"Fast"}, {"Slow"})
VUX_DERIVE_TEXT_FORMS(Shape, {"Dot"}, {"Box", {D::Int(), D::listOf(forms_Shape())}},
                      {"Named", {{D::String(), "label"}, {D::maybeOf(D::Double()), "size"}}},
                      {":+", {D::Int(), forms_Shape()}, 6})
VUX_DERIVE_TEXT_FORMS(Span,
                      {"Span",
                       {{D::Rep::Int, "start"}, {forms_Mode(), "mode", D::Rep::Strict}, {D::Rep::Char, "c"}}})

Value Box(int64_t n, std::vector<Value> xs) { return rts::con(1, I_hash(n), vux::testing::list(xs)); }
Value Named(const std::string& l, Value size) { return rts::con(2, str(l), std::move(size)); }
Value Plus(int64_t n, Value s) { return rts::con(3, I_hash(n), std::move(s)); }
Value Span(int64_t start, uint8_t mode, uint32_t c) {
    uint64_t w[2] = {static_cast<uint64_t>(start), c};
    return rts::con_words(0, w, rts::con(mode));
}

struct FormRow {
    Value value;
    int64_t prec;
    std::string text;
};

TEST(Derived, WrittenAndReadBack) {
    const Value dShow = inst_Show_Shape(), dRead = inst_Read_Shape();
    std::vector<FormRow> rows = {
        {rts::con(0), 11, "Dot"},
        {Box(-1, {}), 10, "Box (-1) []"},
        {Box(2, {rts::con(0), Box(3, {})}), 11, "(Box 2 [Dot,Box 3 []])"},
        {Named("a\"b", Maybe::Just(D_hash(-0.5))), 11, "(Named {label = \"a\\\"b\", size = Just (-0.5)})"},
        {Named("", Maybe::Nothing()), 0, "Named {label = \"\", size = Nothing}"},
        {Plus(1, Plus(-2, rts::con(0))), 6, "1 :+ ((-2) :+ Dot)"},
        {Plus(1, rts::con(0)), 7, "(1 :+ Dot)"},
    };
    for (const FormRow& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(showAt(dShow, r.prec, r.value), r.text);
        auto p = parses(dRead, r.prec, r.text);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_TRUE(sameValue(p[0].first, r.value));
        EXPECT_EQ(p[0].second, "");
    }
    const Value dSpan = inst_Show_Span();
    EXPECT_EQ(showAt(dSpan, 0, Span(-3, 1, 'x')), "Span {start = -3, mode = Slow, c = 'x'}");
    EXPECT_TRUE(sameValue(Read::read(inst_Read_Span(), str("Span{start=(-3),mode=((Slow)),c='x'}")),
                          Span(-3, 1, 'x')));
}

struct AcceptRow {
    std::string text;
    int64_t prec;
    bool accepted;
};

TEST(Derived, ExactlyTheWrittenForms) {
    const Value dRead = inst_Read_Shape();
    std::vector<AcceptRow> rows = {
        {"Box 1 []", 10, true},
        {"Box 1 []", 11, false},
        {"( Box\n1\t[ ( Dot ) , Dot ] )", 11, true},
        {"Box 1", 0, false},
        {"Box -1 []", 0, false},
        {"BoxDot", 0, false},
        {"Dot_1", 0, false},
        {"Dot", 100, true},
        {"Named {label = \"x\", size = Nothing}", 11, true},
        {"Named {label = \"x\", size = Nothing}", 12, false},
        {"((Named {label = \"x\", size = Nothing}))", 12, true},
        {"Named{label=\"x\",size=Just 1.5e3}", 0, true},
        {"Named {size = Nothing, label = \"x\"}", 0, false},
        {"Named {label = \"x\"}", 0, false},
        {"Named {label = \"x\", size = Nothing,}", 0, false},
        {"Named \"x\" Nothing", 0, false},
        {"1 :+ Dot", 6, true},
        {"1 :+ Dot", 7, false},
        {"1 :+ 2 :+ Dot", 6, false},  // both sides at 7: no chain without parentheses
        {"Box 1 [Dot,]", 0, false},
        {"Box 1 [,Dot]", 0, false},
    };
    for (const AcceptRow& r : rows) {
        SCOPED_TRACE(r.text + " at " + std::to_string(r.prec));
        auto p = parses(dRead, r.prec, r.text);
        size_t complete = 0;
        for (auto& [v, rest] : p) complete += Lex::onlySpaces(str(rest));
        EXPECT_EQ(complete, r.accepted ? 1u : 0u);
    }
}

TEST(Derived, StrictFieldsWaitUntilTheValueIsUsed) {
    // A field reader whose value fails: the lazy field keeps it, the strict one fails on use only.
    Value failingRead = Read::readRecord(
        Read::parensLexeme([](int64_t, const Lex::Token& t, const Value& rest, Read::Parses& out) {
            if (t.kind == Lex::Ident_tag && t.text == "bad") out.push_back({vux::testing::failing(), rest});
        }));
    Value dLazy = D::deriveRead({{"L", {D::readOnly(failingRead)}}});
    Value dStrict = D::deriveRead({{"S", {{D::readOnly(failingRead), nullptr, D::Rep::Strict}}}});
    Value lazy = Read::read(dLazy, str("L bad"));
    EXPECT_EQ(rts::force(lazy)->tag, 0);
    Value strict = Read::read(dStrict, str("S bad"));
    EXPECT_THROW(rts::force(strict), rts::Exception);
}

// ---------------------------------------------------------------------------------------------
// Round trips of generated values

struct Gen {
    std::mt19937_64 rng{20261210};
    int64_t anyInt() {
        switch (rng() % 4) {
            case 0: return static_cast<int64_t>(rng());
            case 1: return std::numeric_limits<int64_t>::min() + static_cast<int64_t>(rng() % 3);
            default: return static_cast<int64_t>(rng() % 2001) - 1000;
        }
    }
    uint32_t anyChar() {
        static const uint32_t special[] = {0,   14,       'H', '\\', '"',  '\'', 127,
                                           128, 0x10FFFF, '5', 'S',  '\n', ' '};
        switch (rng() % 3) {
            case 0: return special[rng() % std::size(special)];
            case 1: return static_cast<uint32_t>(rng() % 0x110000);
            default: return static_cast<uint32_t>(32 + rng() % 95);
        }
    }
    Value anyString() {
        std::vector<Value> cs;
        for (size_t n = rng() % 8; n-- > 0;) cs.push_back(C_hash(anyChar()));
        return vux::testing::list(cs);
    }
    double anyDouble() {
        static const double special[] = {0.0,
                                         -0.0,
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(),
                                         5e-324,
                                         1.7976931348623157e308,
                                         0.1,
                                         1e7};
        if (rng() % 3 == 0) return special[rng() % std::size(special)];
        double x;
        do {
            uint64_t bits = rng();
            std::memcpy(&x, &bits, sizeof x);
        } while (std::isnan(x));
        return x;
    }
    float anyFloat() { return static_cast<float>(anyDouble() / (rng() % 2 ? 1e290 : 1.0)); }
    Value anyInteger() {
        Value x = I::IS(anyInt());
        for (size_t n = rng() % 3; n-- > 0;) x = I::integerMul(x, I::IS(anyInt() | 1));
        return x;
    }
    Value anyShape(int depth) {
        switch (depth <= 0 ? 0 : rng() % 4) {
            case 0: return rts::con(0);
            case 1: {
                std::vector<Value> xs;
                for (size_t n = rng() % 3; n-- > 0;) xs.push_back(anyShape(depth - 1));
                return Box(anyInt(), xs);
            }
            case 2:
                return rts::con(2, anyString(),
                                rng() % 2 ? Maybe::Just(D_hash(anyDouble())) : Maybe::Nothing());
            default: return Plus(anyInt(), anyShape(depth - 1));
        }
    }
};

// readsPrec d (showsPrec d x "") is exactly [(x, "")], at precedences 0 and 11.
void roundTrip(const D::Forms& f, const Value& x) {
    for (int64_t d : {0, 11}) {
        std::string text = showAt(f.show, d, x);
        SCOPED_TRACE(text);
        auto p = parses(f.read, d, text);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].second, "");
        EXPECT_TRUE(sameValue(p[0].first, x));
    }
}

TEST(RoundTrips, GeneratedValuesOfEveryInstance) {
    Gen g;
    const D::Forms intN[] = {{Show::inst_Show_Int(), Read::inst_Read_Int8()},
                             {Show::inst_Show_Int(), Read::inst_Read_Int16()},
                             {Show::inst_Show_Int(), Read::inst_Read_Int32()},
                             {Show::inst_Show_Int(), Read::inst_Read_Int64()}};
    const D::Forms wordN[] = {{Show::inst_Show_Word(), Read::inst_Read_Word8()},
                              {Show::inst_Show_Word(), Read::inst_Read_Word16()},
                              {Show::inst_Show_Word(), Read::inst_Read_Word32()},
                              {Show::inst_Show_Word(), Read::inst_Read_Word64()}};
    const D::Forms pair = D::tupleOf({D::Integer(), D::maybeOf(D::Char())});
    const D::Forms nested =
        D::listOf(D::tupleOf({D::eitherOf(D::Int(), D::String()), D::Float(), forms_Shape()}));
    for (int i = 0; i < 200; ++i) {
        roundTrip(D::Int(), I_hash(g.anyInt()));
        roundTrip(D::Word(), W_hash(g.rng()));
        const int bits = 8 << (i % 4);
        roundTrip(intN[i % 4], bits == 8    ? Int::intN<8>(g.anyInt())
                               : bits == 16 ? Int::intN<16>(g.anyInt())
                               : bits == 32 ? Int::intN<32>(g.anyInt())
                                            : Int::intN<64>(g.anyInt()));
        roundTrip(wordN[i % 4], bits == 8    ? Word::wordN<8>(g.rng())
                                : bits == 16 ? Word::wordN<16>(g.rng())
                                : bits == 32 ? Word::wordN<32>(g.rng())
                                             : Word::wordN<64>(g.rng()));
        roundTrip(D::Integer(), g.anyInteger());
        roundTrip(D::Natural(), VUX::Num::Natural::naturalFromWord_hash(g.rng()));
        roundTrip(D::Double(), D_hash(g.anyDouble()));
        roundTrip(D::Float(), F_hash(g.anyFloat()));
        roundTrip(D::Char(), C_hash(g.anyChar()));
        roundTrip(D::String(), g.anyString());
        roundTrip(D::Bool(), fromBool(g.rng() % 2));
        roundTrip(D::Ordering(), Value::adopt(Ordering_closure_tbl[g.rng() % 3]));
        roundTrip(D::Unit(), VUX::Tuple::Unit());
        roundTrip(pair, VUX::Tuple::Tuple2(g.anyInteger(), g.rng() % 2 ? Maybe::Just(C_hash(g.anyChar()))
                                                                       : Maybe::Nothing()));
        std::vector<Value> items;
        for (size_t n = g.rng() % 4; n-- > 0;) {
            Value e = g.rng() % 2 ? rts::con(0, I_hash(g.anyInt())) : rts::con(1, g.anyString());
            items.push_back(VUX::Tuple::Tuple(e, F_hash(g.anyFloat()), g.anyShape(3)));
        }
        roundTrip(nested, vux::testing::list(items));
    }
    Value natural = I::integerToNatural(I::integerMul(I::IS(INT64_MAX), I::IS(INT64_MAX)));
    roundTrip(D::Natural(), natural);
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST(BadInput, RandomBytesAndTruncatedTexts) {
    const D::Forms nested = D::listOf(D::tupleOf({D::maybeOf(D::Int()), D::String(), forms_Shape()}));
    std::mt19937_64 rng(7);
    const std::string alphabet = "()[]{},=-+:'\"\\ 0123456789xoeE.DotBoxNamedlabelsizeJustNothing";
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (size_t n = rng() % 40; n-- > 0;)
            text.push_back(i % 2 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()]);
        EXPECT_NO_THROW(parses(nested.read, static_cast<int64_t>(rng() % 12), text)) << text;
    }
    // Every proper prefix of a written list lacks its closing bracket: no complete parse.
    Gen g;
    std::vector<Value> items;
    for (int i = 0; i < 4; ++i)
        items.push_back(VUX::Tuple::Tuple(Maybe::Just(I_hash(-i)), g.anyString(), g.anyShape(3)));
    std::string text = showAt(nested.show, 0, vux::testing::list(items));
    for (size_t n = 0; n < text.size(); ++n)
        EXPECT_EQ(readError(nested.read, text.substr(0, n)), "Prelude.read: no parse");
    EXPECT_EQ(readError(nested.read, text), "");
}

TEST(BadInput, DeepNestingOverflowsCatchably) {
    const int depth = 100000;
    const std::string deep = std::string(depth, '(') + "5" + std::string(depth, ')');
    std::string boxes;
    for (int i = 0; i < depth; ++i) boxes += "Box 1 [";
    boxes += "Dot" + std::string(depth, ']');
    const Value dInt = Read::inst_Read_Int();
    // On a small stack: the runtime's stack-overflow exception, nothing else.
    uintptr_t previous = rts::limit_stack_depth(256 * 1024);
    for (const std::string* text : std::vector<const std::string*>{&deep, &boxes}) {
        try {
            Read::readEither(text == &deep ? dInt : inst_Read_Shape(), str(*text));
            ADD_FAILURE() << "no overflow";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::StackOverflow);
        }
    }
    rts::restore_stack_limit(previous);
    // On a large stack the same text reads.
    rts::run_on_large_stack([&] { EXPECT_EQ(intOf(rts::force(Read::read(dInt, str(deep)))), 5); });
}

}  // namespace
