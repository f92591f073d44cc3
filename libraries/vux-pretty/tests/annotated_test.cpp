// Annotated rendering: spans with exact offsets and lengths, decorations in document order, the
// monadic form's calls, and the underflow errors.
#include <chrono>

#include "PrettyTesting.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/List.h"
#include "VUX/Tuple.h"

using namespace pretty_testing;
using vux::testing::str;
using vux::testing::to_string;

namespace {

struct SpanRow {
    int64_t start, length, annotation;
    bool operator==(const SpanRow&) const = default;
};
std::ostream& operator<<(std::ostream& os, const SpanRow& s) {
    return os << "{" << s.start << "," << s.length << "," << s.annotation << "}";
}

struct Spans {
    std::string output;
    std::vector<SpanRow> spans;
};
Spans spansOf(const Value& doc) {
    Value pair = D::renderSpans(doc);
    const Value& p = rts::force(pair);
    Spans r{to_string(rts::field(p, 0)), {}};
    for (const Value& s : vux::testing::items(rts::field(p, 1)))
        r.spans.push_back({VUX::Types::intOf(D::spanStart(s)), VUX::Types::intOf(D::spanLength(s)),
                           VUX::Types::intOf(rts::force(D::spanAnnotation(s)))});
    return r;
}

Value ann(int64_t a, const Value& d) { return D::annotate(I(a), d); }
Value nest(int64_t k, const Value& d) { return D::nest(I(k), d); }

}  // namespace

TEST(RenderSpans, OffsetsAndLengthsOfNestedRegions) {
    struct Row {
        const char* name;
        std::function<Value()> doc;
        std::string output;
        std::vector<SpanRow> spans;
    };
    const Row rows[] = {
        {"no annotations", [] { return D::op_lt_plus_gt(t("ab"), t("c")); }, "ab c", {}},
        {"outer and inner", [] { return ann(1, D::op_lt_gt(t("x"), ann(2, t("y")))); }, "xy", {{0, 2, 1}, {1, 1, 2}}},
        {"same start: outer first", [] { return ann(1, ann(2, t("ab"))); }, "ab", {{0, 2, 1}, {0, 2, 2}}},
        {"around empty", [] { return D::hcat(docs({t("ab"), ann(7, D::empty()), t("c")})); }, "abc", {{2, 0, 7}}},
        {"space before region", [] { return D::op_lt_plus_gt(t("a"), ann(3, t("bc"))); }, "a bc", {{2, 2, 3}}},
        {"layout width, not characters",
         [] { return D::op_lt_gt(ann(1, D::sizedText(I(5), str("ab"))), ann(2, D::zeroWidthText(str("zz")))); },
         "abzz",
         {{0, 5, 1}, {5, 0, 2}}},
        // The region holds "a", the line feed, two columns of indentation and "bc".
        {"across a line break", [] { return D::op_dollar_dollar(t("z"), ann(5, D::op_dollar_plus_dollar(t("a"), nest(2, t("bc"))))); },
         "z\na\n  bc",
         {{2, 6, 5}}},
        {"siblings in order", [] { return D::hsep(docs({ann(1, t("a")), ann(2, t("b")), ann(3, t("c"))})); }, "a b c",
         {{0, 1, 1}, {2, 1, 2}, {4, 1, 3}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Spans s = spansOf(row.doc());
        EXPECT_EQ(s.output, row.output);
        EXPECT_EQ(s.spans, row.spans);
        EXPECT_EQ(s.output, to_string(D::render(row.doc())));
    }
}

TEST(RenderSpans, AnnotationValuesStayUnevaluated) {
    Value pair = D::renderSpans(D::annotate(vux::testing::failing(), t("x")));
    std::vector<Value> spans = vux::testing::items(rts::field(rts::force(pair), 1));
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(VUX::Types::intOf(D::spanLength(spans[0])), 1);
    EXPECT_THROW(rts::force(D::spanAnnotation(spans[0])), rts::Exception);
}

TEST(RenderSpans, StartWithoutEndUnderflowsEndWithoutStartIsDropped) {
    Value unbalanced = D::TextBeside(D::AnnotStart(), t("x"));
    auto err = errorOf([&] { D::renderSpans(unbalanced); });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->message, "renderSpans: stack underflow");
    EXPECT_NE(err->callStack.find("error, called at libraries/vux-pretty/src/Text/PrettyPrint/Annotated/Drovane/Annotated.cpp:"),
              std::string::npos)
        << err->callStack;
    EXPECT_NE(err->callStack.find(" in vux-pretty-"), std::string::npos) << err->callStack;

    Spans s = spansOf(D::TextBeside(D::AnnotEnd(I(9)), t("x")));
    EXPECT_EQ(s.output, "x");
    EXPECT_TRUE(s.spans.empty());
}

namespace {
Value bracketed(const char* open, const char* close) {
    return rts::fun<1>([open, close](const Value& a) {
        return str(open + std::to_string(VUX::Types::intOf(rts::force(a))) + close);
    });
}
}  // namespace

TEST(RenderDecorated, InsertsStringsInDocumentOrderAndKeepsLineBreaks) {
    Value start = bracketed("<", ">");
    Value end = bracketed("</", ">");
    Value d = D::op_dollar_dollar(ann(1, t("a")), nest(2, ann(2, D::op_dollar_plus_dollar(t("b"), t("c")))));
    EXPECT_EQ(to_string(D::render(d)), "a b\n  c");
    EXPECT_EQ(to_string(D::renderDecorated(start, end, d)), "<1>a</1> <2>b\n  c</2>");

    // Decorations take no room: a filled paragraph breaks where the undecorated one does.
    std::vector<Value> words;
    for (int i = 0; i < 40; ++i) words.push_back(ann(i, t("word")));
    Value para = D::fsep(vux::testing::list(words));
    std::string plain = to_string(D::render(para));
    std::string decorated = to_string(D::renderDecorated(start, end, para));
    ASSERT_NE(plain.find('\n'), std::string::npos);
    std::string stripped;
    for (size_t i = 0; i < decorated.size(); ++i) {
        if (decorated[i] == '<') {
            i = decorated.find('>', i);
            continue;
        }
        stripped.push_back(decorated[i]);
    }
    EXPECT_EQ(stripped, plain);
}

TEST(RenderDecorated, UnderflowAndLaziness) {
    Value start = bracketed("<", ">");
    Value end = bracketed("</", ">");
    auto err = errorOf([&] { D::renderDecorated(start, end, D::TextBeside(D::AnnotStart(), t("x"))); });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->message, "renderDecorated: stack underflow");
    // The decoration functions run only when their text is reached.
    Value failingEnd = rts::fun<1>([](const Value&) -> Value { return vux::testing::failing(); });
    Value out = D::renderDecorated(start, failingEnd, D::op_lt_gt(t("ab"), ann(1, t("c"))));
    const Value& first = rts::force(out);
    EXPECT_EQ(VUX::Types::charOf(rts::force(rts::field(first, 0))), 'a');
    EXPECT_THROW(to_string(out), rts::Exception);
}

