// Standard text forms: a table of values against exact texts, and float round trips.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "Data/Either.h"
#include "Testing.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Unicode.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;
using vux::testing::utf8;

namespace {

std::string showsAt(const Value& d, int64_t prec, const Value& x) {
    return to_string(Show::showsPrec(d, prec, x, Nil()));
}

struct Row {
    const char* name;
    Value dShow;
    Value value;
    int64_t prec;
    std::string text;
};

TEST(ShowForms, TableOfValues) {
    const Value dInt = Show::inst_Show_Int(), dD = Float::inst_Show_Double(),
                dF = Float::inst_Show_Float(), dC = Show::inst_Show_Char(),
                dS = Show::inst_Show_List(Show::inst_Show_Char());
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    std::vector<Row> rows = {
        {"int", dInt, I_hash(42), 0, "42"},
        {"negative int at 6", dInt, I_hash(-5), 6, "-5"},
        {"negative int at 7", dInt, I_hash(-5), 7, "(-5)"},
        {"min int", dInt, I_hash(std::numeric_limits<int64_t>::min()), 0, "-9223372036854775808"},
        {"word", Show::inst_Show_Word(), W_hash(~0ull), 11, "18446744073709551615"},
        {"integer big", Num::inst_Show_Integer(), VUX::Num::Integer::integerMul(VUX::Num::Integer::IS(-4611686018427387904), VUX::Num::Integer::IS(4)), 11, "(-18446744073709551616)"},
        {"one", dD, D_hash(1.0), 0, "1.0"},
        {"tenth", dD, D_hash(0.1), 0, "0.1"},
        {"hundredth", dD, D_hash(0.01), 0, "1.0e-2"},
        {"1.5", dD, D_hash(1.5), 0, "1.5"},
        {"100", dD, D_hash(100.0), 0, "100.0"},
        {"0.25", dD, D_hash(0.25), 0, "0.25"},
        {"1234567", dD, D_hash(1234567.0), 0, "1234567.0"},
        {"9999999.5", dD, D_hash(9999999.5), 0, "9999999.5"},
        {"1e7", dD, D_hash(1.0e7), 0, "1.0e7"},
        {"12345678.9", dD, D_hash(12345678.9), 0, "1.23456789e7"},
        {"smallest subnormal", dD, D_hash(5.0e-324), 0, "5.0e-324"},
        {"max", dD, D_hash(std::numeric_limits<double>::max()), 0, "1.7976931348623157e308"},
        {"zero", dD, D_hash(0.0), 0, "0.0"},
        {"negative zero at 0", dD, D_hash(-0.0), 0, "-0.0"},
        {"negative zero at 11", dD, D_hash(-0.0), 11, "(-0.0)"},
        {"negative at 6", dD, D_hash(-2.5), 6, "-2.5"},
        {"negative at 7", dD, D_hash(-2.5), 7, "(-2.5)"},
        {"nan at 0", dD, D_hash(nan), 0, "NaN"},
        {"nan at 11", dD, D_hash(-nan), 11, "NaN"},
        {"infinity", dD, D_hash(inf), 11, "Infinity"},
        {"negative infinity at 11", dD, D_hash(-inf), 11, "(-Infinity)"},
        {"float tenth", dF, F_hash(0.1f), 0, "0.1"},
        {"double of float tenth", dD, D_hash(static_cast<double>(0.1f)), 0, "0.10000000149011612"},
        {"float 1.5", dF, F_hash(1.5f), 0, "1.5"},
        {"float 16777216", dF, F_hash(16777216.0f), 0, "1.6777216e7"},
        {"float 3.4e38", dF, F_hash(std::numeric_limits<float>::max()), 0, "3.4028235e38"},
        {"char", dC, C_hash('a'), 11, "'a'"},
        {"char quote", dC, C_hash('\''), 0, "'\\''"},
        {"char double quote", dC, C_hash('"'), 0, "'\"'"},
        {"char lambda", dC, C_hash(955), 0, "'\\955'"},
        {"char del", dC, C_hash(127), 0, "'\\DEL'"},
        {"char SO", dC, C_hash(14), 0, "'\\SO'"},
        {"char SOH", dC, C_hash(1), 0, "'\\SOH'"},
        {"char newline", dC, C_hash('\n'), 0, "'\\n'"},
        {"char backslash", dC, C_hash('\\'), 0, "'\\\\'"},
        {"string quote", dS, str("\""), 0, "\"\\\"\""},
        {"string single quote", dS, str("'"), 0, "\"'\""},
        {"numeric escape before digit", dS, utf8("\u04D25"), 0, "\"\\1234\\&5\""},
        {"numeric escape before letter", dS, utf8("\u04D2x"), 0, "\"\\1234x\""},
        {"SO before H", dS, str("\x0EH"), 0, "\"\\SO\\&H\""},
        {"SO before I", dS, str("\x0EI"), 0, "\"\\SOI\""},
        {"controls", dS, str(std::string("\0\a\b\t\x1B\x1F", 6)), 0, "\"\\NUL\\a\\b\\t\\ESC\\US\""},
        {"latin1", dS, utf8("\u00E4"), 0, "\"\\228\""},
        {"empty string", dS, str(""), 0, "\"\""},
        {"bool", Show::inst_Show_Bool(), True(), 11, "True"},
        {"ordering", Show::inst_Show_Ordering(), GT(), 0, "GT"},
        {"unit", Show::inst_Show_Unit(), VUX::Tuple::Unit(), 11, "()"},
        {"list of ints", Show::inst_Show_List(dInt), vux::testing::ints({1, -2, 3}), 11, "[1,-2,3]"},
        {"empty list", Show::inst_Show_List(dInt), Nil(), 0, "[]"},
        {"list of strings", Show::inst_Show_List(dS), vux::testing::list({str("a"), str("b")}), 0, "[\"a\",\"b\"]"},
        {"nothing", Show::inst_Show_Maybe(dInt), Maybe::Nothing(), 11, "Nothing"},
        {"just at 10", Show::inst_Show_Maybe(dInt), Maybe::Just(I_hash(-1)), 10, "Just (-1)"},
        {"just at 11", Show::inst_Show_Maybe(dInt), Maybe::Just(I_hash(5)), 11, "(Just 5)"},
        {"just just", Show::inst_Show_Maybe(Show::inst_Show_Maybe(dInt)), Maybe::Just(Maybe::Just(I_hash(1))), 0, "Just (Just 1)"},
        {"left", Show::inst_Show_Either(dC, dInt), Data::Either::Left(C_hash('x')), 0, "Left 'x'"},
        {"right at 11", Show::inst_Show_Either(dC, dInt), Data::Either::Right(I_hash(2)), 11, "(Right 2)"},
        {"pair", Show::inst_Show_Tuple2(dInt, dC), VUX::Tuple::Tuple2(I_hash(-1), C_hash('a')), 11, "(-1,'a')"},
        {"triple", Show::inst_Show_Tuple3(dInt, dInt, dD), VUX::Tuple::Tuple3(I_hash(1), I_hash(2), D_hash(-0.5)), 0, "(1,2,-0.5)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(showsAt(r.dShow, r.prec, r.value), r.text);
    }
}

TEST(ShowForms, ShowAndShowListAgreeWithShowsPrec) {
    EXPECT_EQ(to_string(Show::show(Show::inst_Show_Int(), I_hash(-7))), "-7");
    EXPECT_EQ(to_string(Show::showList(Show::inst_Show_Char(), str("a\"b"), str("!"))), "\"a\\\"b\"!");
    EXPECT_EQ(to_string(Show::itos(-120, Nil())), "-120");
    EXPECT_EQ(to_string(Show::showLitChar('\n', Nil())), "\\n");
    // A numeric escape looks at the text that follows it.
    EXPECT_EQ(to_string(Show::showLitChar(200, str("1"))), "\\200\\&1");
    EXPECT_EQ(to_string(Show::showLitString(utf8("\u00E9"), str("9"))), "\\233\\&9");
}

TEST(ShowForms, MultiLineString) {
    auto lines = [](const std::string& s) {
        std::vector<std::string> out;
        for (const Value& l : vux::testing::items(Show::showMultiLineString(str(s)))) out.push_back(to_string(l));
        return out;
    };
    EXPECT_EQ(lines("a\nb"), (std::vector<std::string>{"\"a\\n\\", "\\b\""}));
    EXPECT_EQ(lines("ab\n"), (std::vector<std::string>{"\"ab\\n\""}));
    EXPECT_EQ(lines(""), (std::vector<std::string>{"\"\""}));
    EXPECT_EQ(lines("x\n\n\"y"), (std::vector<std::string>{"\"x\\n\\", "\\\\n\\", "\\\\\"y\""}));
}

// Derived forms from a description of the constructors: words and references stored apart.
TEST(ShowForms, DerivedFromTables) {
    namespace D = VUX::Internal::Derived;
    Value dSpan = D::deriveShow(
        {{"Span", {{D::Rep::Int, "spanStart"}, {D::Int(), "spanLength"}, {D::Rep::Int, "spanAnnotation"}}}});
    uint64_t words[2] = {3, static_cast<uint64_t>(-2)};
    Value span = rts::con_words(0, words, I_hash(7));
    EXPECT_EQ(showsAt(dSpan, 0, span), "Span {spanStart = 3, spanLength = 7, spanAnnotation = -2}");
    EXPECT_EQ(showsAt(dSpan, 11, span), "(Span {spanStart = 3, spanLength = 7, spanAnnotation = -2})");

    Value dShape = D::deriveShow({{"Dot"}, {"Box", {D::Int(), D::Int()}}, {":+", {D::Int(), D::Int()}, 6}});
    EXPECT_EQ(showsAt(dShape, 11, rts::con(0)), "Dot");
    EXPECT_EQ(showsAt(dShape, 10, rts::con(1, I_hash(1), I_hash(-2))), "Box 1 (-2)");
    EXPECT_EQ(showsAt(dShape, 11, rts::con(1, I_hash(1), I_hash(2))), "(Box 1 2)");
    EXPECT_EQ(showsAt(dShape, 6, rts::con(2, I_hash(1), I_hash(2))), "1 :+ 2");
    EXPECT_EQ(showsAt(dShape, 7, rts::con(2, I_hash(1), I_hash(-2))), "(1 :+ (-2))");
}

TEST(ShowForms, FieldsAreShownOnDemand) {
    Value d = Show::inst_Show_Maybe(Show::inst_Show_Int());
    Value text = Show::showsPrec(d, 11, Maybe::Just(vux::testing::failing()), Nil());
    EXPECT_EQ(to_string(VUX::Internal::List::take(6, text)), "(Just ");
    Value listText = Show::showsPrec(Show::inst_Show_List(Show::inst_Show_Int()), 0,
                                     vux::testing::list({I_hash(1), vux::testing::failing()}), Nil());
    EXPECT_EQ(to_string(VUX::Internal::List::take(3, listText)), "[1,");
}

template <class T>
T readBack(const std::string& s) {
    T x{};
    auto r = std::from_chars(s.data(), s.data() + s.size(), x);
    EXPECT_EQ(r.ec, std::errc()) << s;
    return x;
}

TEST(ShowForms, RandomDoublesAndFloatsRoundTrip) {
    std::mt19937_64 gen(12345);
    for (int i = 0; i < 10000; ++i) {
        uint64_t bits = gen();
        double d;
        std::memcpy(&d, &bits, 8);
        if (!std::isfinite(d)) continue;
        std::string s = to_string(Float::showFloat(d, Nil()));
        ASSERT_EQ(rts::bits_of(readBack<double>(s)), bits) << s;
        uint32_t fbits = static_cast<uint32_t>(gen());
        float f;
        std::memcpy(&f, &fbits, 4);
        if (!std::isfinite(f)) continue;
        std::string t = to_string(Float::showFloat(f, Nil()));
        ASSERT_EQ(rts::bits_of(readBack<float>(t)), fbits) << t;
    }
}

TEST(Unicode, SimpleLowerCase) {
    struct {
        uint32_t c, lower;
    } rows[] = {{'A', 'a'}, {'z', 'z'}, {'1', '1'},   {0xC4, 0xE4},   {0xDF, 0xDF},   {0x130, 'i'},
                {0x100, 0x101}, {0x101, 0x101}, {0x391, 0x3B1}, {0x3A3, 0x3C3}, {0x410, 0x430}, {0x1E9E, 0xDF},
                {0x2160, 0x2170}, {0xFF21, 0xFF41}, {0x10400, 0x10428}, {0x1F600, 0x1F600}, {0x212A, 'k'}};
    for (auto r : rows) EXPECT_EQ(Unicode::toSimpleLowerCase(r.c), r.lower) << std::hex << r.c;
}

}  // namespace
