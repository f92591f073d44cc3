// Layout and rendering of documents: whole rendered texts for the cases that reveal faults.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>

#include "PrettyTesting.h"
#include "Testing.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/List.h"

namespace D = Text::PrettyPrint::Annotated::Drovane;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value txt(const std::string& s) { return D::text(str(s)); }
Value nest(int64_t k, const Value& d) { return D::nest(VUX::Types::I_hash(k), d); }
Value docs(std::initializer_list<Value> ds) { return vux::testing::list(std::vector<Value>(ds)); }
Value styleOf(uint8_t mode, int64_t len, float ribbons) {
    return D::Style(Value::adopt(D::Mode_closure_tbl[mode]), VUX::Types::I_hash(len), VUX::Types::F_hash(ribbons));
}
std::string render(const Value& d) { return to_string(D::render(d)); }
std::string renderAt(const Value& d, int64_t len, float ribbons = 1.0f, uint8_t mode = D::PageMode_tag) {
    return to_string(D::renderStyle(styleOf(mode, len, ribbons), d));
}

}  // namespace

TEST(Compose, EmptyIsTheUnitOfEveryComposition) {
    Value x = txt("x");
    for (auto op : {&D::op_lt_gt, &D::op_lt_plus_gt, &D::op_dollar_dollar, &D::op_dollar_plus_dollar}) {
        EXPECT_TRUE(same(op(x, D::empty()), x));
        EXPECT_TRUE(same(op(D::empty(), x), x));
    }
    EXPECT_EQ(render(D::op_dollar_dollar(txt(""), txt("x"))), "\nx");
    EXPECT_EQ(render(D::hsep(docs({txt("a"), D::empty(), txt("b")}))), "a b");
    EXPECT_EQ(D::hcat(docs({}))->tag, D::Empty_tag);
    EXPECT_EQ(D::hcat(docs({D::empty(), D::empty()}))->tag, D::Empty_tag);
    Value v = D::vcat(docs({x}));
    ASSERT_EQ(v->tag, D::Above_tag);
    EXPECT_EQ(rts::force(rts::field(v, 2))->tag, D::Empty_tag);
    EXPECT_EQ(render(v), "x");
}

struct RenderCase {
    const char* name;
    std::function<Value()> doc;
    std::string expected;
};

class Render : public ::testing::TestWithParam<RenderCase> {};