namespace {
// A monad whose action is the list of calls it records; `>>` appends. Only `>>` may be used: the
// other fields fail when demanded.
Value recordingMonad() {
    Value then = rts::fun<2>([](const Value& m, const Value& k) { return VUX::Internal::List::op_plus_plus(m, k); });
    return VUX::Internal::Base::C_Monad(vux::testing::failing(), vux::testing::failing(), then,
                                        vux::testing::failing());
}
// One recorded call: the tag and the argument (an Int annotation or a string).
Value call(const std::string& tag, bool annotation) {
    return rts::fun<1>([tag, annotation](const Value& x) {
        std::string arg = annotation ? std::to_string(VUX::Types::intOf(rts::force(x))) : to_string(x);
        return VUX::Types::Cons(str(tag + ":" + arg), VUX::Types::Nil());
    });
}
std::vector<std::string> calls(const Value& action) {
    std::vector<std::string> r;
    for (const Value& c : vux::testing::items(action)) r.push_back(to_string(c));
    return r;
}
}  // namespace

TEST(RenderDecoratedM, CallsInDocumentOrderWithIndentationAndLineBreaks) {
    Value d = D::op_dollar_plus_dollar(ann(1, t("ab")), nest(2, D::op_lt_gt(t("c"), ann(2, D::char_(VUX::Types::C_hash('d'))))));
    Value end = VUX::Types::Cons(str("end"), VUX::Types::Nil());
    Value action = D::renderDecoratedM(recordingMonad(), call("S", true), call("E", true), call("T", false), end, d);
    std::vector<std::string> expected = {"T:", "S:1", "T:ab", "E:1", "T:\n", "T:  ", "T:c", "S:2", "T:d", "E:2", "end"};
    EXPECT_EQ(calls(action), expected);

    auto err = errorOf([&] {
        D::renderDecoratedM(recordingMonad(), call("S", true), call("E", true), call("T", false), end,
                            D::TextBeside(D::AnnotStart(), t("x")));
    });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->message, "renderDecorated: stack underflow");
}

TEST(RenderSpans, AMillionAnnotatedChunksOnTheLargeStack) {
    constexpr int64_t n = 1000000;
    bool done = false;
    rts::run_on_large_stack([&] {
        // hcat of n annotated one-character chunks, built on demand.
        struct Gen {
            static Value from(int64_t i) {
                if (i == n) return VUX::Types::Nil();
                return VUX::Types::Cons(D::annotate(I(i), D::char_(VUX::Types::C_hash('a' + i % 26))),
                                        rts::delay([i] { return from(i + 1); }));
            }
        };
        Value doc = D::hcat(Gen::from(0));
        Value pair = D::renderSpans(doc);
        const Value& p = rts::force(pair);
        EXPECT_EQ(VUX::Internal::List::length(rts::field(p, 0)), n);
        int64_t count = 0;
        bool ordered = true;
        Value cur = rts::field(p, 1);
        for (;;) {
            const Value& c = rts::force(cur);
            if (c->tag == VUX::Types::Nil_tag) break;
            const Value& s = rts::field(c, 0);
            ordered = ordered && VUX::Types::intOf(D::spanStart(s)) == count &&
                      VUX::Types::intOf(D::spanLength(s)) == 1;
            ++count;
            Value next = rts::field(c, 1);
            cur = std::move(next);
        }
        EXPECT_EQ(count, n);
        EXPECT_TRUE(ordered);
        done = true;
    });
    EXPECT_TRUE(done);
}