TEST_P(Render, WholeText) { EXPECT_EQ(render(GetParam().doc()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Render,
    ::testing::Values(
        RenderCase{"Empty", [] { return D::empty(); }, ""},
        RenderCase{"Above", [] { return D::op_dollar_dollar(txt("a"), txt("b")); }, "a\nb"},
        RenderCase{"NestedAbove", [] { return nest(2, D::op_dollar_dollar(txt("a"), txt("b"))); }, "  a\n  b"},
        RenderCase{"OverlapNest2", [] { return D::op_dollar_dollar(txt("a"), nest(2, txt("b"))); }, "a b"},
        RenderCase{"NoOverlapNest1", [] { return D::op_dollar_dollar(txt("a"), nest(1, txt("b"))); }, "a\n b"},
        RenderCase{"NeverShareLine", [] { return D::op_dollar_plus_dollar(txt("a"), nest(2, txt("b"))); }, "a\n  b"},
        RenderCase{"OverlapNeedsRoom", [] { return D::op_dollar_dollar(txt("ab"), nest(2, txt("c"))); }, "ab\n  c"},
        RenderCase{"NestIgnoredOnRight", [] { return D::op_lt_plus_gt(txt("a"), nest(5, txt("b"))); }, "a b"},
        RenderCase{"NestOfLeftOperand", [] { return D::op_lt_gt(nest(5, txt("a")), txt("b")); }, "     ab"},
        RenderCase{"MixedFlags", [] { return D::op_lt_plus_gt(D::op_lt_gt(txt("a"), txt("b")), txt("c")); }, "ab c"},
        RenderCase{"SizedText",
                   [] { return D::op_dollar_dollar(D::sizedText(VUX::Types::I_hash(5), str("ab")), nest(6, txt("c"))); },
                   "ab c"},
        RenderCase{"TextAboveNest3", [] { return D::op_dollar_dollar(txt("ab"), nest(3, txt("c"))); }, "ab c"},
        RenderCase{"TextAboveNest3Plus", [] { return D::op_dollar_plus_dollar(txt("ab"), nest(3, txt("c"))); },
                   "ab\n   c"},
        RenderCase{"SepOfTwoLineFirst", [] { return D::sep(docs({D::op_dollar_dollar(txt("a"), txt("b")), txt("c")})); },
                   "a\nb\nc"},
        RenderCase{"SepSkipsEmpty", [] { return D::sep(docs({txt("a"), D::empty(), txt("b")})); }, "a b"},
        RenderCase{"SepNoTrailingSpace", [] { return D::sep(docs({txt("a"), D::empty(), D::empty()})); }, "a"},
        RenderCase{"FsepSkipsEmpty", [] { return D::fsep(docs({txt("a"), D::empty(), txt("b")})); }, "a b"},
        RenderCase{"Fcat", [] { return D::fcat(docs({txt("a"), txt("b")})); }, "ab"},
        RenderCase{"HangNarrowFirst", [] { return D::hang(txt("f"), VUX::Types::I_hash(2), txt("x")); }, "f x"},
        RenderCase{"Punctuate",
                   [] { return D::hcat(D::punctuate(D::comma(), docs({txt("a"), txt("b"), txt("c")}))); }, "a,b,c"}),
    [](const ::testing::TestParamInfo<RenderCase>& info) { return std::string(info.param.name); });

TEST(Layout, SepChoosesOneLineOrStacks) {
    Value ab = D::sep(docs({txt("a"), txt("b")}));
    EXPECT_EQ(renderAt(ab, 3), "a b");
    EXPECT_EQ(renderAt(ab, 2), "a\nb");
    Value cab = D::cat(docs({txt("a"), txt("b")}));
    EXPECT_EQ(renderAt(cab, 2), "ab");
    EXPECT_EQ(renderAt(cab, 1), "a\nb");
    Value catNest = D::cat(docs({txt("a"), nest(5, txt("b"))}));
    EXPECT_EQ(renderAt(catNest, 2), "ab");
    EXPECT_EQ(renderAt(catNest, 1), "a    b");
}

// The one-line alternative of sep and cat over members of every shape: plain texts under nests,
// several elements, alternatives of their own, line breaks, empty texts and compositions.
TEST(Layout, SepOneLineOverEveryMemberShape) {
    Value inner = D::sep(docs({txt("d"), txt("e")}));
    Value members = docs({txt("a"), nest(2, D::op_lt_gt(txt("b"), txt("c"))), nest(3, inner), txt(""),
                          D::op_lt_plus_gt(txt("f"), txt("g")), D::annotate(VUX::Types::I_hash(1), txt("h"))});
    EXPECT_EQ(renderAt(D::sep(members), 80), "a bc d e  f g h");
    EXPECT_EQ(renderAt(D::cat(members), 80), "abcd ef gh");
    Value broken = D::sep(docs({txt("a"), nest(1, txt("b")), D::op_dollar_dollar(txt("c"), txt("d")), txt("e")}));
    EXPECT_EQ(renderAt(broken, 80), "a\n b\nc\nd\ne");
    Value wide = D::sep(docs({txt("a"), txt("bbbb"), nest(2, txt("c"))}));
    EXPECT_EQ(renderAt(wide, 8), "a bbbb c");
    EXPECT_EQ(renderAt(wide, 7), "a\nbbbb\n  c");
}

// Compositions whose first document is itself a composition: the lower document follows the inner
// one's last line, and when the inner lower document is empty the outer flag decides the overlap.
TEST(Layout, CompositionsInsideCompositions) {
    using VUX::Types::False;
    using VUX::Types::True;
    Value a = D::reduceDoc(txt("a")), b = D::reduceDoc(txt("b"));
    auto stacked = [&](const Value& innerFlag, const Value& outerFlag) {
        return render(D::aboveNest(D::aboveNest(a, innerFlag, 0, D::empty()), outerFlag, 3, b));
    };
    EXPECT_EQ(stacked(True(), False()), "a  b");
    EXPECT_EQ(stacked(False(), True()), "a\n   b");
    EXPECT_EQ(render(D::op_dollar_dollar(D::vcat(docs({D::vcat(docs({txt("a")}))})), nest(3, txt("b")))),
              "a  b");
    // Offsets of the enclosing levels add up along a tower of nested stacks.
    Value tower = txt("leaf");
    for (int i = 0; i < 3; ++i) tower = D::vcat(docs({txt("n("), nest(2, tower), txt(")")}));
    EXPECT_EQ(render(D::op_dollar_dollar(tower, nest(1, txt("end")))),
              "n(\n  n(\n    n(\n      leaf\n    )\n  )\n)\n end");
    // Horizontal and vertical layers mixed: a staircase with nests, and annotations around it.
    Value stairs = txt("a");
    for (int i = 0; i < 4; ++i)
        stairs = D::op_lt_gt(D::op_dollar_dollar(stairs, nest(i, txt("yy"))), txt("z"));
    EXPECT_EQ(render(stairs), "a\nyyz\n yyz\n  yyz\n   yyz");
    Value wrapped = stairs;
    for (int i = 0; i < 3; ++i)
        wrapped = D::annotate(VUX::Types::I_hash(i), D::op_lt_plus_gt(txt("w"), wrapped));
    EXPECT_EQ(render(D::op_dollar_dollar(wrapped, nest(13, txt("end")))),
              "w w w a\n      yyz\n       yyz\n        yyz\n         yyz end");
}

TEST(Layout, FsepFillsLines) {
    Value d = D::fsep(docs({txt("aa"), txt("bb"), txt("cc")}));
    EXPECT_EQ(renderAt(d, 5), "aa bb\ncc");
    EXPECT_EQ(renderAt(d, 8), "aa bb cc");
}

// A line fits only if none of its prefixes overflows: an element of negative width after the
// overflow does not bring the line back within the page, while one before it leaves more room. The
// answer is the same once a wide rendering has evaluated the line's text.
TEST(Layout, ALineThatOverflowsStaysTooWideAfterANegativeWidth) {
    Value back = D::sizedText(VUX::Types::I_hash(-20), str("x"));
    Value overflowThenBack = D::op_lt_gt(txt("cdefghijkl"), back);
    Value backThenOverflow = D::op_lt_gt(back, txt("cdefghijkl"));
    struct Row {
        Value doc;
        std::string at10, at80;
    } rows[] = {{D::fsep(docs({txt("ab"), overflowThenBack})), "ab\ncdefghijklx", "ab cdefghijklx"},
                {D::sep(docs({txt("ab"), overflowThenBack})), "ab\ncdefghijklx", "ab cdefghijklx"},
                {D::fsep(docs({txt("ab"), backThenOverflow})), "ab xcdefghijkl", "ab xcdefghijkl"},
                {D::sep(docs({txt("ab"), backThenOverflow})), "ab xcdefghijkl", "ab xcdefghijkl"}};
    for (const Row& row : rows) {
        EXPECT_EQ(renderAt(row.doc, 10), row.at10);
        EXPECT_EQ(renderAt(row.doc, 80), row.at80);
        EXPECT_EQ(renderAt(row.doc, 10), row.at10);
    }
}

// A fill over a list whose members are all evaluated texts takes words ahead of demand, a bounded
// run at a time; over the same members given one suspended cell at a time it takes none. Both
// lay out the same text, and a long evaluated list takes no deep stack.
TEST(Layout, FillOfEvaluatedWordsMatchesFillOfSuspendedWords) {
    std::vector<Value> words;
    for (int i = 0; i < 5000; ++i) {
        Value w = txt("w" + std::to_string(i % 1000));
        if (i % 97 == 0) w = D::empty();
        if (i % 89 == 0) w = nest(3, w);
        if (i % 1013 == 0) w = D::op_dollar_dollar(w, txt("under"));
        words.push_back(w);
    }
    struct Suspended {
        static Value from(std::shared_ptr<const std::vector<Value>> ws, size_t i) {
            if (i == ws->size()) return VUX::Types::Nil();
            return VUX::Types::Cons((*ws)[i], rts::delay([ws, i] { return from(ws, i + 1); }));
        }
    };
    Value evaluated = vux::testing::list(words);
    auto shared = std::make_shared<const std::vector<Value>>(words);
    for (auto fill : {&D::fsep, &D::fcat})
        for (int64_t width : {1, 9, 40, 80}) {
            std::string eager = renderAt(fill(evaluated), width);
            EXPECT_EQ(eager, renderAt(fill(Suspended::from(shared, 0)), width)) << width;
            EXPECT_NE(eager.find("w998"), std::string::npos) << width;
        }
}

// A fill takes ahead only the words of list cells already evaluated: a suspended tail after them
// is forced once the text reaches the line that needs it, not when the first line is read.
TEST(Layout, FillLeavesASuspendedTailUntilItsLineIsRead) {
    struct Case {
        Value (*fill)(const Value&);
        int64_t width;
        std::string firstLine, whole;
    };
    const Case cases[] = {{&D::fsep, 5, "w0 w1", "w0 w1\nw2 w3\nw4 w5"},
                          {&D::fcat, 4, "w0w1", "w0w1\nw2w3\nw4w5"}};
    for (const Case& c : cases) {
        auto forced = std::make_shared<bool>(false);
        Value list = rts::delay([forced] {
            *forced = true;
            return VUX::Types::Nil();
        });
        for (int i = 5; i >= 0; --i) list = VUX::Types::Cons(txt("w" + std::to_string(i)), list);
        Value cur = D::renderStyle(styleOf(D::PageMode_tag, c.width, 1.0f), c.fill(list));
        std::string text;
        for (;;) {
            const Value& cell = rts::force(cur);
            if (cell->tag == VUX::Types::Nil_tag) break;
            char ch = static_cast<char>(VUX::Types::charOf(rts::force(rts::field(cell, 0))));
            if (ch == '\n' && text == c.firstLine) {
                EXPECT_FALSE(*forced) << c.firstLine;
            }
            text.push_back(ch);
            Value next = rts::field(cell, 1);
            cur = std::move(next);
        }
        EXPECT_TRUE(*forced);
        EXPECT_EQ(text, c.whole);
    }
}

TEST(Layout, HangStacksWhenTooWide) {
    Value d = D::hang(txt("abc"), VUX::Types::I_hash(2), txt("x"));
    EXPECT_EQ(renderAt(d, 5), "abc x");
    EXPECT_EQ(renderAt(d, 4), "abc\n  x");
}

TEST(Layout, RibbonLimitsTheTextOfALine) {
    Value hw = D::sep(docs({txt("hello"), txt("world")}));
    EXPECT_EQ(renderAt(hw, 12, 1.5f), "hello\nworld");
    EXPECT_EQ(renderAt(hw, 12, 1.0f), "hello world");
    EXPECT_EQ(render(hw), "hello world");
}

TEST(Layout, RibbonWidthRoundsHalfToEven) {
    struct Row {
        int64_t len;
        float ribbons;
        int64_t expected;
    } rows[] = {{100, 1.5f, 67}, {80, 1.5f, 53}, {120, 1.5f, 80}, {100, 3.0f, 33},
                {5, 2.0f, 2},    {9, 2.0f, 4},   {7, 2.0f, 4},    {1, 2.0f, 0}};
    for (const Row& r : rows) EXPECT_EQ(D::ribbonWidth(r.len, r.ribbons), r.expected) << r.len << "/" << r.ribbons;
    EXPECT_EQ(D::ribbonWidth(100, 0.0f), INT64_MAX);
    EXPECT_EQ(D::ribbonWidth(100, -0.0f), INT64_MIN);
    EXPECT_EQ(D::ribbonWidth(100, std::nanf("")), INT64_MAX);
    EXPECT_EQ(D::ribbonWidth(100, -1.0f), -100);
}

TEST(Modes, LeftAndOneLine) {
    Value d = D::op_dollar_plus_dollar(txt("a"), nest(4, txt("b")));
    EXPECT_EQ(renderAt(nest(4, txt("a")), 80, 1.0f, D::LeftMode_tag), "a");
    EXPECT_EQ(renderAt(D::op_dollar_plus_dollar(txt("a"), txt("b")), 80, 1.0f, D::OneLineMode_tag), "a b");
    // Neither mode looks at the line length or the ribbons.
    Value s = D::Style(Value::adopt(D::Mode_closure_tbl[D::LeftMode_tag]), vux::testing::failing(),
                       vux::testing::failing());
    EXPECT_EQ(to_string(D::renderStyle(s, d)), "a\nb");
    Value s1 = D::Style(Value::adopt(D::Mode_closure_tbl[D::OneLineMode_tag]), vux::testing::failing(),
                        vux::testing::failing());
    EXPECT_EQ(to_string(D::renderStyle(s1, d)), "a b");
}

TEST(Modes, ZigZagFoldsDeepLines) {
    // Line length 20, 2 ribbons: ribbon 10, gap 10, shift 5.
    EXPECT_EQ(renderAt(nest(12, txt("x")), 20, 2.0f, D::ZigZagMode_tag), "\n/////\n       x");
    Value back = D::op_dollar_dollar(txt("a"), nest(-3, txt("b")));
    EXPECT_EQ(renderAt(back, 20, 2.0f, D::ZigZagMode_tag), "a\n\n\\\\\\\\\\\n  b");
    EXPECT_EQ(renderAt(txt("x"), 20, 1.0f, D::ZigZagMode_tag), "\n\nx");
}

TEST(Modes, ZigZagKeepsTheTextOfExtremeNests) {
    // Negative nests down to the smallest Int: the unbounded zig-zag width minus the nest would
    // overflow, so widths saturate instead, and every line still comes out.
    for (int64_t k : {INT64_MIN, INT64_MIN + 1, -(int64_t{1} << 62), int64_t{-7}}) {
        Value d = D::op_dollar_dollar(txt("a"), nest(k, D::op_dollar_dollar(txt("b"), nest(k, txt("c")))));
        std::string out = renderAt(d, 20, 2.0f, D::ZigZagMode_tag);
        std::string letters;
        for (char ch : out)
            if (ch >= 'a' && ch <= 'c') letters.push_back(ch);
        EXPECT_EQ(letters, "abc") << k;
    }
}

class InfiniteDocument : public ::testing::TestWithParam<Value (*)(const Value&)> {};

TEST_P(InfiniteDocument, RendersLazily) {
    struct Lines {
        static Value from(int64_t i) {
            return VUX::Types::Cons(D::text(str("line " + std::to_string(i))),
                                    rts::delay([i] { return from(i + 1); }));
        }
    };
    Value out = D::render(GetParam()(Lines::from(0)));
    Value cur = out;
    std::string firstLines;
    int newlines = 0;
    while (newlines < 1000) {
        const Value& c = rts::force(cur);
        ASSERT_EQ(c->tag, VUX::Types::Cons_tag);
        uint32_t ch = VUX::Types::charOf(rts::force(rts::field(c, 0)));
        if (ch == '\n') ++newlines;
        if (newlines == 0) firstLines.push_back(static_cast<char>(ch));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    EXPECT_EQ(firstLines, "line 0");
}

INSTANTIATE_TEST_SUITE_P(Stacked, InfiniteDocument, ::testing::Values(&D::vcat, &D::sep, &D::cat));

namespace {

// A laid-out line: the text s (its width its length), then the layout d.
Value laidLine(const Value& chars, int64_t width, const Value& d) {
    return D::TextBeside(D::NoAnnot_hash(D::Str(chars), width), d);
}
Value laidLine(const std::string& s, const Value& d) { return laidLine(str(s), static_cast<int64_t>(s.size()), d); }
Value displayed(const Value& laidOut) {
    return D::display(false, 0, 0, D::renderChunk_closure.value(), VUX::Types::Nil(), laidOut);
}

// The characters of a text read one cell at a time up to the first error, and whether one came.
std::pair<std::string, bool> readUntilError(const Value& chars) {
    std::string out;
    Value cur = chars;
    try {
        for (;;) {
            const Value& c = rts::force(cur);
            if (c->tag == VUX::Types::Nil_tag) return {out, false};
            out.push_back(static_cast<char>(VUX::Types::charOf(rts::force(rts::field(c, 0)))));
            Value next = rts::field(c, 1);
            cur = std::move(next);
        }
    } catch (const rts::Exception&) {
        return {out, true};
    }
}

}  // namespace

TEST(Rendering, ReadsAheadOnlyWhatIsEvaluated) {
    using VUX::Types::Cons;
    Value a = VUX::Internal::List::boxChar('a');
    struct Row {
        const char* what;
        Value laidOut;
        std::string before;
    } rows[] = {
        {"failing rest of a line", laidLine("ab", vux::testing::failing()), "ab"},
        {"failing next line", laidLine("ab", D::NilAbove(D::Nest_hash(2, laidLine("c", vux::testing::failing())))),
         "ab\n    c"},  // a line break inside a line keeps the column
        {"failing text after its first characters", laidLine(Cons(a, Cons(a, vux::testing::failing())), 3, D::Empty()),
         "aa"},
        {"failing text of a later chunk", laidLine("ab", laidLine(vux::testing::failing(), 1, D::Empty())), "ab"},
        {"a list where the layout goes on", laidLine("ab", str("cd")), "ab"},
        {"a union inside a line", laidLine("ab", D::Union(txt("c"), txt("c"))), "ab"},
        {"a union at the start of a line", laidLine("ab", D::NilAbove(D::Union(txt("c"), txt("c")))), "ab\n"},
    };
    for (const Row& r : rows) {
        auto [text, raised] = readUntilError(displayed(r.laidOut));
        EXPECT_EQ(text, r.before) << r.what;
        EXPECT_TRUE(raised) << r.what;
    }
}

// A choice's test forces the rest of its preferred line only while that line still has room, and
// only the test does: a line read by the renderer alone is forced as it is read.
TEST(Rendering, ChoicesForceWhatTheirTestReaches) {
    Value failing = vux::testing::failing();
    auto choice = [](const Value& preferred, const std::string& other) {
        return D::Union(preferred, laidLine(other, D::Empty()));
    };
    struct Row {
        const char* what;
        Value reduced;
        std::string before;
        bool raised;
    } rows[] = {
        {"failing past the width", choice(laidLine("abcdef", failing), "b"), "b", false},
        {"failing within the width", choice(laidLine("ab", failing), "b"), "", true},
        {"failing past the width after text", laidLine("a", choice(laidLine("bcdef", failing), "c")), "ac", false},
        {"a choice read by the renderer", laidLine("a", choice(laidLine("b", failing), "c")), "a", true},
        {"a choice inside a preferred line", choice(laidLine("a", choice(laidLine("bbbbbb", failing), "b")), "z"),
         "ab", false},
        {"failing within the width of an inner choice",
         choice(laidLine("a", choice(laidLine("b", failing), "b")), "z"), "", true},
    };
    for (const Row& r : rows) {
        Value reduced = r.reduced;
        auto [text, raised] = readUntilError(rts::delay([reduced] { return displayed(D::best(4, 4, reduced)); }));
        EXPECT_EQ(text, r.before) << r.what;
        EXPECT_EQ(raised, r.raised) << r.what;
    }
}

TEST(Rendering, LeavesTheRestOfTheLayoutUnforcedUntilReached) {
    vux::testing::Counter rest;
    Value line = laidLine("ab", D::NilAbove(vux::testing::counting(rest, laidLine("c", D::Empty()))));
    Value out = displayed(line);
    Value cur = out;
    std::string read;
    for (int i = 0; i < 3; ++i) {  // "ab\n": the next line is not needed yet
        const Value& c = rts::force(cur);
        read.push_back(static_cast<char>(VUX::Types::charOf(rts::force(rts::field(c, 0)))));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    EXPECT_EQ(read, "ab\n");
    EXPECT_EQ(rest.count(), 0);
    EXPECT_EQ(readUntilError(cur), (std::pair<std::string, bool>{"  c", false}));
    EXPECT_EQ(rest.count(), 1);
}

TEST(Rendering, OwnedAndSharedReadingsAgree) {
    using VUX::Types::Cons;
    auto lines = [](int64_t depth, const Value& leaf) {
        Value d = leaf;
        for (int64_t i = 0; i < depth; ++i) d = D::op_dollar_plus_dollar(txt("n" + std::to_string(i)), nest(7, d));
        return d;
    };
    Value suspendedChars = D::text(Cons(rts::delay([] { return VUX::Types::C_hash('s'); }),
                                        rts::delay([] { return str("uspended"); })));
    struct Row {
        const char* what;
        Value doc;
        uint8_t mode;
        std::string expected;  // checked when not empty
    } rows[] = {
        {"indentation of every size", lines(400, txt("leaf")), D::PageMode_tag, ""},
        {"characters above 255", lines(3, D::text(vux::testing::utf8("\u010d\u263a \u00e9x"))), D::PageMode_tag,
         "n2\n       n1\n              n0\n                     \u010d\u263a \u00e9x"},
        {"suspended characters", D::op_dollar_plus_dollar(suspendedChars, nest(300, suspendedChars)), D::PageMode_tag,
         "suspended\n" + std::string(300, ' ') + "suspended"},
        {"a fill", D::fsep(docs({txt("a"), nest(40, txt("b")), txt("c")})), D::PageMode_tag, "a b c"},
        {"zig-zag folds", lines(40, txt("leaf")), D::ZigZagMode_tag, ""},
    };
    for (const Row& r : rows) {
        auto [owned, shared] =
            pretty_testing::ownedAndShared([&] { return D::renderStyle(styleOf(r.mode, 80, 1.0f), r.doc); });
        EXPECT_EQ(owned, shared) << r.what;
        if (!r.expected.empty()) {
            EXPECT_EQ(owned, r.expected) << r.what;
        }
    }
}
